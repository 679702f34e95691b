#include "platform/contacts/ContactsStore.h"

#include "platform/contacts/CardFolder.h"
#include "platform/contacts/ObjectIdentifiers.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardText.h"
#include "platform/contacts/VCardWriter.h"
#include "support/Trace.h"

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
    m_entries = std::move(fresh);
    m_scanned = true;
    AssignIdentifiers();
    return true;
}

void CContactsStore::AssignIdentifiers()
{
    // The key is the UID; a file without one is known by its name, and a
    // UID found in two files (a copied file) by UID and name.
    QSet<QString> seen;
    std::vector<ObjectIdCandidate> candidates;
    candidates.reserve(m_entries.size());
    for (Entry& e : m_entries) {
        QString uid = e.card->Text(QStringLiteral("UID")).trimmed();
        uid.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char('\t'));
        if (uid.isEmpty())
            uid = QStringLiteral("file:") + e.fileName;
        if (seen.contains(uid))
            uid += QLatin1Char('|') + e.fileName;
        seen.insert(uid);
        e.key = uid;
        candidates.push_back({uid, e.modifiedNs / 1000000});
    }
    const QHash<QString, quint32> pinsBefore = m_pins;
    const std::vector<quint32> ids = AssignObjectIds(candidates, m_pins);
    for (size_t i = 0; i < ids.size(); ++i)
        m_entries[i].oid = ids[i];
    IndexPositions();
    if (m_pins != pinsBefore)
        SavePins();
}

void CContactsStore::LoadPins()
{
    m_pins.clear();
    QFile file(PathOf(QString::fromLatin1(kPinFileName)));
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const quint32 oid = line.left(tab).toUInt(&ok, 16);
        if (ok && oid != 0)
            m_pins.insert(QString::fromUtf8(line.mid(tab + 1)), oid);
    }
}

void CContactsStore::SavePins() const
{
    QSaveFile file(PathOf(QString::fromLatin1(kPinFileName)));
    if (m_pins.isEmpty()) {
        QFile::remove(file.fileName());
        return;
    }
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (auto it = m_pins.constBegin(); it != m_pins.constEnd(); ++it)
        file.write(QByteArray::number(it.value(), 16) + '\t' + it.key().toUtf8() + '\n');
    if (!file.commit())
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot write %s\n", file.fileName());
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
        if (m_entries[i].key == wanted)
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
    if (item.HasReadStamp() && !item.FileName().isEmpty() && StatFile(PathOf(item.FileName()), diskModifiedNs, diskSize) &&
        (diskModifiedNs != item.ReadModifiedNs() || diskSize != item.ReadSize())) {
        // A sync tool or an editor wrote the card after we read it: their
        // change is not overwritten with ours.
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Contact %s was changed by another program since it was read, not saved\n",
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
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.fileName == fileName; });
    if (same != m_entries.end()) {
        entry.key = same->key;
        entry.oid = same->oid;
        m_entries.erase(same);
        m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), entry, Before), std::move(entry));
        IndexPositions();
    } else {
        const QString uid = card.Text(QStringLiteral("UID")).trimmed();
        const quint32 oid = ObjectIdOfKey(uid);
        bool keyTaken = false;
        for (const Entry& e : m_entries)
            keyTaken = keyTaken || e.key == uid;
        entry.key = uid;
        entry.oid = oid;
        m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), entry, Before), std::move(entry));
        if (uid.isEmpty() || keyTaken || m_positionOfOid.contains(oid) || uid.contains(QLatin1Char('\n')))
            AssignIdentifiers();
        else
            IndexPositions();
    }
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
