// Where the entry commands put a new entry.

#include "gsmcore/phonebook/FreeLocation.h"

#include <gtest/gtest.h>

namespace {

ExtractorContactArray At(std::initializer_list<std::pair<int, MEMORYTYPE>> locations)
{
    ExtractorContactArray entries;
    for (const auto& [index, memory] : locations)
        entries.push_back(std::make_unique<CExtractorContact>(QStringLiteral("x"), QStringLiteral("1"), index, memory));
    return entries;
}

TEST(FindFreeIndex, LowestLocationNoEntryOfThatMemoryHolds)
{
    const struct {
        ExtractorContactArray entries;
        int first, size, expected;
    } cases[] = {
        {At({{1, MEMORY_SIM}, {2, MEMORY_SIM}, {4, MEMORY_SIM}}), 1, 10, 3},
        {At({{1, MEMORY_SIM}, {2, MEMORY_SIM}, {3, MEMORY_SIM}, {4, MEMORY_SIM}, {5, MEMORY_SIM}, {6, MEMORY_SIM},
             {7, MEMORY_SIM}, {8, MEMORY_SIM}, {9, MEMORY_SIM}, {10, MEMORY_SIM}}),
         1, 10, NoFreeLocation},
        {At({{1, MEMORY_PHONE}, {2, MEMORY_PHONE}}), 1, 10, 1},   // the other memory does not count
        {At({{0, MEMORY_SIM}, {11, MEMORY_SIM}}), 1, 10, 1},      // outside the range
        {At({{0, MEMORY_SIM}}), 0, 3, 1},                         // a memory that starts at 0
        {At({}), 1, 0, NoFreeLocation},                           // not read
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindFreeIndex(c.entries, MEMORY_SIM, c.first, c.size), c.expected) << c.first << "/" << c.size;
}

}  // namespace
