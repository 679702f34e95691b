#pragma once
// The contacts store: a vdir, one vCard file per contact in one folder,
// as khard and vdirsyncer keep it. Logging on creates the folder when it
// is missing; the cards are read when first needed. Positions follow the
// display names (as an address book lists them) and stay put until the
// next refresh. Writes go to a temporary file that is renamed over the
// old one, so a reader never sees half a card. Each card's object
// identifier is kept in the hidden file ".tessaly-oids" of the folder, so
// that it stays with the card (ObjectIdentifiers.h).
//
// Not thread-safe: each thread uses its own store object.

#include "platform/contacts/ContactItem.h"
#include "platform/contacts/ObjectIdentifiers.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
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

class CCardFolder;
struct CardFileInfo;

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

    // Reads the folder again; unchanged files are not parsed again. The
    // folder is first read when it is first needed, not at logon, so a
    // logon on the user-interface thread stays quick.
    bool Refresh();
    // While set, a folder read checks `stop` between files and, when it is
    // set, gives up with the contacts read before kept as they were: a
    // window closing during the read of a large folder need not wait.
    void SetCancelFlag(const std::atomic<bool>* stop) { m_cancel = stop; }
    int Count();
    std::unique_ptr<CContactItem> ItemAt(int position);
    // Looks in the folder again when the identifier is not known yet.
    std::unique_ptr<CContactItem> ItemByOid(quint32 oid);
    std::unique_ptr<CContactItem> ItemByUid(const QString& uid);
    int PositionOfOid(quint32 oid);

    // A new contact with a fresh UID whose identifier is free; it becomes
    // part of the store with Save.
    std::unique_ptr<CContactItem> CreateItem();
    // Writes the item. An item read from the store whose file another
    // program has changed, removed or renamed since is not written: false
    // with ContactsStoreError::Conflict (ContactsStoreErrorMessage tells the user).
    bool Save(CContactItem& item);
    bool Delete(quint32 oid);

    // Version written for new contacts: "3.0" (default) or "4.0".
    void SetNewContactVersion(const QString& version) { m_newVersion = version; }

private:
    struct Entry {
        QString fileName;
        qint64 modifiedNs = 0;  // file time, nanoseconds since the epoch
        qint64 size = 0;
        std::shared_ptr<const VCard> card;
        QString sortName;       // the display name, for the order of positions
        QString uid;            // trimmed, empty when the card has none
        quint32 oid = 0;
    };

    std::shared_ptr<const VCard> ReadCard(const CCardFolder& folder, const CardFileInfo& file) const;
    void AssignIdentifiers();
    void IndexPositions();
    void LoadPins();
    void SavePins();
    void AppendPin(const QString& fileName, const ObjectIdPin& pin);
    QString PinFilePath() const;
    static QString UidOf(const VCard& card);
    QString PathOf(const QString& fileName) const;
    QString NewFileName(const QString& uid) const;
    bool Fail(ContactsStoreError error) { m_lastError = error; return false; }

    QString m_folder;
    QString m_newVersion = QStringLiteral("3.0");
    void EnsureScanned();
    static bool StatFile(const QString& path, qint64& modifiedNs, qint64& size);
    static bool Before(const Entry& a, const Entry& b);

    bool m_loggedOn = false;
    bool m_scanned = false;
    ContactsStoreError m_lastError = ContactsStoreError::None;
    // Sorted by display name ignoring case, then file name: the order the
    // lists show, so that loading them inserts at the end.
    const std::atomic<bool>* m_cancel = nullptr;
    std::vector<Entry> m_entries;
    ObjectIdPins m_pins;                     // the identifier of every card, by file name
    qint64 m_pinFileModifiedNs = -1;         // the pin file as last read or written
    qint64 m_pinFileSize = -1;
    QHash<quint32, int> m_positionOfOid;
};
