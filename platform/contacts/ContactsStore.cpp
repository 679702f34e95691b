#include "platform/contacts/ContactsStore.h"

#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardWriter.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUuid>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kPinFileName = ".tessaly-oids";
const char* const kPinBackupName = ".tessaly-oids.bak";
const char* const kIndexName = ".tessaly-index";
constexpr char kIndexMagic[8] = {'T', 'S', 'L', 'Y', 'I', 'X', '0', '4'};
// Fewer files than this are read on the calling thread alone.
constexpr size_t kFilesPerThreadAtLeast = 64;

QString SafeFileStem(const QString& uid)
{
    QString stem;
    for (const QChar c : uid)
        stem += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('_')
                    ? c
                    : QLatin1Char('_');
    return stem.left(120);
}

QString CleanUid(const CContactItem& item)
{
    QString uid = item.Uid();
    uid.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char('\t'));
    return uid;
}

// Writes `bytes` to a new file beside `path` and renames it into place, so
// a reader sees the old card or the new one, never half of one. Right
// before the rename the target is looked at once more: it must still be
// the file that was read (`expected`), or, for a new card, not be there.
ContactsStoreError WriteCardFile(const QString& path, const QByteArray& bytes, const FileStamp& expected, bool isNew,
                                 const std::function<void()>& beforeReplace)
{
    const QString folder = QFileInfo(path).path();
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = QFile::encodeName(folder + QStringLiteral("/.tessaly-save-") +
                                 QString::number(QRandomGenerator::global()->generate64(), 36));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return ContactsStoreError::SaveFailed;
    struct stat old {};
    if (!isNew && ::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);  // the user's permissions stay
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) {
        ::unlink(temp.constData());
        return ContactsStoreError::SaveFailed;
    }
    if (beforeReplace)
        beforeReplace();
    if (expected.IsValid() && StampOfFile(path) != expected) {
        ::unlink(temp.constData());
        return ContactsStoreError::Conflict;
    }
    int renamed = 0;
    if (isNew)
        renamed = ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    else
        renamed = ::rename(temp.constData(), target.constData());
    if (renamed != 0) {
        const bool taken = errno == EEXIST;
        ::unlink(temp.constData());
        return taken ? ContactsStoreError::Conflict : ContactsStoreError::SaveFailed;
    }
    return ContactsStoreError::None;
}

// One line per card: identifier (hex), file name, UID, content hash (hex).
// A later line for a file replaces an earlier one, so a save only appends.
// False when the file is missing, empty, cut short or holds a line that
// is not a pin: then the copy beside it is the better one.
bool ParsePins(const QString& path, ObjectIdPins& pins)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    bool whole = !bytes.isEmpty() && bytes.endsWith('\n');
    pins.reserve(pins.size() + bytes.count('\n'));
    // Sliced in place: a pin file of fifty thousand lines is read at once.
    const QByteArrayView all(bytes);
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype end = all.indexOf('\n', pos);
        if (end < 0)
            end = all.size();
        const QByteArrayView line = all.sliced(pos, end - pos);
        pos = end + 1;
        if (line.isEmpty())
            continue;
        QByteArrayView fields[5];
        int count = 0;
        for (qsizetype from = 0; count < 5;) {
            const qsizetype tab = line.indexOf('\t', from);
            fields[count++] = line.sliced(from, (tab < 0 ? line.size() : tab) - from);
            if (tab < 0)
                break;
            from = tab + 1;
        }
        bool ok = count == 3 || count == 4;
        const quint32 oid = ok ? fields[0].toUInt(&ok, 16) : 0;
        const quint32 hash = ok && count == 4 ? fields[3].toUInt(&ok, 16) : 0;
        if (!ok || oid == 0 || fields[1].isEmpty()) {
            whole = false;
            continue;
        }
        pins.insert(QString::fromUtf8(fields[1]), {oid, QString::fromUtf8(fields[2]), hash});
    }
    return whole;
}

QByteArray PinLine(const QString& key, const ObjectIdPin& pin)
{
    return QByteArray::number(pin.oid, 16) + '\t' + key.toUtf8() + '\t' + pin.uid.toUtf8() + '\t' +
           QByteArray::number(pin.contentHash, 16) + '\n';
}

bool AppendToFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size();
}

}  // namespace

