#include "contactlist/ContactRecord.h"

#include <cstdlib>
#include <cstring>

int ContactRecordSize(const QString& name, const std::array<QString, ContactFieldCount>& fields)
{
    qint64 size = ContactHeaderSize + 2 * (qint64(name.size()) + 1);
    for (const QString& field : fields)
        if (!field.isEmpty())
            size += 2 * (qint64(field.size()) + 1);
    return size > ContactMaxSize ? -1 : static_cast<int>(size);
}

tagCONTACT* AllocateContactBlock(int size)
{
    if (size < ContactHeaderSize || size > ContactMaxSize)
        return nullptr;
    return static_cast<tagCONTACT*>(std::calloc(1, static_cast<size_t>(size)));
}

void FreeContactRecord(tagCONTACT* record)
{
    std::free(record);
}

tagCONTACT* AllocateContactRecord(const QString& name, const std::array<QString, ContactFieldCount>& fields,
                                  int defaultField, quint32 oid)
{
    const int size = ContactRecordSize(name, fields);
    if (size < 0)
        return nullptr;
    tagCONTACT* record = AllocateContactBlock(size);
    if (!record)
        return nullptr;
    record->wSize = static_cast<quint16>(size);
    record->nNameOffset = 0;
    record->nDefaultField = static_cast<qint16>(defaultField);
    record->oid = oid;
    record->dwFieldMask = 0;
    char16_t* area = reinterpret_cast<char16_t*>(reinterpret_cast<char*>(record) + ContactHeaderSize);
    int offset = 0;
    auto put = [&](const QString& text) {
        std::memcpy(area + offset, text.utf16(), size_t(text.size()) * 2);
        area[offset + text.size()] = 0;
        offset += static_cast<int>(text.size()) + 1;
    };
    put(name);
    for (int type = 0; type < ContactFieldCount; ++type) {
        const QString& field = fields[size_t(type)];
        if (field.isEmpty()) {
            record->nFieldOffset[type] = -1;
            continue;
        }
        record->nFieldOffset[type] = static_cast<qint16>(offset);
        record->dwFieldMask |= ContactFieldMask(type);
        put(field);
    }
    return record;
}

const char16_t* ContactStringArea(const tagCONTACT* record)
{
    return reinterpret_cast<const char16_t*>(reinterpret_cast<const char*>(record) + ContactHeaderSize);
}

QStringView ContactName(const tagCONTACT* record)
{
    return QStringView(ContactStringArea(record) + record->nNameOffset);
}

QStringView ContactField(const tagCONTACT* record, int type)
{
    if (type < 0 || type >= ContactFieldCount || record->nFieldOffset[type] < 0)
        return QStringView();
    return QStringView(ContactStringArea(record) + record->nFieldOffset[type]);
}

QString ContactDefaultTag(const tagCONTACT* record)
{
    const int type = record->nDefaultField;
    if (type < 0 || type >= ContactFieldCount || (record->dwFieldMask & ContactFieldMask(type)) == 0)
        return QString();
    return QString::fromLatin1(ContactFieldAt(type).tag);
}

QMap<QString, QString> ContactTelephoneNumbers(const tagCONTACT* record)
{
    QMap<QString, QString> numbers;
    for (int type = 0; type < TelephoneFieldCount; ++type)
        if (record->nFieldOffset[type] >= 0)
            numbers.insert(QString::fromLatin1(ContactFieldAt(type).tag), ContactField(record, type).toString());
    return numbers;
}

bool IsValidContactRecord(const tagCONTACT* record, int blockSize)
{
    if (blockSize < ContactHeaderSize + 2 || record->wSize != blockSize || record->nNameOffset != 0)
        return false;
    if ((blockSize - ContactHeaderSize) % 2 != 0)
        return false;
    const int characters = (blockSize - ContactHeaderSize) / 2;
    const char16_t* area = ContactStringArea(record);
    auto terminatedFrom = [&](int offset) {
        if (offset < 0 || offset >= characters)
            return false;
        for (int i = offset; i < characters; ++i)
            if (area[i] == 0)
                return true;
        return false;
    };
    if (!terminatedFrom(0))
        return false;
    quint32 mask = 0;
    for (int type = 0; type < ContactFieldCount; ++type) {
        const int offset = record->nFieldOffset[type];
        if (offset == -1)
            continue;
        if (!terminatedFrom(offset))
            return false;
        mask |= ContactFieldMask(type);
    }
    // The loader never makes a record without a field: such a block is not ours.
    if (mask == 0 || record->dwFieldMask != mask)
        return false;
    return record->nDefaultField >= 0 && record->nDefaultField < ContactFieldCount;
}
