// The vdir store: logon, identifiers, atomic saves, broken files and
// unknown properties surviving an edit.

#include "platform/contacts/ContactsStore.h"
#include "platform/contacts/ObjectIdentifiers.h"
#include "platform/contacts/VCardParser.h"
#include "support/Trace.h"
#include "tests/TraceCapture.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <functional>

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

TEST(ContactsStore, TheFolderIsFoundOrMadeOrSaidToBeAmiss)
{
    EXPECT_EQ(CContactsStore::DefaultFolder(), qEnvironmentVariable("TESSALY_CONTACTS"));
    const QByteArray saved = qgetenv("TESSALY_CONTACTS");
    qunsetenv("TESSALY_CONTACTS");
    EXPECT_EQ(CContactsStore::DefaultFolder(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/tessaly/contacts"));
    qputenv("TESSALY_CONTACTS", saved);

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
    // The save took the new file's stamp: a second edit is no conflict.
    item->SetField(FIELD_CAR_TEL, QStringLiteral("+46 70 999"));
    ASSERT_TRUE(store.Save(*item));

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

    store.SetNewContactVersion(QStringLiteral("4.0"));
    std::unique_ptr<CContactItem> v4 = store.CreateItem();
    v4->SetField(FIELD_WORK_TEL, QStringLiteral("+55 11 1"));
    ASSERT_TRUE(store.Save(*v4));
    const QByteArray v4Bytes = ReadContactFile(folder + QLatin1Char('/') + v4->FileName());
    EXPECT_TRUE(v4Bytes.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n")) << v4Bytes.constData();
    EXPECT_TRUE(v4Bytes.contains("TEL;TYPE=work,voice:+55 11 1\r\n"));
}

TEST(ContactsStore, BrokenAndForeignFilesAreSkippedWithoutHarmingOthers)
{
    const QString folder = NewContactsFolder(QStringLiteral("broken"));
    // three-cards.vcf: an export dropped into the folder.
    for (const char* file : {"khard-created.vcf", "broken-no-end.vcf", "broken-no-colon.vcf", "three-cards.vcf"})
        CopyContactsData(QString::fromLatin1(file), folder);
    WriteContactFile(folder, QStringLiteral("empty.vcf"), QByteArray());
    WriteContactFile(folder, QStringLiteral("binary.vcf"), QByteArray("\x00\x01\x02\xff", 4));
    WriteContactFile(folder, QStringLiteral("notes.txt"), "BEGIN:VCARD\r\nFN:Not a vcf\r\nEND:VCARD\r\n");

    CContactsStore store(folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.ItemAt(0)->DisplayName(), QStringLiteral("Åsa Berg"));
    EXPECT_EQ(store.ItemAt(1), nullptr);
    EXPECT_EQ(store.ItemAt(-1), nullptr);

    // A save that fails (a folder in the way of the file cannot be
    // replaced, not even by root) says so and leaves the card as it was.
    const QByteArray before = ReadContactFile(folder + QStringLiteral("/khard-created.vcf"));
    CContactItem blocked(store.ItemAt(0)->Card(), QStringLiteral("in-the-way.vcf"), store.ItemAt(0)->Oid());
    blocked.SetField(FIELD_MOBILE_TEL, QStringLiteral("1"));
    QDir().mkpath(folder + QStringLiteral("/in-the-way.vcf"));
    EXPECT_FALSE(store.Save(blocked));
    EXPECT_EQ(store.LastError(), ContactsStoreError::SaveFailed);
    EXPECT_EQ(ReadContactFile(folder + QStringLiteral("/khard-created.vcf")), before);
    EXPECT_EQ(store.Count(), 1);

    // The folder removed under a logon: nothing is left to show.
    QDir(folder).removeRecursively();
    EXPECT_FALSE(store.Refresh());
    EXPECT_EQ(store.Count(), 0);
}

namespace {

// Writes the card with "Berg" made "Borg" to `via` (the card itself, or a
// copy renamed over it), with the file time it had.
void SameSizeEdit(const QString& path, const QString& via)
{
    const QDateTime time = QFileInfo(path).lastModified();
    QFile file(via);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(ReadContactFile(path).replace("Berg", "Borg"));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    if (via != path) {
        ASSERT_EQ(::rename(QFile::encodeName(via).constData(), QFile::encodeName(path).constData()), 0);
    }
}

}  // namespace

TEST(ContactsStore, AChangeByAnotherProgramIsNotOverwritten)
{
    auto grow = [](const QString& path) {
        QByteArray synced = ReadContactFile(path);
        synced.replace("END:VCARD", "NOTE:from the server\nEND:VCARD");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(synced);
    };
    struct Case {
        const char* what;
        void (*act)(const QString& path);
        bool duringSave = false;  // between the first look and the rename
    } cases[] = {
        {"rewritten (grows by a note)", grow},
        {"rewritten while the save writes its file", grow, true},
        // Same size, file time put back: only the inode or change time tells.
        {"replaced by a card of the same size and file time (cp -p, rsync -a)",
         [](const QString& path) { SameSizeEdit(path, QFileInfo(path).path() + QStringLiteral("/copy.tmp")); }},
        {"edited in place, same size, file time put back", [](const QString& path) { SameSizeEdit(path, path); }},
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
        QStringList files;
        QByteArray bytes;
        auto change = [&] {
            c.act(path);
            files = FilesIn(folder);
            bytes = ReadContactFile(path);
        };
        if (c.duringSave)
            store.SetBeforeReplaceHook(change);
        else
            change();
        stale->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+1 555"));
        EXPECT_FALSE(store.Save(*stale)) << c.what;
        EXPECT_EQ(store.LastError(), ContactsStoreError::Conflict) << c.what;
        EXPECT_EQ(FilesIn(folder), files) << c.what;
        EXPECT_EQ(ReadContactFile(path), bytes) << c.what;
    }
    EXPECT_EQ(ContactsStoreErrorMessage(ContactsStoreError::Conflict),
              QStringLiteral("The contact was changed or deleted by another program. Refresh and try again."));
}

// Each run is a new store on the folder, as each start of the program is.
// Its clock runs a minute ahead, so that a listing may stand for the next
// run at once, unless a case holds it a second after the folder's last
// change. The run after each change must show the cards as they are now,
// and say in the trace whether it found the folder as the last listing
// left it and so looked at the files by name alone.
TEST(ContactsStore, ANewRunSeesEveryChangeMadeSinceTheLast)
{
    auto card = [](const char* uid, const char* name) {
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + QByteArray(uid) + "\r\nFN:" + name + "\r\nTEL:1\r\nEND:VCARD\r\n";
    };
    auto path = [](const QString& folder, const char* name) { return QFile::encodeName(folder + u'/' + QLatin1String(name)); };
    auto statOf = [](const QString& folder) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
        return info;
    };
    struct Case {
        const char* what;
        std::function<void(const QString& folder)> change;
        QStringList names;  // after the change
        bool listed;
        const char* broken = nullptr;  // a file of the folder from the start that holds no card
        bool settled = true;
    } cases[] = {
        {"nothing", [](const QString&) {}, {"Anna Berg", "Bo Ek"}, false},
        {"nothing, but every run a second after the folder's last change", [](const QString&) {}, {"Anna Berg", "Bo Ek"},
         true, nullptr, false},
        {"a card edited in place, same size, file time put back",
         [](const QString& folder) { SameSizeEdit(folder + QStringLiteral("/a.vcf"), folder + QStringLiteral("/a.vcf")); },
         {"Anna Borg", "Bo Ek"}, false},
        {"a new card", [&](const QString& folder) { WriteContactFile(folder, QStringLiteral("c.vcf"), card("c", "Carl")); },
         {"Anna Berg", "Bo Ek", "Carl"}, true},
        {"a card deleted", [&](const QString& folder) { ASSERT_EQ(::unlink(path(folder, "b.vcf")), 0); }, {"Anna Berg"}, true},
        {"a card renamed over another",
         [&](const QString& folder) { ASSERT_EQ(::rename(path(folder, "b.vcf"), path(folder, "a.vcf")), 0); }, {"Bo Ek"}, true},
        {"a new card, the folder's time put back (rsync -a)",
         [&](const QString& folder) {
             const struct stat before = statOf(folder);
             WriteContactFile(folder, QStringLiteral("c.vcf"), card("c", "Carl"));
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), times, 0), 0);
         },
         {"Anna Berg", "Bo Ek", "Carl"}, true},
        {"a file without a card beside them, then mended in place",
         [&](const QString& folder) {
             QFile file(folder + QStringLiteral("/broken.vcf"));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(card("d", "Dag"));
         },
         {"Anna Berg", "Bo Ek", "Dag"}, true, "BEGIN:VCARD\r\nFN:no end\r\n"},
    };
    for (const Case& c : cases) {
        const QString folder = NewContactsFolder(QStringLiteral("runs"));
        WriteContactFile(folder, QStringLiteral("a.vcf"), card("a", "Anna Berg"));
        WriteContactFile(folder, QStringLiteral("b.vcf"), card("b", "Bo Ek"));
        if (c.broken)
            WriteContactFile(folder, QStringLiteral("broken.vcf"), c.broken);
        TraceCapture* trace = TraceCapture::Install(g_traceTessaly, TRACE_INFO);
        auto run = [&] {
            CContactsStore store(folder);
            store.SetClockHook([&] {
                const struct stat info = statOf(folder);
                return c.settled ? (qint64(info.st_ctim.tv_sec) + 60) * 1000000000
                                 : qint64(info.st_ctim.tv_sec + 1) * 1000000000 + info.st_ctim.tv_nsec;
            });
            EXPECT_TRUE(store.LogOn());
            QStringList names;  // as the lists show them
            CContactsStore::Summary summary;
            for (int i = 0; store.SummaryAt(i, summary); ++i)
                names << summary.name;
            return std::pair(names, store.SkippedFiles().size());
        };
        run();  // writes the index
        run();  // notes that its listing stands
        c.change(folder);
        trace->Clear();
        EXPECT_EQ(run(), std::pair(c.names, size_t(0))) << c.what;
        // Elsewhere (an overlay, a network share) the folder is always listed.
        EXPECT_EQ(trace->Messages().filter(QStringLiteral("not listed")).isEmpty(),
                  c.listed || !CCardFolder(folder).FolderTimesFollowNames())
            << c.what;
    }
}