// The outcome of reading one file, on a reader thread: the summary goes to
// the thread's own pool, so no thread allocates per card what another frees.
struct CContactsStore::ReadOutcome {
    size_t file = 0;
    bool ok = false;
    quint32 text = 0;  // in the thread's pool
    quint16 fieldMask = 0;
    quint32 contentHash = 0;
    FileStamp stamp;
    QString sortKey;  // the display name, case-folded
    SkippedCardFile skipped;
};

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

QString CContactsStore::PinFilePath() const
{
    return PathOf(QString::fromLatin1(kPinFileName));
}

QString CContactsStore::PinBackupPath() const
{
    return PathOf(QString::fromLatin1(kPinBackupName));
}

QString CContactsStore::IndexPath() const
{
    return PathOf(QString::fromLatin1(kIndexName));
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
    // The pins are read when identifiers must be given; a run that finds
    // the index current never needs them.
    m_pinsLoaded = false;
    m_pinStamp = StampOfFile(PinFilePath());
    return true;
}

void CContactsStore::LogOff()
{
    m_loggedOn = false;
    m_scanned = false;
    m_entries.clear();
    m_pool.clear();
    m_skipped.clear();
    IndexPositions();
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

QByteArrayView CContactsStore::TextIn(const QByteArray& pool, const Entry& entry, int index)
{
    const char* p = pool.constData() + entry.text;
    for (int i = 0; i < index; ++i)
        p += std::strlen(p) + 1;
    return QByteArrayView(p, qsizetype(std::strlen(p)));
}

bool CContactsStore::SortsBefore(const QString& keyA, const Entry& a, const QString& keyB, const Entry& b,
                                 const QByteArray& pool)
{
    const int byName = keyA.compare(keyB);
    if (byName != 0)
        return byName < 0;
    return std::strcmp(pool.constData() + a.text, pool.constData() + b.text) < 0;
}

QString CContactsStore::AppendSummary(QByteArray& pool, const QString& fileName, const CContactItem& item, quint16& mask)
{
    auto put = [&](const QString& text) {
        pool += text.toUtf8().replace('\0', ' ');
        pool += '\0';
    };
    QString name = item.DisplayName();
    name.replace(QChar(0), QLatin1Char(' '));
    put(fileName);
    put(CleanUid(item));
    put(name);
    mask = 0;
    for (int type = 0; type < ContactFieldCount; ++type) {
        const QString value = item.Field(type).trimmed();
        if (value.isEmpty())
            continue;
        mask |= quint16(ContactFieldMask(type));
        put(value);
    }
    return name;
}

CContactsStore::Entry CContactsStore::MakeEntry(const QString& fileName, const CContactItem& item, const FileStamp& stamp,
                                                quint32 contentHash)
{
    Entry entry;
    entry.stamp = stamp;
    entry.contentHash = contentHash;
    entry.text = quint32(m_pool.size());
    AppendSummary(m_pool, fileName, item, entry.fieldMask);
    return entry;
}

bool CContactsStore::SummaryAt(int position, Summary& summary)
{
    EnsureScanned();
    if (position < 0 || position >= static_cast<int>(m_entries.size()))
        return false;
    const Entry& entry = m_entries[size_t(position)];
    // Decoded into the texts' own buffers: a list of fifty thousand then
    // allocates nothing per contact here.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    auto decode = [&utf8](QString& text, QByteArrayView bytes) {
        text.resize(bytes.size());
        text.truncate(utf8.appendToBuffer(text.data(), bytes) - text.constData());
    };
    const QByteArrayView name = TextOf(entry, 2);
    decode(summary.name, name);
    const char* p = name.constData() + name.size() + 1;
    for (int type = 0; type < ContactFieldCount; ++type) {
        if (!(entry.fieldMask & ContactFieldMask(type))) {
            summary.fields[size_t(type)].clear();
            continue;
        }
        const QByteArrayView field(p, qsizetype(std::strlen(p)));
        decode(summary.fields[size_t(type)], field);
        p += field.size() + 1;
    }
    summary.oid = entry.oid;
    return true;
}

QString CContactsStore::FieldAt(int position, int type)
{
    EnsureScanned();
    if (position < 0 || position >= static_cast<int>(m_entries.size()) || type < 0 || type >= ContactFieldCount)
        return QString();
    const Entry& entry = m_entries[size_t(position)];
    if (!(entry.fieldMask & ContactFieldMask(type)))
        return QString();
    return QString::fromUtf8(TextOf(entry, 3 + std::popcount(quint32(entry.fieldMask) & (ContactFieldMask(type) - 1))));
}

