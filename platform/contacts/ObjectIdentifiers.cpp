#include "platform/contacts/ObjectIdentifiers.h"

#include <QSet>

#include <algorithm>
#include <numeric>

quint32 ObjectIdOfKey(const QString& key)
{
    quint32 hash = 2166136261u;
    for (const char c : key.toUtf8()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash == 0 ? 1 : hash;
}

std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, QHash<QString, quint32>& pins)
{
    std::vector<quint32> ids(candidates.size(), 0);
    QSet<quint32> used;
    used.reserve(qsizetype(candidates.size()));

    // Drop pins of keys that are gone.
    QSet<QString> present;
    present.reserve(qsizetype(candidates.size()));
    for (const ObjectIdCandidate& c : candidates)
        present.insert(c.key);
    for (auto it = pins.begin(); it != pins.end();)
        it = present.contains(it.key()) ? std::next(it) : pins.erase(it);

    std::vector<size_t> rest;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const auto pin = pins.constFind(candidates[i].key);
        if (pin != pins.constEnd() && *pin != 0 && !used.contains(*pin)) {
            ids[i] = *pin;
            used.insert(*pin);
        } else {
            rest.push_back(i);
        }
    }
    std::sort(rest.begin(), rest.end(), [&](size_t a, size_t b) {
        if (candidates[a].modifiedMs != candidates[b].modifiedMs)
            return candidates[a].modifiedMs < candidates[b].modifiedMs;
        return candidates[a].key < candidates[b].key;
    });

    QHash<quint32, size_t> ownerOfHash;  // plain-hash winners, to pin them on a collision
    for (size_t i : rest) {
        const quint32 hash = ObjectIdOfKey(candidates[i].key);
        quint32 id = hash;
        while (used.contains(id))
            id = (id == 0xFFFFFFFFu) ? 1 : id + 1;
        ids[i] = id;
        used.insert(id);
        if (id == hash) {
            ownerOfHash.insert(hash, i);
            continue;
        }
        pins.insert(candidates[i].key, id);
        const auto winner = ownerOfHash.constFind(hash);
        if (winner != ownerOfHash.constEnd())
            pins.insert(candidates[*winner].key, hash);
    }
    return ids;
}
