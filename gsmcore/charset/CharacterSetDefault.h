#pragma once
// The GSM default alphabet without its extension table; used for phone
// book names and, unless told otherwise, for short messages.

#include "gsmcore/charset/CharacterSet.h"

class CCharacterSetDefault : public CCharacterSet {
private:
    char16_t Convert(char16_t ch, bool toUnicode) const override;
};