bool CContactsStore::Refresh()
{
    if (!m_loggedOn)
        return Fail(ContactsStoreError::NotLoggedOn);
    const CCardFolder folder(m_folder);
    if (!folder.IsOpen()) {
        // The folder went away under us: it holds nothing now.
        m_entries.clear();
        m_pool.clear();
        m_skipped.clear();
        IndexPositions();
        return Fail(ContactsStoreError::LogOnFailed);
    }
    // Taken before the folder is listed: a change during the listing moves it.
    const FileStamp listing = folder.ListingStamp(
        m_nowNs ? m_nowNs()
                : qint64(std::chrono::nanoseconds(std::chrono::system_clock::now().time_since_epoch()).count()));
    // What is known of each file: from this logon, or from the last run's index.
    std::vector<Entry> known;
    QByteArray knownPool;
    IndexHeader index;
    bool fromIndex = false;
    bool namesKnown = false;  // the folder holds the files the index names, and no others
    std::vector<CardFileInfo> files;
    if (m_scanned) {
        known = m_entries;
        knownPool = m_pool;
        files = folder.List();
    } else {
        QFile indexFile(IndexPath());
        if (listing.IsValid() && indexFile.open(QIODevice::ReadOnly) && ReadIndexHeader(indexFile, index) &&
            index.folderStamp == listing) {
            indexFile.close();
            fromIndex = namesKnown = LoadIndex(known, knownPool, index);
        }
        if (namesKnown) {
            TraceMessage(g_traceTessaly, TRACE_INFO, "Contacts folder %s unchanged since the index was made, not listed\n",
                         m_folder);
            files.reserve(known.size());
            // The names point into the pool, each ending with its 0 there.
            for (const Entry& entry : known)
                files.push_back({QByteArray::fromRawData(knownPool.constData() + entry.text,
                                                         qsizetype(std::strlen(knownPool.constData() + entry.text))),
                                 {}});
        } else {
            // The index is read while the folder is listed.
            std::jthread indexReader([&] { fromIndex = LoadIndex(known, knownPool, index); });
            files = folder.List();
        }
    }
    // Stamps tell which known files are unchanged; with nothing known every
    // file is read, and its stamp comes with the read.
    if (!known.empty())
        folder.Stamp(files);
    const size_t listed = files.size();
    std::vector<size_t> keptOf(files.size(), SIZE_MAX);
    std::vector<size_t> toRead;
    if (namesKnown && files.size() == known.size()) {
        // The same names in the same order; none was dropped by its stamp.
        for (size_t f = 0; f < files.size(); ++f) {
            if (known[f].stamp == files[f].stamp)
                keptOf[f] = f;
            else
                toRead.push_back(f);
        }
    } else {
        QHash<QByteArrayView, size_t> knownByName;
        knownByName.reserve(qsizetype(known.size()));
        for (size_t i = 0; i < known.size(); ++i)
            knownByName.insert(QByteArrayView(knownPool.constData() + known[i].text), i);
        for (size_t f = 0; f < files.size(); ++f) {
            const auto it = knownByName.constFind(QByteArrayView(files[f].name));
            if (it != knownByName.constEnd() && known[*it].stamp == files[f].stamp)
                keptOf[f] = *it;
            else
                toRead.push_back(f);
        }
    }

    // New and changed files, parsed on every core: each reader takes an
    // equal share, writes only its own outcomes and pool, and sorts what it
    // read, so that one merge puts the list in order.
    const size_t threads = std::clamp<size_t>(toRead.size() / kFilesPerThreadAtLeast, 1,
                                              std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::vector<ReadOutcome>> outcomes(threads);
    std::vector<QByteArray> pools(threads);
    std::atomic<bool> cancelled{false};
    auto readShare = [&](size_t share) {
        const size_t begin = toRead.size() * share / threads;
        const size_t end = toRead.size() * (share + 1) / threads;
        std::vector<ReadOutcome>& out = outcomes[share];
        QByteArray& pool = pools[share];
        out.reserve(end - begin);
        for (size_t k = begin; k < end; ++k) {
            if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
                cancelled = true;
                return;
            }
            const CardFileInfo& file = files[toRead[k]];
            const QString fileName = file.FileName();
            ReadOutcome outcome;
            outcome.file = toRead[k];
            outcome.skipped.fileName = fileName;
            const std::optional<QByteArray> bytes = folder.Read(fileName, MaxCardFileSize, &outcome.stamp);
            if (!bytes) {
                const FileStamp now = StampOfFile(PathOf(fileName));
                if (!now.IsValid())
                    continue;  // removed since the listing, or no card file
                outcome.skipped.reason =
                    now.size > MaxCardFileSize ? QStringLiteral("larger than 16 MB") : QStringLiteral("cannot be read");
                out.push_back(std::move(outcome));
                continue;
            }
            outcome.contentHash = ContentHashOf(bytes->constData(), bytes->size());
            VCardParseResult parsed = ParseVCards(*bytes, VCardParseMode::ListedValues);
            outcome.skipped.cards = int(parsed.cards.size());
            outcome.skipped.broken = parsed.rejected;
            if (parsed.cards.size() == 1 && parsed.rejected == 0) {
                outcome.ok = true;
                outcome.text = quint32(pool.size());
                outcome.sortKey = AppendSummary(pool, fileName, CContactItem(std::move(parsed.cards.front()), QString(), 0),
                                                outcome.fieldMask)
                                      .toCaseFolded();
            } else if (parsed.rejected > 0) {
                outcome.skipped.reason = parsed.firstError;
            } else {
                outcome.skipped.reason = parsed.cards.empty() ? QStringLiteral("no card in it")
                                                              : QStringLiteral("holds %1 cards").arg(parsed.cards.size());
            }
            out.push_back(std::move(outcome));
        }
        std::sort(out.begin(), out.end(), [&](const ReadOutcome& a, const ReadOutcome& b) {
            if (a.ok != b.ok)
                return a.ok;
            const int byName = a.sortKey.compare(b.sortKey);
            return byName != 0 ? byName < 0 : files[a.file].name < files[b.file].name;
        });
    };
    {
        std::vector<std::jthread> helpers;
        for (size_t share = 1; share < threads; ++share)
            helpers.emplace_back(readShare, share);
        readShare(0);
    }  // the helpers are joined here
    if (cancelled)
        return Fail(ContactsStoreError::Cancelled);

    // Nothing new, nothing changed, nothing gone: the known list stands.
    if (toRead.empty() && files.size() == known.size()) {
        m_entries = std::move(known);
        m_pool = std::move(knownPool);
        m_skipped.clear();
        // A listing that found a card in every file can stand for later runs.
        return Indexed(true, fromIndex, index, namesKnown || listed != m_entries.size() ? FileStamp() : listing);
    }
    QByteArray pool;
    pool.reserve(knownPool.size() + [&] {
        qsizetype sum = 0;
        for (const QByteArray& p : pools)
            sum += p.size();
        return sum;
    }());
    auto appendText = [&pool](const char* text, quint16 mask) {
        const char* end = text;
        for (int i = 0; i < 3 + std::popcount(quint32(mask)); ++i)
            end += std::strlen(end) + 1;
        const quint32 at = quint32(pool.size());
        pool.append(text, end - text);
        return at;
    };

    // The kept ones in their known (sorted) order, as the listing has none.
    std::vector<size_t> keptOrder;
    keptOrder.reserve(files.size());
    for (size_t f = 0; f < files.size(); ++f)
        if (keptOf[f] != SIZE_MAX)
            keptOrder.push_back(keptOf[f]);
    std::sort(keptOrder.begin(), keptOrder.end());
    std::vector<Entry> kept;
    kept.reserve(keptOrder.size());
    for (size_t k : keptOrder) {
        Entry entry = known[k];
        entry.text = appendText(knownPool.constData() + entry.text, entry.fieldMask);
        kept.push_back(entry);
    }

    // The readers' sorted runs, merged into one.
    struct Added {
        Entry entry;
        QString key;
    };
    std::vector<Added> added;
    std::vector<SkippedCardFile> skipped;
    for (size_t share = 0; share < threads; ++share) {
        const auto runBegin = ptrdiff_t(added.size());
        for (ReadOutcome& outcome : outcomes[share]) {
            if (!outcome.ok) {
                TraceMessage(g_traceTessaly, TRACE_ERROR, "Contact file %s skipped: %s\n", outcome.skipped.fileName,
                             outcome.skipped.reason);
                skipped.push_back(std::move(outcome.skipped));
                continue;
            }
            Entry entry;
            entry.stamp = outcome.stamp;
            entry.contentHash = outcome.contentHash;
            entry.fieldMask = outcome.fieldMask;
            entry.text = appendText(pools[share].constData() + outcome.text, outcome.fieldMask);
            added.push_back({entry, std::move(outcome.sortKey)});
        }
        pools[share] = QByteArray();
        outcomes[share] = {};
        std::inplace_merge(added.begin(), added.begin() + runBegin, added.end(), [&](const Added& a, const Added& b) {
            return SortsBefore(a.key, a.entry, b.key, b.entry, pool);
        });
    }
    std::sort(skipped.begin(), skipped.end(),
              [](const SkippedCardFile& a, const SkippedCardFile& b) { return a.fileName < b.fileName; });

    // Then with the kept ones; their keys are made only where the merge asks.
    std::vector<QString> keptKeys(kept.size());
    std::vector<bool> keptKeyMade(kept.size(), false);
    auto keptKey = [&](size_t i) -> const QString& {
        if (!keptKeyMade[i]) {
            keptKeys[i] = QString::fromUtf8(TextIn(pool, kept[i], 2)).toCaseFolded();
            keptKeyMade[i] = true;
        }
        return keptKeys[i];
    };
    std::vector<Entry> fresh;
    fresh.reserve(kept.size() + added.size());
    size_t next = 0;
    for (const Added& a : added) {
        size_t low = next;
        size_t high = kept.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (SortsBefore(keptKey(middle), kept[middle], a.key, a.entry, pool))
                low = middle + 1;
            else
                high = middle;
        }
        fresh.insert(fresh.end(), kept.begin() + ptrdiff_t(next), kept.begin() + ptrdiff_t(low));
        next = low;
        fresh.push_back(a.entry);
    }
    fresh.insert(fresh.end(), kept.begin() + ptrdiff_t(next), kept.end());

    const bool sameCards = kept.size() == known.size() && added.empty();
    m_entries = std::move(fresh);
    m_pool = std::move(pool);
    m_skipped = std::move(skipped);
    return Indexed(sameCards, fromIndex, index, FileStamp());
}

