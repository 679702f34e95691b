#include "platform/contacts/ContactsStore.h"

#include "platform/contacts/CardFolder.h"
#include "platform/contacts/ObjectIdentifiers.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardText.h"
#include "platform/contacts/VCardWriter.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

#include <sys/stat.h>

namespace {

const char* const kPinFileName = ".tessaly-oids";

QString SafeFileStem(const QString& uid)
{
    QString stem;
    for (const QChar c : uid)
        stem += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('_')
                    ? c
                    : QLatin1Char('_');
    return stem.left(120);
}

}  // namespace

QString ContactsStoreErrorMessage(ContactsStoreError error)
{
    switch (error) {
    case ContactsStoreError::None: return QString();
    case ContactsStoreError::Conflict:
        return Tr("The contact was changed or deleted by another program. Refresh and try again.");
    case ContactsStoreError::NotFound: return Tr("The contact was not found.");
    case ContactsStoreError::SaveFailed: return Tr("The contact could not be saved.");
    case ContactsStoreError::DeleteFailed: return Tr("The contact could not be deleted.");
    case ContactsStoreError::Cancelled: return Tr("Reading the contacts was stopped.");
    case ContactsStoreError::LogOnFailed:
    case ContactsStoreError::NotLoggedOn: return Tr("The contacts folder cannot be opened.");
    }
    return QString();
}

QString CContactsStore::DefaultFolder()
{
    const QString overridden = qEnvironmentVariable("TESSALY_CONTACTS");
    if (!overridden.isEmpty())
        return overridden;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/tessaly/contacts");
}

CContactsStore::CContactsStore(QString folder)
    : m_folder(folder.isEmpty() ? DefaultFolder() : std::move(folder))
{
}

CContactsStore::~CContactsStore() = default;

QString CContactsStore::PathOf(const QString& fileName) const
{
    return m_folder + QLatin1Char('/') + fileName;
}

bool CContactsStore::LogOn()
{
    m_lastError = ContactsStoreError::None;
    if (!QDir().mkpath(m_folder) || !QFileInfo(m_folder).isDir()) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Contacts folder %s cannot be created\n", m_folder);
        m_loggedOn = false;
        return Fail(ContactsStoreError::LogOnFailed);
    }
    m_loggedOn = true;
    m_scanned = false;
    LoadPins();
    return true;
}

void CContactsStore::EnsureScanned()
{
    if (m_loggedOn && !m_scanned)
        Refresh();
}

int CContactsStore::Count()
{
    EnsureScanned();
    return static_cast<int>(m_entries.size());
}

void CContactsStore::LogOff()
{
    m_loggedOn = false;
    m_scanned = false;
    m_entries.clear();
    m_positionOfOid.clear();
}

std::shared_ptr<const VCard> CContactsStore::ReadCard(const CCardFolder& folder, const CardFileInfo& file) const
{
    if (file.size > MaxCardFileSize) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Contact file %s is too large, skipped\n", file.fileName);
        return nullptr;
    }
    const std::optional<QByteArray> bytes = folder.Read(file.fileName, file.size, MaxCardFileSize);
    if (!bytes)
        return nullptr;  // removed since the listing, or grown too large
    VCardParseResult parsed = ParseVCards(*bytes);
    if (parsed.cards.size() != 1 || parsed.rejected > 0) {
        // One card per file is the vdir rule; a file holding several
        // cards (an export dropped into the folder) is left alone rather
        // than shown in part and rewritten without the others.
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Contact file %s skipped: %d cards read, %d broken %s\n", file.fileName,
                     static_cast<int>(parsed.cards.size()), parsed.rejected, parsed.firstError);
        return nullptr;
    }
    return std::make_shared<const VCard>(std::move(parsed.cards.front()));
}

