#include "gsmcore/phonebook/EntryMove.h"

#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

QString FullMemoryMessage(int left, MEMORYTYPE target, bool readCutShort)
{
    if (readCutShort)
        return target == MEMORY_SIM ? Tr("The SIM was not read to its end: a Refresh (F5) is needed before writing to it.")
                                    : Tr("The phone memory was not read to its end: a Refresh (F5) is needed before writing to it.");
    if (left == 1)
        return Tr("Error: SIM/Phone is out of memory");
    return Format(target == MEMORY_SIM ? Tr("%d entries were not moved: the SIM is full.")
                                       : Tr("%d entries were not moved: the phone memory is full."),
                  left);
}

namespace {

// Reads the copy back: the source is deleted only when the target holds
// the name and number exactly. A copy that differs is removed again.
bool CopyIsExact(CNumberExtractor& store, int location, const QString& name, const QString& number)
{
    QString readName = name, readNumber = number;
    if (!store.Get(location, readName, readNumber)) {
        CAppMessages::Instance().ShowMessage(
            Format(Tr("The copy of \"%s\" could not be read back; the entry stays where it was."), name), MB_ICONSTOP);
        return false;
    }
    if (readName == name && FilterNumber(readNumber).compare(number, Qt::CaseInsensitive) == 0)
        return true;
    CAppMessages::Instance().ShowMessage(
        Format(Tr("The target stored \"%s\" as \"%s\"; the entry stays where it was."), name, readName), MB_ICONSTOP);
    store.Delete(location);
    return false;
}

}  // namespace

MoveResult MoveEntries(ExtractorContactArray& entries, const std::vector<size_t>& positions, MEMORYTYPE target,
                       const PhoneBookMemory& source, const PhoneBookMemory& destination)
{
    MoveResult result;
    // Said once, whichever way the move ends.
    struct FullReport {
        const MoveResult& result;
        MEMORYTYPE target;
        bool cutShort;
        ~FullReport()
        {
            if (result.leftForFullMemory > 0)
                CAppMessages::Instance().ShowMessage(FullMemoryMessage(result.leftForFullMemory, target, cutShort),
                                                     MB_ICONSTOP);
        }
    } report{result, target, destination.readCutShort};
    for (const size_t position : positions) {
        if (position >= entries.size())
            continue;
        CExtractorContact& entry = *entries[position];
        if (entry.m_MemoryType == target)
            continue;
        const int location = FindFreeIndex(entries, target, destination.firstIndex, destination.memorySize);
        if (location == NoFreeLocation) {
            ++result.leftForFullMemory;
            continue;
        }
        if (destination.store) {
            if (const QString problem = destination.store->NameProblem(entry.m_Name); !problem.isEmpty()) {
                CAppMessages::Instance().ShowMessage(problem, MB_ICONSTOP);
                ++result.leftForName;
                continue;
            }
        }
        // The target may filter the number it writes; the entry keeps its own.
        QString number = entry.m_Number;
        if (!destination.store || !destination.store->Add(location, entry.m_Name, number)) {
            CAppMessages::Instance().ShowMessage(Tr("Failed to add contact"), MB_OK);
            result.stop = MoveResult::Stop::AddFailed;
            result.stoppedAt = position;
            return result;
        }
        if (!CopyIsExact(*destination.store, location, entry.m_Name, number)) {
            ++result.leftForName;
            continue;
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
