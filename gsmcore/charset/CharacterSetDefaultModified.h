#pragma once
// The default alphabet as one device family reads it: "@" is 0x10 and the
// euro sign 0x12, and accented letters without a code are sent as their
// nearest plain letter.

#include "gsmcore/charset/CharacterSet.h"

class CCharacterSetDefaultModified : public CCharacterSet {
private:
    char16_t Convert(char16_t ch, bool toUnicode) const override;
};
