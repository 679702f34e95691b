#pragma once
// 32-bit object identifiers for the contacts of a folder. A contact's
// identifier is the FNV-1a hash of its key (its UID); 0 is never given,
// it means "no contact". Hash collisions are rare but real (about one in
// a hundred folders of 10,000 contacts), so they are settled here:
// identifiers pinned earlier keep their owners; among the rest the older
// file wins (then the smaller key) and the others take the next free
// value. Every contact involved in a collision is pinned, so the outcome
// never changes when more contacts arrive. The store keeps the pins.

#include <QHash>
#include <QString>

#include <vector>

quint32 ObjectIdOfKey(const QString& key);

struct ObjectIdCandidate {
    QString key;
    qint64 modifiedMs = 0;  // file time, for "older wins"
};

// Identifiers for `candidates`, in their order. `pins` (key -> identifier)
// is read and updated: pins of keys that are gone are dropped.
std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, QHash<QString, quint32>& pins);
