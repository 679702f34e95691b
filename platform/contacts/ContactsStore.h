#pragma once
// The contacts store: a vdir, one vCard file per contact in one folder,
// as khard and vdirsyncer keep it. Logging on creates the folder when it
// is missing; the cards are read when first needed. Positions follow the
// display names (as an address book lists them) and stay put until the
// next refresh.
//
// What the lists need of each card (name, UID, the twelve fields) is kept
// as UTF-8 in one pool, and the card itself is read again from its file
// when it is asked for: fifty thousand contacts then cost a few megabytes.
// New and changed files are parsed on all cores. The summaries are kept
// in the hidden file ".tessaly-index" of the folder, so that the next run
// looks only at the folder and at the files changed since; while the
// folder's times show that no name came or went since a listing, the next
// run takes the names from the index and looks at each file by name. Each card's
// object identifier is kept in ".tessaly-oids" (ObjectIdentifiers.h),
// with a copy in ".tessaly-oids.bak" from which a lost or damaged one is
// rebuilt. Writes go to a temporary file that is renamed over the old
// one, so a reader never sees half a card.
//
// Not thread-safe: each thread uses its own store object.

#include "platform/contacts/CardFolder.h"
#include "platform/contacts/ContactItem.h"
#include "platform/contacts/ObjectIdentifiers.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

enum class ContactsStoreError {
    None,
    LogOnFailed,   // the folder cannot be created or read
    NotLoggedOn,
    NotFound,      // no contact with that identifier
    SaveFailed,
    DeleteFailed,
    Cancelled,     // a folder read was stopped from outside
    Conflict,      // the file was changed or removed by another program since it was read
};

// What to tell the user about a failed store operation; empty for None.
QString ContactsStoreErrorMessage(ContactsStoreError error);

// A card file that is not one contact of the list, and why.
struct SkippedCardFile {
    QString fileName;
    int cards = 0;   // cards read whole from it
    int broken = 0;  // cards left out because they were broken
    QString reason;
    // Several good cards (an export dropped into the folder) are kept and
    // exported; anything else is a file we cannot read.
    bool IsUnreadable() const { return broken > 0 || cards == 0; }
};

class CContactsStore {
public:
    // $TESSALY_CONTACTS, else $XDG_DATA_HOME/tessaly/contacts.
    static QString DefaultFolder();
    // Files above this size are not read (a card with a huge photo).
    static constexpr qint64 MaxCardFileSize = 16 * 1024 * 1024;

    explicit CContactsStore(QString folder = QString());
    ~CContactsStore();
    CContactsStore(const CContactsStore&) = delete;
    CContactsStore& operator=(const CContactsStore&) = delete;

    bool LogOn();
    void LogOff();
    bool IsLoggedOn() const { return m_loggedOn; }
    const QString& Folder() const { return m_folder; }
    ContactsStoreError LastError() const { return m_lastError; }

    // Reads the folder again; unchanged files are not read again. The
    // folder is first read when it is first needed, not at logon, so a
    // logon on the user-interface thread stays quick.
    bool Refresh();
    // While set, a folder read checks `stop` between files and, when it is
    // set, gives up with the contacts read before kept as they were: a
    // window closing during the read of a large folder need not wait.
    void SetCancelFlag(const std::atomic<bool>* stop) { m_cancel = stop; }
    int Count();
    // The files of the last read that are not in the list.
    const std::vector<SkippedCardFile>& SkippedFiles() const { return m_skipped; }

    // What the lists show of the contact at `position`, without reading its
    // file: false when there is no such position.
    struct Summary {
        QString name;
        std::array<QString, ContactFieldCount> fields;  // trimmed, empty when absent
        quint32 oid = 0;
    };
    // Once the folder is read (Count), several threads may ask at once
    // while nothing changes the store.
    bool SummaryAt(int position, Summary& summary);
    // Field `type` of the contact at `position`, from the summary.
    QString FieldAt(int position, int type);

    // The contact read from its file; null when it is gone or no longer readable.
    std::unique_ptr<CContactItem> ItemAt(int position);
    // Looks in the folder again when the identifier is not known yet or its
    // file changed since.
    std::unique_ptr<CContactItem> ItemByOid(quint32 oid);
    // The files of the contacts with this UID, in file-name order.
    QStringList FilesWithUid(const QString& uid);
    std::unique_ptr<CContactItem> ItemInFile(const QString& fileName);
    QString FileNameAt(int position);
    int PositionOfOid(quint32 oid);

    // A new contact with a fresh UID whose identifier is free; it becomes
    // part of the store with Save.
    std::unique_ptr<CContactItem> CreateItem();
    // Writes the item. An item read from the store whose file another
    // program has changed, replaced, removed or renamed since it was read
    // is not written: false with ContactsStoreError::Conflict. The file is
    // looked at again right before the new one takes its place. An item
    // without a file name gets a new file and never replaces another's.
    bool Save(CContactItem& item);
    bool Delete(quint32 oid);

