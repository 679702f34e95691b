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

// The table of known models.
const DeviceModelRule* DeviceModelRules(int& count);

// The first row that matches the reply lines of +CGMM, or null.
const DeviceModelRule* MatchDeviceModel(const QStringList& replyLines);

// The line of a +CGMM answer that names the model: the second for the
// rows that match there, else the first; without a "+CGMM:" prefix.
QString ModelLine(const QStringList& replyLines);
