#pragma once
// The GSM default alphabet. One code per character for short messages;
// phone book names also use its extension table (escape + code).

#include "gsmcore/charset/CharacterSet.h"

class CCharacterSetDefault : public CCharacterSet {
public:
    // Escape + code for the extension characters (€ [ ] { } \ ~ ^ | and
    // form feed). Only for text every character of which HasCode says.
    QString ConvertFromUnicodeExtended(const QString& text) const;
    // Reads escape + code back; an escape before a code the extension
    // table lacks gives that code's own character, a lone or doubled
    // escape a blank, as the alphabet's standard asks of a receiver.
    QString ConvertToUnicodeExtended(const QString& codes) const;
    // True when the alphabet or its extension table has the character.
    static bool HasCode(char16_t ch);
    // The codes a character takes: 1, 2 for the extension table, 0 none.
    static int CodeCount(char16_t ch);

private:
    char16_t Convert(char16_t ch, bool toUnicode) const override;
};
