#include "gsmcore/link/GSMCorePref.h"

#include "support/AppMessages.h"
#include "support/Registry.h"
#include "support/Trace.h"

namespace {

constexpr const wchar_t* kClassName = L"CGSMCorePref";
constexpr const wchar_t* kBaseName = L"ModulePreferences";

// The application's registry place; before start-up has set it, the
// product's own key.
RegRoot ApplicationRoot()
{
    const RegRoot root = CAppMessages::Instance().m_RegistryRoot;
    return root == RegRoot::None ? HKEY_LOCAL_MACHINE : root;
}

QString ApplicationKey()
{
    const QString key = CAppMessages::Instance().m_RegistryKey;
    return key.isEmpty() ? QStringLiteral("Software\\Orvanta\\Tessaly") : key;
}

template <typename Field>
void ReadNumber(CRegistry& key, const char* name, Field& field)
{
    quint32 value = 0;
    if (key.QueryDWord(QString::fromLatin1(name), value) == ERROR_SUCCESS)
        field = static_cast<int>(value);
}

}  // namespace

CGSMCorePref::CGSMCorePref()
{
    reset();
}

const wchar_t* CGSMCorePref::getnclassname() const
{
    return kClassName;
}

const wchar_t* CGSMCorePref::getnclass() const
{
    return kClassName;
}

bool CGSMCorePref::isnclass(const wchar_t* name) const
{
    return SameName(name, kClassName);
}

bool CGSMCorePref::isnclassderivedfrom(const wchar_t* name) const
{
    return SameName(name, kClassName) || SameName(name, kBaseName);
}

std::unique_ptr<ModulePreferences> CGSMCorePref::clone() const
{
    return std::make_unique<CGSMCorePref>(*this);
}

QString CGSMCorePref::GetCoreKey()
{
    return ApplicationKey() + QStringLiteral("\\GsmCore");
}

QString CGSMCorePref::GetDeviceBaseKey()
{
    return GetCoreKey() + QStringLiteral("\\Devices");
}

QString CGSMCorePref::GetDefaultDeviceKey()
{
    return GetDeviceBaseKey() + QStringLiteral("\\Default");
}

bool CGSMCorePref::reset()
{
    m_DeviceKey = GetDefaultDeviceKey();
    m_Port.clear();
    m_Speed = 9600;
    m_ServiceCentre.clear();
    m_SmsMode = 0;
    m_KeystrokeTime = 15;
    m_KeystrokePause = 7;
    m_KeystrokeSleep = 450;
    m_DeviceType = 0;
    m_DeviceFlag = false;
    m_SimStorage = QStringLiteral("SM");
    m_PhoneStorage = QStringLiteral("ME");
    m_SelectedStorage = QStringLiteral("Unknown");
    return true;
}

bool CGSMCorePref::load()
{
    const RegRoot root = ApplicationRoot();
    CRegistry core;
    core.Open(root, GetCoreKey(), KEY_ALL_ACCESS);
    QString text;
    if (core.QueryString(QStringLiteral("Device"), text) == ERROR_SUCCESS)
        m_DeviceKey = text;

    CRegistry device;
    if (device.Open(root, m_DeviceKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Can't read device info into preference object\n");
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Device = '%s'\n", m_DeviceKey);
    }
    if (device.QueryString(QStringLiteral("ComPort"), text) == ERROR_SUCCESS)
        m_Port = text;
    ReadNumber(device, "Speed", m_Speed);
    quint32 forced = 0;
    if (device.QueryDWord(QStringLiteral("ForceDevice"), forced) == ERROR_SUCCESS && forced != 0) {
        m_DeviceType = static_cast<int>(forced);
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Forced device type to %d\n", m_DeviceType.load());
    }

    if (core.QueryString(QStringLiteral("SMSC"), text) == ERROR_SUCCESS)
        m_ServiceCentre = text;
    ReadNumber(core, "SMSMode", m_SmsMode);
    ReadNumber(core, "KeystrokePause", m_KeystrokePause);
    ReadNumber(core, "KeystrokeTime", m_KeystrokeTime);
    ReadNumber(core, "KeystrokeSleep", m_KeystrokeSleep);
    device.Close();
    core.Close();
    return true;
}

bool CGSMCorePref::save()
{
    const RegRoot root = ApplicationRoot();
    CRegistry core;
    core.Create(root, GetCoreKey(), KEY_ALL_ACCESS);
    CRegistry device;
    device.Create(root, m_DeviceKey, KEY_ALL_ACCESS);
    core.SetString(QStringLiteral("Device"), m_DeviceKey);
    device.SetString(QStringLiteral("ComPort"), m_Port);
    device.SetDWord(QStringLiteral("Speed"), static_cast<quint32>(m_Speed));
    core.SetString(QStringLiteral("SMSC"), m_ServiceCentre);
    device.Close();
    core.Close();
    return true;
}
