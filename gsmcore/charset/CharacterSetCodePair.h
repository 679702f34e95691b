#pragma once
// One row of a converter table: the device's code and the Unicode
// character it stands for.

struct CharacterSetCodePair {
    char16_t device;
    char16_t unicode;
};
