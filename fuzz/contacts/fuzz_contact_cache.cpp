// Any bytes as a contacts cache file: either rejected whole or made of
// records that hold together.

#include "contactlist/ContactCache.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFilteredList all(CFilteredList::AllContactsFilter, true);
    if (ParseContactCache(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), all)) {
        for (const tagCONTACT* record : all.m_Contacts) {
            if (!IsValidContactRecord(record, record->wSize))
                std::abort();
            for (int type = 0; type < ContactFieldCount; ++type)
                (void)ContactField(record, type).size();
        }
    } else if (all.Count() != 0) {
        std::abort();
    }
    return 0;
}
