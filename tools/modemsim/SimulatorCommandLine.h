#pragma once
// The options of the tessaly-modemsim program, parsed apart from main() so
// that they can be tested, and applied to a simulator.

#include "tools/modemsim/ModemSimulator.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

struct SimulatorCommandLine {
    ModemSimulator::Options options;
    QString link;                 // --link: symlink to the device
    std::optional<QString> model; // --model, overrides --device-type
    std::optional<int> deviceType;
    int fillSim = 0;
    int fillPhone = 0;
    quint64 seed = 1;
    QString simLimits;            // "(1-250),40,18"
    QString phoneLimits;
    QString stateFile;            // loaded at start (when it exists), saved at exit
    bool noEcho = false;          // the echo-dropping fault, not E0
    bool silent = false;
    int delayMs = 0;
    std::vector<std::pair<QString, int>> cmeErrors;  // --cme-error +CPBR=22
    DialAnswer dialAnswer = DialAnswer::PickUp;
    // Given explicitly: these win over a loaded state file.
    bool numericGiven = false;
    bool cmeeGiven = false;
    bool emptyReadOkGiven = false;
    bool noUcs2Given = false;
    bool watchStdin = true;
    bool listDeviceTypes = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments (the program name first). On failure returns
// nothing and sets `error`.
std::optional<SimulatorCommandLine> ParseSimulatorCommandLine(const QStringList& arguments, QString* error);
QString SimulatorHelpText();
QString DeviceTypeListing();

// Applies everything but the link and the state file's saving: device
// type, model, state loading, limits, filling, faults. False with `error`
// set when something does not apply (an unknown type, bad limits, an
// unreadable state file).
bool ApplySimulatorCommandLine(const SimulatorCommandLine& line, ModemSimulator& simulator, QString* error);

// The storage names that "SIM" and "phone" mean on this simulator.
QString SimStorageOf(const ModemSimulator& simulator);
QString PhoneStorageOf(const ModemSimulator& simulator);
