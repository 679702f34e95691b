#include "support/Registry.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Orvanta\\Tessaly\\RegistryTest");

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegistry parent(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta\\Tessaly"));
        parent.DeleteKey(QStringLiteral("RegistryTest"));
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);
    }
    CRegistry key;
};

TEST_F(RegistryTest, ValuesKeepTheirType)
{
    QByteArray blob("\x01\x00\xff", 3);
    EXPECT_EQ(key.SetString(QStringLiteral("Port"), QStringLiteral("/dev/ttyUSB0")), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDWord(QStringLiteral("Speed"), 115200), ERROR_SUCCESS);
    EXPECT_EQ(key.SetBinary(QStringLiteral("Blob"), blob), ERROR_SUCCESS);

    CRegistry again(HKEY_LOCAL_MACHINE, kKey);
    QString port;
    quint32 speed = 0;
    QByteArray read;
    EXPECT_EQ(again.QueryString(QStringLiteral("Port"), port), ERROR_SUCCESS);
    EXPECT_EQ(port, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(again.QueryDWord(QStringLiteral("Speed"), speed), ERROR_SUCCESS);
    EXPECT_EQ(speed, 115200u);
    EXPECT_EQ(again.QueryBinary(QStringLiteral("Blob"), read), ERROR_SUCCESS);
    EXPECT_EQ(read, blob);
    quint32 raw = 0;
    EXPECT_EQ(again.QueryDWord(QStringLiteral("Speed"), static_cast<void*>(&raw)), ERROR_SUCCESS);
    EXPECT_EQ(raw, 115200u);
}

TEST_F(RegistryTest, MissingValuesLeaveTheOutputAlone)
{
    quint32 value = 77;
    EXPECT_EQ(key.QueryDWord(QStringLiteral("Missing"), value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(key.GetLastError(), ERROR_FILE_NOT_FOUND);
    CRegistry none;
    EXPECT_EQ(none.Open(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Nobody\\Here")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none.QueryDWord(QStringLiteral("x"), value), ERROR_INVALID_HANDLE);
    EXPECT_EQ(none.Close(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, EnumerationInWriteOrderThenAnEmptyNameAndSuccess)
{
    key.SetDWord(QStringLiteral("Port2"), 2);
    key.SetDWord(QStringLiteral("Speed"), 9600);
    key.SetDWord(QStringLiteral("Port1"), 1);
    QStringList names;
    for (int i = 0;; ++i) {
        QString name = QStringLiteral("stale");
        ASSERT_EQ(key.EnumValue(i, name), ERROR_SUCCESS);
        if (name.isEmpty())
            break;
        names << name;
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Port2"), QStringLiteral("Speed"), QStringLiteral("Port1")}));
    EXPECT_EQ(key.GetLastError(), ERROR_SUCCESS);

    CRegistry sub1, sub2;
    sub1.Create(HKEY_LOCAL_MACHINE, kKey + QStringLiteral("\\Zeta"));
    sub2.Create(HKEY_LOCAL_MACHINE, kKey + QStringLiteral("\\Alpha\\Deep"));
    QString name;
    EXPECT_EQ(key.EnumKey(0, name), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("Zeta"));
    EXPECT_EQ(key.EnumKey(1, name), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("Alpha"));
    EXPECT_EQ(key.EnumKey(2, name), ERROR_SUCCESS);
    EXPECT_TRUE(name.isEmpty());
}

TEST_F(RegistryTest, DeleteValuesContainingTakesOnlyMatchingNames)
{
    key.SetString(QStringLiteral("Port1"), QStringLiteral("a"));
    key.SetString(QStringLiteral("Port2"), QStringLiteral("b"));
    key.SetDWord(QStringLiteral("Speed"), 9600);
    EXPECT_EQ(key.DeleteValuesContaining(QStringLiteral("Port")), ERROR_SUCCESS);
    QString name;
    key.EnumValue(0, name);
    EXPECT_EQ(name, QStringLiteral("Speed"));
    key.EnumValue(1, name);
    EXPECT_TRUE(name.isEmpty());
}

TEST_F(RegistryTest, LimitsOfStringsAndBinaries)
{
    const QString longText(300, QLatin1Char('x'));
    key.SetString(QStringLiteral("Long"), longText);
    QString read;
    EXPECT_EQ(key.QueryString(QStringLiteral("Long"), read), ERROR_SUCCESS);
    EXPECT_EQ(read.size(), 128);

    QByteArray big(1001, 'b');
    EXPECT_EQ(key.SetBinary(QStringLiteral("Big"), big.constData(), int(big.size())), ERROR_SUCCESS);
    QByteArray octets("stale");
    EXPECT_NE(key.QueryBinary(QStringLiteral("Big"), octets), ERROR_SUCCESS);
    EXPECT_TRUE(octets.isEmpty());
    QByteArray exact(1000, 'e');
    key.SetBinary(QStringLiteral("Exact"), exact.constData(), int(exact.size()));
    EXPECT_EQ(key.QueryBinary(QStringLiteral("Exact"), octets), ERROR_SUCCESS);
    EXPECT_EQ(octets.size(), 1000);
    EXPECT_EQ(key.SetBinary(QStringLiteral("Array"), QByteArray(101, 'a')), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.SetBinary(QStringLiteral("Array"), QByteArray(100, 'a')), ERROR_SUCCESS);

    char small[2];
    quint32 size = sizeof small;
    EXPECT_EQ(key.QueryRaw(QStringLiteral("Array"), small, size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 100u);
}

TEST_F(RegistryTest, ANumberReadAsTextAndTextReadAsANumber)
{
    key.SetString(QStringLiteral("Text"), QStringLiteral("5"));
    quint32 value = 0;
    EXPECT_EQ(key.QueryDWord(QStringLiteral("Text"), value), ERROR_SUCCESS);
    EXPECT_EQ(value, quint32('5'));  // "5" and its terminator: four bytes
}

TEST_F(RegistryTest, ClosingAKeyDeletedMeanwhileIsTraced)
{
    TraceCapture* capture = TraceCapture::Install(g_traceCommon, TRACE_ERROR);
    CRegistry doomed;
    ASSERT_EQ(doomed.Create(HKEY_LOCAL_MACHINE, kKey + QStringLiteral("\\Doomed")), ERROR_SUCCESS);
    EXPECT_EQ(key.DeleteKey(QStringLiteral("Doomed")), ERROR_SUCCESS);
    EXPECT_EQ(doomed.Open(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);  // closes the old key first
    EXPECT_TRUE(capture->Contains(QStringLiteral("Can't close the registry key.\n")));
}

}  // namespace
