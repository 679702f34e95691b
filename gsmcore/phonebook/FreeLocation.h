#pragma once
// The free-location search of the entry commands: the lowest location of
// a memory that no entry of that memory holds, as far as the entries that
// were read say (the device is not asked).

#include "gsmcore/phonebook/ExtractorContact.h"

// What FindFreeIndex answers for a full memory.
constexpr int NoFreeLocation = 9999;

// The lowest location from `firstIndex` up to `memorySize` locations on
// that no entry of `memory` occupies; entries outside that range do not
// count. NoFreeLocation when there is none.
int FindFreeIndex(const ExtractorContactArray& entries, MEMORYTYPE memory, int firstIndex, int memorySize);
