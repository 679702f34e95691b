#pragma once
// The registry store: one text file of keys and typed values.
//
//   [HKEY_LOCAL_MACHINE\Software\Orvanta\Tessaly\Trace]
//   "All"=dword:00000005
//   "Name"="text, with \" \\ \n escaped"
//   "Blob"=hex:01,ff
//
// The file is $XDG_CONFIG_HOME/tessaly/registry.ini, or the path in
// TESSALY_REGISTRY. Every change is written at once: under a lock file
// the current file is read again, the change applied and the result
// written to a temporary file that replaces the old one, so two
// processes writing at once lose nothing. Readers reload whenever the
// file on disk has changed. A damaged file reads as the keys that can be
// read; before the first write over it the damaged file is kept beside
// it as "<name>.damaged", so nothing stored is overwritten with less.
// Key paths compare without regard to case; enumeration follows the
// order in which keys and values were first written.
//
// Beside the file the store can hold an overlay: keys made in memory
// from the system (the serial ports), read like the others and never
// written to the file. Below an owned key only the overlay counts; an
// overlay key elsewhere stands in when the file lacks it.

#include "support/RegistryRoot.h"

#include <QByteArray>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <vector>

enum class RegValueType { String, DWord, Binary };

struct RegValue {
    RegValueType type = RegValueType::String;
    QString text;      // String
    quint32 number = 0;  // DWord
    QByteArray bytes;  // Binary

    static RegValue fromString(const QString& s) { RegValue v; v.type = RegValueType::String; v.text = s; return v; }
    static RegValue fromDWord(quint32 n) { RegValue v; v.type = RegValueType::DWord; v.number = n; return v; }
    static RegValue fromBinary(const QByteArray& b) { RegValue v; v.type = RegValueType::Binary; v.bytes = b; return v; }
    // The value as the bytes a raw query returns: a string as UTF-16
    // little-endian with its terminator, a number as 4 bytes little-endian.
    QByteArray raw() const;
    bool operator==(const RegValue& o) const;
};

class CRegistryStore {
public:
    struct OverlayKey {
        QString key;  // below the root, backslashes between the parts
        std::vector<std::pair<QString, RegValue>> values;
    };

    // The store of the current path (TESSALY_REGISTRY or the default).
    static CRegistryStore& Instance();
    static QString DefaultPath();

    explicit CRegistryStore(const QString& path);
    const QString& Path() const { return m_path; }

    bool KeyExists(RegRoot root, const QString& key);
    // Creates the key and its parents; false when the file cannot be written.
    bool CreateKey(RegRoot root, const QString& key);
    // Deletes the key with everything below it.
    bool DeleteKey(RegRoot root, const QString& key);
    std::optional<RegValue> GetValue(RegRoot root, const QString& key, const QString& name);
    bool SetValue(RegRoot root, const QString& key, const QString& name, const RegValue& value);
    // False when the value did not exist or the file cannot be written.
    bool DeleteValue(RegRoot root, const QString& key, const QString& name);
    QStringList ValueNames(RegRoot root, const QString& key);
    QStringList SubKeys(RegRoot root, const QString& key);

    // Several values of one key in one write of the file.
    bool SetValues(RegRoot root, const QString& key, const std::vector<std::pair<QString, RegValue>>& values);
    enum class WriteResult { Written, Locked, Failed };
    // The same, waiting at most `lockWaitMs` for another process to let go
    // of the file: Locked tells a caller who must not wait to try later.
    WriteResult TrySetValues(RegRoot root, const QString& key, const std::vector<std::pair<QString, RegValue>>& values,
                             int lockWaitMs);
    static constexpr int DefaultLockWaitMs = 10000;

    // Replaces the overlay. `owned` are the keys whose whole content comes
    // from `keys`; writes below them fail.
    void SetOverlay(RegRoot root, const QStringList& owned, const std::vector<OverlayKey>& keys);
    void ClearOverlay();

    // Damage found in the file at its last reading (line numbers and texts).
    QStringList Damage();

private:
    struct Value {
        QString name;
        RegValue value;
    };
    struct Key {
        QString path;  // full path, root included, as first written
        std::vector<Value> values;
    };
    struct FileStamp {
        bool exists = false;
        qint64 inode = 0, size = 0, mtimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    static QString FullPath(RegRoot root, const QString& key);
    Key* Find(const QString& fullPath);
    // The key a read sees: the overlay's below an owned key, otherwise
    // the file's, otherwise the overlay's.
    const Key* FindForRead(const QString& fullPath);
    bool IsOwnedByOverlay(const QString& fullPath) const;
    FileStamp Stamp() const;
    void Refresh();                 // reload when the file changed
    void Parse(const QByteArray& content);
    QByteArray Serialise() const;
    // Runs `change` on fresh content under the lock file and writes the
    // result. The lock file is waited for without holding m_mutex, so
    // reads never wait for another program.
    template <typename Change> WriteResult Modify(Change change, int lockWaitMs = DefaultLockWaitMs);

    QString m_path;
    std::mutex m_writer;  // one writer of this process at a time waits for the lock file
    QRecursiveMutex m_mutex;
    std::vector<Key> m_keys;
    FileStamp m_stamp;
    QStringList m_damage;
    std::vector<Key> m_overlay;
    QStringList m_overlayOwned;  // full paths
    bool m_damagedFileKept = false;
};