namespace {

// The properties of a card file as they were read (folding kept), less
// the named ones (REV changes with every save).
QList<QByteArray> LinesBesides(const QByteArray& file, const QStringList& names)
{
    QList<QByteArray> lines;
    const VCardParseResult parsed = ParseVCards(file);
    for (const VCardProperty& p : parsed.cards.at(0).properties)
        if (!names.contains(p.name))
            lines << p.raw;
    return lines;
}

}  // namespace

// The folder is shared with other address books: an edit of one field
// leaves every other line of the file as it was, byte for byte.
TEST(ContactsStore, AnEditChangesOnlyTheLineItTouches)
{
    for (const char* file : {"khard-created.vcf", "apple-grouped.vcf", "version-4.0.vcf", "phone-2.1.vcf",
                             "nokia-photo-2.1.vcf"}) {
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
        const QStringList added = {"TITLE", "REV", "UID", "FN", "N"};
        EXPECT_EQ(LinesBesides(after, added), LinesBesides(before, added)) << file;
        EXPECT_EQ(LinesBesides(after, {"TITLE", "REV"}).size(), LinesBesides(before, {"TITLE", "REV"}).size() +
                                                                      (before.contains("\nUID:") ? 0 : 1) +
                                                                      (before.contains("\nFN") ? 0 : 1))
            << file;
    }
}