bool CContactsStore::Indexed(bool sameCards, bool fromIndex, const IndexHeader& index, const FileStamp& listing)
{
    const FileStamp& indexPinStamp = index.pinStamp;
    const bool wasScanned = m_scanned;
    m_scanned = true;
    // The pin file is looked at on every read: another window or the
    // command-line tool may have pinned cards since.
    const FileStamp pinsNow = StampOfFile(PinFilePath());
    const bool pinsChanged = pinsNow != m_pinStamp;
    if (pinsChanged)
        m_pinsLoaded = false;
    const bool identifiersKnown = wasScanned ? !pinsChanged : fromIndex && indexPinStamp == pinsNow;
    if (sameCards && identifiersKnown)
        IndexPositions();
    else
        AssignIdentifiers();
    // The index is written when it no longer tells what is in the folder;
    // a window watching the folder then reads once more and finds it current.
    const bool indexCurrent =
        wasScanned ? sameCards && !pinsChanged && !m_indexStale : fromIndex && sameCards && indexPinStamp == m_pinStamp;
    if (!indexCurrent) {
        SaveIndex();
        m_indexStale = false;
    } else if (fromIndex && listing.IsValid() && listing != index.folderStamp) {
        RecordListing(listing);
    }
    m_lastError = ContactsStoreError::None;
    return true;
}

