// Model identification and the operations of a multiplexed port driver.

#include "gsmcore/link/GSMDevice.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/PortDriver.h"
#include "support/Platform.h"
#include "support/Trace.h"

#include <QtEndian>

namespace {
constexpr int IdentifyTimeoutMs = 3000;
constexpr quint32 IdentifiedSpeed = 115200;
constexpr int SymbolMaker = 4;  // GetOemType of a Symbol handheld
constexpr int OwnerNameBytes = 15;
constexpr quint32 PortActive = 1;
constexpr quint32 PortSuspended = 2;

QByteArray Word(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
}  // namespace

bool CGSMDevice::identifycard()
{
    if (!m_pref)
        return false;
    if (m_pref->m_DeviceType != 0)
        return true;
    QStringList lines;
    if (!execute_generic(lines, QStringLiteral("+CGMM"), IdentifyTimeoutMs, QStringLiteral("OK"))) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Identification of GSM card failed\n");
        return false;
    }
    const DeviceModelRule* rule = MatchDeviceModel(lines);
    if (!rule)
        return false;
    int type = rule->type;
    if (rule->actions & DeviceModelRule::SymbolMakerType) {
        QString maker;
        if (GetOemType(maker) == SymbolMaker)
            type = rule->symbolType;
    }
    m_pref->m_DeviceType = type;
    if (rule->actions & DeviceModelRule::TraceSherpa)
        TraceMessage(g_traceGsmSession, TRACE_INFO, "SHERPA!\n");
    bool rateChanged = false;
    if (rule->actions & DeviceModelRule::Speed115200) {
        CPortSettings* settings = getportsettings();
        if (settings && settings->m_BaudRate != IdentifiedSpeed) {
            settings->m_BaudRate = IdentifiedSpeed;
            rateChanged = true;
            // The rate changes on the open port; the device is not told.
            if (CSerialPort* port = getport())
                port->setcommstate();
        }
    }
    if ((rule->actions & DeviceModelRule::ClearSim) ||
        ((rule->actions & DeviceModelRule::ClearBothIfRateChanged) && rateChanged))
        m_pref->m_SimStorage.clear();
    if ((rule->actions & DeviceModelRule::ClearPhone) ||
        ((rule->actions & DeviceModelRule::ClearBothIfRateChanged) && rateChanged))
        m_pref->m_PhoneStorage.clear();
    if (rule->actions & DeviceModelRule::SimStorageAD)
        m_pref->m_SimStorage = QStringLiteral("AD");
    if (rule->actions & DeviceModelRule::FlagOn)
        m_pref->m_DeviceFlag = true;
    if (rule->actions & DeviceModelRule::FlagOff)
        m_pref->m_DeviceFlag = false;
    return true;
}

bool CGSMDevice::portquery(quint32 port, quint32& status)
{
    CSerialPort* serial = getport();
    QByteArray output;
    if (!serial || !serial->deviceiocontrol(IOCTL_PORT_STATUS, Word(port), output) || output.size() < 4)
        return false;
    status = qFromLittleEndian<quint32>(output.constData());
    return true;
}

bool CGSMDevice::IsPortSuspended()
{
    // The number in the port's name: "COM3:" is port 3.
    const QString name = getportsettings() ? getportsettings()->m_PortName : QString();
    qsizetype digit = 0;
    while (digit < name.size() && !name[digit].isDigit())
        ++digit;
    const qsizetype colon = name.indexOf(QLatin1Char(':'), digit);
    const quint32 number = name.mid(digit, colon < 0 ? -1 : colon - digit).toUInt();
    quint32 status = 0;
    return portquery(number, status) && status == PortSuspended;
}

short CGSMDevice::GetActivePort()
{
    for (quint32 port = 1; port <= 4; ++port) {
        quint32 status = 0;
        if (portquery(port, status) && status == PortActive)
            return static_cast<short>(port);
    }
    return -1;
}

QString CGSMDevice::GetPortOwnerName(quint32 port)
{
    CSerialPort* serial = getport();
    QByteArray output;
    if (!serial || !serial->deviceiocontrol(IOCTL_OWNER_NAME, Word(port), output))
        return QString();
    output.truncate(OwnerNameBytes);
    const qsizetype end = output.indexOf('\0');
    return QString::fromLatin1(end < 0 ? output : output.left(end));
}

bool CGSMDevice::SetPortOwnerName(const QString& name)
{
    CSerialPort* serial = getport();
    QByteArray input = name.toLatin1().left(OwnerNameBytes);
    input.append(QByteArray(OwnerNameBytes - input.size(), '\0'));
    QByteArray output;
    return serial && serial->deviceiocontrol(IOCTL_OWNER_NAME, input, output);
}

bool CGSMDevice::RegNotify(bool enable, quint32 parameter, quintptr window)
{
    CSerialPort* serial = getport();
    const QByteArray input = Word(parameter) + Word(1) + Word(static_cast<quint32>(window));
    QByteArray output;
    return serial &&
           serial->deviceiocontrol(enable ? IOCTL_REGISTER_NOTIFY : IOCTL_UNREGISTER_NOTIFY, input, output);
}
