#pragma once
// The known GSM device models: how a +CGMM answer is recognised and what
// each model needs (port speed, storages, device flag). One table, tried
// in order; the first matching row wins.

#include <QStringList>

struct DeviceModelRule {
    enum Match { Prefix, Contains, SecondLinePrefix };
    enum Action : unsigned {
        None = 0,
        Speed115200 = 1u << 0,
        ClearSim = 1u << 1,
        ClearPhone = 1u << 2,
        FlagOn = 1u << 3,
        FlagOff = 1u << 4,
        SimStorageAD = 1u << 5,
        ClearBothIfRateChanged = 1u << 6,  // only when the speed had to change
        TraceSherpa = 1u << 7,
        TraceNameBeforeTest = 1u << 8,
        SymbolMakerType = 1u << 9,         // another type on a Symbol handheld
    };

    Match match;
    const char* text;
    int type;
    unsigned actions;
    int symbolType = 0;
};

// What sets a device type apart once it is known, as flags, so that no
// code tests type numbers.
namespace DeviceQuirk {
enum : unsigned {
    None = 0,
    OkIsNotAnswer = 1u << 0,         // a plain OK after a dial is not the remote answer
    ReadsIndicators = 1u << 1,       // call state from +CIND? instead of +CPAS
    ModifiedCharacterSet = 1u << 2,  // text-mode messages in the modified GSM alphabet
    PauseAfterOpen = 1u << 3,        // needs a second after the port opens
    EmptyLineBeforeBody = 1u << 4,   // an empty line between +CMT and its body
};
}

// The quirks of a device type (0: none).
unsigned DeviceQuirksOf(int type);

// True for the key of an unsolicited code that a maker added to the
// standard ones ("^RSSI", "*EMRDY", ...): traced and dropped, never a reply.
bool IsMakerCode(const QString& key);

// The table of known models.
const DeviceModelRule* DeviceModelRules(int& count);

// The first row that matches the reply lines of +CGMM, or null.
const DeviceModelRule* MatchDeviceModel(const QStringList& replyLines);

// The line of a +CGMM answer that names the model: the second for the
// rows that match there, else the first; without a "+CGMM:" prefix.
QString ModelLine(const QStringList& replyLines);
