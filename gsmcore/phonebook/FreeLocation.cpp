#include "gsmcore/phonebook/FreeLocation.h"

#include <vector>

int FindFreeIndex(const ExtractorContactArray& entries, MEMORYTYPE memory, int firstIndex, int memorySize)
{
    if (memorySize <= 0)
        return NoFreeLocation;
    std::vector<bool> taken(static_cast<size_t>(memorySize), false);
    for (const auto& entry : entries) {
        const long long offset = static_cast<long long>(entry->m_Index) - firstIndex;
        if (entry->m_MemoryType == memory && offset >= 0 && offset < memorySize)
            taken[static_cast<size_t>(offset)] = true;
    }
    for (int offset = 0; offset < memorySize; ++offset) {
        if (!taken[static_cast<size_t>(offset)])
            return firstIndex + offset;
    }
    return NoFreeLocation;
}
