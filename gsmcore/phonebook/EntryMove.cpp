#include "gsmcore/phonebook/EntryMove.h"

#include "gsmcore/phonebook/FreeLocation.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

MoveResult MoveEntries(ExtractorContactArray& entries, const std::vector<size_t>& positions, MEMORYTYPE target,
                       const PhoneBookMemory& source, const PhoneBookMemory& destination)
{
    MoveResult result;
    for (const size_t position : positions) {
        if (position >= entries.size())
            continue;
        CExtractorContact& entry = *entries[position];
        if (entry.m_MemoryType == target)
            continue;
        const int location = FindFreeIndex(entries, target, destination.firstIndex, destination.memorySize);
        if (location == NoFreeLocation) {
            CAppMessages::Instance().ShowMessage(Tr("Error: SIM/Phone is out of memory"), MB_ICONSTOP);
            ++result.leftForFullMemory;
            continue;
        }
        // The target may filter the number it writes; the entry keeps its own.
        QString number = entry.m_Number;
        if (!destination.store || !destination.store->Add(location, entry.m_Name, number)) {
            CAppMessages::Instance().ShowMessage(Tr("Failed to add contact"), MB_OK);
            result.stop = MoveResult::Stop::AddFailed;
            result.stoppedAt = position;
            return result;
        }
        if (!source.store || !source.store->Delete(entry.m_Index)) {
            CAppMessages::Instance().ShowMessage(Tr("Could not delete contact"), MB_OK);
            result.stop = MoveResult::Stop::DeleteFailed;
            result.stoppedAt = position;
            result.stoppedTargetIndex = location;
            return result;
        }
        entry.m_MemoryType = target;
        entry.m_Index = location;
        result.moved.push_back(position);
    }
    return result;
}
