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

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
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

TEST(ContactsStore, UnknownPropertiesSurviveAnEdit)
{
    const QString folder = NewContactsFolder(QStringLiteral("unknown"));
    CopyContactsData(QStringLiteral("apple-grouped.vcf"), folder);
    const VCard before = ParseVCards(ReadContactFile(folder + QStringLiteral("/apple-grouped.vcf"))).cards.front();

    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 1);
    std::unique_ptr<CContactItem> item = store.ItemAt(0);
    item->SetField(FIELD_CAR_TEL, QStringLiteral("+1 555 car"));
    ASSERT_TRUE(store.Save(*item));

    const VCard after = ParseVCards(ReadContactFile(folder + QStringLiteral("/apple-grouped.vcf"))).cards.front();
    for (const VCardProperty& old : before.properties) {
        if (old.name == QLatin1String("REV"))
            continue;
        const bool kept = std::any_of(after.properties.begin(), after.properties.end(), [&](const VCardProperty& p) {
            return p.name == old.name && p.group == old.group && p.value == old.value && p.Types() == old.Types();
        });
        EXPECT_TRUE(kept) << old.name.toStdString() << ":" << old.value.left(30).toStdString();
    }
    EXPECT_EQ(after.properties.size(), before.properties.size() + 2);  // the car number and REV
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

TEST(ObjectIdentifiers, CollisionsAreSettledOnceAndForAll)
{
    ASSERT_EQ(ObjectIdOfKey(kOlder), ObjectIdOfKey(kNewer));
    const quint32 hash = ObjectIdOfKey(kOlder);

    // The kOlder file keeps the hash; the kNewer takes the next value; both pinned.
    QHash<QString, quint32> pins;
    std::vector<quint32> ids = AssignObjectIds({{kNewer, 200}, {kOlder, 100}}, pins);
    EXPECT_EQ(ids[1], hash);
    EXPECT_EQ(ids[0], hash + 1);
    EXPECT_EQ(pins.size(), 2);

    // With the pins, the outcome holds whatever the times say later.
    ids = AssignObjectIds({{kOlder, 900}, {kNewer, 1}, {QStringLiteral("other"), 5}}, pins);
    EXPECT_EQ(ids[0], hash);
    EXPECT_EQ(ids[1], hash + 1);
    EXPECT_EQ(ids[2], ObjectIdOfKey(QStringLiteral("other")));

    // A key that is gone loses its pin.
    AssignObjectIds({{kOlder, 1}}, pins);
    EXPECT_EQ(pins.size(), 1);
    EXPECT_TRUE(pins.contains(kOlder));
}

TEST(ObjectIdentifiers, StorePersistsSettledCollisions)
{
    const QString folder = NewContactsFolder(QStringLiteral("pins"));
    auto card = [](const QString& uid) {
        return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid.toUtf8() + "\r\nFN:" + uid.toUtf8() +
               "\r\nEND:VCARD\r\n";
    };
    WriteContactFile(folder, QStringLiteral("1.vcf"), card(kOlder));
    QFile(folder + QStringLiteral("/1.vcf")).setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    WriteContactFile(folder, QStringLiteral("2.vcf"), card(kNewer));
    quint32 olderId = 0;
    quint32 newerId = 0;
    {
        CContactsStore store(folder);
        ASSERT_TRUE(store.LogOn());
        olderId = store.ItemAt(0)->Oid();
        newerId = store.ItemAt(1)->Oid();
    }
    EXPECT_EQ(olderId, ObjectIdOfKey(kOlder));
    EXPECT_NE(newerId, olderId);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/.tessaly-oids")));
    // Make the kNewer file the kOlder one: the pins keep the identifiers.
    QFile(folder + QStringLiteral("/2.vcf")).setFileTime(QDateTime::currentDateTime().addDays(-9), QFileDevice::FileModificationTime);
    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    EXPECT_EQ(store.ItemAt(0)->Oid(), olderId);
    EXPECT_EQ(store.ItemAt(1)->Oid(), newerId);
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
    const QString folder = NewContactsFolder(QStringLiteral("conflict"));
    CopyContactsData(QStringLiteral("apple-grouped.vcf"), folder);
    const QString path = folder + QStringLiteral("/apple-grouped.vcf");

    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 1);
    std::unique_ptr<CContactItem> stale = store.ItemAt(0);

    // A sync tool rewrites the card meanwhile (it grows by a note).
    QByteArray synced = ReadContactFile(path);
    synced.replace("END:VCARD", "NOTE:from the server\r\nEND:VCARD");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(synced);
    }
    stale->SetField(FIELD_CAR_TEL, QStringLiteral("+1 555 car"));
    EXPECT_FALSE(store.Save(*stale));
    EXPECT_EQ(store.LastError(), ContactsStoreError::Conflict);
    EXPECT_EQ(ReadContactFile(path), synced);

    // Read again, the edit goes through, and so does a second one.
    std::unique_ptr<CContactItem> fresh = store.ItemByOid(stale->Oid());
    ASSERT_NE(fresh, nullptr);
    fresh->SetField(FIELD_CAR_TEL, QStringLiteral("+1 555 car"));
    ASSERT_TRUE(store.Save(*fresh));
    fresh->SetField(FIELD_CAR_TEL, QStringLiteral("+1 555 van"));
    ASSERT_TRUE(store.Save(*fresh));
    const QByteArray saved = ReadContactFile(path);
    EXPECT_TRUE(saved.contains("from the server"));
    EXPECT_TRUE(saved.contains("+1 555 van"));
}