bool CContactsStore::PinsChangedOnDisk() const
{
    return StampOfFile(PinFilePath()) != m_pinStamp;
}

void CContactsStore::EnsurePins()
{
    if (!m_pinsLoaded)
        LoadPins();
}

const QSet<quint32>& CContactsStore::PinnedOids()
{
    EnsurePins();
    if (!m_pinnedOidsValid) {
        m_pinnedOids.clear();
        m_pinnedOids.reserve(m_pins.size());
        for (const ObjectIdPin& pin : std::as_const(m_pins))
            m_pinnedOids.insert(pin.oid);
        m_pinnedOidsValid = true;
    }
    return m_pinnedOids;
}

quint32 CContactsStore::ReturningOid(const QString& uid)
{
    // A card that comes back (a restore of one deleted before) gets the
    // identifier it had, kept by its retired pin.
    if (uid.isEmpty())
        return 0;
    EnsurePins();
    for (auto it = m_pins.begin(); it != m_pins.end(); ++it) {
        if (!IsRetiredPinKey(it.key()) || it->uid != uid || Positions().contains(it->oid))
            continue;
        const quint32 oid = it->oid;
        m_pins.erase(it);
        return oid;
    }
    return 0;
}

void CContactsStore::AssignIdentifiers()
{
    EnsurePins();
    std::vector<ObjectIdCandidate> candidates;
    candidates.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        candidates.push_back({UidOf(e), FileNameOf(e), e.stamp.modifiedNs / 1000000, e.contentHash});
    const ObjectIdPins pinsBefore = m_pins;
    const std::vector<quint32> ids = AssignObjectIds(candidates, m_pins);
    m_pinnedOidsValid = false;
    for (size_t i = 0; i < ids.size(); ++i)
        m_entries[i].oid = ids[i];
    IndexPositions();
    if (m_pins != pinsBefore || !StampOfFile(PinBackupPath()).IsValid())
        SavePins();
}

