#include "app/AppSettings.h"

#include "support/RegistryStore.h"
#include "support/Registry.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QThreadPool>

#include <atomic>
#include <vector>

namespace {

bool OpenOrCreate(CRegistry& key)
{
    if (key.Open(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath(), KEY_ALL_ACCESS) == ERROR_SUCCESS)
        return true;
    return key.Create(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath(), KEY_ALL_ACCESS) == ERROR_SUCCESS;
}

// Flags are true only when stored as exactly 1.
bool ReadFlag(CRegistry& key, const char* name, bool& field)
{
    quint32 value = 0;
    if (key.QueryDWord(QString::fromLatin1(name), value) != ERROR_SUCCESS)
        return false;
    field = value == 1;
    return true;
}

bool ReadNumber(CRegistry& key, const char* name, int& field)
{
    quint32 value = 0;
    if (key.QueryDWord(QString::fromLatin1(name), value) != ERROR_SUCCESS)
        return false;
    field = static_cast<int>(value);
    return true;
}

bool ReadText(CRegistry& key, const char* name, QString& field)
{
    QString value;
    if (key.QueryString(QString::fromLatin1(name), value) != ERROR_SUCCESS)
        return false;
    field = value.left(CRegistry::MaxStringLength);
    return true;
}

using ValueList = std::vector<std::pair<QString, RegValue>>;

void AddNumber(ValueList& values, const char* name, quint32 value)
{
    values.emplace_back(QString::fromLatin1(name), RegValue::fromDWord(value));
}

void AddText(ValueList& values, const char* name, const QString& value)
{
    values.emplace_back(QString::fromLatin1(name), RegValue::fromString(value));
}

// Saves that found the file locked by another program wait here, one at
// a time and in order, so the GUI thread never waits for the lock. Each
// keeps trying until it lands, or until the program gives up on it at exit.
QThreadPool& BackgroundSaves()
{
    static QThreadPool pool;
    static const bool once = [] {
        pool.setMaxThreadCount(1);
        return true;
    }();
    Q_UNUSED(once);
    return pool;
}

std::atomic<int> g_pendingSaves{0};
std::atomic<bool> g_abandonSaves{false};
constexpr int kRetryWaitMs = 500;

// Writes at once when the file is free; otherwise later, in the background.
// False only when the write failed for another reason than the lock.
bool SaveValues(const ValueList& values)
{
    using Result = CRegistryStore::WriteResult;
    CRegistryStore& store = CRegistryStore::Instance();
    // An earlier save still waiting goes first: saves keep their order.
    if (g_pendingSaves.load() == 0) {
        const Result result = store.TrySetValues(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath(), values, 0);
        if (result != Result::Locked)
            return result == Result::Written;
    }
    ++g_pendingSaves;
    BackgroundSaves().start([&store, values] {
        Result result = Result::Locked;
        while (result == Result::Locked && !g_abandonSaves.load())
            result = store.TrySetValues(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath(), values, kRetryWaitMs);
        if (result != Result::Written)
            TraceMessage(g_traceTessaly, TRACE_ERROR, "Settings not saved to %s\n", store.Path());
        --g_pendingSaves;
    });
    return true;
}

const QString kWindowPlacement = QStringLiteral("WindowPlacement");

}  // namespace

// The connection name starts as the translated "None", so the language
// file must be loaded before the settings object is made.
CAppSettings::CAppSettings() : TapiDevice(Tr("None")) {}

bool CAppSettings::Load()
{
    CRegistry key;
    if (!OpenOrCreate(key))
        return false;
    bool complete = true;
    complete &= ReadFlag(key, "ShowSim", ShowSim);
    complete &= ReadFlag(key, "ShowPhone", ShowPhone);
    complete &= ReadFlag(key, "ShowContacts", ShowContacts);
    complete &= ReadText(key, "ComPort", ComPort);
    // A connection flag alone missing does not call for defaults; any
    // non-zero number counts as set.
    quint32 virtualPort = 0;
    if (key.QueryDWord(QStringLiteral("VirtualPort"), virtualPort) == ERROR_SUCCESS)
        VirtualPort = virtualPort != 0;
    complete &= ReadText(key, "TapiDevice", TapiDevice);
    complete &= ReadNumber(key, "Speed", Speed);
    complete &= ReadFlag(key, "UseDefault", UseDefault);
    complete &= ReadNumber(key, "PhoneNameSize", PhoneNameSize);
    complete &= ReadNumber(key, "PhoneNumberSize", PhoneNumberSize);
    complete &= ReadNumber(key, "SIMNameSize", SIMNameSize);
    complete &= ReadNumber(key, "SIMNumberSize", SIMNumberSize);
    return complete;
}

bool CAppSettings::Save()
{
    ValueList values;
    AddNumber(values, "ShowSim", ShowSim ? 1 : 0);
    AddNumber(values, "ShowPhone", ShowPhone ? 1 : 0);
    AddNumber(values, "ShowContacts", ShowContacts ? 1 : 0);
    AddText(values, "ComPort", ComPort);
    AddText(values, "TapiDevice", TapiDevice);
    AddNumber(values, "VirtualPort", VirtualPort ? 1 : 0);
    AddNumber(values, "Speed", static_cast<quint32>(Speed));
    AddNumber(values, "UseDefault", UseDefault ? 1 : 0);
    AddNumber(values, "PhoneNameSize", static_cast<quint32>(PhoneNameSize));
    AddNumber(values, "PhoneNumberSize", static_cast<quint32>(PhoneNumberSize));
    AddNumber(values, "SIMNameSize", static_cast<quint32>(SIMNameSize));
    AddNumber(values, "SIMNumberSize", static_cast<quint32>(SIMNumberSize));
    return SaveValues(values);
}

int CAppSettings::PendingSaves()
{
    return g_pendingSaves.load();
}

bool CAppSettings::WaitForPendingSaves(int timeoutMs)
{
    if (BackgroundSaves().waitForDone(timeoutMs))
        return true;
    // Given up for good: the program is on its way out. Each waiting save
    // ends within one lock wait.
    g_abandonSaves = true;
    BackgroundSaves().waitForDone(10 * kRetryWaitMs);
    return false;
}

QString CAppSettings::LoadWindowPlacement()
{
    CRegistry key;
    QString placement;
    if (key.Open(HKEY_LOCAL_MACHINE, KeyPath(), KEY_ALL_ACCESS) != ERROR_SUCCESS
        || key.QueryString(kWindowPlacement, placement) != ERROR_SUCCESS)
        return QString();
    return placement;
}

bool CAppSettings::SaveWindowPlacement(const QString& placement)
{
    if (placement == LoadWindowPlacement())
        return true;  // nothing moved: the file stays as it is
    return SaveValues({{kWindowPlacement, RegValue::fromString(placement)}});
}

void CAppSettings::ApplyDefaults()
{
    ShowSim = ShowPhone = ShowContacts = true;
    UseDefault = true;
    ComPort.clear();
    SIMNameSize = SIMNumberSize = PhoneNameSize = PhoneNumberSize = 20;
}
