#pragma once
// A partial PC code page 437 table. Kept with the family; nothing in the
// program selects it yet.

#include "gsmcore/charset/CharacterSet.h"

class CCharacterSetPCCP437 : public CCharacterSet {
private:
    char16_t Convert(char16_t ch, bool toUnicode) const override;
};