void CContactsStore::LoadPins()
{
    m_pinsLoaded = true;
    m_pinnedOidsValid = false;
    m_pins.clear();
    ObjectIdPins fromMain;
    const bool mainWhole = ParsePins(PinFilePath(), fromMain);
    m_pinStamp = StampOfFile(PinFilePath());
    ObjectIdPins fromBackup;
    if (!mainWhole && ParsePins(PinBackupPath(), fromBackup)) {
        // The pin file was removed or damaged: the copy beside it keeps
        // every card's identifier.
        TraceMessage(g_traceTessaly, TRACE_ERROR, "%s is missing or damaged, rebuilt from %s\n", PinFilePath(),
                     PinBackupPath());
        m_pins = std::move(fromBackup);
        for (auto it = fromMain.constBegin(); it != fromMain.constEnd(); ++it)
            m_pins.insert(it.key(), it.value());
        SavePins();
        return;
    }
    m_pins = std::move(fromMain);
}

void CContactsStore::SavePins()
{
    QByteArray bytes;
    for (auto it = m_pins.constBegin(); it != m_pins.constEnd(); ++it)
        bytes += PinLine(it.key(), it.value());
    // The copy first: a crash between the two leaves one whole file.
    for (const QString& path : {PinBackupPath(), PinFilePath()}) {
        if (m_pins.isEmpty()) {
            QFile::remove(path);
            continue;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot write %s\n", path);
    }
    m_pinStamp = StampOfFile(PinFilePath());
}

void CContactsStore::AppendPin(const QString& fileName, const ObjectIdPin& pin)
{
    EnsurePins();
    const bool current = !PinsChangedOnDisk();
    m_pins.insert(fileName, pin);
    if (m_pinnedOidsValid)
        m_pinnedOids.insert(pin.oid);
    const QByteArray line = PinLine(fileName, pin);
    if (!AppendToFile(PinBackupPath(), line) || !AppendToFile(PinFilePath(), line)) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot write %s\n", PinFilePath());
        return;
    }
    // Our own line does not make the file news to us; another writer's does.
    if (current)
        m_pinStamp = StampOfFile(PinFilePath());
}

bool CContactsStore::ReadIndexHeader(QFile& file, IndexHeader& header)
{
    static_assert(std::is_trivially_copyable_v<IndexHeader> && sizeof(IndexHeader) == 80);
    return file.read(reinterpret_cast<char*>(&header), sizeof header) == qint64(sizeof header) &&
           std::memcmp(header.magic, kIndexMagic, sizeof kIndexMagic) == 0;
}

bool CContactsStore::LoadIndex(std::vector<Entry>& entries, QByteArray& pool, IndexHeader& header)
{
    QFile file(IndexPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(1) << 31 || !ReadIndexHeader(file, header))
        return false;
    m_indexFileStamp = StampOfDescriptor(file.handle());
    const qint64 entryBytes = qint64(header.count) * qint64(sizeof(Entry));
    if (file.size() != qint64(sizeof header) + entryBytes + header.poolSize || header.poolSize == 0)
        return false;
    entries.resize(header.count);
    pool.resize(header.poolSize);
    if (file.read(reinterpret_cast<char*>(entries.data()), entryBytes) != entryBytes ||
        file.read(pool.data(), pool.size()) != pool.size() || pool.back() != '\0') {
        entries.clear();
        pool.clear();
        return false;
    }
    // Every entry's texts must lie inside the pool (it ends with a 0).
    for (const Entry& entry : entries) {
        qsizetype at = entry.text;
        for (int i = 0; i < 3 + std::popcount(quint32(entry.fieldMask)) && at < pool.size(); ++i)
            at += qsizetype(std::strlen(pool.constData() + at)) + 1;
        if (at > pool.size() || entry.text >= quint32(pool.size()) || entry.oid == 0) {
            entries.clear();
            pool.clear();
            return false;
        }
    }
    return true;
}

