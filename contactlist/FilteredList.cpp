#include "contactlist/FilteredList.h"

CFilteredList::~CFilteredList()
{
    Clear();
}

void CFilteredList::Clear()
{
    if (m_ownsRecords)
        for (tagCONTACT* record : m_Contacts)
            FreeContactRecord(record);
    m_Contacts.clear();
}

std::unique_ptr<CFilteredList> BuildFilteredList(const CFilteredList& all, int filter)
{
    auto list = std::make_unique<CFilteredList>(filter, false);
    for (tagCONTACT* record : all.m_Contacts)
        if (list->Accepts(record))
            list->m_Contacts.push_back(record);
    return list;
}
