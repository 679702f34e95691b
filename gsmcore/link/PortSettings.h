#pragma once
// The connection parameters of one serial port: where it is and how fast
// it runs. Port names are device paths (/dev/ttyUSB0, /dev/pts/5).

#include <QString>
#include <QtGlobal>

class CPortSettings {
public:
    static constexpr quint32 DefaultBaudRate = 9600;

    CPortSettings();

    // "COM%d:" and "%s%d:" name forms, kept for configurations that still
    // store a port by number; on this system they name no device.
    static QString MakeName(int number);
    static QString MakeName(const QString& prefix, int number);

    quint32 m_BaudRate = DefaultBaudRate;
    QString m_PortName;
};
