#pragma once
// 32-bit object identifiers for the contacts of a folder. An identifier,
// once given to a card, stays with it for as long as the card lives: the
// store keeps a pin (file name -> identifier and UID) for every card and
// gives it back to the same file, to the same UID after a rename, and to a
// card another program gave its first UID. A newcomer gets the FNV-1a hash
// of its UID (of "file:" and its file name without one), or the next value
// that no card holds; among newcomers the older file goes first. 0 is
// never given, it means "no contact".

#include <QHash>
#include <QString>

#include <vector>

quint32 ObjectIdOfKey(const QString& key);

struct ObjectIdCandidate {
    QString uid;            // empty when the card has none
    QString fileName;
    qint64 modifiedMs = 0;  // file time, for "older first"
};

struct ObjectIdPin {
    quint32 oid = 0;
    QString uid;
    bool operator==(const ObjectIdPin&) const = default;
};

using ObjectIdPins = QHash<QString, ObjectIdPin>;  // by file name

// The key a newcomer's identifier is the hash of.
QString ObjectIdKey(const ObjectIdCandidate& candidate);

// Identifiers for `candidates` (distinct file names), in their order.
// `pins` is read and replaced by the pins of exactly these candidates.
std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, ObjectIdPins& pins);
