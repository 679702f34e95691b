#include "gsmcore/charset/CharacterSetDefaultModified.h"

#include "gsmcore/charset/CharacterSetCodeIndex.h"
#include "gsmcore/charset/CharacterSetDefaultRows.h"

#include <array>
#include <vector>

namespace {

constexpr char16_t kEndOfBothWays = 0xFFFF;      // closes the rows read in both directions
constexpr char16_t kEndOfApproximations = 0xFFFE; // closes the rows read from Unicode only
constexpr char16_t kSkippedFromUnicode = 0x08;    // ò goes out as a plain o instead

// Rows read from Unicode only: the nearest code the device can show.
constexpr std::array<CharacterSetCodePair, 52> kApproximationRows{{
    {0x28, 0x005B}, {0x28, 0x007B}, {0x29, 0x005D}, {0x29, 0x007D},
    {0x20, 0x005C}, {0x20, 0x0060}, {0x20, 0x007C}, {0x20, 0x007E}, {0x20, 0x00A9},
    {0x20, 0x00AB}, {0x20, 0x00AE}, {0x20, 0x00B1}, {0x20, 0x00B2}, {0x20, 0x00B3},
    {0x20, 0x00B5}, {0x20, 0x00BB}, {0x20, 0x00F0},
    {0x41, 0x00C0}, {0x41, 0x00C1}, {0x41, 0x00C2}, {0x41, 0x00C3},
    {0x45, 0x00C8}, {0x45, 0x00CA}, {0x45, 0x00CB},
    {0x49, 0x00CC}, {0x49, 0x00CD}, {0x49, 0x00CE}, {0x49, 0x00CF},
    {0x44, 0x00D0},
    {0x4F, 0x00D2}, {0x4F, 0x00D3}, {0x4F, 0x00D4}, {0x4F, 0x00D5},
    {0x55, 0x00D9}, {0x55, 0x00DA}, {0x55, 0x00DB},
    {0x61, 0x00E1}, {0x61, 0x00E2}, {0x61, 0x00E3},
    {0x65, 0x00EA}, {0x65, 0x00EB},
    {0x69, 0x00ED}, {0x69, 0x00EE}, {0x69, 0x00EF},
    {0x6F, 0x006F}, {0x6F, 0x00F2}, {0x6F, 0x00F3}, {0x6F, 0x00F4}, {0x6F, 0x00F5},
    {0x75, 0x00FA}, {0x79, 0x00FD}, {0x70, 0x00FE},
}};

// The table as one piece of data: two leading rows, the default rows,
// the first marker, the approximations, the second marker.
constexpr std::array<CharacterSetCodePair, 101> BuildModifiedTable()
{
    std::array<CharacterSetCodePair, 101> table{};
    std::size_t n = 0;
    table[n++] = {0x10, 0x0040};
    table[n++] = {0x12, 0x20AC};
    for (const CharacterSetCodePair& row : kDefaultAlphabetRows)
        table[n++] = row;
    table[n++] = {kEndOfBothWays, kEndOfBothWays};
    for (const CharacterSetCodePair& row : kApproximationRows)
        table[n++] = row;
    table[n++] = {kEndOfApproximations, kEndOfApproximations};
    return table;
}

constexpr std::array<CharacterSetCodePair, 101> kModifiedTable = BuildModifiedTable();

// Towards Unicode: the rows up to the first marker.
const CCharacterSetCodeIndex& ToUnicodeIndex()
{
    static const CCharacterSetCodeIndex index = [] {
        std::vector<CharacterSetCodePair> rows;
        for (const CharacterSetCodePair& row : kModifiedTable) {
            if (row.device == kEndOfBothWays)
                break;
            rows.push_back(row);
        }
        return CCharacterSetCodeIndex(rows);
    }();
    return index;
}

// From Unicode: every row up to the second marker, without the 0x08 rows.
const CCharacterSetCodeIndex& FromUnicodeIndex()
{
    static const CCharacterSetCodeIndex index = [] {
        std::vector<CharacterSetCodePair> rows;
        for (const CharacterSetCodePair& row : kModifiedTable) {
            if (row.unicode == kEndOfApproximations)
                break;
            if (row.device == kSkippedFromUnicode)
                continue;
            rows.push_back(row);
        }
        return CCharacterSetCodeIndex(rows);
    }();
    return index;
}

} // namespace

char16_t CCharacterSetDefaultModified::Convert(char16_t ch, bool toUnicode) const
{
    char16_t result = 0;
    if (toUnicode)
        return ToUnicodeIndex().FindByDevice(ch, result) ? result : ch;
    if (FromUnicodeIndex().FindByUnicode(ch, result))
        return result;
    return ch <= 0x7F ? ch : u' ';
}
