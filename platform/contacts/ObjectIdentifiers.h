#pragma once
// 32-bit object identifiers for the contacts of a folder. An identifier,
// once given to a card, stays with it for as long as the card lives: the
// store keeps a pin (file name -> identifier, UID and content hash) for
// every card and gives it back to the same file, unless the file now holds
// a card with another UID; to the same UID or the same content after a
// rename. A pin whose card is gone is kept as retired, so that the card
// gets its identifier back when it comes back, and no newcomer ever takes
// it. A newcomer gets the FNV-1a hash of its UID (of "file:" and its file
// name without one), or the next value that no pin holds; among newcomers
// the older file goes first. 0 is never given, it means "no contact".
// Nothing here depends on the order of a hash table.

#include <QHash>
#include <QString>

#include <vector>

quint32 ObjectIdOfKey(const QString& key);
// FNV-1a of bytes: the content hash that finds a card without UID after a rename.
quint32 ContentHashOf(const char* data, qsizetype size);

struct ObjectIdCandidate {
    QString uid;              // empty when the card has none
    QString fileName;
    qint64 modifiedMs = 0;    // file time, for "older first"
    quint32 contentHash = 0;  // of the file's bytes
};

struct ObjectIdPin {
    quint32 oid = 0;
    QString uid;
    quint32 contentHash = 0;
    bool operator==(const ObjectIdPin&) const = default;
};

// By file name; a retired pin's key starts with '/', which no file name has.
using ObjectIdPins = QHash<QString, ObjectIdPin>;

inline bool IsRetiredPinKey(const QString& key)
{
    return key.startsWith(QLatin1Char('/'));
}

// The key a newcomer's identifier is the hash of.
QString ObjectIdKey(const ObjectIdCandidate& candidate);

// Identifiers for `candidates` (distinct file names), in their order.
// `pins` is read and replaced by the pins of exactly these candidates plus
// the retired ones (at most `maxRetired`, the most recent kept).
std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, ObjectIdPins& pins,
                                     int maxRetired = 4096);
