#include "gsmcore/charset/CharacterSetDefault.h"

#include "gsmcore/charset/CharacterSetCodeIndex.h"
#include "gsmcore/charset/CharacterSetDefaultRows.h"

namespace {

const CCharacterSetCodeIndex& DefaultIndex()
{
    static const CCharacterSetCodeIndex index(kDefaultAlphabetRows);
    return index;
}

// The printable ASCII range the GSM alphabet shares with Unicode, less
// the codes that the rows give another meaning ($ and @).
bool SharedWithAscii(char16_t ch)
{
    return (ch >= 0x20 && ch <= 0x23) || (ch >= 0x25 && ch <= 0x3F) || (ch >= 0x41 && ch <= 0x5A)
        || (ch >= 0x61 && ch <= 0x7A);
}

} // namespace

char16_t CCharacterSetDefault::Convert(char16_t ch, bool toUnicode) const
{
    char16_t result = 0;
    if (toUnicode)
        return DefaultIndex().FindByDevice(ch, result) ? result : ch;
    if (DefaultIndex().FindByUnicode(ch, result))
        return result;
    // Anything the device could not show becomes a blank.
    return SharedWithAscii(ch) ? ch : u' ';
}
