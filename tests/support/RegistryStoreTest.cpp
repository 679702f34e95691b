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
    QFile::remove(path + QStringLiteral(".damaged"));
    QFile::remove(path + QStringLiteral(".damaged-2"));
    return path;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

const QString kKey = QStringLiteral("Software\\Orvanta\\Tessaly");

TEST(RegistryStore, AValueWrittenIsSeenByTheNextStoreOnTheFile)
{
    const QString path = FreshPath("store-roundtrip.ini");
    {
        CRegistryStore writer(path);
        ASSERT_TRUE(writer.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Quote"), RegValue::fromString(QStringLiteral("a \"b\" \\ c\nd\x01"))));
        ASSERT_TRUE(writer.SetValue(HKEY_LOCAL_MACHINE, kKey + QStringLiteral("\\Trace"), QStringLiteral("All"), RegValue::fromDWord(0xFFFFFFFF)));
        ASSERT_TRUE(writer.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Empty"), RegValue::fromBinary(QByteArray())));
    }
    CRegistryStore reader(path);
    EXPECT_EQ(reader.GetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("quote"))->text, QStringLiteral("a \"b\" \\ c\nd\x01"));
    EXPECT_EQ(reader.GetValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\orvanta\\tessaly\\trace"), QStringLiteral("All"))->number, 0xFFFFFFFFu);
    EXPECT_EQ(reader.GetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Empty"))->type, RegValueType::Binary);
    EXPECT_TRUE(reader.Damage().isEmpty());
    EXPECT_TRUE(reader.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta")));
}

TEST(RegistryStore, AStoreSeesChangesMadeByAnotherStoreOnTheSameFile)
{
    const QString path = FreshPath("store-shared.ini");
    CRegistryStore a(path), b(path);
    a.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("One"), RegValue::fromDWord(1));
    EXPECT_EQ(b.GetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("One"))->number, 1u);
    b.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Two"), RegValue::fromDWord(2));
    a.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Three"), RegValue::fromDWord(3));
    EXPECT_EQ(b.ValueNames(HKEY_LOCAL_MACHINE, kKey),
              (QStringList{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}));
}

TEST(RegistryStore, ADamagedFileReadsAsWhatCanBeReadAndIsKeptBeforeAWrite)
{
    const struct {
        const char* what;
        QByteArray content;
        QStringList readable;
    } cases[] = {
        {"truncated value", QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"A\"=dword:00000001\n\"B\"=dword:0000"), {QStringLiteral("A")}},
        {"truncated header", QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"x\"\n[HKEY_LOCAL_MA"), {QStringLiteral("A")}},
        {"garbage between", QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\x01\x02\xff\xfe\n\"A\"=hex:01,02\n\"Bad\"=hex:1,zz\n"), {QStringLiteral("A")}},
        {"unterminated quote", QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"open\n\"B\"=dword:00000002\n"), {QStringLiteral("B")}},
        {"binary noise", QByteArray(4096, '\xAB'), {}},
        {"not UTF-8", QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"Modem \xe9\"\n"), {QStringLiteral("A")}},
    };
    for (const auto& c : cases) {
        const QString path = FreshPath("store-damaged.ini");
        WriteFile(path, c.content);
        CRegistryStore store(path);
        EXPECT_EQ(store.ValueNames(HKEY_LOCAL_MACHINE, QStringLiteral("K")), c.readable) << c.what;
        EXPECT_FALSE(store.Damage().isEmpty()) << c.what;
        ASSERT_TRUE(store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("New"), RegValue::fromDWord(9))) << c.what;
        QFile kept(path + QStringLiteral(".damaged"));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(kept.readAll(), c.content) << c.what;
        CRegistryStore again(path);
        EXPECT_TRUE(again.Damage().isEmpty()) << c.what;
        EXPECT_EQ(again.ValueNames(HKEY_LOCAL_MACHINE, QStringLiteral("K")), c.readable + QStringList{QStringLiteral("New")}) << c.what;
    }
}

TEST(RegistryStore, AnEarlierKeptCopyIsNotReplaced)
{
    const QString path = FreshPath("store-damaged-twice.ini");
    WriteFile(path + QStringLiteral(".damaged"), "first damage");
    WriteFile(path, "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=dword:0000");
    CRegistryStore store(path);
    ASSERT_TRUE(store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("B"), RegValue::fromDWord(1)));
    QFile first(path + QStringLiteral(".damaged"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), QByteArray("first damage"));
    QFile second(path + QStringLiteral(".damaged-2"));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"A\"=dword:0000"));
}