bool CContactsStore::Refresh()
{
    if (!m_loggedOn)
        return Fail(ContactsStoreError::NotLoggedOn);
    const CCardFolder folder(m_folder);
    if (!folder.IsOpen()) {
        // The folder went away under us: it holds nothing now.
        m_entries.clear();
        IndexPositions();
        return Fail(ContactsStoreError::LogOnFailed);
    }
    std::vector<CardFileInfo> files = folder.List();

    QHash<QString, const Entry*> previous;
    previous.reserve(qsizetype(m_entries.size()));
    for (const Entry& e : m_entries)
        previous.insert(e.fileName, &e);

    std::vector<Entry> fresh;
    fresh.reserve(files.size());
    size_t unchanged = 0;
    for (CardFileInfo& file : files) {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            return Fail(ContactsStoreError::Cancelled);
        Entry entry;
        entry.modifiedNs = file.modifiedNs;
        entry.size = file.size;
        const auto old = previous.constFind(file.fileName);
        if (old != previous.constEnd() && (*old)->modifiedNs == entry.modifiedNs && (*old)->size == entry.size) {
            entry.card = (*old)->card;
            entry.sortName = (*old)->sortName;
            entry.uid = (*old)->uid;
            entry.oid = (*old)->oid;
            ++unchanged;
        } else {
            entry.card = ReadCard(folder, file);
            if (entry.card)
                entry.sortName = ContactDisplayName(*entry.card);
        }
        entry.fileName = std::move(file.fileName);
        if (entry.card)
            fresh.push_back(std::move(entry));
    }
    std::sort(fresh.begin(), fresh.end(), Before);
    // The same files, none changed: the identifiers are those already given.
    const bool sameCards = m_scanned && unchanged == fresh.size() && fresh.size() == m_entries.size();
    m_entries = std::move(fresh);
    m_scanned = true;
    if (sameCards)
        IndexPositions();
    else
        AssignIdentifiers();
    return true;
}

QString CContactsStore::UidOf(const VCard& card)
{
    QString uid = card.Text(QStringLiteral("UID")).trimmed();
    uid.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char('\t'));
    return uid;
}

void CContactsStore::AssignIdentifiers()
{
    // Another store object (another window, the command-line tool) may have
    // pinned cards since we read the pins.
    qint64 modifiedNs = -1;
    qint64 size = -1;
    StatFile(PinFilePath(), modifiedNs, size);
    if (modifiedNs != m_pinFileModifiedNs || size != m_pinFileSize)
        LoadPins();
    std::vector<ObjectIdCandidate> candidates;
    candidates.reserve(m_entries.size());
    for (Entry& e : m_entries) {
        e.uid = UidOf(*e.card);
        candidates.push_back({e.uid, e.fileName, e.modifiedNs / 1000000});
    }
    const ObjectIdPins pinsBefore = m_pins;
    const std::vector<quint32> ids = AssignObjectIds(candidates, m_pins);
    for (size_t i = 0; i < ids.size(); ++i)
        m_entries[i].oid = ids[i];
    IndexPositions();
    if (m_pins != pinsBefore)
        SavePins();
}

QString CContactsStore::PinFilePath() const
{
    return PathOf(QString::fromLatin1(kPinFileName));
}

// One line per card: identifier (hex), file name, UID. A later line for a
// file replaces an earlier one, so that a save only appends. Lines of the
// older form (identifier, key) name a UID, or "file:" and a file name, or
// "UID|file name".
void CContactsStore::LoadPins()
{
    m_pins.clear();
    m_pinFileModifiedNs = -1;
    m_pinFileSize = -1;
    QFile file(PinFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    StatFile(PinFilePath(), m_pinFileModifiedNs, m_pinFileSize);
    for (const QByteArray& line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 2)
            continue;
        bool ok = false;
        const quint32 oid = fields[0].toUInt(&ok, 16);
        if (!ok || oid == 0)
            continue;
        if (fields.size() >= 3) {
            m_pins.insert(QString::fromUtf8(fields[1]), {oid, QString::fromUtf8(fields[2])});
            continue;
        }
        const QString key = QString::fromUtf8(fields[1]);
        const qsizetype bar = key.lastIndexOf(QLatin1Char('|'));
        if (key.startsWith(QLatin1String("file:")))
            m_pins.insert(key.mid(5), {oid, QString()});
        else if (bar > 0)
            m_pins.insert(key.mid(bar + 1), {oid, key.left(bar)});
        else  // no file name: found by its UID only, as after a rename
            m_pins.insert(QStringLiteral("\x01") + key, {oid, key});
    }
}

