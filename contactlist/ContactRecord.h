#pragma once
// tagCONTACT: one contact as a single heap block, header and strings
// together, so thousands of contacts cost one allocation each and go to
// and from the cache file as raw blocks. All fields little-endian.
//
//   0  wSize          size of the whole block in bytes
//   2  nNameOffset    offset of the name in the string area (always 0)
//   4  nFieldOffset   twelve offsets (characters) of the fields, -1 absent
//  28  nDefaultField  index of the first present field
//  30  reserved
//  32  oid            object identifier in the contacts store
//  36  dwFieldMask    bit i set when field i is present
//  40  string area    name, then each present field, UTF-16, 0-terminated

#include "platform/contacts/ContactFieldTable.h"

#include <QMap>
#include <QString>
#include <QStringView>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "contact records and their cache are little-endian");

struct tagCONTACT {
    quint16 wSize;
    quint16 nNameOffset;
    qint16 nFieldOffset[ContactFieldCount];
    qint16 nDefaultField;
    quint16 reserved;
    quint32 oid;
    quint32 dwFieldMask;
    // the string area follows
};

static_assert(sizeof(tagCONTACT) == 40);
static_assert(offsetof(tagCONTACT, nNameOffset) == 2);
static_assert(offsetof(tagCONTACT, nFieldOffset) == 4);
static_assert(offsetof(tagCONTACT, nDefaultField) == 28);
static_assert(offsetof(tagCONTACT, oid) == 32);
static_assert(offsetof(tagCONTACT, dwFieldMask) == 36);

constexpr int ContactHeaderSize = static_cast<int>(sizeof(tagCONTACT));
constexpr int ContactMaxSize = 32767;

// The block size for a name and fields, or -1 when it exceeds 32767.
int ContactRecordSize(const QString& name, const std::array<QString, ContactFieldCount>& fields);
// Builds a record; empty fields are absent. Null when the contact cannot
// be represented or the allocation fails. Free with FreeContactRecord.
tagCONTACT* AllocateContactRecord(const QString& name, const std::array<QString, ContactFieldCount>& fields,
                                  int defaultField, quint32 oid);
// A raw block of `size` bytes for the cache reader; null on failure.
tagCONTACT* AllocateContactBlock(int size);
void FreeContactRecord(tagCONTACT* record);

const char16_t* ContactStringArea(const tagCONTACT* record);
QStringView ContactName(const tagCONTACT* record);
// Field `type` of the record, empty when absent.
QStringView ContactField(const tagCONTACT* record, int type);
QString ContactDefaultTag(const tagCONTACT* record);
// Tag -> number of the present telephone fields (the nine only).
QMap<QString, QString> ContactTelephoneNumbers(const tagCONTACT* record);
// Checks a block read from outside: sizes, offsets inside the block and
// every string terminated, at least one field; `blockSize` is the number
// of bytes it has.
bool IsValidContactRecord(const tagCONTACT* record, int blockSize);
