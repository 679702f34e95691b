#pragma once
// Everything tessaly's main() does: the command line, the demo, the
// application's start-up, the system's serial ports, the event loop.
// The benchmark runs it too, with a machine of its own making.

#include <QString>

#include <functional>

class CPhoneBookApp;

struct ProgramSystem {
    QString sysClassTty = QStringLiteral("/sys/class/tty");
    QString udevData = QStringLiteral("/run/udev/data");
    // Called once the window is made, before the event loop runs.
    std::function<void(CPhoneBookApp&)> started;
};

int TessalyMain(int argc, char** argv, const ProgramSystem& system = ProgramSystem());