void CContactsStore::SavePins()
{
    QSaveFile file(PinFilePath());
    if (m_pins.isEmpty()) {
        QFile::remove(file.fileName());
        m_pinFileModifiedNs = m_pinFileSize = -1;
        return;
    }
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray bytes;
    for (auto it = m_pins.constBegin(); it != m_pins.constEnd(); ++it)
        bytes += QByteArray::number(it->oid, 16) + '\t' + it.key().toUtf8() + '\t' + it->uid.toUtf8() + '\n';
    file.write(bytes);
    if (!file.commit())
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot write %s\n", file.fileName());
    StatFile(PinFilePath(), m_pinFileModifiedNs, m_pinFileSize);
}

void CContactsStore::AppendPin(const QString& fileName, const ObjectIdPin& pin)
{
    const bool current = [&] {
        qint64 modifiedNs = -1;
        qint64 size = -1;
        return StatFile(PinFilePath(), modifiedNs, size) && modifiedNs == m_pinFileModifiedNs && size == m_pinFileSize;
    }();
    m_pins.insert(fileName, pin);
    QFile file(PinFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) ||
        file.write(QByteArray::number(pin.oid, 16) + '\t' + fileName.toUtf8() + '\t' + pin.uid.toUtf8() + '\n') < 0) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot write %s\n", file.fileName());
        return;
    }
    file.close();
    // Our own line does not make the file news to us; another writer's does.
    if (current)
        StatFile(PinFilePath(), m_pinFileModifiedNs, m_pinFileSize);
}

std::unique_ptr<CContactItem> CContactsStore::ItemAt(int position)
{
    EnsureScanned();
    if (position < 0 || position >= static_cast<int>(m_entries.size()))
        return nullptr;
    const Entry& e = m_entries[size_t(position)];
    auto item = std::make_unique<CContactItem>(*e.card, e.fileName, e.oid);
    item->SetReadStamp(e.modifiedNs, e.size);
    return item;
}

int CContactsStore::PositionOfOid(quint32 oid)
{
    EnsureScanned();
    return m_positionOfOid.value(oid, -1);
}

std::unique_ptr<CContactItem> CContactsStore::ItemByUid(const QString& uid)
{
    EnsureScanned();
    const QString wanted = uid.trimmed();
    if (wanted.isEmpty())
        return nullptr;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].uid == wanted)
            return ItemAt(static_cast<int>(i));
    return nullptr;
}

std::unique_ptr<CContactItem> CContactsStore::ItemByOid(quint32 oid)
{
    if (!m_loggedOn) {
        Fail(ContactsStoreError::NotLoggedOn);
        return nullptr;
    }
    int position = PositionOfOid(oid);
    if (position >= 0) {
        // Another program may have changed or removed the file since.
        const Entry& e = m_entries[size_t(position)];
        qint64 modifiedNs = 0;
        qint64 size = 0;
        if (!StatFile(PathOf(e.fileName), modifiedNs, size) || modifiedNs != e.modifiedNs || size != e.size)
            position = -1;
    }
    if (position < 0 && oid != 0) {
        Refresh();
        position = PositionOfOid(oid);
    }
    if (position < 0) {
        Fail(ContactsStoreError::NotFound);
        return nullptr;
    }
    return ItemAt(position);
}

QString CContactsStore::NewFileName(const QString& uid) const
{
    const QString stem = SafeFileStem(uid);
    QString name = stem + QStringLiteral(".vcf");
    for (int n = 2; QFileInfo::exists(PathOf(name)); ++n)
        name = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".vcf");
    return name;
}

std::unique_ptr<CContactItem> CContactsStore::CreateItem()
{
    if (!m_loggedOn) {
        Fail(ContactsStoreError::NotLoggedOn);
        return nullptr;
    }
    EnsureScanned();
    // A UID of ours never collides: we draw again until its identifier is free.
    QString uid;
    do
        uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    while (m_positionOfOid.contains(ObjectIdOfKey(uid)));
    VCard card;
    card.version = m_newVersion == QLatin1String("4.0") ? m_newVersion : QStringLiteral("3.0");
    card.SetText(QStringLiteral("UID"), uid);
    return std::make_unique<CContactItem>(std::move(card), QString(), 0);
}

