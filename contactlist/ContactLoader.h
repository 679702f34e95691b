#pragma once
// Reading the whole contacts store into a list of records sorted by name.
// Runs on the load thread and touches nothing but its own output list and
// the read operations of the given CPoomPhoneNumbers object.

#include "contactlist/FilteredList.h"

#include <atomic>
#include <memory>

class CPoomPhoneNumbers;

// Compares two names ignoring case (the order of the lists).
int CompareContactNames(QStringView a, QStringView b);
// Inserts `record` into the first `used` slots of `contacts`, keeping them
// sorted by name (binary search, then the tail moves up by one). The
// vector must have room for one more.
void InsertContactSorted(std::vector<tagCONTACT*>& contacts, size_t used, tagCONTACT* record);

// Reads every contact that has a number or an e-mail address into a new
// list of all contacts (filter 0xFFF) that owns its records. `stop` ends
// the reading early (the list then holds what was read so far).
std::unique_ptr<CFilteredList> LoadContactList(CPoomPhoneNumbers& source, const std::atomic<bool>& stop);
