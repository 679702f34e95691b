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

// One rule: what is written is the number given less its separators, or
// nothing, with a message that names what is refused.
TEST(DialNumberCheck, NumbersAreStoredAsGivenOrRefused)
{
    const struct {
        const char* number;
        const char* stored;   // nullptr: refused
        const char* refusal;  // what the message names
        int type;
    } cases[] = {
        {"+44 (20) 7946-0123", "+442079460123", "", 145},
        {"020-7946.0123/4", "020794601234", "", 129},
        {" +4670", "+4670", "", 145},
        {"*31#0701234567p123", "*31#0701234567p123", "", 129},
        {"0812w34P5W6", "0812w34p5w6", "", 129},
        {"w", "w", "", 129},
        {"", "", "", 129},
        {"abc", nullptr, "\"a\"", 0},
        {"46+70", nullptr, "\"+\"", 0},
        {"++46", nullptr, "\"+\"", 0},
        {"0812,345", nullptr, "\",\"", 0},
        {"0701 P23 x", nullptr, "\"x\"", 0},
        {"070\xc2\xb9", nullptr, "\"\xc2\xb9\"", 0},
        {"07\xf0\x9f\x98\x80" "1", nullptr, "\"\xf0\x9f\x98\x80\"", 0},
        {"( - )", nullptr, "nothing but separators", 0},
    };
    for (const auto& c : cases) {
        const QString number = QString::fromUtf8(c.number);
        const QString message = RefusedNumberMessage(number);
        EXPECT_EQ(IsWritableNumber(number), c.stored != nullptr) << c.number;
        EXPECT_EQ(message.isEmpty(), c.stored != nullptr) << c.number;
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.refusal))) << message.toStdString();
        if (c.stored) {
            EXPECT_EQ(FilterNumber(number), QString::fromUtf8(c.stored)) << c.number;
            EXPECT_EQ(GetNumberType(FilterNumber(number)), c.type) << c.number;
        }
    }
}

}  // namespace
