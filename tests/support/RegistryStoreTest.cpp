#include "support/RegistryStore.h"
#include "tests/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QString FreshPath(const char* name)
{
    const QString path = QDir(TestTempDir()).filePath(QString::fromLatin1(name));
    QFile::remove(path);
    QFile::remove(path + u".damaged"_qs);
    QFile::remove(path + u".damaged-2"_qs);
    return path;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kKey = u"Software\\Orvanta\\Tessaly"_qs;

// What one store writes or deletes, another on the same file sees at once,
// names and keys in any case, text with quotes, escapes and control
// characters too.
TEST(RegistryStore, StoresOnOneFileSeeEachOthersValues)
{
    const QString path = FreshPath("store-shared.ini");
    const QString quote = u"a \"b\" \\ c\nd\x01"_qs;
    CRegistryStore a(path), b(path);
    ASSERT_TRUE(a.SetValue(HKEY_LOCAL_MACHINE, kKey, u"Quote"_qs, RegValue::fromString(quote)));
    ASSERT_TRUE(b.SetValue(HKEY_LOCAL_MACHINE, kKey + u"\\Trace"_qs, u"All"_qs, RegValue::fromDWord(0xFFFFFFFF)));
    ASSERT_TRUE(a.SetValue(HKEY_LOCAL_MACHINE, kKey, u"Empty"_qs, RegValue::fromBinary(QByteArray())));
    EXPECT_EQ(b.GetValue(HKEY_LOCAL_MACHINE, kKey, u"quote"_qs)->text, quote);
    EXPECT_EQ(a.GetValue(HKEY_LOCAL_MACHINE, u"software\\orvanta\\tessaly\\trace"_qs, u"All"_qs)->number, 0xFFFFFFFFu);
    EXPECT_EQ(CRegistryStore(path).GetValue(HKEY_LOCAL_MACHINE, kKey, u"Empty"_qs)->type, RegValueType::Binary);
    EXPECT_EQ(b.ValueNames(HKEY_LOCAL_MACHINE, kKey), (QStringList{"Quote", "Empty"}));
    EXPECT_TRUE(b.Damage().isEmpty());
    EXPECT_TRUE(b.KeyExists(HKEY_LOCAL_MACHINE, u"Software\\Orvanta"_qs));

    // Deleting a key takes its subkeys, and no key of a longer name.
    a.SetValue(HKEY_LOCAL_MACHINE, u"A\\B\\C"_qs, u"v"_qs, RegValue::fromDWord(1));
    a.SetValue(HKEY_LOCAL_MACHINE, u"A\\BB"_qs, u"v"_qs, RegValue::fromDWord(1));
    EXPECT_EQ(b.SubKeys(HKEY_LOCAL_MACHINE, u"A"_qs), (QStringList{"B", "BB"}));
    EXPECT_TRUE(b.DeleteKey(HKEY_LOCAL_MACHINE, u"a\\b"_qs));
    EXPECT_EQ(a.SubKeys(HKEY_LOCAL_MACHINE, u"A"_qs), QStringList{"BB"});
    EXPECT_FALSE(a.DeleteKey(HKEY_LOCAL_MACHINE, u"A\\B"_qs));
}

// A copy kept earlier is not replaced: the next one is ".damaged-2".
TEST(RegistryStore, ADamagedFileReadsAsWhatCanBeReadAndIsKeptBeforeAWrite)
{
    const struct {
        const char* what;
        QByteArray content;
        QStringList readable;
        bool keptBefore = false;
    } cases[] = {
        {"truncated value", "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=dword:00000001\n\"B\"=dword:0000", {"A"}},
        {"truncated header", "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"x\"\n[HKEY_LOCAL_MA", {"A"}},
        {"garbage between", "[HKEY_LOCAL_MACHINE\\K]\n\x01\x02\xff\xfe\n\"A\"=hex:01,02\n\"Bad\"=hex:1,zz\n", {"A"}},
        {"unterminated quote", "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"open\n\"B\"=dword:00000002\n", {"B"}},
        {"binary noise", QByteArray(4096, '\xAB'), {}},
        {"not UTF-8", "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"Modem \xe9\"\n", {"A"}},
        {"damaged twice", "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=dword:0000", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = FreshPath("store-damaged.ini");
        if (c.keptBefore)
            WriteFile(path + u".damaged"_qs, "first damage");
        WriteFile(path, c.content);
        CRegistryStore store(path);
        EXPECT_EQ(store.ValueNames(HKEY_LOCAL_MACHINE, u"K"_qs), c.readable);
        EXPECT_FALSE(store.Damage().isEmpty());
        ASSERT_TRUE(store.SetValue(HKEY_LOCAL_MACHINE, u"K"_qs, u"New"_qs, RegValue::fromDWord(9)));
        EXPECT_EQ(ReadFile(path + u".damaged"_qs), c.keptBefore ? QByteArray("first damage") : c.content);
        EXPECT_EQ(ReadFile(path + u".damaged-2"_qs), c.keptBefore ? c.content : QByteArray());
        CRegistryStore again(path);
        EXPECT_TRUE(again.Damage().isEmpty());
        EXPECT_EQ(again.ValueNames(HKEY_LOCAL_MACHINE, u"K"_qs), c.readable + QStringList{"New"});
    }
}

// Keys made in memory read like the file's: below an owned key only the
// overlay counts and nothing is written; elsewhere the file comes first.
// Several values of one key are one write.
TEST(RegistryStore, OverlayIsReadLikeTheFileAndNeverWritten)
{
    const QString path = FreshPath("store-overlay.ini");
    CRegistryStore store(path);
    store.SetValue(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\Old"_qs, u"Name"_qs, RegValue::fromString(u"COM1:"_qs));
    store.SetValue(HKEY_LOCAL_MACHINE, u"ExtModems\\Mine"_qs, u"Port"_qs, RegValue::fromString(u"/dev/pts/3"_qs));
    const QByteArray before = ReadFile(path);

    store.SetOverlay(HKEY_LOCAL_MACHINE, {u"Drivers\\Active"_qs},
                     {{u"Drivers\\Active\\01"_qs, {{u"Name"_qs, RegValue::fromString(u"/dev/ttyUSB0"_qs)}}},
                      {u"ExtModems"_qs, {}},
                      {u"ExtModems\\Mine"_qs, {{u"Port"_qs, RegValue::fromString(u"hidden"_qs)}}}});
    const struct {
        const char* key;
        QStringList subKeys;
        const char* port;  // "Port" or "Name" of the key; null: none
    } cases[] = {
        {"Drivers\\Active", {"01"}, nullptr},
        {"Drivers\\Active\\01", {}, "/dev/ttyUSB0"},
        {"Drivers\\Active\\Old", {}, nullptr},
        {"Drivers", {"Active"}, nullptr},
        {"ExtModems", {"Mine"}, nullptr},
        {"ExtModems\\Mine", {}, "/dev/pts/3"},  // the file's own value wins
    };
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(store.SubKeys(HKEY_LOCAL_MACHINE, key), c.subKeys) << c.key;
        auto value = store.GetValue(HKEY_LOCAL_MACHINE, key, u"Port"_qs);
        if (!value)
            value = store.GetValue(HKEY_LOCAL_MACHINE, key, u"Name"_qs);
        EXPECT_EQ(value ? value->text : QString(), QString::fromLatin1(c.port ? c.port : "")) << c.key;
    }
    EXPECT_FALSE(store.KeyExists(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\Old"_qs));
    EXPECT_FALSE(store.SetValue(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\01"_qs, u"Name"_qs, RegValue::fromDWord(1)));
    EXPECT_EQ(ReadFile(path), before);

    // A batch of values lands in one go, next to what was there.
    ASSERT_TRUE(store.SetValues(HKEY_LOCAL_MACHINE, kKey,
                                {{u"A"_qs, RegValue::fromDWord(1)}, {u"B"_qs, RegValue::fromString(u"b"_qs)}}));
    CRegistryStore reader(path);
    EXPECT_EQ(reader.ValueNames(HKEY_LOCAL_MACHINE, kKey), (QStringList{"A", "B"}));
    EXPECT_TRUE(reader.KeyExists(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\Old"_qs));
}

// Run as a child process by the test below: writes 50 values of its own.
TEST(RegistryStoreChild, DISABLED_WriteValues)
{
    const QString path = QString::fromLocal8Bit(qgetenv("REGISTRY_CHILD_PATH"));
    const QString prefix = QString::fromLocal8Bit(qgetenv("REGISTRY_CHILD_PREFIX"));
    ASSERT_FALSE(path.isEmpty());
    CRegistryStore store(path);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(store.SetValue(HKEY_LOCAL_MACHINE, kKey, u"%1%2"_qs.arg(prefix).arg(i), RegValue::fromDWord(quint32(i))));
}

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNothing)
{
    const QString path = FreshPath("store-two-processes.ini");
    QProcess children[2];
    const char* prefixes[2] = {"first", "second"};
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"REGISTRY_CHILD_PATH"_qs, path);
        env.insert(u"REGISTRY_CHILD_PREFIX"_qs, QString::fromLatin1(prefixes[i]));
        children[i].setProcessEnvironment(env);
        children[i].start(QCoreApplication::applicationFilePath(),
                          {u"--gtest_also_run_disabled_tests"_qs, u"--gtest_filter=RegistryStoreChild.*"_qs});
    }
    for (auto& child : children) {
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    }
    CRegistryStore store(path);
    EXPECT_EQ(store.ValueNames(HKEY_LOCAL_MACHINE, kKey).size(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, kKey, QLatin1String(prefixes[i / 50]) + QString::number(i % 50))->number, quint32(i % 50));
}

}  // namespace
