#include "platform/contacts/ObjectIdentifiers.h"

#include <QSet>

#include <algorithm>

quint32 ObjectIdOfKey(const QString& key)
{
    quint32 hash = 2166136261u;
    for (const char c : key.toUtf8()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash == 0 ? 1 : hash;
}

QString ObjectIdKey(const ObjectIdCandidate& candidate)
{
    return candidate.uid.isEmpty() ? QStringLiteral("file:") + candidate.fileName : candidate.uid;
}

std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, ObjectIdPins& pins)
{
    std::vector<quint32> ids(candidates.size(), 0);
    QSet<quint32> used;
    used.reserve(qsizetype(candidates.size()));
    QSet<QString> claimed;  // file names of the pins given out

    auto give = [&](size_t i, const QString& pinFile, quint32 oid) {
        if (oid == 0 || used.contains(oid))
            return false;
        ids[i] = oid;
        used.insert(oid);
        claimed.insert(pinFile);
        return true;
    };

    // The same file: the same card, unless both carry UIDs that differ (the
    // file now holds another card). A UID added or dropped keeps the card.
    for (size_t i = 0; i < candidates.size(); ++i) {
        const auto pin = pins.constFind(candidates[i].fileName);
        if (pin != pins.constEnd() && (pin->uid.isEmpty() || candidates[i].uid.isEmpty() || pin->uid == candidates[i].uid))
            give(i, pin.key(), pin->oid);
    }

    // A file renamed or moved by a sync tool: its UID finds its old pin.
    QHash<QString, QString> freePinOfUid;  // uid -> file name of an unclaimed pin
    for (auto it = pins.constBegin(); it != pins.constEnd(); ++it)
        if (!it->uid.isEmpty() && !claimed.contains(it.key()) && !used.contains(it->oid))
            freePinOfUid.insert(it->uid, it.key());
    std::vector<size_t> newcomers;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (ids[i] != 0)
            continue;
        const QString& uid = candidates[i].uid;
        const auto free = uid.isEmpty() ? freePinOfUid.constEnd() : freePinOfUid.constFind(uid);
        if (free != freePinOfUid.constEnd() && !claimed.contains(*free) && give(i, *free, pins.value(*free).oid))
            continue;
        newcomers.push_back(i);
    }

    // Newcomers, the older file first, never take an identifier in use.
    std::sort(newcomers.begin(), newcomers.end(), [&](size_t a, size_t b) {
        const ObjectIdCandidate& x = candidates[a];
        const ObjectIdCandidate& y = candidates[b];
        if (x.modifiedMs != y.modifiedMs)
            return x.modifiedMs < y.modifiedMs;
        const QString keyX = ObjectIdKey(x);
        const QString keyY = ObjectIdKey(y);
        return keyX != keyY ? keyX < keyY : x.fileName < y.fileName;
    });
    for (size_t i : newcomers) {
        quint32 id = ObjectIdOfKey(ObjectIdKey(candidates[i]));
        while (used.contains(id))
            id = (id == 0xFFFFFFFFu) ? 1 : id + 1;
        ids[i] = id;
        used.insert(id);
    }

    ObjectIdPins fresh;
    fresh.reserve(qsizetype(candidates.size()));
    for (size_t i = 0; i < candidates.size(); ++i)
        fresh.insert(candidates[i].fileName, {ids[i], candidates[i].uid});
    pins = std::move(fresh);
    return ids;
}
