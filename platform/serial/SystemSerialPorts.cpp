#include "platform/serial/SystemSerialPorts.h"

#include "support/Registry.h"
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

// USB serial adaptors, CDC modems and Bluetooth serial links carry GSM
// devices; a built-in UART only when the kernel found real hardware.
bool LooksLikeModemPort(const QString& kernelName, const QString& sysDir)
{
    static const char* const kModemPrefixes[] = {"ttyUSB", "ttyACM", "rfcomm", "ttyGS", "ttyHS"};
    for (const char* prefix : kModemPrefixes) {
        if (kernelName.startsWith(QLatin1String(prefix)))
            return true;
    }
    if (kernelName.startsWith(QLatin1String("ttyS"))) {
        // Type 0 is "no UART here": the legacy ports every PC lists.
        const QString type = ReadSmallFile(sysDir + QStringLiteral("/type"));
        return !type.isEmpty() && type != QLatin1String("0");
    }
    return false;
}

QString FriendlyNameFor(const QString& kernelName, const QString& sysDir, const QString& udevData)
{
    const QString majorMinor = ReadSmallFile(sysDir + QStringLiteral("/dev"));
    if (!majorMinor.isEmpty()) {
        const QString record = ReadSmallFile(udevData + QStringLiteral("/c") + majorMinor);
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

bool Ok(long result)
{
    return result == ERROR_SUCCESS;
}

// Removes every subkey of `path`, leaving the key itself.
bool EmptyKey(const QString& path)
{
    CRegistry key;
    if (!Ok(key.Open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS)))
        return Ok(key.Create(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS));
    for (;;) {
        QString name;
        if (!Ok(key.EnumKey(0, name)) || name.isEmpty())
            return true;
        if (!Ok(key.DeleteKey(name)))
            return false;
    }
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
        port.modem = LooksLikeModemPort(kernelName, sysDir);
        port.friendlyName = FriendlyNameFor(kernelName, sysDir, udevData);
        ports.push_back(port);
    }
    return ports;
}

bool PublishSerialPorts(const std::vector<SystemSerialPort>& ports)
{
    bool ok = EmptyKey(kActiveDrivers) && EmptyKey(kSerialDrivers);
    int number = 0;
    for (const SystemSerialPort& port : ports) {
        const QString active = kActiveDrivers + QLatin1Char('\\') + QString::number(++number).rightJustified(2, QLatin1Char('0'));
        const QString driver = kSerialDrivers + QLatin1Char('\\') + port.kernelName;
        CRegistry activeKey;
        CRegistry unimodem;
        if (!Ok(activeKey.Create(HKEY_LOCAL_MACHINE, active, KEY_ALL_ACCESS))
            || !Ok(unimodem.Create(HKEY_LOCAL_MACHINE, driver + QStringLiteral("\\Unimodem"), KEY_ALL_ACCESS))) {
            ok = false;
            continue;
        }
        ok &= Ok(activeKey.SetString(QStringLiteral("Name"), port.device));
        ok &= Ok(activeKey.SetString(QStringLiteral("Key"), driver));
        // 1: external modem; 0: a serial port nobody expects a modem on.
        ok &= Ok(unimodem.SetDWord(QStringLiteral("DeviceType"), port.modem ? 1 : 0));
        ok &= Ok(unimodem.SetString(QStringLiteral("FriendlyName"), port.friendlyName));
        ok &= Ok(unimodem.SetDWord(QStringLiteral("VirtualPort"), 0));
        TraceMessage(g_traceCommon, TRACE_INFO, "Serial port %s: %s\n", port.device, port.friendlyName);
    }
    // Modems set up by hand stay; the key only has to exist.
    CRegistry external;
    if (!Ok(external.Open(HKEY_LOCAL_MACHINE, kExternalModems, KEY_ALL_ACCESS)))
        ok &= Ok(external.Create(HKEY_LOCAL_MACHINE, kExternalModems, KEY_ALL_ACCESS));
    return ok;
}
