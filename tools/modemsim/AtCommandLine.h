#pragma once
// Splits one command line into the commands it holds, after ITU-T V.250:
// "AT&FV1E1" is &F, V1, E1; "AT+CSCS=\"GSM\";+CPBS?" is two extended
// commands separated by ";"; "ATD0701234567;" is a dial command that takes
// the rest of the line. Pure functions over bytes: quoted strings may hold
// any byte, 0x00 included.

#include <QByteArray>

#include <optional>
#include <vector>

struct AtCommand {
    enum class Kind {
        Basic,      // a letter or &letter with an optional number: E1, V0, &F, Z
        SRegister,  // S<n>=<v> or S<n>?
        Dial,       // D<dial string>, which runs to the end of the line
        Extended,   // +NAME (or *, $, ^, %, _ prefixed) with its arguments
    };
    Kind kind = Kind::Basic;
    QByteArray name;  // upper case: "E", "&F", "S7", "D", "+CPBR"
    QByteArray args;  // as sent: "1", "=1,250", "?", "=?", "0701234567;"
};

// The text after the "AT" prefix (any case), or nothing when the line
// holds no "AT" at all. Bytes before the prefix are line noise and dropped.
std::optional<QByteArray> StripAtPrefix(const QByteArray& line);

// The commands of the line after its "AT"; nothing when the line is
// malformed (an unknown character, an unterminated quote).
std::optional<std::vector<AtCommand>> SplitCommandLine(const QByteArray& afterAt);

// Extended command forms.
enum class AtForm { Action, Query, Test, Set };
AtForm FormOf(const AtCommand& command);
// The argument text of a set command: what follows the "=".
QByteArray SetArguments(const AtCommand& command);