namespace {

// The identifier of each card of the folder as a new store object (another
// run, another window) sees it, by display name.
QHash<QString, quint32> IdsByName(const QString& folder)
{
    CContactsStore store(folder);
    EXPECT_TRUE(store.LogOn());
    QHash<QString, quint32> ids;
    for (int i = 0; i < store.Count(); ++i)
        ids.insert(store.ItemAt(i)->DisplayName(), store.ItemAt(i)->Oid());
    return ids;
}

void SetAge(const QString& path, int hoursAgo)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * hoursAgo), QFileDevice::FileModificationTime));
}

}  // namespace

// Whatever happens to the files between two runs, an identifier never
// moves to another card. Each step acts on the folder and names the cards
// whose identifiers must be as they were before it.
TEST(ObjectIdentifiers, NeverMoveToAnotherCard)
{
    const QString folder = NewContactsFolder(QStringLiteral("stable"));
    for (const char* file : {"shared-uid-home.vcf", "shared-uid-work.vcf", "no-uid-2.1.vcf", "khard-created.vcf"})
        CopyContactsData(QString::fromLatin1(file), folder);
    ASSERT_EQ(ObjectIdOfKey(kOlder), ObjectIdOfKey(kNewer));
    WriteContactFile(folder, QStringLiteral("held.vcf"),
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + kNewer.toLatin1() + "\r\nFN:Held\r\nEND:VCARD\r\n");
    const QString home = folder + QStringLiteral("/shared-uid-home.vcf");
    const QString work = folder + QStringLiteral("/shared-uid-work.vcf");
    SetAge(home, 2);
    SetAge(work, 1);
    const QHash<QString, quint32> first = IdsByName(folder);
    ASSERT_EQ(first.size(), 5);
    auto rename = [&](const char* from, const char* to) {
        ASSERT_TRUE(QFile::rename(folder + QLatin1Char('/') + QLatin1String(from), folder + QLatin1Char('/') + QLatin1String(to)));
    };
    const QString olle = QStringLiteral("Olle Strand");
    const QString asa = QStringLiteral("Åsa Berg");

    struct Step {
        const char* what;
        std::function<void()> act;
        QString gone = {};  // no longer there: its identifier is no one else's
    } steps[] = {
        // A sync tool renames both copies of a UID at once, and the card
        // without UID: each is found by its UID and content.
        {"renamed", [&] {
             rename("shared-uid-home.vcf", "b-home.vcf");
             rename("shared-uid-work.vcf", "a-work.vcf");
             rename("no-uid-2.1.vcf", "olle.vcf");
         }},
        // The pin file is removed and the older copy becomes the newer:
        // the copy beside it still knows who is who.
        {"pin file removed", [&] {
             ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/.tessaly-oids")));
             SetAge(folder + QStringLiteral("/b-home.vcf"), 1);
             SetAge(folder + QStringLiteral("/a-work.vcf"), 3);
         }},
        {"pin file damaged", [&] { WriteContactFile(folder, QStringLiteral(".tessaly-oids"), "garbage\n\x01\x02"); }},
        // The card without UID is edited here and gets one.
        {"saved", [&] {
             CContactsStore store(folder);
             ASSERT_TRUE(store.LogOn());
             std::unique_ptr<CContactItem> item = store.ItemByOid(first.value(olle));
             ASSERT_NE(item, nullptr);
             item->SetField(FIELD_HOME_TEL, QStringLiteral("1"));
             ASSERT_TRUE(store.Save(*item));
             EXPECT_FALSE(item->Uid().isEmpty());
         }},
        // A newcomer whose UID hashes like a card's that is there arrives
        // with an older file time (cp -p): it takes a free identifier.
        {"newcomer with the same hash", [&] {
             WriteContactFile(folder, QStringLiteral("restored.vcf"),
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + kOlder.toLatin1() + "\r\nFN:Restored\r\nEND:VCARD\r\n");
             SetAge(folder + QStringLiteral("/restored.vcf"), 9000);
         }},
        // Another UID takes over Åsa's file: a new identifier there, and
        // hers comes back when her card turns up in another file.
        {"file taken by another card",
         [&] { WriteContactFile(folder, QStringLiteral("khard-created.vcf"), ReadContactsData("no-final-line-end.vcf")); },
         asa},
        {"back in another file", [&] { WriteContactFile(folder, QStringLiteral("asa.vcf"), ReadContactsData("khard-created.vcf")); }},
    };
    for (const Step& step : steps) {
        step.act();
        const QHash<QString, quint32> now = IdsByName(folder);
        for (auto it = first.begin(); it != first.end(); ++it)
            EXPECT_EQ(now.value(it.key()), it.key() == step.gone ? 0u : it.value()) << step.what << ": " << it.key().toStdString();
        const QSet<quint32> ids(now.begin(), now.end());
        EXPECT_EQ(ids.size(), now.size()) << step.what;
        EXPECT_TRUE(step.gone.isEmpty() || !ids.contains(first.value(step.gone))) << step.what;
    }
}

// A store object that is already open takes the identifiers another one
// wrote: the pin file is read again on every refresh.
TEST(ObjectIdentifiers, APinFileWrittenElsewhereIsTakenOnTheNextRefresh)
{
    const QString folder = NewContactsFolder(QStringLiteral("reread"));
    CopyContactsData(QStringLiteral("khard-created.vcf"), folder);
    CContactsStore open(folder);
    ASSERT_TRUE(open.LogOn());
    ASSERT_EQ(open.Count(), 1);
    WriteContactFile(folder, QStringLiteral(".tessaly-oids"), "5eed\tkhard-created.vcf\tme7kn52a5u29qnc9937dw19b2yy6t08zokt2\t0\n");
    ASSERT_TRUE(open.Refresh());
    EXPECT_EQ(open.ItemAt(0)->Oid(), 0x5eedu);
    EXPECT_EQ(open.ItemByOid(0x5eed)->DisplayName(), QStringLiteral("Åsa Berg"));
}
