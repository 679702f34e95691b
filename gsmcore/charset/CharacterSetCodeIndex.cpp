#include "gsmcore/charset/CharacterSetCodeIndex.h"

CCharacterSetCodeIndex::CCharacterSetCodeIndex(std::span<const CharacterSetCodePair> rows)
    : m_rows(rows.begin(), rows.end())
{
    m_byDevice.fill(kNoRow);
    m_byUnicode.fill(kNoRow);
    // Walk backwards so that the earliest matching row is the one kept.
    for (std::size_t i = m_rows.size(); i-- > 0;) {
        const CharacterSetCodePair& row = m_rows[i];
        if (row.device < kIndexedRange)
            m_byDevice[row.device] = static_cast<std::int32_t>(row.unicode);
        if (row.unicode < kIndexedRange)
            m_byUnicode[row.unicode] = static_cast<std::int32_t>(row.device);
    }
}

bool CCharacterSetCodeIndex::FindByDevice(char16_t code, char16_t& result) const
{
    if (code < kIndexedRange) {
        const std::int32_t found = m_byDevice[code];
        if (found == kNoRow)
            return false;
        result = static_cast<char16_t>(found);
        return true;
    }
    for (const CharacterSetCodePair& row : m_rows) {
        if (row.device == code) {
            result = row.unicode;
            return true;
        }
    }
    return false;
}

bool CCharacterSetCodeIndex::FindByUnicode(char16_t ch, char16_t& result) const
{
    if (ch < kIndexedRange) {
        const std::int32_t found = m_byUnicode[ch];
        if (found == kNoRow)
            return false;
        result = static_cast<char16_t>(found);
        return true;
    }
    for (const CharacterSetCodePair& row : m_rows) {
        if (row.unicode == ch) {
            result = row.device;
            return true;
        }
    }
    return false;
}
