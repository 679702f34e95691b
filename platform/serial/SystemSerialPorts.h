#pragma once
// The system's serial devices, found in /sys/class/tty with their friendly
// names and modem hints from udev, and offered to port discovery as the
// registry keys it reads ("Drivers\Active" with one driver key per port,
// and "ExtModems" for modems the user sets up by hand). These keys are
// made in memory, never written to the registry file.

#include <QString>

#include <vector>

struct SystemSerialPort {
    QString device;        // /dev/ttyUSB0
    QString kernelName;    // ttyUSB0
    QString friendlyName;  // "Huawei E1750" or the kernel name
    bool modem = false;    // worth offering for a GSM device
};

// `sysClassTty` and `udevData` are the system's folders; tests pass fakes.
std::vector<SystemSerialPort> FindSystemSerialPorts(const QString& sysClassTty = QStringLiteral("/sys/class/tty"),
                                                    const QString& udevData = QStringLiteral("/run/udev/data"));

// Replaces the active drivers that port discovery sees with `ports`.
void PublishSerialPorts(const std::vector<SystemSerialPort>& ports);
