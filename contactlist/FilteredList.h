#pragma once
// CFilteredList: the contacts whose fields meet a mask. The list of all
// contacts (filter 0xFFF) owns its records; every other list points into
// it and owns nothing.

#include "contactlist/ContactRecord.h"

#include <memory>
#include <vector>

class CFilteredList {
public:
    static constexpr int AllContactsFilter = 0xFFF;

    explicit CFilteredList(int filter = 0, bool ownsRecords = false) : m_Filter(filter), m_ownsRecords(ownsRecords) {}
    ~CFilteredList();
    CFilteredList(const CFilteredList&) = delete;
    CFilteredList& operator=(const CFilteredList&) = delete;

    bool Accepts(const tagCONTACT* record) const { return (record->dwFieldMask & quint32(m_Filter)) != 0; }
    bool OwnsRecords() const { return m_ownsRecords; }
    int Count() const { return static_cast<int>(m_Contacts.size()); }
    // Frees the records (when owned) and empties the list.
    void Clear();

    int m_Filter;
    std::vector<tagCONTACT*> m_Contacts;

private:
    bool m_ownsRecords;
};

// The contacts of `all` that `filter` accepts, in the order of `all`.
std::unique_ptr<CFilteredList> BuildFilteredList(const CFilteredList& all, int filter);