void CContactsStore::SaveIndex()
{
    static_assert(std::is_trivially_copyable_v<Entry> && sizeof(Entry) == 48);
    // The new file's rename moves the folder's times: no listing stands for it.
    m_indexFileStamp = {};
    QSaveFile file(IndexPath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    IndexHeader header;
    std::memcpy(header.magic, kIndexMagic, sizeof kIndexMagic);
    header.count = quint32(m_entries.size());
    header.poolSize = quint32(m_pool.size());
    header.pinStamp = m_pinStamp;
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(m_entries.data()), qint64(m_entries.size() * sizeof(Entry)));
    file.write(m_pool);
    if (m_pool.isEmpty() || !file.commit())
        file.cancelWriting();
}

// Written into the index file in place, as a rename would move the very
// times it records; and only into the file this run read, not one that
// another program has put in its place since.
void CContactsStore::RecordListing(const FileStamp& listing)
{
    const QByteArray path = QFile::encodeName(IndexPath());
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (m_indexFileStamp.IsValid() && StampOfDescriptor(fd) == m_indexFileStamp)
        (void)::pwrite(fd, &listing, sizeof listing, offsetof(IndexHeader, folderStamp));
    ::close(fd);
    m_indexFileStamp = {};
}

std::unique_ptr<CContactItem> CContactsStore::ReadItem(const Entry& entry) const
{
    const QString fileName = FileNameOf(entry);
    FileStamp stamp;
    const std::optional<QByteArray> bytes =
        CCardFolder(m_folder).Read(fileName, MaxCardFileSize, &stamp);
    if (!bytes)
        return nullptr;
    VCardParseResult parsed = ParseVCards(*bytes);
    if (parsed.cards.size() != 1 || parsed.rejected > 0)
        return nullptr;
    auto item = std::make_unique<CContactItem>(std::move(parsed.cards.front()), fileName, entry.oid);
    item->SetReadStamp(stamp);
    return item;
}

std::unique_ptr<CContactItem> CContactsStore::ItemAt(int position)
{
    EnsureScanned();
    if (position < 0 || position >= static_cast<int>(m_entries.size()))
        return nullptr;
    return ReadItem(m_entries[size_t(position)]);
}

int CContactsStore::PositionOfOid(quint32 oid)
{
    EnsureScanned();
    return Positions().value(oid, -1);
}

QStringList CContactsStore::FilesWithUid(const QString& uid)
{
    EnsureScanned();
    QStringList files;
    const QByteArray wanted = uid.trimmed().toUtf8();
    if (wanted.isEmpty())
        return files;
    for (const Entry& e : m_entries)
        if (TextOf(e, 1) == wanted)
            files << FileNameOf(e);
    files.sort();
    return files;
}

std::unique_ptr<CContactItem> CContactsStore::ItemInFile(const QString& fileName)
{
    EnsureScanned();
    const QByteArray wanted = fileName.toUtf8();
    for (const Entry& e : m_entries)
        if (TextOf(e, 0) == wanted)
            return ReadItem(e);
    return nullptr;
}

QString CContactsStore::FileNameAt(int position)
{
    EnsureScanned();
    if (position < 0 || position >= static_cast<int>(m_entries.size()))
        return QString();
    return FileNameOf(m_entries[size_t(position)]);
}

