#include "gsmcore/link/PortList.h"

#include "support/Registry.h"
#include "support/Trace.h"

#include <vector>

namespace {

const QString kActiveDrivers = QStringLiteral("Drivers\\Active");
const QString kExternalModems = QStringLiteral("ExtModems");
const QString kPcCardSerial = QStringLiteral("Drivers\\PCMCIA\\Serial");

struct FoundPort {
    QString port;
    QString name;
    char virtualFlag;
    quint32 type;
};

// Unimodem device types: external, internal and PC-card modems.
bool IsModemType(quint32 type)
{
    return type == 1 || type == 2 || type == 3;
}

void TraceInfo(const char* text)
{
    TraceMessage(g_traceCommon, TRACE_INFO, text);
}

void ReadActiveDriver(const QString& subkeyPath, std::vector<FoundPort>& found)
{
    CRegistry key;
    if (key.Open(HKEY_LOCAL_MACHINE, subkeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceInfo("Failed to open key\n");
        return;
    }
    QString deviceName;
    if (key.QueryString(QStringLiteral("Name"), deviceName) != ERROR_SUCCESS) {
        TraceInfo("Failed to read name\n");
        return;
    }
    QString pnpId;
    if (key.QueryString(QStringLiteral("PnpId"), pnpId) != ERROR_SUCCESS)
        pnpId.clear();
    QString driverKey;
    if (key.QueryString(QStringLiteral("Key"), driverKey) != ERROR_SUCCESS) {
        TraceInfo("Failed to read reference\n");
        return;
    }

    CRegistry ref;
    const QString unimodem = driverKey + QStringLiteral("\\Unimodem");
    TraceMessage(g_traceCommon, TRACE_INFO, "try %s\n", unimodem);
    if (ref.Open(HKEY_LOCAL_MACHINE, unimodem, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceMessage(g_traceCommon, TRACE_INFO, "try %s instead\n", driverKey);
        if (ref.Open(HKEY_LOCAL_MACHINE, driverKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
            TraceInfo("Failed to open ref key\n");
            return;
        }
    }
    quint32 type = 0;
    if (ref.QueryDWord(QStringLiteral("DeviceType"), type) != ERROR_SUCCESS) {
        TraceInfo("Failed to read device type\n");
        return;
    }
    // PC-card serial drivers report no modem type of their own.
    if (driverKey == kPcCardSerial && type == 0)
        type = 3;
    if (!IsModemType(type)) {
        TraceInfo("Skip device because its device type\n");
        return;
    }
    QString friendlyName;
    if (ref.QueryString(QStringLiteral("FriendlyName"), friendlyName) != ERROR_SUCCESS) {
        if (pnpId.isEmpty()) {
            TraceInfo("Failed to read name\n");
            return;
        }
        TraceInfo("User PnpId instead of friendly name\n");
        friendlyName = pnpId.left(qMax(0, pnpId.size() - 5));
    }
    quint32 virtualPort = 0;
    if (ref.QueryDWord(QStringLiteral("VirtualPort"), virtualPort) != ERROR_SUCCESS)
        virtualPort = 0;
    found.push_back({deviceName, friendlyName, static_cast<char>(virtualPort ? 1 : 0), type});
    TraceMessage(g_traceCommon, TRACE_INFO, "%s = %s\n", friendlyName, deviceName);
}

void ReadExternalModem(const QString& subkeyPath, std::vector<FoundPort>& found)
{
    CRegistry key;
    if (key.Open(HKEY_LOCAL_MACHINE, subkeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceInfo("Failed to open key\n");
        return;
    }
    quint32 type = 0;
    if (key.QueryDWord(QStringLiteral("DeviceType"), type) != ERROR_SUCCESS) {
        TraceInfo("Failed to read device type\n");
        return;
    }
    if (!IsModemType(type)) {
        TraceInfo("Skip device because its device type\n");
        return;
    }
    QString port;
    if (key.QueryString(QStringLiteral("Port"), port) != ERROR_SUCCESS) {
        TraceInfo("Failed to read port\n");
        return;
    }
    QString friendlyName;
    if (key.QueryString(QStringLiteral("FriendlyName"), friendlyName) != ERROR_SUCCESS) {
        TraceInfo("Failed to read name\n");
        return;
    }
    bool renamed = false;
    for (FoundPort& existing : found) {
        if (existing.type == type && existing.port.compare(port, Qt::CaseInsensitive) == 0) {
            existing.name = friendlyName;
            renamed = true;
            break;
        }
    }
    if (!renamed)
        found.push_back({port, friendlyName, 0, type});
    TraceMessage(g_traceCommon, TRACE_INFO, "%s = %s\n", friendlyName, port);
}

// Runs `read` on every subkey of `base`; false when the base is missing.
template <typename Reader>
bool ForEachSubkey(const QString& base, Reader read)
{
    TraceMessage(g_traceCommon, TRACE_INFO, "Open key %s\n", base);
    CRegistry key;
    if (key.Open(HKEY_LOCAL_MACHINE, base, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceInfo("Failed to open basekey\n");
        return false;
    }
    for (int index = 0;; ++index) {
        QString name;
        if (key.EnumKey(index, name) != ERROR_SUCCESS || name.isEmpty())
            break;
        const QString path = base + QLatin1Char('\\') + name;
        TraceMessage(g_traceCommon, TRACE_INFO, "%s\n", path);
        read(path);
    }
    return true;
}

}  // namespace

bool CPortList::Discover()
{
    m_bDiscovered = true;
    std::vector<FoundPort> found;
    if (!ForEachSubkey(kActiveDrivers, [&found](const QString& path) { ReadActiveDriver(path, found); }))
        return false;
    if (!ForEachSubkey(kExternalModems, [&found](const QString& path) { ReadExternalModem(path, found); }))
        return false;

    m_Ports.clear();
    m_Names.clear();
    m_Virtual.clear();
    // Stable insertion by device name in plain character order.
    for (const FoundPort& entry : found) {
        qsizetype at = 0;
        while (at < m_Ports.size() && QString::compare(m_Ports[at], entry.port, Qt::CaseSensitive) <= 0)
            ++at;
        m_Ports.insert(at, entry.port);
        m_Names.insert(at, entry.name);
        m_Virtual.insert(at, entry.virtualFlag);
    }

    TraceInfo("\n");
    for (qsizetype i = 0; i < m_Ports.size(); ++i)
        TraceMessage(g_traceCommon, TRACE_INFO, "%s (%s) (virtual: %d)\n", m_Names[i], m_Ports[i],
                     static_cast<int>(m_Virtual[i]));
    TraceInfo("\n");
    return true;
}

QString CPortList::GetPortForName(const QString& name)
{
    if (!m_bDiscovered)
        Discover();
    for (qsizetype i = 0; i < m_Names.size(); ++i) {
        if (m_Names[i] == name)
            return m_Ports[i];
    }
    return QString();
}

bool CPortList::ReadMervixPort(QString& name, QString& port)
{
    CRegistry key;
    if (key.Open(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta\\Veldro"), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceInfo("Failed to open Mervix key\n");
        return false;
    }
    if (key.QueryString(QStringLiteral("FriendlyName"), name) != ERROR_SUCCESS) {
        name.clear();
        TraceInfo("Failed to read Mervix friendly name\n");
    }
    if (key.QueryString(QStringLiteral("Port"), port) != ERROR_SUCCESS) {
        port.clear();
        TraceInfo("Failed to read Mervix port\n");
    }
    return true;
}

QString CPortList::MakeDisplayName(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('_'), QLatin1Char(' '));
    return shown;
}

int CPortList::GetPortNumber(const QString& port)
{
    if (port.size() != 5)
        return -1;
    const QChar digit = port[3];
    if (digit < QLatin1Char('0') || digit > QLatin1Char('9'))
        return -2;
    return digit.unicode() - '0';
}
