#pragma once
// The modem-like serial ports the registry lists: the active drivers that
// are modems and the external modems set up by hand, each with its device
// name, a friendly name and whether the port is virtual, sorted by device
// name. The connection dialog chooses from these.

#include <QByteArray>
#include <QString>
#include <QStringList>

class CPortList {
public:
    bool Discover();
    // The port of the entry whose friendly name is exactly `name`.
    QString GetPortForName(const QString& name);
    bool ReadMervixPort(QString& name, QString& port);
    static QString MakeDisplayName(const QString& text);
    static int GetPortNumber(const QString& port);

    const QStringList& Ports() const { return m_Ports; }
    const QStringList& Names() const { return m_Names; }
    const QByteArray& VirtualFlags() const { return m_Virtual; }
    int Count() const { return static_cast<int>(m_Ports.size()); }
    bool IsDiscovered() const { return m_bDiscovered; }

private:
    QStringList m_Ports;
    QStringList m_Names;
    QByteArray m_Virtual;
    bool m_bDiscovered = false;
};
