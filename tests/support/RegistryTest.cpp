#include "support/Registry.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

const QString kKey = u"Software\\Orvanta\\Tessaly\\RegistryTest"_qs;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegistry(HKEY_LOCAL_MACHINE, u"Software\\Orvanta\\Tessaly"_qs).DeleteKey(u"RegistryTest"_qs);
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);
    }
    // The value names in enumeration order, up to the empty name that ends it.
    QStringList ValueNames()
    {
        QStringList names;
        QString name = u"stale"_qs;
        for (int i = 0; key.EnumValue(i, name) == ERROR_SUCCESS && !name.isEmpty(); ++i)
            names << name;
        EXPECT_EQ(key.GetLastError(), ERROR_SUCCESS);
        return names;
    }
    CRegistry key;
};

// Each value comes back with its type through another handle; a missing
// one leaves the output alone, and text read as a number gives its bytes.
TEST_F(RegistryTest, ValuesKeepTheirTypeAndMissingOnesLeaveTheOutputAlone)
{
    const QByteArray blob("\x01\x00\xff", 3);
    EXPECT_EQ(key.SetString(u"Port"_qs, u"/dev/ttyUSB0"_qs), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDWord(u"Speed"_qs, 115200), ERROR_SUCCESS);
    EXPECT_EQ(key.SetBinary(u"Blob"_qs, blob), ERROR_SUCCESS);
    EXPECT_EQ(key.SetString(u"Text"_qs, u"5"_qs), ERROR_SUCCESS);

    CRegistry again(HKEY_LOCAL_MACHINE, kKey);
    QString port;
    quint32 speed = 0, raw = 0, text = 0, missing = 77;
    QByteArray read;
    EXPECT_EQ(again.QueryString(u"Port"_qs, port), ERROR_SUCCESS);
    EXPECT_EQ(again.QueryDWord(u"Speed"_qs, speed), ERROR_SUCCESS);
    EXPECT_EQ(again.QueryBinary(u"Blob"_qs, read), ERROR_SUCCESS);
    EXPECT_EQ(again.QueryDWord(u"Speed"_qs, static_cast<void*>(&raw)), ERROR_SUCCESS);
    EXPECT_EQ(again.QueryDWord(u"Text"_qs, text), ERROR_SUCCESS);
    EXPECT_EQ(std::tuple(port, speed, read, raw, text), std::tuple(u"/dev/ttyUSB0"_qs, 115200u, blob, 115200u, quint32('5')));

    EXPECT_EQ(key.QueryDWord(u"Missing"_qs, missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, 77u);
    EXPECT_EQ(key.GetLastError(), ERROR_FILE_NOT_FOUND);
    CRegistry none;
    EXPECT_EQ(none.Open(HKEY_LOCAL_MACHINE, u"Software\\Nobody\\Here"_qs), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none.QueryDWord(u"x"_qs, missing), ERROR_INVALID_HANDLE);
    EXPECT_EQ(none.Close(), ERROR_SUCCESS);
}

// Values and subkeys come in write order, then an empty name and success;
// deleting by a part of the name takes only those that hold it.
TEST_F(RegistryTest, EnumerationAndDeletionByName)
{
    key.SetString(u"Port2"_qs, u"b"_qs);
    key.SetDWord(u"Speed"_qs, 9600);
    key.SetString(u"Port1"_qs, u"a"_qs);
    EXPECT_EQ(ValueNames(), (QStringList{"Port2", "Speed", "Port1"}));
    EXPECT_EQ(key.DeleteValuesContaining(u"Port"_qs), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(), QStringList{"Speed"});

    CRegistry sub1, sub2;
    sub1.Create(HKEY_LOCAL_MACHINE, kKey + u"\\Zeta"_qs);
    sub2.Create(HKEY_LOCAL_MACHINE, kKey + u"\\Alpha\\Deep"_qs);
    QStringList subKeys;
    QString name;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(key.EnumKey(i, name), ERROR_SUCCESS);
        subKeys << name;
    }
    EXPECT_EQ(subKeys, (QStringList{"Zeta", "Alpha", ""}));

    // A handle whose key was deleted meanwhile says so when it closes.
    TraceCapture* capture = TraceCapture::Install(g_traceCommon, TRACE_ERROR);
    EXPECT_EQ(key.DeleteKey(u"Zeta"_qs), ERROR_SUCCESS);
    EXPECT_EQ(sub1.Open(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);  // closes the old key first
    EXPECT_TRUE(capture->Contains(u"Can't close the registry key.\n"_qs));
}

TEST_F(RegistryTest, LimitsOfStringsAndBinaries)
{
    key.SetString(u"Long"_qs, QString(300, u'x'));
    QString read;
    EXPECT_EQ(key.QueryString(u"Long"_qs, read), ERROR_SUCCESS);
    EXPECT_EQ(read.size(), 128);

    QByteArray big(1001, 'b');
    EXPECT_EQ(key.SetBinary(u"Big"_qs, big.constData(), int(big.size())), ERROR_SUCCESS);
    QByteArray octets("stale");
    EXPECT_NE(key.QueryBinary(u"Big"_qs, octets), ERROR_SUCCESS);
    EXPECT_TRUE(octets.isEmpty());
    QByteArray exact(1000, 'e');
    key.SetBinary(u"Exact"_qs, exact.constData(), int(exact.size()));
    EXPECT_EQ(key.QueryBinary(u"Exact"_qs, octets), ERROR_SUCCESS);
    EXPECT_EQ(octets.size(), 1000);
    EXPECT_EQ(key.SetBinary(u"Array"_qs, QByteArray(101, 'a')), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.SetBinary(u"Array"_qs, QByteArray(100, 'a')), ERROR_SUCCESS);

    char small[2];
    quint32 size = sizeof small;
    EXPECT_EQ(key.QueryRaw(u"Array"_qs, small, size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 100u);
}

}  // namespace
