// The rules the entry commands apply before they touch the device: where
// a new entry goes and which numbers may be written.

#include "gsmcore/phonebook/DialNumberCheck.h"
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

TEST(DialNumberCheck, OnlyDialCharactersAndDroppedSeparators)
{
    const struct {
        const char* number;
        bool writable;
    } cases[] = {
        {"+46 70-123.45 (67)/8", true}, {"*31#0812345", true}, {"0812p123w4P5W6", true}, {"", true},
        {" +4670", true},               {"abc", false},        {"46+70", false},           {"++46", false},
        {"0812,345", false},            {"12x", false},        {"070\xc2\xb9", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWritableNumber(QString::fromUtf8(c.number)), c.writable) << c.number;
}

}  // namespace
