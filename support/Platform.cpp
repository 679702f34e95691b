#include "support/Platform.h"

#include <QFile>
#include <QMutex>
#include <QSysInfo>

namespace {
QMutex g_lock;
std::optional<PlatformStrings> g_injected;

PlatformStrings SystemStrings()
{
    QMutexLocker lock(&g_lock);
    if (g_injected)
        return *g_injected;
    PlatformStrings s;
    s.platform = QSysInfo::kernelType();  // "linux"
    QFile vendor(QStringLiteral("/sys/class/dmi/id/sys_vendor"));
    if (vendor.open(QIODevice::ReadOnly))
        s.oem = QString::fromUtf8(vendor.readAll()).trimmed();
    s.version = QSysInfo::kernelVersion();
    return s;
}
}  // namespace

void SetPlatformStringsForTesting(const PlatformStrings* strings)
{
    QMutexLocker lock(&g_lock);
    if (strings)
        g_injected = *strings;
    else
        g_injected.reset();
}

int GetPlatformType(QString& name)
{
    // The system hands the string over in a 64-byte buffer: 31 characters.
    const auto platform = SystemStrings().platform;
    name = platform ? platform->left(31) : QString();
    if (name == QLatin1String("PocketPC") || name == QLatin1String("Pocket_PC"))
        return 2;
    if (name == QLatin1String("Palm PC2"))
        return 1;
    return 0;
}

QString GetPlatformName(int type)
{
    switch (type) {
    case 2: return QStringLiteral("Pocket PC 2002");
    case 1: return QStringLiteral("Pocket PC 2000");
    default: return QStringLiteral("Unknown");
    }
}

bool GetOSVersion(int& major, int& minor, int& build)
{
    const auto version = SystemStrings().version;
    if (!version || version->isEmpty())
        return false;
    // "6.1.0-18-amd64": the numbers before the first character that is
    // neither a digit nor a dot.
    int numbers[3] = {0, 0, 0};
    int index = 0;
    bool any = false;
    for (QChar c : *version) {
        if (c.isDigit()) {
            numbers[index] = qMin(numbers[index] * 10 + c.digitValue(), 1000000);
            any = true;
        } else if (c == QLatin1Char('.') && index < 2) {
            ++index;
        } else {
            break;
        }
    }
    if (!any)
        return false;
    major = numbers[0];
    minor = numbers[1];
    build = numbers[2];
    return true;
}

int GetOemType(QString& name)
{
    // The system hands the string over in a 256-byte buffer: 127 characters.
    const auto oem = SystemStrings().oem;
    name = oem ? oem->left(127) : QString();
    static const struct {
        const char* prefix;
        int maker;
    } makers[] = {
        {"Compaq", 1}, {"HP", 2}, {"Pocket PC J", 3}, {"Symbol", 4}, {"TOSHIBA", 5},
    };
    for (const auto& m : makers) {
        if (name.startsWith(QLatin1String(m.prefix)))
            return m.maker;
    }
    return 0;
}
