#include "tests/tools/cli/CliRun.h"

namespace {

// The contacts commands on a folder of their own.
class ContactsCli : public ::testing::Test {
protected:
    ContactsFolder contacts;
};

QByteArray Card(const char* uid, const char* name, const char* lines)
{
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nFN:" + name + "\r\n" + lines + "END:VCARD\r\n";
}

TEST_F(ContactsCli, ListAndLookup)
{
    const QString cards = contacts.path + QStringLiteral(".vcf");
    ASSERT_TRUE(WriteText(cards, Card("b", "Beta \"B\"", "TEL;TYPE=CELL:+46 70 123 45 67\r\nEMAIL:beta@example.org\r\n") +
                          Card("a", "Åsa", "EMAIL:asa@example.org\r\n") + Card("c", "No numbers", "") +
                          Card("d", "Anna", "TEL;TYPE=CELL:+46 70 111 11 11\r\n") +
                          Card("e", "Bo", "TEL;TYPE=CELL:070-222 22 22\r\n") +
                          Card("f", "Cai", "TEL;TYPE=WORK:+46702222222\r\n")));
    ASSERT_EQ(Cli({"contacts", "import", cards}).status, 0);

    CliRun run = Cli({"contacts", "list"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, QStringLiteral("Anna\tm\tm: +46 70 111 11 11\n"
                                      "Beta \"B\"\tm\tm: +46 70 123 45 67; e: beta@example.org\n"
                                      "Bo\tm\tm: 070-222 22 22\nCai\tw\tw: +46702222222\nÅsa\te\te: asa@example.org\n"))
        << run.out.toStdString();  // no card without a number or address

    run = Cli({"contacts", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray contacts = Json(run)[QStringLiteral("contacts")].toArray();
    ASSERT_EQ(contacts.size(), 5) << run.out.toStdString();
    QJsonObject beta = contacts.at(1).toObject();
    EXPECT_GT(beta.take(QStringLiteral("oid")).toDouble(), 0);
    EXPECT_EQ(beta, (QJsonObject{{"name", "Beta \"B\""}, {"default", "m"},
                                 {"fields", QJsonObject{{"m", "+46 70 123 45 67"}, {"e", "beta@example.org"}}}}));

    // Every holder of a shared number; a failure for a number no one has.
    for (const auto& [number, holders] : {std::pair{"0701111111", "Anna\n"}, {"+46 70 111 11 11", "Anna\n"},
                                          {"0702222222", "Bo\nCai\n"}, {"0709999999", ""}}) {
        run = Cli({"contacts", "lookup", number});
        EXPECT_EQ(run.status, *holders ? 0 : 1) << number;
        EXPECT_EQ(run.out, QString::fromUtf8(holders)) << number;
        EXPECT_EQ(run.err.isEmpty(), *holders != 0) << number;
    }
}

// A backup of a folder that other programs wrote, and its restore: every
// card goes out, each on lines of its own, an unreadable file is named,
// and the restore keeps every card, those that share a UID included.
TEST_F(ContactsCli, BackupAndRestoreLoseAndDoubleNothing)
{
    for (const char* file : {"khard-created.vcf", "no-final-line-end.vcf", "shared-uid-home.vcf", "shared-uid-work.vcf",
                             "three-cards.vcf", "no-uid-2.1.vcf", "nokia-photo-2.1.vcf", "broken-no-colon.vcf"})
        ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + QLatin1String(file)),
                                contacts.path + QLatin1Char('/') + QLatin1String(file)));
    const QString backup = contacts.path + QStringLiteral("-backup.vcf");
    CliRun run = Cli({"contacts", "export", backup});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QStringLiteral("Exported 9 contacts to %1\n").arg(backup));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot read broken-no-colon.vcf: line without a colon"))) << run.err.toStdString();
    QFile file(backup);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("BEGIN:VCARD"), 9);
    EXPECT_FALSE(bytes.contains("END:VCARDBEGIN")) << bytes.constData();
    EXPECT_TRUE(bytes.endsWith("END:VCARD\r\n"));

    contacts.Renew();
    run = Cli({"contacts", "import", backup});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Imported 9 contacts (9 new, 0 replaced)\n"
                                      "Several cards share the UID dup-4711: each was kept in a file of its own\n"));
    const QStringList restored = QDir(contacts.path).entryList({QStringLiteral("*.vcf")}, QDir::Files);
    EXPECT_EQ(restored.size(), 9) << restored.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(restored.contains(QStringLiteral("dup-4711.vcf")) && restored.contains(QStringLiteral("dup-4711-2.vcf")));
    const QString list = Cli({"contacts", "list", "--json"}).out;
    EXPECT_TRUE(list.contains(QStringLiteral("Ida Wik (work)")) && list.contains(QStringLiteral("\"Ida Wik\"")));

    // Again: each card finds its own file, those sharing a UID too; only
    // the three cards without a UID come anew.
    run = Cli({"contacts", "import", backup});
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Imported 9 contacts (3 new, 6 replaced)\n"))) << run.out.toStdString();
    EXPECT_EQ(QDir(contacts.path).entryList({QStringLiteral("*.vcf")}, QDir::Files).size(), 12);

    // A clean folder exports with success and reads back the same.
    contacts.Renew();
    const QString three = TestDataPath(QStringLiteral("contacts/three-cards.vcf"));
    ASSERT_EQ(Cli({"contacts", "import", three}).status, 0);
    ASSERT_EQ(Cli({"contacts", "export", backup}).status, 0);
    const QString listA = Cli({"contacts", "list", "--json"}).out;
    contacts.Renew();
    EXPECT_EQ(Cli({"contacts", "import", backup}).out, QStringLiteral("Imported 3 contacts (3 new, 0 replaced)\n"));
    EXPECT_EQ(Cli({"contacts", "list", "--json"}).out, listA);  // same UIDs, identifiers and fields
}

}  // namespace
