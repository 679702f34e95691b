#include "contactlist/ContactCache.h"

#include "support/Trace.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace {

template <typename T>
bool ReadValue(const QByteArray& bytes, qsizetype& pos, T& value)
{
    if (bytes.size() - pos < qsizetype(sizeof(T)))
        return false;
    std::memcpy(&value, bytes.constData() + pos, sizeof(T));
    pos += qsizetype(sizeof(T));
    return true;
}

template <typename T>
void AppendValue(QByteArray& bytes, T value)
{
    bytes.append(reinterpret_cast<const char*>(&value), qsizetype(sizeof(T)));
}

}  // namespace

bool ParseContactCache(const QByteArray& bytes, CFilteredList& all)
{
    all.Clear();
    qsizetype pos = 0;
    qint32 version = 0;
    qint32 count = 0;
    if (!ReadValue(bytes, pos, version) || version != ContactCacheVersion)
        return false;
    if (!ReadValue(bytes, pos, count) || count < 0)
        return false;
    // Each record takes at least its size word and a header with an empty name.
    const qsizetype smallestRecord = 2 + ContactHeaderSize + 2;
    if (count > (bytes.size() - pos) / smallestRecord) {
        TraceMessage(g_traceSkinables, TRACE_ERROR, "Contacts cache: %d records cannot fit, cache ignored\n", count);
        return false;
    }
    all.m_Contacts.reserve(size_t(count));
    for (qint32 i = 0; i < count; ++i) {
        quint16 size = 0;
        if (!ReadValue(bytes, pos, size) || size < ContactHeaderSize || size > ContactMaxSize ||
            bytes.size() - pos < size) {
            TraceMessage(g_traceSkinables, TRACE_ERROR, "Contacts cache ends early at record %d, cache ignored\n", i);
            all.Clear();
            return false;
        }
        tagCONTACT* record = AllocateContactBlock(size);
        if (!record) {
            all.Clear();
            return false;
        }
        std::memcpy(record, bytes.constData() + pos, size);
        pos += size;
        all.m_Contacts.push_back(record);  // owned by the list from here
        if (!IsValidContactRecord(record, size)) {
            TraceMessage(g_traceSkinables, TRACE_ERROR, "Contacts cache record %d is inconsistent, cache ignored\n", i);
            all.Clear();
            return false;
        }
    }
    return true;
}

bool ReadContactCache(const QString& path, CFilteredList& all)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The largest possible cache is far below this; a bigger file is not ours.
    constexpr qint64 maxBytes = qint64(256) * 1024 * 1024;
    if (file.size() > maxBytes)
        return false;
    return ParseContactCache(file.readAll(), all);
}

QByteArray SerializeContactCache(const CFilteredList& all)
{
    QByteArray bytes;
    qsizetype total = 8;
    for (const tagCONTACT* record : all.m_Contacts)
        total += 2 + record->wSize;
    bytes.reserve(total);
    AppendValue(bytes, ContactCacheVersion);
    AppendValue(bytes, static_cast<qint32>(all.m_Contacts.size()));
    for (const tagCONTACT* record : all.m_Contacts) {
        AppendValue(bytes, record->wSize);
        bytes.append(reinterpret_cast<const char*>(record), record->wSize);
    }
    return bytes;
}

bool WriteContactCache(const QString& path, const CFilteredList& all)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(SerializeContactCache(all));
    return file.commit();
}
