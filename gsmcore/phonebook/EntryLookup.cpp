#include "gsmcore/phonebook/EntryLookup.h"

#include "gsmcore/phonebook/DialNumberCheck.h"

bool HoldsEntry(const ExtractorContactArray& entries, MEMORYTYPE memory, const QString& name, const QString& number)
{
    const QString wanted = FilterNumber(number);
    for (const auto& e : entries) {
        if (e->m_MemoryType == memory && e->m_Name == name && FilterNumber(e->m_Number) == wanted)
            return true;
    }
    return false;
}