std::unique_ptr<CContactItem> CContactsStore::ItemByOid(quint32 oid)
{
    if (!m_loggedOn) {
        Fail(ContactsStoreError::NotLoggedOn);
        return nullptr;
    }
    int position = PositionOfOid(oid);
    // Another program may have changed, replaced or removed the file since,
    // or the identifiers may have moved on in another store object.
    if (position >= 0 && (PinsChangedOnDisk() ||
                          StampOfFile(PathOf(FileNameOf(m_entries[size_t(position)]))) != m_entries[size_t(position)].stamp))
        position = -1;
    if (position < 0 && oid != 0) {
        Refresh();
        position = PositionOfOid(oid);
    }
    std::unique_ptr<CContactItem> item = position < 0 ? nullptr : ReadItem(m_entries[size_t(position)]);
    if (!item)
        Fail(ContactsStoreError::NotFound);
    return item;
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
    while (Positions().contains(ObjectIdOfKey(uid)));
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
    const bool isNew = item.FileName().isEmpty();
    const FileStamp expected = isNew ? FileStamp() : item.ReadStamp();
    auto conflict = [&] {
        // A sync tool or an editor changed, replaced, removed or renamed the
        // card after we read it: their change is not overwritten with ours,
        // and a card they deleted does not come back.
        TraceMessage(g_traceTessaly, TRACE_ERROR,
                     "Contact %s was changed or removed by another program since it was read, not saved\n",
                     item.FileName());
        return Fail(ContactsStoreError::Conflict);
    };
    if (expected.IsValid() && StampOfFile(PathOf(item.FileName())) != expected)
        return conflict();
    VCard& card = item.MutableCard();
    if (card.Text(QStringLiteral("UID")).trimmed().isEmpty())
        card.SetText(QStringLiteral("UID"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    item.CompleteRequiredProperties();
    card.SetText(QStringLiteral("REV"), QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    const QByteArray bytes = WriteVCard(card);

    QString fileName = item.FileName();
    ContactsStoreError written = ContactsStoreError::Conflict;
    for (int attempt = 0; attempt < 8 && written == ContactsStoreError::Conflict; ++attempt) {
        if (isNew)
            fileName = NewFileName(CleanUid(item));  // another program may take the name meanwhile
        written = WriteCardFile(PathOf(fileName), bytes, expected, isNew, m_beforeReplace);
        if (!isNew)
            break;
    }
    if (written == ContactsStoreError::Conflict)
        return conflict();
    if (written != ContactsStoreError::None) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot save contact %s\n", fileName);
        return Fail(ContactsStoreError::SaveFailed);
    }

    // Only this entry changed: update it in place rather than reading the
    // whole folder again, which would make an import of many cards slow.
    Entry entry = MakeEntry(fileName, item, StampOfFile(PathOf(fileName)), ContentHashOf(bytes.constData(), bytes.size()));
    const QByteArray wantedName = fileName.toUtf8();
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return TextOf(e, 0) == wantedName; });
    const QString uid = UidOf(entry);
    EnsurePins();
    if (same != m_entries.end()) {
        // The card keeps its identifier, also when this save gave it its first UID.
        entry.oid = same->oid;
        m_entries.erase(same);
    } else {
        entry.oid = ReturningOid(uid);
        if (entry.oid == 0) {
            entry.oid = ObjectIdOfKey(uid.isEmpty() ? QStringLiteral("file:") + fileName : uid);
            while (entry.oid == 0 || Positions().contains(entry.oid) || PinnedOids().contains(entry.oid))
                entry.oid = entry.oid == 0xFFFFFFFFu ? 1 : entry.oid + 1;
        }
    }
    const QString key = QString::fromUtf8(TextOf(entry, 2)).toCaseFolded();
    const auto at = std::lower_bound(m_entries.begin(), m_entries.end(), entry, [&](const Entry& e, const Entry& added) {
        return SortsBefore(QString::fromUtf8(TextOf(e, 2)).toCaseFolded(), e, key, added, m_pool);
    });
    const ObjectIdPin pin{entry.oid, uid, entry.contentHash};
    const FileStamp stamp = entry.stamp;
    const quint32 oid = entry.oid;
    m_entries.insert(at, entry);
    m_indexStale = true;
    IndexPositions();
    if (m_pins.value(fileName) != pin)
        AppendPin(fileName, pin);
    item.SetStoreIdentity(fileName, oid);
    item.SetReadStamp(stamp);
    m_lastError = ContactsStoreError::None;
    return true;
}

void CContactsStore::IndexPositions()
{
    m_positionsValid = false;
}

const QHash<quint32, int>& CContactsStore::Positions()
{
    // Built when first asked: a list that only shows the contacts never does.
    if (!m_positionsValid) {
        m_positionOfOid.clear();
        m_positionOfOid.reserve(qsizetype(m_entries.size()));
        for (size_t i = 0; i < m_entries.size(); ++i)
            m_positionOfOid.insert(m_entries[i].oid, static_cast<int>(i));
        m_positionsValid = true;
    }
    return m_positionOfOid;
}

bool CContactsStore::Delete(quint32 oid)
{
    if (!m_loggedOn)
        return Fail(ContactsStoreError::NotLoggedOn);
    const std::unique_ptr<CContactItem> item = ItemByOid(oid);
    if (!item)
        return Fail(ContactsStoreError::NotFound);
    // Still the card just read: a file replaced meanwhile is not removed.
    if (StampOfFile(PathOf(item->FileName())) != item->ReadStamp())
        return Fail(ContactsStoreError::Conflict);
    if (!QFile::remove(PathOf(item->FileName()))) {
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Cannot delete contact file %s\n", item->FileName());
        return Fail(ContactsStoreError::DeleteFailed);
    }
    const int position = PositionOfOid(oid);
    if (position >= 0)
        m_entries.erase(m_entries.begin() + position);
    m_indexStale = true;
    IndexPositions();
    m_lastError = ContactsStoreError::None;
    return true;
}