    // Called after a save's new file is written, right before the last look
    // at the old one and the rename: where a test lets another program's
    // change land.
    void SetBeforeReplaceHook(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

    // The wall clock (nanoseconds since the epoch) that the folder's times
    // are held against: a test moves it on instead of waiting.
    void SetClockHook(std::function<qint64()> nowNs) { m_nowNs = std::move(nowNs); }

    // Version written for new contacts: "3.0" (default) or "4.0".
    void SetNewContactVersion(const QString& version) { m_newVersion = version; }

private:
    // One contact of the list. Its texts are in m_pool at `text`, each
    // 0-terminated: file name, UID, display name, then each present field.
    struct Entry {
        FileStamp stamp;
        quint32 text = 0;
        quint32 oid = 0;
        quint32 contentHash = 0;
        quint16 fieldMask = 0;
        quint16 spare = 0;  // no padding left undefined: entries go to the index file as they are
    };
    struct ReadOutcome;
    // The index file's header; the entries as they are in memory and the pool follow.
    struct IndexHeader {
        char magic[8] = {};
        quint32 count = 0;
        quint32 poolSize = 0;
        FileStamp pinStamp;     // the pin file the identifiers were read from
        FileStamp folderStamp;  // the folder as it was listed, when that listing stands (CCardFolder::ListingStamp)
    };

    static QByteArrayView TextIn(const QByteArray& pool, const Entry& entry, int index);  // 0 file, 1 UID, 2 name, 3... fields
    QByteArrayView TextOf(const Entry& entry, int index) const { return TextIn(m_pool, entry, index); }
    // The order of the list: by folded display name, then by file name.
    static bool SortsBefore(const QString& keyA, const Entry& a, const QString& keyB, const Entry& b, const QByteArray& pool);
    QString FileNameOf(const Entry& entry) const { return QString::fromUtf8(TextOf(entry, 0)); }
    QString UidOf(const Entry& entry) const { return QString::fromUtf8(TextOf(entry, 1)); }
    // Returns the display name as the summary holds it.
    static QString AppendSummary(QByteArray& pool, const QString& fileName, const CContactItem& item, quint16& mask);
    Entry MakeEntry(const QString& fileName, const CContactItem& item, const FileStamp& stamp, quint32 contentHash);
    // `listing` is the folder's stamp from before this refresh's listing, when it can stand.
    bool Indexed(bool sameCards, bool fromIndex, const IndexHeader& index, const FileStamp& listing);
    void EnsurePins();
    const QSet<quint32>& PinnedOids();  // every identifier a pin holds
    quint32 ReturningOid(const QString& uid);
    void AssignIdentifiers();
    void IndexPositions();  // after the entries changed
    const QHash<quint32, int>& Positions();
    bool PinsChangedOnDisk() const;
    void LoadPins();
    void SavePins();
    void AppendPin(const QString& fileName, const ObjectIdPin& pin);
    QString PinFilePath() const;
    QString PinBackupPath() const;
    QString IndexPath() const;
    static bool ReadIndexHeader(QFile& file, IndexHeader& header);
    bool LoadIndex(std::vector<Entry>& entries, QByteArray& pool, IndexHeader& header);
    void SaveIndex();
    void RecordListing(const FileStamp& listing);
    QString PathOf(const QString& fileName) const;
    QString NewFileName(const QString& uid) const;
    bool Fail(ContactsStoreError error) { m_lastError = error; return false; }
    void EnsureScanned();
    std::unique_ptr<CContactItem> ReadItem(const Entry& entry) const;

    QString m_folder;
    QString m_newVersion = QStringLiteral("3.0");
    bool m_loggedOn = false;
    bool m_scanned = false;
    bool m_indexStale = false;  // a save or delete of ours came after the index was written
    ContactsStoreError m_lastError = ContactsStoreError::None;
    const std::atomic<bool>* m_cancel = nullptr;
    // Sorted by display name ignoring case, then file name: the order the
    // lists show, so that loading them inserts at the end.
    std::vector<Entry> m_entries;
    QByteArray m_pool;
    std::vector<SkippedCardFile> m_skipped;
    ObjectIdPins m_pins;   // the identifier of every card, by file name
    bool m_pinsLoaded = false;
    QSet<quint32> m_pinnedOids;
    bool m_pinnedOidsValid = false;
    FileStamp m_pinStamp;  // the pin file as last read or written
    QHash<quint32, int> m_positionOfOid;
    bool m_positionsValid = false;
    std::function<void()> m_beforeReplace;
    std::function<qint64()> m_nowNs;
    FileStamp m_indexFileStamp;  // the index file as this run read it; invalid once written
};
