// The vdir store: logon, identifiers, atomic saves, broken files and
// unknown properties surviving an edit.

#include "platform/contacts/ContactsStore.h"
#include "platform/contacts/ObjectIdentifiers.h"
#include "platform/contacts/VCardParser.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>


namespace {

// The files of the folder, hidden ones too, less the store's own.
QStringList FilesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    files.removeIf([](const QString& name) { return name.startsWith(QLatin1String(".tessaly-")); });
    return files;
}

// Two keys with the same hash (found once by a search over "uid-N").
const QString kOlder = QStringLiteral("uid-522789");
const QString kNewer = QStringLiteral("uid-739192");

}  // namespace

TEST(ContactsStore, DefaultFolderFollowsTheEnvironment)
{
    EXPECT_EQ(CContactsStore::DefaultFolder(), qEnvironmentVariable("TESSALY_CONTACTS"));
    const QByteArray saved = qgetenv("TESSALY_CONTACTS");
    qunsetenv("TESSALY_CONTACTS");
    EXPECT_EQ(CContactsStore::DefaultFolder(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/tessaly/contacts"));
    qputenv("TESSALY_CONTACTS", saved);
}

TEST(ContactsStore, LogOnCreatesTheFolderAndFailsWhereItCannot)
{
    const QString folder = NewContactsFolder(QStringLiteral("create")) + QStringLiteral("/deeper/still");
    CContactsStore store(folder);
    EXPECT_TRUE(store.LogOn());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(store.Count(), 0);

    const QString blocker = NewContactsFolder(QStringLiteral("blocked")) + QStringLiteral("/file");
    WriteContactFile(QFileInfo(blocker).path(), QStringLiteral("file"), "not a folder");
    CContactsStore blocked(blocker + QStringLiteral("/contacts"));
    EXPECT_FALSE(blocked.LogOn());
    EXPECT_EQ(blocked.LastError(), ContactsStoreError::LogOnFailed);
    EXPECT_EQ(blocked.ItemByOid(1), nullptr);
    EXPECT_EQ(blocked.LastError(), ContactsStoreError::NotLoggedOn);
}

TEST(ContactsStore, CreateSaveFetchDelete)
{
    const QString folder = NewContactsFolder(QStringLiteral("crud"));
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    std::unique_ptr<CContactItem> item = store.CreateItem();
    ASSERT_NE(item, nullptr);
    item->SetProperty(ContactProperty::FirstName, QStringLiteral("Åsa"));
    item->SetProperty(ContactProperty::LastName, QStringLiteral("Berg"));
    item->SetField(FIELD_MOBILE_TEL, QStringLiteral("+46 70 123 45 67"));
    item->SetField(FIELD_EMAIL, QStringLiteral("asa@example.org"));
    item->SetProperty(ContactProperty::Pager, QStringLiteral("+46 74 000"));
    item->SetAddress(AddressKind::Home, {QStringLiteral("Storgatan 1"), QStringLiteral("Lund"), QStringLiteral("22100"), {}, {}});
    ASSERT_TRUE(store.Save(*item));
    EXPECT_NE(item->Oid(), 0u);
    EXPECT_EQ(item->FileName(), item->Uid() + QStringLiteral(".vcf"));
    // Only the card: no temporary file is left behind.
    EXPECT_EQ(FilesIn(folder), QStringList{item->FileName()});

    const QByteArray written = ReadContactFile(folder + QLatin1Char('/') + item->FileName());
    EXPECT_TRUE(written.contains("FN:Åsa Berg\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("N:Berg;Åsa;;;\r\n"));
    EXPECT_TRUE(written.contains("TEL;TYPE=CELL:+46 70 123 45 67\r\n"));
    EXPECT_TRUE(written.contains("TEL;TYPE=PAGER:+46 74 000\r\n"));
    EXPECT_TRUE(written.contains("ADR;TYPE=HOME:;;Storgatan 1;Lund;;22100;\r\n"));

    // A second logon (another run) sees the same identifier.
    CContactsStore again(folder);
    ASSERT_TRUE(again.LogOn());
    std::unique_ptr<CContactItem> fetched = again.ItemByOid(item->Oid());
    ASSERT_NE(fetched, nullptr);
    EXPECT_EQ(fetched->Field(FIELD_MOBILE_TEL), QStringLiteral("+46 70 123 45 67"));
    EXPECT_EQ(fetched->Address(AddressKind::Home).postalCode, QStringLiteral("22100"));

    EXPECT_TRUE(again.Delete(item->Oid()));
    EXPECT_TRUE(FilesIn(folder).isEmpty());
    EXPECT_FALSE(again.Delete(item->Oid()));
    EXPECT_EQ(again.LastError(), ContactsStoreError::NotFound);
    EXPECT_EQ(store.ItemByOid(item->Oid()), nullptr);  // the first logon looks again and finds nothing
}

TEST(ContactsStore, NewContactsInVersion4)
{
    const QString folder = NewContactsFolder(QStringLiteral("v4"));
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    store.SetNewContactVersion(QStringLiteral("4.0"));
    std::unique_ptr<CContactItem> item = store.CreateItem();
    item->SetProperty(ContactProperty::FirstName, QStringLiteral("Ana"));
    item->SetField(FIELD_WORK_TEL, QStringLiteral("+55 11 1"));
    ASSERT_TRUE(store.Save(*item));
    const QByteArray written = ReadContactFile(folder + QLatin1Char('/') + item->FileName());
    EXPECT_TRUE(written.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("TEL;TYPE=work,voice:+55 11 1\r\n"));
}

TEST(ContactsStore, BrokenAndForeignFilesAreSkippedWithoutHarmingOthers)
{
    const QString folder = NewContactsFolder(QStringLiteral("broken"));
    CopyContactsData(QStringLiteral("khard-created.vcf"), folder);
    CopyContactsData(QStringLiteral("broken-no-end.vcf"), folder);
    CopyContactsData(QStringLiteral("broken-no-colon.vcf"), folder);
    CopyContactsData(QStringLiteral("three-cards.vcf"), folder);  // an export dropped into the folder
    WriteContactFile(folder, QStringLiteral("empty.vcf"), QByteArray());
    WriteContactFile(folder, QStringLiteral("binary.vcf"), QByteArray("\x00\x01\x02\xff", 4));
    WriteContactFile(folder, QStringLiteral("notes.txt"), "BEGIN:VCARD\r\nFN:Not a vcf\r\nEND:VCARD\r\n");

    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.ItemAt(0)->DisplayName(), QStringLiteral("Åsa Berg"));
    EXPECT_EQ(store.ItemAt(1), nullptr);
    EXPECT_EQ(store.ItemAt(-1), nullptr);

    // The folder removed under a logon: nothing is left to show.
    QDir(folder).removeRecursively();
    EXPECT_FALSE(store.Refresh());
    EXPECT_EQ(store.Count(), 0);
}

TEST(ContactsStore, CardsWithoutUidOrWithACopiedUidGetDistinctIdentifiers)
{
    const QString folder = NewContactsFolder(QStringLiteral("uids"));
    WriteContactFile(folder, QStringLiteral("a.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n");
    WriteContactFile(folder, QStringLiteral("b.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:same\r\nFN:B\r\nEND:VCARD\r\n");
    WriteContactFile(folder, QStringLiteral("c.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:same\r\nFN:C\r\nEND:VCARD\r\n");
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 3);
    QSet<quint32> ids;
    for (int i = 0; i < 3; ++i)
        ids.insert(store.ItemAt(i)->Oid());
    EXPECT_EQ(ids.size(), 3);
    EXPECT_FALSE(ids.contains(0u));
    EXPECT_EQ(store.ItemAt(1)->Oid(), ObjectIdOfKey(QStringLiteral("same")));
}

// Two runs over one folder: between them a card without UID is saved (it
// gets one), a newcomer whose UID hashes like an existing one arrives with
// an older file time (cp -p), and one of two cards sharing a UID is
// renamed. Every contact keeps its identifier; the newcomer takes a free one.
TEST(ObjectIdentifiers, AnIdentifierStaysWithItsCardAcrossRuns)
{
    ASSERT_EQ(ObjectIdOfKey(kOlder), ObjectIdOfKey(kNewer));
    const QString folder = NewContactsFolder(QStringLiteral("pins"));
    auto card = [](const char* uid, const char* fn) {
        return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n") + (*uid ? "UID:" + QByteArray(uid) + "\r\n" : "") + "FN:" +
               fn + "\r\nEND:VCARD\r\n";
    };
    WriteContactFile(folder, QStringLiteral("no-uid.vcf"), card("", "No Uid"));
    WriteContactFile(folder, QStringLiteral("held.vcf"), card(kNewer.toLatin1().constData(), "Held"));
    WriteContactFile(folder, QStringLiteral("copy-a.vcf"), card("shared", "Copy A"));
    WriteContactFile(folder, QStringLiteral("copy-b.vcf"), card("shared", "Copy B"));
    auto idsByName = [&] {
        CContactsStore store(folder);
        EXPECT_TRUE(store.LogOn());
        QHash<QString, quint32> ids;
        for (int i = 0; i < store.Count(); ++i)
            ids.insert(store.ItemAt(i)->DisplayName(), store.ItemAt(i)->Oid());
        return ids;
    };
    const QHash<QString, quint32> before = idsByName();
    ASSERT_EQ(before.size(), 4);
    EXPECT_EQ(QSet<quint32>(before.begin(), before.end()).size(), 4);

    {
        CContactsStore store(folder);
        ASSERT_TRUE(store.LogOn());
        std::unique_ptr<CContactItem> item = store.ItemByOid(before.value(QStringLiteral("No Uid")));
        ASSERT_NE(item, nullptr);
        item->SetField(FIELD_MOBILE_TEL, QStringLiteral("1"));
        ASSERT_TRUE(store.Save(*item));
        EXPECT_FALSE(item->Uid().isEmpty());
        EXPECT_EQ(item->Oid(), before.value(QStringLiteral("No Uid")));
    }
    WriteContactFile(folder, QStringLiteral("restored.vcf"), card(kOlder.toLatin1().constData(), "Restored"));
    QFile(folder + QStringLiteral("/restored.vcf"))
        .setFileTime(QDateTime::currentDateTime().addYears(-1), QFileDevice::FileModificationTime);
    ASSERT_TRUE(QFile::rename(folder + QStringLiteral("/copy-b.vcf"), folder + QStringLiteral("/0-copy-b.vcf")));

    const QHash<QString, quint32> after = idsByName();
    ASSERT_EQ(after.size(), 5);
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(QSet<quint32>(after.begin(), after.end()).size(), 5);
    EXPECT_EQ(idsByName(), after);
}

TEST(ContactsStore, AFailedSaveReportsAndKeepsTheOldCard)
{
    const QString folder = NewContactsFolder(QStringLiteral("savefail"));
    CopyContactsData(QStringLiteral("khard-created.vcf"), folder);
    const QByteArray before = ReadContactFile(folder + QStringLiteral("/khard-created.vcf"));
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    std::unique_ptr<CContactItem> item = store.ItemAt(0);
    item->SetField(FIELD_MOBILE_TEL, QStringLiteral("1"));
    // A folder in the way of the file cannot be replaced, not even by root.
    CContactItem blocked(item->Card(), QStringLiteral("in-the-way.vcf"), item->Oid());
    QDir().mkpath(folder + QStringLiteral("/in-the-way.vcf"));
    EXPECT_FALSE(store.Save(blocked));
    EXPECT_EQ(store.LastError(), ContactsStoreError::SaveFailed);
    EXPECT_EQ(ReadContactFile(folder + QStringLiteral("/khard-created.vcf")), before);
    EXPECT_EQ(store.Count(), 1);
}

TEST(ContactsStore, AChangeByAnotherProgramIsNotOverwritten)
{
    struct Case {
        const char* what;
        void (*act)(const QString& path);
    } cases[] = {
        {"rewritten (grows by a note)",
         [](const QString& path) {
             QByteArray synced = ReadContactFile(path);
             synced.replace("END:VCARD", "NOTE:from the server\nEND:VCARD");
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(synced);
         }},
        {"deleted", [](const QString& path) { ASSERT_TRUE(QFile::remove(path)); }},
        {"renamed", [](const QString& path) { ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".new.vcf"))); }},
    };
    for (const Case& c : cases) {
        const QString folder = NewContactsFolder(QStringLiteral("conflict"));
        CopyContactsData(QStringLiteral("khard-created.vcf"), folder);
        const QString path = folder + QStringLiteral("/khard-created.vcf");
        CContactsStore store(folder);
        ASSERT_TRUE(store.LogOn());
        std::unique_ptr<CContactItem> stale = store.ItemAt(0);
        c.act(path);
        const QStringList files = FilesIn(folder);
        const QByteArray bytes = ReadContactFile(path);
        stale->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+1 555"));
        EXPECT_FALSE(store.Save(*stale)) << c.what;
        EXPECT_EQ(store.LastError(), ContactsStoreError::Conflict) << c.what;
        EXPECT_EQ(FilesIn(folder), files) << c.what;
        EXPECT_EQ(ReadContactFile(path), bytes) << c.what;
    }
    EXPECT_EQ(ContactsStoreErrorMessage(ContactsStoreError::Conflict),
              QStringLiteral("The contact was changed or deleted by another program. Refresh and try again."));

    // Read again, the edit goes through, and so does a second one.
    const QString folder = NewContactsFolder(QStringLiteral("conflict"));
    CopyContactsData(QStringLiteral("khard-created.vcf"), folder);
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    std::unique_ptr<CContactItem> fresh = store.ItemAt(0);
    fresh->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+1 555 car"));
    ASSERT_TRUE(store.Save(*fresh));
    fresh->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+1 555 van"));
    ASSERT_TRUE(store.Save(*fresh));
    EXPECT_TRUE(ReadContactFile(folder + QStringLiteral("/khard-created.vcf")).contains("+1 555 van"));
}

namespace {

// Lines of a card file with the folding kept, less those of the named
// properties (REV changes with every save).
QList<QByteArray> LinesBesides(const QByteArray& file, const QList<QByteArray>& names)
{
    QList<QByteArray> lines;
    bool skipping = false;
    for (const QByteArray& line : file.split('\n')) {
        if (!line.isEmpty() && (line.at(0) == ' ' || line.at(0) == '\t')) {
            if (!skipping)
                lines.last() += '\n' + line;
            continue;
        }
        const QByteArray name = line.left(line.indexOf(':')).split(';').first().split('.').last().toUpper();
        skipping = names.contains(name);
        if (!skipping)
            lines << line;
    }
    return lines;
}

}  // namespace

// The folder is shared with other address books: an edit of one field
// leaves every other line of the file as it was, byte for byte.
TEST(ContactsStore, AnEditChangesOnlyTheLineItTouches)
{
    for (const char* file : {"khard-created.vcf", "apple-grouped.vcf", "version-4.0.vcf", "phone-2.1.vcf"}) {
        const QString folder = NewContactsFolder(QStringLiteral("roundtrip"));
        CopyContactsData(QString::fromLatin1(file), folder);
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(file);
        const QByteArray before = ReadContactFile(path);
        CContactsStore store(folder);
        ASSERT_TRUE(store.LogOn());
        std::unique_ptr<CContactItem> item = store.ItemAt(0);
        ASSERT_NE(item, nullptr) << file;
        item->SetProperty(ContactProperty::JobTitle, QStringLiteral("Edited"));
        ASSERT_TRUE(store.Save(*item)) << file;
        const QByteArray after = ReadContactFile(path);
        EXPECT_TRUE(after.contains("TITLE:Edited")) << file;
        // UID and FN come in when missing, N too in 3.0; nothing else changes.
        const QList<QByteArray> added = {"TITLE", "REV", "UID", "FN", "N"};
        EXPECT_EQ(LinesBesides(after, added), LinesBesides(before, added)) << file;
        EXPECT_EQ(LinesBesides(after, {"TITLE", "REV"}).size(), LinesBesides(before, {"TITLE", "REV"}).size() +
                                                                      (before.contains("\nUID:") ? 0 : 1))
            << file;
    }
}
