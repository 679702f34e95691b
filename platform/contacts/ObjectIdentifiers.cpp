#include "platform/contacts/ObjectIdentifiers.h"

#include <QSet>

#include <algorithm>

namespace {

QString RetiredKey(quint32 sequence)
{
    return QLatin1Char('/') + QString::number(sequence, 16).rightJustified(8, QLatin1Char('0'));
}

}  // namespace

quint32 ContentHashOf(const char* data, qsizetype size)
{
    quint32 hash = 2166136261u;
    for (qsizetype i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 16777619u;
    }
    return hash;
}

quint32 ObjectIdOfKey(const QString& key)
{
    const QByteArray bytes = key.toUtf8();
    const quint32 hash = ContentHashOf(bytes.constData(), bytes.size());
    return hash == 0 ? 1 : hash;
}

QString ObjectIdKey(const ObjectIdCandidate& candidate)
{
    return candidate.uid.isEmpty() ? QStringLiteral("file:") + candidate.fileName : candidate.uid;
}

namespace {

// The usual run: every card is in the file its pin names, no pin of a
// card is left over and no identifier is held twice. Then each keeps its
// identifier, with no sorting and no sets of names; false otherwise.
bool KeepEveryPin(const std::vector<ObjectIdCandidate>& candidates, ObjectIdPins& pins, int maxRetired,
                  std::vector<quint32>& ids)
{
    qsizetype retired = 0;
    for (auto it = pins.constBegin(); it != pins.constEnd(); ++it)
        retired += IsRetiredPinKey(it.key()) ? 1 : 0;
    if (retired > maxRetired || pins.size() - retired != qsizetype(candidates.size()))
        return false;
    ids.assign(candidates.size(), 0);
    for (size_t i = 0; i < candidates.size(); ++i) {
        const auto pin = pins.constFind(candidates[i].fileName);
        if (pin == pins.constEnd() || pin->oid == 0 ||
            !(pin->uid.isEmpty() || candidates[i].uid.isEmpty() || pin->uid == candidates[i].uid))
            return false;
        ids[i] = pin->oid;
    }
    std::vector<quint32> held(ids);
    for (auto it = pins.constBegin(); it != pins.constEnd(); ++it)
        if (IsRetiredPinKey(it.key()))
            held.push_back(it->oid);
    std::sort(held.begin(), held.end());
    if (std::adjacent_find(held.begin(), held.end()) != held.end())
        return false;
    // Only what changed in a card (its UID, its content) is written to its pin.
    for (size_t i = 0; i < candidates.size(); ++i) {
        const ObjectIdPin fresh{ids[i], candidates[i].uid, candidates[i].contentHash};
        const auto pin = pins.constFind(candidates[i].fileName);
        if (*pin != fresh)
            pins[candidates[i].fileName] = fresh;
    }
    return true;
}

}  // namespace

std::vector<quint32> AssignObjectIds(const std::vector<ObjectIdCandidate>& candidates, ObjectIdPins& pins, int maxRetired)
{
    std::vector<quint32> ids;
    if (KeepEveryPin(candidates, pins, maxRetired, ids))
        return ids;
    ids.assign(candidates.size(), 0);
    QSet<quint32> used;
    used.reserve(qsizetype(candidates.size()));
    QSet<QString> claimed;  // keys of the pins given out
    claimed.reserve(qsizetype(candidates.size()));

    auto give = [&](size_t i, const QString& pinKey, quint32 oid) {
        if (oid == 0 || used.contains(oid))
            return false;
        ids[i] = oid;
        used.insert(oid);
        claimed.insert(pinKey);
        return true;
    };

    // Candidates and pins in name order, so the outcome never follows the
    // order of a hash table.
    std::vector<size_t> order(candidates.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return candidates[a].fileName < candidates[b].fileName; });

    // The same file: the same card, unless both carry UIDs that differ (the
    // file now holds another card). A UID added or dropped keeps the card.
    for (size_t i : order) {
        const auto pin = pins.constFind(candidates[i].fileName);
        if (pin != pins.constEnd() && (pin->uid.isEmpty() || candidates[i].uid.isEmpty() || pin->uid == candidates[i].uid))
            give(i, pin.key(), pin->oid);
    }

    // A file renamed or moved by a sync tool, or a card that comes back:
    // its UID finds its old pin (the one with the same content first, when
    // several cards share the UID); a card without UID is found by its content.
    QStringList freeKeys;
    for (auto it = pins.constBegin(); it != pins.constEnd(); ++it)
        if (!claimed.contains(it.key()) && !used.contains(it->oid))
            freeKeys << it.key();
    freeKeys.sort();
    QHash<QString, QStringList> freeOfUid;
    QHash<quint32, QStringList> freeOfContent;  // pins without UID
    for (const QString& key : std::as_const(freeKeys)) {
        const ObjectIdPin& pin = pins[key];
        if (!pin.uid.isEmpty())
            freeOfUid[pin.uid] << key;
        else if (pin.contentHash != 0)
            freeOfContent[pin.contentHash] << key;
    }
    std::vector<size_t> newcomers;
    for (size_t i : order) {
        if (ids[i] != 0)
            continue;
        const ObjectIdCandidate& c = candidates[i];
        const QStringList keys = c.uid.isEmpty() ? freeOfContent.value(c.contentHash) : freeOfUid.value(c.uid);
        QString chosen;
        for (const QString& key : keys) {
            if (claimed.contains(key))
                continue;
            if (chosen.isEmpty())
                chosen = key;
            if (pins[key].contentHash == c.contentHash) {
                chosen = key;
                break;
            }
        }
        if (!chosen.isEmpty() && give(i, chosen, pins[chosen].oid))
            continue;
        newcomers.push_back(i);
    }

    // Newcomers, the older file first, never take an identifier that a pin
    // holds, given out or not.
    QSet<quint32> reserved = used;
    for (const ObjectIdPin& pin : std::as_const(pins))
        reserved.insert(pin.oid);
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
        while (id == 0 || reserved.contains(id))
            id = (id == 0xFFFFFFFFu) ? 1 : id + 1;
        ids[i] = id;
        reserved.insert(id);
    }

    // The pins not given out retire, after those retired before.
    QStringList retiredKeys;
    quint32 sequence = 0;
    for (auto it = pins.constBegin(); it != pins.constEnd(); ++it)
        if (IsRetiredPinKey(it.key()))
            sequence = std::max(sequence, it.key().mid(1).toUInt(nullptr, 16));
    ObjectIdPins fresh;
    fresh.reserve(qsizetype(candidates.size()));
    for (const QString& key : std::as_const(freeKeys)) {
        if (claimed.contains(key))
            continue;
        const QString retired = IsRetiredPinKey(key) ? key : RetiredKey(++sequence);
        fresh.insert(retired, pins[key]);
        retiredKeys << retired;
    }
    retiredKeys.sort();
    for (qsizetype i = 0; i + maxRetired < retiredKeys.size(); ++i)
        fresh.remove(retiredKeys[i]);
    for (size_t i = 0; i < candidates.size(); ++i)
        fresh.insert(candidates[i].fileName, {ids[i], candidates[i].uid, candidates[i].contentHash});
    pins = std::move(fresh);
    return ids;
}
