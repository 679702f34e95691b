#pragma once
// Which property of a card stands for each of the twelve fields, the
// pager number and the three postal addresses. Every way address books
// spell a telephone's kind is decided here and only here.

#include "platform/contacts/ContactFieldTable.h"
#include "platform/contacts/VCard.h"

#include <array>

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
// The type that marks a number as the second home (X-HOME2) or second work
// (X-WORK2) one, so that it never reads back as the first.
QString SecondNumberMark(int fieldType, bool version4);
bool HasSecondNumberMark(const VCardProperty& p, int fieldType);
QStringList TypesForNewAddress(AddressKind kind, bool version4);
