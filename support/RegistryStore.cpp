#include "support/RegistryStore.h"

#include "support/Trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStandardPaths>

#include <algorithm>

#include <sys/stat.h>

namespace {

constexpr char kHeader[] = "; Tessaly registry";

QString RootName(RegRoot root)
{
    switch (root) {
    case RegRoot::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegRoot::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case RegRoot::None: break;
    }
    return QString();
}

QString CleanKey(const QString& key)
{
    // Forward slashes are taken as backslashes; empty pieces vanish.
    QStringList parts = QString(key).replace(QLatin1Char('/'), QLatin1Char('\\')).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

bool SamePath(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Escape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the
// closing quote. False when the string is not closed or badly escaped.
bool Unquote(const QString& text, qsizetype& pos, QString& out)
{
    if (pos >= text.size() || text[pos] != QLatin1Char('"'))
        return false;
    ++pos;
    out.clear();
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c == QLatin1Char('"'))
            return true;
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (pos >= text.size())
            return false;
        const QChar e = text[pos++];
        switch (e.unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'u': {
            if (pos + 4 > text.size())
                return false;
            bool ok = false;
            const uint code = text.mid(pos, 4).toUInt(&ok, 16);
            if (!ok)
                return false;
            out += QChar(char16_t(code));
            pos += 4;
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool ParseValue(const QString& text, RegValue& value)
{
    if (text.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        QString s;
        if (!Unquote(text, pos, s) || pos != text.size())
            return false;
        value = RegValue::fromString(s);
        return true;
    }
    if (text.startsWith(QLatin1String("dword:"))) {
        const QString digits = text.mid(6);
        bool ok = false;
        const quint32 n = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8)
            return false;
        value = RegValue::fromDWord(n);
        return true;
    }
    if (text.startsWith(QLatin1String("hex:"))) {
        const QString list = text.mid(4);
        QByteArray bytes;
        if (!list.isEmpty()) {
            for (const QString& b : list.split(QLatin1Char(','))) {
                bool ok = false;
                const uint octet = b.toUInt(&ok, 16);
                if (!ok || b.size() != 2)
                    return false;
                bytes.append(char(octet));
            }
        }
        value = RegValue::fromBinary(bytes);
        return true;
    }
    return false;
}

QString SerialiseValue(const RegValue& value)
{
    switch (value.type) {
    case RegValueType::String: return QLatin1Char('"') + Escape(value.text) + QLatin1Char('"');
    case RegValueType::DWord: return QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
    case RegValueType::Binary: {
        QStringList octets;
        for (char b : value.bytes)
            octets << QStringLiteral("%1").arg(uchar(b), 2, 16, QLatin1Char('0'));
        return QStringLiteral("hex:") + octets.join(QLatin1Char(','));
    }
    }
    return QString();
}

}  // namespace

QByteArray RegValue::raw() const
{
    switch (type) {
    case RegValueType::String: {
        QByteArray out;
        for (QChar c : text) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
        out.append('\0');
        out.append('\0');
        return out;
    }
    case RegValueType::DWord: {
        QByteArray out(4, '\0');
        for (int i = 0; i < 4; ++i)
            out[i] = char((number >> (8 * i)) & 0xFF);
        return out;
    }
    case RegValueType::Binary: return bytes;
    }
    return QByteArray();
}

bool RegValue::operator==(const RegValue& o) const
{
    if (type != o.type)
        return false;
    switch (type) {
    case RegValueType::String: return text == o.text;
    case RegValueType::DWord: return number == o.number;
    case RegValueType::Binary: return bytes == o.bytes;
    }
    return false;
}

QString CRegistryStore::DefaultPath()
{
    const QByteArray overridden = qgetenv("TESSALY_REGISTRY");
    if (!overridden.isEmpty())
        return QString::fromLocal8Bit(overridden);
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/tessaly/registry.ini");
}

CRegistryStore& CRegistryStore::Instance()
{
    // One store per path; the environment decides which one is current,
    // so a test that points TESSALY_REGISTRY elsewhere gets a fresh store.
    static QMutex lock;
    static std::vector<std::unique_ptr<CRegistryStore>> stores;
    const QString path = DefaultPath();
    QMutexLocker guard(&lock);
    for (const auto& store : stores) {
        if (store->Path() == path)
            return *store;
    }
    stores.push_back(std::make_unique<CRegistryStore>(path));
    return *stores.back();
}

CRegistryStore::CRegistryStore(const QString& path) : m_path(path) {}

QString CRegistryStore::FullPath(RegRoot root, const QString& key)
{
    const QString rootName = RootName(root);
    if (rootName.isEmpty())
        return QString();
    const QString clean = CleanKey(key);
    return clean.isEmpty() ? rootName : rootName + QLatin1Char('\\') + clean;
}

CRegistryStore::Key* CRegistryStore::Find(const QString& fullPath)
{
    for (Key& key : m_keys) {
        if (SamePath(key.path, fullPath))
            return &key;
    }
    return nullptr;
}

bool CRegistryStore::IsOwnedByOverlay(const QString& fullPath) const
{
    for (const QString& owned : m_overlayOwned) {
        if (SamePath(fullPath, owned) || fullPath.startsWith(owned + QLatin1Char('\\'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

const CRegistryStore::Key* CRegistryStore::FindForRead(const QString& fullPath)
{
    auto inOverlay = [&]() -> const Key* {
        for (const Key& key : m_overlay) {
            if (SamePath(key.path, fullPath))
                return &key;
        }
        return nullptr;
    };
    if (IsOwnedByOverlay(fullPath))
        return inOverlay();
    if (const Key* key = Find(fullPath))
        return key;
    return inOverlay();
}

void CRegistryStore::SetOverlay(RegRoot root, const QStringList& owned, const std::vector<OverlayKey>& keys)
{
    QMutexLocker guard(&m_mutex);
    m_overlayOwned.clear();
    for (const QString& key : owned)
        m_overlayOwned << FullPath(root, key);
    m_overlay.clear();
    for (const OverlayKey& key : keys) {
        Key made{FullPath(root, key.key), {}};
        for (const auto& [name, value] : key.values)
            made.values.push_back(Value{name, value});
        m_overlay.push_back(std::move(made));
    }
}

void CRegistryStore::ClearOverlay()
{
    SetOverlay(RegRoot::LocalMachine, {}, {});
}

CRegistryStore::FileStamp CRegistryStore::Stamp() const
{
    FileStamp stamp;
    struct stat st {};
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.inode = qint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return stamp;
}

void CRegistryStore::Refresh()
{
    const FileStamp stamp = Stamp();
    if (stamp == m_stamp && (stamp.exists || m_keys.empty()))
        return;
    m_stamp = stamp;
    QByteArray content;
    QFile file(m_path);
    if (stamp.exists && file.open(QIODevice::ReadOnly))
        content = file.readAll();
    Parse(content);
    // Traced once the store is consistent: tracing reads the registry too.
    for (const QString& damage : m_damage)
        TraceMessage(g_traceCommon, TRACE_ERROR, "Registry file %s damaged: %s\n", m_path, damage);
}

void CRegistryStore::Parse(const QByteArray& content)
{
    m_keys.clear();
    m_damage.clear();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(content);
    if (utf8.hasError()) {
        // Read on as well as can be; the rewrite would turn those bytes
        // into replacement characters, so the file counts as damaged and
        // is kept before it.
        m_damage << QStringLiteral("bytes that are not UTF-8");
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    Key* current = nullptr;
    bool skippingKey = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            skippingKey = false;
            current = nullptr;
            if (!line.endsWith(QLatin1Char(']'))) {
                m_damage << QStringLiteral("line %1: %2").arg(i + 1).arg(line.left(80));
                skippingKey = true;  // its values cannot be placed
                continue;
            }
            const QString path = CleanKey(line.mid(1, line.size() - 2));
            if (!path.startsWith(QLatin1String("HKEY_"))) {
                m_damage << QStringLiteral("line %1: %2").arg(i + 1).arg(line.left(80));
                skippingKey = true;
                continue;
            }
            current = Find(path);
            if (!current) {
                m_keys.push_back(Key{path, {}});
                current = &m_keys.back();
            }
            continue;
        }
        QString name;
        qsizetype pos = 0;
        RegValue value;
        if (skippingKey || !current || !Unquote(line, pos, name) || pos >= line.size() || line[pos] != QLatin1Char('=')
            || !ParseValue(line.mid(pos + 1), value)) {
            m_damage << QStringLiteral("line %1: %2").arg(i + 1).arg(line.left(80));
            continue;
        }
        bool replaced = false;
        for (Value& v : current->values) {
            if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
                v.value = value;
                replaced = true;
            }
        }
        if (!replaced)
            current->values.push_back(Value{name, value});
    }
}

QByteArray CRegistryStore::Serialise() const
{
    QString out = QString::fromLatin1(kHeader) + QLatin1Char('\n');
    for (const Key& key : m_keys) {
        out += QLatin1String("\n[") + key.path + QLatin1String("]\n");
        for (const Value& v : key.values)
            out += QLatin1Char('"') + Escape(v.name) + QLatin1String("\"=") + SerialiseValue(v.value) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

template <typename Change>
CRegistryStore::WriteResult CRegistryStore::Modify(Change change, int lockWaitMs)
{
    std::lock_guard writer(m_writer);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lockFile(m_path + QStringLiteral(".lock"));
    lockFile.setStaleLockTime(10000);
    if (!lockFile.tryLock(lockWaitMs)) {
        TraceMessage(g_traceCommon, TRACE_ERROR, "Registry file %s is locked by another program\n", m_path);
        return WriteResult::Locked;
    }
    QMutexLocker guard(&m_mutex);
    m_stamp = FileStamp{};  // read again under the lock: another process may have written
    Refresh();
    if (!m_damage.isEmpty() && !m_damagedFileKept) {
        // What could not be read is kept, not overwritten: neither by this
        // write nor by a copy kept at an earlier damage.
        QString kept = m_path + QStringLiteral(".damaged");
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = m_path + QStringLiteral(".damaged-") + QString::number(n);
        if (!QFile::copy(m_path, kept)) {
            TraceMessage(g_traceCommon, TRACE_ERROR, "Can't keep the damaged registry file %s as %s\n", m_path, kept);
            return WriteResult::Failed;
        }
        m_damagedFileKept = true;
    }
    if (!change())
        return WriteResult::Failed;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Serialise()) < 0 || !file.commit()) {
        TraceMessage(g_traceCommon, TRACE_ERROR, "Can't write registry file %s\n", m_path);
        m_stamp = FileStamp{};  // what is in memory is not on disk: read it again
        return WriteResult::Failed;
    }
    m_stamp = Stamp();
    m_damage.clear();
    return WriteResult::Written;
}

bool CRegistryStore::KeyExists(RegRoot root, const QString& key)
{
    QMutexLocker guard(&m_mutex);
    Refresh();
    const QString full = FullPath(root, key);
    if (full.isEmpty())
        return false;
    if (FindForRead(full))
        return true;
    for (const QString& owned : m_overlayOwned) {
        if (SamePath(owned, full))
            return true;
    }
    // A key exists also when only keys below it were written.
    const QString prefix = full + QLatin1Char('\\');
    const bool owned = IsOwnedByOverlay(full);
    for (const std::vector<Key>* keys : {&m_keys, &m_overlay}) {
        for (const Key& k : *keys) {
            if (k.path.startsWith(prefix, Qt::CaseInsensitive) && (keys == &m_overlay || !owned))
                return true;
        }
    }
    return CleanKey(key).isEmpty();  // the root itself
}

bool CRegistryStore::CreateKey(RegRoot root, const QString& key)
{
    const QString full = FullPath(root, key);
    if (full.isEmpty())
        return false;
    if (KeyExists(root, key))
        return true;
    if (IsOwnedByOverlay(full))
        return false;
    return Modify([&] {
        if (!Find(full))
            m_keys.push_back(Key{full, {}});
        return true;
    }) == WriteResult::Written;
}

bool CRegistryStore::DeleteKey(RegRoot root, const QString& key)
{
    const QString full = FullPath(root, key);
    if (full.isEmpty() || CleanKey(key).isEmpty() || !KeyExists(root, key) || IsOwnedByOverlay(full))
        return false;
    const QString prefix = full + QLatin1Char('\\');
    return Modify([&] {
        std::erase_if(m_keys, [&](const Key& k) {
            return SamePath(k.path, full) || k.path.startsWith(prefix, Qt::CaseInsensitive);
        });
        return true;
    }) == WriteResult::Written;
}

std::optional<RegValue> CRegistryStore::GetValue(RegRoot root, const QString& key, const QString& name)
{
    QMutexLocker guard(&m_mutex);
    Refresh();
    const Key* k = FindForRead(FullPath(root, key));
    if (!k)
        return std::nullopt;
    for (const Value& v : k->values) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return v.value;
    }
    return std::nullopt;
}

bool CRegistryStore::SetValue(RegRoot root, const QString& key, const QString& name, const RegValue& value)
{
    return SetValues(root, key, {{name, value}});
}

bool CRegistryStore::SetValues(RegRoot root, const QString& key, const std::vector<std::pair<QString, RegValue>>& values)
{
    return TrySetValues(root, key, values, DefaultLockWaitMs) == WriteResult::Written;
}

CRegistryStore::WriteResult CRegistryStore::TrySetValues(RegRoot root, const QString& key,
                                                         const std::vector<std::pair<QString, RegValue>>& values,
                                                         int lockWaitMs)
{
    const QString full = FullPath(root, key);
    if (full.isEmpty() || IsOwnedByOverlay(full))
        return WriteResult::Failed;
    return Modify(
        [&] {
            Key* k = Find(full);
            if (!k) {
                m_keys.push_back(Key{full, {}});
                k = &m_keys.back();
            }
            for (const auto& [name, value] : values) {
                auto same = std::find_if(k->values.begin(), k->values.end(), [&name = name](const Value& v) {
                    return v.name.compare(name, Qt::CaseInsensitive) == 0;
                });
                if (same != k->values.end())
                    same->value = value;
                else
                    k->values.push_back(Value{name, value});
            }
            return true;
        },
        lockWaitMs);
}

bool CRegistryStore::DeleteValue(RegRoot root, const QString& key, const QString& name)
{
    const QString full = FullPath(root, key);
    if (!GetValue(root, key, name))
        return false;
    return Modify([&] {
        Key* k = Find(full);
        if (!k)
            return false;
        const auto removed = std::erase_if(k->values, [&](const Value& v) { return v.name.compare(name, Qt::CaseInsensitive) == 0; });
        return removed > 0;
    }) == WriteResult::Written;
}

QStringList CRegistryStore::ValueNames(RegRoot root, const QString& key)
{
    QMutexLocker guard(&m_mutex);
    Refresh();
    QStringList names;
    if (const Key* k = FindForRead(FullPath(root, key))) {
        for (const Value& v : k->values)
            names << v.name;
    }
    return names;
}

QStringList CRegistryStore::SubKeys(RegRoot root, const QString& key)
{
    QMutexLocker guard(&m_mutex);
    Refresh();
    const QString full = FullPath(root, key);
    QStringList names;
    if (full.isEmpty())
        return names;
    const QString prefix = full + QLatin1Char('\\');
    for (const std::vector<Key>* keys : {&m_keys, &m_overlay}) {
        for (const Key& k : *keys) {
            if (!k.path.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            // The file's keys below an owned key are hidden by the overlay.
            if (keys == &m_keys && IsOwnedByOverlay(k.path))
                continue;
            const QString child = k.path.mid(prefix.size()).section(QLatin1Char('\\'), 0, 0);
            bool seen = false;
            for (const QString& n : names)
                seen = seen || n.compare(child, Qt::CaseInsensitive) == 0;
            if (!seen)
                names << child;
        }
    }
    // An owned key with nothing in it yet is still a key.
    for (const QString& owned : m_overlayOwned) {
        if (!owned.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString child = owned.mid(prefix.size()).section(QLatin1Char('\\'), 0, 0);
        bool seen = false;
        for (const QString& n : names)
            seen = seen || n.compare(child, Qt::CaseInsensitive) == 0;
        if (!seen)
            names << child;
    }
    return names;
}

QStringList CRegistryStore::Damage()
{
    QMutexLocker guard(&m_mutex);
    Refresh();
    return m_damage;
}
