#pragma once
// The user's own name for a phone number: the contacts are read once and
// a number, in any national or international form, finds its contact.

#include "contactlist/FilteredList.h"
#include "contactlist/NumberLookup.h"

#include <QString>

#include <memory>

class ContactNames {
public:
    // Reads the contacts store (TESSALY_CONTACTS or the default folder);
    // an unreadable store knows no names.
    ContactNames();
    ~ContactNames();

    // The contact's name; empty when no contact, or more than one, has it.
    QString NameFor(const QString& number) const;

private:
    std::unique_ptr<CFilteredList> m_all;
    CNumberTable m_table;
};
