// The contacts commands of the command-line tool.

#include "contactlist/ContactsCommands.h"
#include "platform/contacts/ContactsStore.h"
#include "tests/contactlist/ContactListTestData.h"
#include "tests/TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

TEST(ContactsCommands, ListAsTextAndJson)
{
    const QString folder = NewListFolder(QStringLiteral("cli-list"));
    WriteCard(folder, {"b", "Beta \"B\"", "+46 70 123 45 67", "", "", "beta@example.org"});
    WriteCard(folder, {"a", "Åsa", "", "", "", "asa@example.org"});
    WriteCard(folder, {"c", "No numbers"});
    const ContactsCommandResult text = ContactsListCommand(false, folder);
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.output, QStringLiteral("Beta \"B\"\tm\tm: +46 70 123 45 67; e: beta@example.org\n"
                                          "Åsa\te\te: asa@example.org\n"));

    const ContactsCommandResult json = ContactsListCommand(true, folder);
    EXPECT_EQ(json.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.output.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.output.toStdString();
    const QJsonArray contacts = doc.object().value(QStringLiteral("contacts")).toArray();
    ASSERT_EQ(contacts.size(), 2);
    const QJsonObject beta = contacts.at(0).toObject();
    EXPECT_EQ(beta.value(QStringLiteral("name")).toString(), QStringLiteral("Beta \"B\""));
    EXPECT_EQ(beta.value(QStringLiteral("default")).toString(), QStringLiteral("m"));
    EXPECT_EQ(beta.value(QStringLiteral("fields")).toObject().value(QStringLiteral("m")).toString(),
              QStringLiteral("+46 70 123 45 67"));
    EXPECT_GT(beta.value(QStringLiteral("oid")).toDouble(), 0);
    EXPECT_TRUE(json.output.startsWith(QStringLiteral("{\"contacts\":[{\"oid\":")));
    EXPECT_EQ(contacts.at(1).toObject().value(QStringLiteral("default")).toString(), QStringLiteral("e"));
}

TEST(ContactsCommands, Lookup)
{
    const QString folder = NewListFolder(QStringLiteral("cli-lookup"));
    for (const TestCard& card : {TestCard {"a", "Anna", "+46 70 111 11 11"}, TestCard {"b", "Bo", "070-222 22 22"},
                                 TestCard {"c", "Cai", "+46702222222"}})
        WriteCard(folder, card);
    struct Case {
        const char* number;
        int exitCode;
        const char* output;
    } cases[] = {
        {"0701111111", 0, "Anna\n"},
        {"+46 70 111 11 11", 0, "Anna\n"},
        {"0702222222", 0, "Bo\nCai\n"},  // shared: every holder
        {"0709999999", 1, ""},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        const ContactsCommandResult result = ContactsLookupCommand(QString::fromUtf8(c.number), folder);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.number;
        EXPECT_EQ(result.output, QString::fromUtf8(c.output)) << c.number;
        if (c.exitCode != 0) {
            EXPECT_FALSE(result.error.isEmpty());
        }
    }
}

TEST(ContactsCommands, ImportAndExport)
{
    const QString folder = NewListFolder(QStringLiteral("cli-import"));
    const ContactsCommandResult imported = ContactsImportCommand(TestDataPath(QStringLiteral("contacts/three-cards.vcf")), folder);
    EXPECT_EQ(imported.exitCode, 0) << imported.error.toStdString();
    EXPECT_EQ(imported.output, QStringLiteral("Imported 3 contacts (3 new, 0 replaced)\n"));
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    EXPECT_EQ(store.Count(), 3);

    // Importing again replaces instead of doubling (the 2.1 card without a
    // UID cannot be recognised and comes again).
    const ContactsCommandResult again = ContactsImportCommand(TestDataPath(QStringLiteral("contacts/three-cards.vcf")), folder);
    EXPECT_EQ(again.output, QStringLiteral("Imported 3 contacts (1 new, 2 replaced)\n"));
    ASSERT_TRUE(store.Refresh());
    EXPECT_EQ(store.Count(), 4);

    const QString exported = TestTempDir() + QStringLiteral("/export.vcf");
    const ContactsCommandResult out = ContactsExportCommand(exported, folder);
    EXPECT_EQ(out.exitCode, 0);
    const QString other = NewListFolder(QStringLiteral("cli-reimport"));
    const ContactsCommandResult back = ContactsImportCommand(exported, other);
    EXPECT_EQ(back.output, QStringLiteral("Imported 4 contacts (4 new, 0 replaced)\n"));
    const ContactsCommandResult listA = ContactsListCommand(true, folder);
    const ContactsCommandResult listB = ContactsListCommand(true, other);
    EXPECT_EQ(listA.output, listB.output);  // same UIDs, same identifiers, same fields

    struct Failing {
        const char* what;
        QString file;
    } failing[] = {
        {"missing file", TestTempDir() + QStringLiteral("/nothing.vcf")},
        {"no card", TestDataPath(QStringLiteral("contacts/broken-no-end.vcf"))},
    };
    for (const Failing& f : failing) {
        const ContactsCommandResult result = ContactsImportCommand(f.file, folder);
        EXPECT_EQ(result.exitCode, 1) << f.what;
        EXPECT_FALSE(result.error.isEmpty()) << f.what;
    }
    EXPECT_EQ(ContactsExportCommand(TestTempDir() + QStringLiteral("/no/such/dir/x.vcf"), folder).exitCode, 1);
}