TEST(RegistryStore, DeletingAKeyTakesItsSubkeys)
{
    const QString path = FreshPath("store-delete.ini");
    CRegistryStore store(path);
    store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("A\\B\\C"), QStringLiteral("v"), RegValue::fromDWord(1));
    store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("A\\BB"), QStringLiteral("v"), RegValue::fromDWord(1));
    EXPECT_EQ(store.SubKeys(HKEY_LOCAL_MACHINE, QStringLiteral("A")), (QStringList{QStringLiteral("B"), QStringLiteral("BB")}));
    EXPECT_TRUE(store.DeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("a\\b")));
    EXPECT_FALSE(store.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("A\\B\\C")));
    EXPECT_TRUE(store.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("A\\BB")));
    EXPECT_FALSE(store.DeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("A\\B")));
}

// Keys made in memory read like the file's: below an owned key only the
// overlay counts and nothing is written; elsewhere the file comes first.
// Several values of one key are one write.
TEST(RegistryStore, OverlayIsReadLikeTheFileAndNeverWritten)
{
    const QString path = FreshPath("store-overlay.ini");
    CRegistryStore store(path);
    store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("Drivers\\Active\\Old"), QStringLiteral("Name"), RegValue::fromString(QStringLiteral("COM1:")));
    store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("ExtModems\\Mine"), QStringLiteral("Port"), RegValue::fromString(QStringLiteral("/dev/pts/3")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    store.SetOverlay(HKEY_LOCAL_MACHINE, {QStringLiteral("Drivers\\Active")},
                     {{QStringLiteral("Drivers\\Active\\01"), {{QStringLiteral("Name"), RegValue::fromString(QStringLiteral("/dev/ttyUSB0"))}}},
                      {QStringLiteral("ExtModems"), {}},
                      {QStringLiteral("ExtModems\\Mine"), {{QStringLiteral("Port"), RegValue::fromString(QStringLiteral("hidden"))}}}});
    struct Case {
        const char* key;
        QStringList subKeys;
        const char* port;  // "Port" or "Name" of the key; null: none
    };
    const Case cases[] = {
        {"Drivers\\Active", {"01"}, nullptr},
        {"Drivers\\Active\\01", {}, "/dev/ttyUSB0"},
        {"Drivers\\Active\\Old", {}, nullptr},
        {"Drivers", {"Active"}, nullptr},
        {"ExtModems", {"Mine"}, nullptr},
        {"ExtModems\\Mine", {}, "/dev/pts/3"},  // the file's own value wins
    };
    for (const Case& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(store.SubKeys(HKEY_LOCAL_MACHINE, key), c.subKeys) << c.key;
        auto value = store.GetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("Port"));
        if (!value)
            value = store.GetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("Name"));
        EXPECT_EQ(value ? value->text : QString(), QString::fromLatin1(c.port ? c.port : "")) << c.key;
    }
    EXPECT_FALSE(store.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Drivers\\Active\\Old")));
    EXPECT_FALSE(store.SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("Drivers\\Active\\01"), QStringLiteral("Name"), RegValue::fromDWord(1)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    // A batch of values lands in one go, next to what was there.
    ASSERT_TRUE(store.SetValues(HKEY_LOCAL_MACHINE, kKey,
                                {{QStringLiteral("A"), RegValue::fromDWord(1)}, {QStringLiteral("B"), RegValue::fromString(QStringLiteral("b"))}}));
    CRegistryStore reader(path);
    EXPECT_EQ(reader.ValueNames(HKEY_LOCAL_MACHINE, kKey), (QStringList{"A", "B"}));
    EXPECT_TRUE(reader.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Drivers\\Active\\Old")));
}

// Run as a child process by the test below: writes 50 values of its own.
TEST(RegistryStoreChild, DISABLED_WriteValues)
{
    const QString path = QString::fromLocal8Bit(qgetenv("REGISTRY_CHILD_PATH"));
    const QString prefix = QString::fromLocal8Bit(qgetenv("REGISTRY_CHILD_PREFIX"));
    ASSERT_FALSE(path.isEmpty());
    CRegistryStore store(path);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(store.SetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("%1%2").arg(prefix).arg(i), RegValue::fromDWord(quint32(i))));
}

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNothing)
{
    const QString path = FreshPath("store-two-processes.ini");
    QProcess children[2];
    const char* prefixes[2] = {"first", "second"};
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("REGISTRY_CHILD_PATH"), path);
        env.insert(QStringLiteral("REGISTRY_CHILD_PREFIX"), QString::fromLatin1(prefixes[i]));
        children[i].setProcessEnvironment(env);
        children[i].start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=RegistryStoreChild.*")});
    }
    for (auto& child : children) {
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    }
    CRegistryStore store(path);
    const QStringList names = store.ValueNames(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_EQ(names.size(), 100);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("first%1").arg(i))->number, quint32(i));
        EXPECT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("second%1").arg(i))->number, quint32(i));
    }
}

}  // namespace
