#include "platform/serial/SystemSerialPorts.h"

#include "support/RegistryStore.h"
#include "support/Trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kActiveDrivers = QStringLiteral("Drivers\\Active");
const QString kSerialDrivers = QStringLiteral("Drivers\\Serial");
const QString kExternalModems = QStringLiteral("ExtModems");

QString ReadSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

// udev's "E:KEY=value" lines of the device's database record.
QString UdevProperty(const QString& record, const QString& key)
{
    const QString prefix = QStringLiteral("E:") + key + QLatin1Char('=');
    for (const QString& line : record.split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return QString();
}

// The subsystem of the device behind the tty ("usb", "usb-serial",
// "pnp", "platform"...), empty when sysfs does not say.
QString ParentSubsystem(const QString& sysDir)
{
    const QString target = QFileInfo(sysDir + QStringLiteral("/device/subsystem")).symLinkTarget();
    return target.isEmpty() ? QString() : QFileInfo(target).fileName();
}

// ModemManager's own verdict first, then the bus: USB and Bluetooth
// serial links carry GSM devices; a built-in UART only when the kernel
// found real hardware behind it. Without udev or sysfs links the kernel
// name is the last hint.
bool LooksLikeModemPort(const QString& kernelName, const QString& sysDir, const QString& record)
{
    if (UdevProperty(record, QStringLiteral("ID_MM_CANDIDATE")) == QLatin1String("1"))
        return true;
    static const char* const kModemBuses[] = {"usb", "usb-serial", "bluetooth"};
    const QString bus = UdevProperty(record, QStringLiteral("ID_BUS"));
    const QString parent = ParentSubsystem(sysDir);
    for (const char* modemBus : kModemBuses) {
        if (bus == QLatin1String(modemBus) || parent == QLatin1String(modemBus))
            return true;
    }
    if (kernelName.startsWith(QLatin1String("ttyS"))) {
        // Type 0 is "no UART here": the legacy ports every PC lists.
        const QString type = ReadSmallFile(sysDir + QStringLiteral("/type"));
        return !type.isEmpty() && type != QLatin1String("0");
    }
    if (!bus.isEmpty() || !parent.isEmpty())
        return false;
    static const char* const kModemPrefixes[] = {"ttyUSB", "ttyACM", "rfcomm", "ttyGS", "ttyHS"};
    for (const char* prefix : kModemPrefixes) {
        if (kernelName.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

QString UdevRecord(const QString& sysDir, const QString& udevData)
{
    const QString majorMinor = ReadSmallFile(sysDir + QStringLiteral("/dev"));
    return majorMinor.isEmpty() ? QString() : ReadSmallFile(udevData + QStringLiteral("/c") + majorMinor);
}

QString FriendlyNameFor(const QString& kernelName, const QString& sysDir, const QString& record)
{
    {
        for (const char* key : {"ID_MODEL_FROM_DATABASE", "ID_MODEL_ENC", "ID_MODEL"}) {
            QString model = UdevProperty(record, QString::fromLatin1(key));
            if (model.isEmpty())
                continue;
            model.replace(QStringLiteral("\\x20"), QStringLiteral(" "));
            model.replace(QLatin1Char('_'), QLatin1Char(' '));
            QString vendor = UdevProperty(record, QStringLiteral("ID_VENDOR_FROM_DATABASE"));
            if (vendor.isEmpty())
                vendor = UdevProperty(record, QStringLiteral("ID_VENDOR"));
            vendor.replace(QLatin1Char('_'), QLatin1Char(' '));
            const QString name = vendor.isEmpty() ? model : vendor + QLatin1Char(' ') + model;
            return name + QStringLiteral(" (") + kernelName + QLatin1Char(')');
        }
    }
    // Without udev: the USB product string two levels above the interface.
    const QString product = ReadSmallFile(sysDir + QStringLiteral("/device/../product"));
    if (!product.isEmpty())
        return product + QStringLiteral(" (") + kernelName + QLatin1Char(')');
    return kernelName;
}

}  // namespace

std::vector<SystemSerialPort> FindSystemSerialPorts(const QString& sysClassTty, const QString& udevData)
{
    std::vector<SystemSerialPort> ports;
    const QDir dir(sysClassTty);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& kernelName : names) {
        const QString sysDir = dir.filePath(kernelName);
        // Virtual consoles and ptys have no device behind them.
        if (!QFileInfo::exists(sysDir + QStringLiteral("/device")))
            continue;
        SystemSerialPort port;
        port.kernelName = kernelName;
        port.device = QStringLiteral("/dev/") + kernelName;
        const QString record = UdevRecord(sysDir, udevData);
        port.modem = LooksLikeModemPort(kernelName, sysDir, record);
        port.friendlyName = FriendlyNameFor(kernelName, sysDir, record);
        ports.push_back(port);
    }
    return ports;
}

void PublishSerialPorts(const std::vector<SystemSerialPort>& ports)
{
    // Made in memory on every start: the registry file is not touched.
    std::vector<CRegistryStore::OverlayKey> keys;
    int number = 0;
    for (const SystemSerialPort& port : ports) {
        const QString active = kActiveDrivers + QLatin1Char('\\') + QString::number(++number).rightJustified(2, QLatin1Char('0'));
        const QString driver = kSerialDrivers + QLatin1Char('\\') + port.kernelName;
        keys.push_back({active,
                        {{QStringLiteral("Name"), RegValue::fromString(port.device)},
                         {QStringLiteral("Key"), RegValue::fromString(driver)}}});
        // 1: external modem; 0: a serial port nobody expects a modem on.
        keys.push_back({driver + QStringLiteral("\\Unimodem"),
                        {{QStringLiteral("DeviceType"), RegValue::fromDWord(port.modem ? 1 : 0)},
                         {QStringLiteral("FriendlyName"), RegValue::fromString(port.friendlyName)},
                         {QStringLiteral("VirtualPort"), RegValue::fromDWord(0)}}});
        TraceMessage(g_traceCommon, TRACE_INFO, "Serial port %s: %s\n", port.device, port.friendlyName);
    }
    // Modems set up by hand live in the file; the key only has to exist.
    keys.push_back({kExternalModems, {}});
    CRegistryStore::Instance().SetOverlay(RegRoot::LocalMachine, {kActiveDrivers, kSerialDrivers}, keys);
}
