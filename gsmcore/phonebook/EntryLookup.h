#pragma once
// Whether a memory already holds an entry, for the commands that copy
// many entries in (Add to SIM/Phone, the restore of a backup): names are
// read back exactly as written, so the name given compares as it is, and
// numbers compare as the store writes them (filtered).

#include "gsmcore/phonebook/ExtractorContact.h"

bool HoldsEntry(const ExtractorContactArray& entries, MEMORYTYPE memory, const QString& name, const QString& number);
