#pragma once
// Moving entries between the SIM and the phone memory: each entry is
// written to the first free location of the other memory and only then
// deleted where it was, so that no failure loses it. The window and
// tessaly-cli both move through here; the messages go through the
// application message dispatch.

#include "gsmcore/phonebook/NumberExtractor.h"

#include <vector>

// One memory as the move sees it: its store, and its locations as read.
struct PhoneBookMemory {
    CNumberExtractor* store = nullptr;
    int firstIndex = 1;
    int memorySize = 0;
    // The last read of this memory stopped early: `memorySize` then ends
    // at the last location read, and a full memory asks for a new read.
    bool readCutShort = false;
};

struct MoveResult {
    enum class Stop {
        None,          // every entry was tried
        AddFailed,     // the target refused the write; that entry did not change
        DeleteFailed,  // written to the target but still in the source memory
    };
    std::vector<size_t> moved;  // positions in the array that are now in the target
    int leftForFullMemory = 0;  // entries that stayed because the target was full
    int leftForName = 0;        // entries that stayed because the target would not keep the name exactly
    Stop stop = Stop::None;
    size_t stoppedAt = 0;        // position of the entry the move stopped on
    int stoppedTargetIndex = 0;  // DeleteFailed: the target location of the copy
};

// Moves the entries at `positions` (in that order) into `target`; entries
// already there are skipped. A moved entry takes its new memory and
// location in `entries`, so later free-location searches see it. A full
// target leaves the entry where it is and the move goes on; the entries
// left so are reported once, at the end. A refused write or delete is
// reported and ends the move.
// The one message for `left` entries that a full `target` kept back.
QString FullMemoryMessage(int left, MEMORYTYPE target, bool readCutShort);

MoveResult MoveEntries(ExtractorContactArray& entries, const std::vector<size_t>& positions, MEMORYTYPE target,
                       const PhoneBookMemory& source, const PhoneBookMemory& destination);
