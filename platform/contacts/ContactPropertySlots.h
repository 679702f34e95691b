#pragma once
// Which property of a card stands for each of the twelve fields, the
// pager number and the three postal addresses. Every way address books
// spell a telephone's kind is decided here and only here.

#include "platform/contacts/ContactFieldTable.h"
#include "platform/contacts/VCard.h"

#include <array>
#include <vector>

enum class AddressKind { Home = 0, Work = 1, Other = 2 };

struct ContactPropertySlots {
    std::array<int, ContactFieldCount> field;  // property index, -1 when absent
    int pager = -1;
    std::array<int, 3> address;                // by AddressKind
    ContactPropertySlots() { field.fill(-1); address.fill(-1); }
};

ContactPropertySlots FindContactPropertySlots(const VCard& card);

// The TYPE values a new property of the field gets, for the card's version.
QStringList TypesForNewField(int fieldType, bool version4);
QStringList TypesForNewPager(bool version4);
// The type that marks a property as the second home (X-HOME2) or work
// (X-WORK2) number or the second or third e-mail address (X-EMAIL2,
// X-EMAIL3), so that it never reads back as an earlier one; empty for the
// other fields.
QString FieldMark(int fieldType, bool version4);
bool HasFieldMark(const VCardProperty& p, int fieldType);
// The fields that move up when `fieldType` is cleared, unless marked.
std::vector<int> FieldsAfter(int fieldType);
QStringList TypesForNewAddress(AddressKind kind, bool version4);