bool CContactsStore::Save(CContactItem& item)
{
    if (!m_loggedOn)
        return Fail(ContactsStoreError::NotLoggedOn);
    EnsureScanned();
    qint64 diskModifiedNs = 0;
    qint64 diskSize = 0;
    if (item.HasReadStamp() && !item.FileName().isEmpty() &&
        (!StatFile(PathOf(item.FileName()), diskModifiedNs, diskSize) || diskModifiedNs != item.ReadModifiedNs() ||
         diskSize != item.ReadSize())) {
        // A sync tool or an editor changed, removed or renamed the card after
        // we read it: their change is not overwritten with ours, and a card
        // they deleted does not come back.
        TraceMessage(g_traceTessaly, TRACE_ERROR,
                     "Contact %s was changed or removed by another program since it was read, not saved\n",
                     item.FileName());
        return Fail(ContactsStoreError::Conflict);
    }
    VCard& card = item.MutableCard();
    if (card.Text(QStringLiteral("UID")).trimmed().isEmpty())
        card.SetText(QStringLiteral("UID"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    item.CompleteRequiredProperties();
    card.SetText(QStringLiteral("REV"), QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));

    QString fileName = item.FileName();
    if (fileName.isEmpty())
        fileName = NewFileName(card.Text(QStringLiteral("UID")).trimmed());
    QSaveFile file(PathOf(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteVCard(card)) < 0 || !file.commit()) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot save contact %s: %s\n", fileName, file.errorString());
        return Fail(ContactsStoreError::SaveFailed);
    }
    // Only this entry changed: update it in place rather than reading the
    // whole folder again, which would make an import of many cards slow.
    Entry entry;
    entry.fileName = fileName;
    StatFile(file.fileName(), entry.modifiedNs, entry.size);
    entry.card = std::make_shared<const VCard>(card);
    entry.sortName = ContactDisplayName(card);
    entry.uid = UidOf(card);
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.fileName == fileName; });
    if (same != m_entries.end()) {
        // The card keeps its identifier, also when this save gave it its first UID.
        entry.oid = same->oid;
        m_entries.erase(same);
    } else {
        entry.oid = ObjectIdOfKey(entry.uid.isEmpty() ? QStringLiteral("file:") + fileName : entry.uid);
        while (entry.oid == 0 || m_positionOfOid.contains(entry.oid))
            entry.oid = entry.oid == 0xFFFFFFFFu ? 1 : entry.oid + 1;
    }
    const ObjectIdPin pin{entry.oid, entry.uid};
    m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), entry, Before), std::move(entry));
    IndexPositions();
    if (m_pins.value(fileName) != pin)
        AppendPin(fileName, pin);
    const auto saved = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.fileName == fileName; });
    item.SetStoreIdentity(fileName, saved == m_entries.end() ? 0 : saved->oid);
    if (saved != m_entries.end())
        item.SetReadStamp(saved->modifiedNs, saved->size);
    m_lastError = ContactsStoreError::None;
    return true;
}

bool CContactsStore::StatFile(const QString& path, qint64& modifiedNs, qint64& size)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    size = info.st_size;
    return true;
}

bool CContactsStore::Before(const Entry& a, const Entry& b)
{
    const int order = a.sortName.compare(b.sortName, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a.fileName < b.fileName;
}

void CContactsStore::IndexPositions()
{
    m_positionOfOid.clear();
    m_positionOfOid.reserve(qsizetype(m_entries.size()));
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_positionOfOid.insert(m_entries[i].oid, static_cast<int>(i));
}

bool CContactsStore::Delete(quint32 oid)
{
    if (!m_loggedOn)
        return Fail(ContactsStoreError::NotLoggedOn);
    const std::unique_ptr<CContactItem> item = ItemByOid(oid);
    if (!item)
        return Fail(ContactsStoreError::NotFound);
    if (!QFile::remove(PathOf(item->FileName()))) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot delete contact file %s\n", item->FileName());
        return Fail(ContactsStoreError::DeleteFailed);
    }
    const int position = PositionOfOid(oid);
    if (position >= 0)
        m_entries.erase(m_entries.begin() + position);
    IndexPositions();
    m_lastError = ContactsStoreError::None;
    return true;
}
