#pragma once
// A lookup over a converter's rows that answers exactly as a linear
// search from the first row would (the first matching row wins), but in
// constant time for the codes below 0x400 where nearly all traffic lies.
// Rarer codes fall back to the search itself.

#include "gsmcore/charset/CharacterSetCodePair.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class CCharacterSetCodeIndex {
public:
    explicit CCharacterSetCodeIndex(std::span<const CharacterSetCodePair> rows);

    // True and `result` set when a row matches.
    bool FindByDevice(char16_t code, char16_t& result) const;
    bool FindByUnicode(char16_t ch, char16_t& result) const;

private:
    static constexpr char16_t kIndexedRange = 0x400;
    static constexpr std::int32_t kNoRow = -1;

    std::vector<CharacterSetCodePair> m_rows;
    std::array<std::int32_t, kIndexedRange> m_byDevice;
    std::array<std::int32_t, kIndexedRange> m_byUnicode;
};
