#include "app/AppSettings.h"

#include "support/Registry.h"
#include "support/TranslationTable.h"

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

bool WriteNumber(CRegistry& key, const char* name, quint32 value)
{
    return key.SetDWord(QString::fromLatin1(name), value) == ERROR_SUCCESS;
}

bool WriteText(CRegistry& key, const char* name, const QString& value)
{
    return key.SetString(QString::fromLatin1(name), value) == ERROR_SUCCESS;
}

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
    CRegistry key;
    if (!OpenOrCreate(key))
        return false;
    // Every write is tried, even after one failed.
    bool ok = true;
    ok &= WriteNumber(key, "ShowSim", ShowSim ? 1 : 0);
    ok &= WriteNumber(key, "ShowPhone", ShowPhone ? 1 : 0);
    ok &= WriteNumber(key, "ShowContacts", ShowContacts ? 1 : 0);
    ok &= WriteText(key, "ComPort", ComPort);
    ok &= WriteText(key, "TapiDevice", TapiDevice);
    ok &= WriteNumber(key, "VirtualPort", VirtualPort ? 1 : 0);
    ok &= WriteNumber(key, "Speed", static_cast<quint32>(Speed));
    ok &= WriteNumber(key, "UseDefault", UseDefault ? 1 : 0);
    ok &= WriteNumber(key, "PhoneNameSize", static_cast<quint32>(PhoneNameSize));
    ok &= WriteNumber(key, "PhoneNumberSize", static_cast<quint32>(PhoneNumberSize));
    ok &= WriteNumber(key, "SIMNameSize", static_cast<quint32>(SIMNameSize));
    ok &= WriteNumber(key, "SIMNumberSize", static_cast<quint32>(SIMNumberSize));
    return ok;
}

void CAppSettings::ApplyDefaults()
{
    ShowSim = ShowPhone = ShowContacts = true;
    UseDefault = true;
    ComPort.clear();
    SIMNameSize = SIMNumberSize = PhoneNameSize = PhoneNumberSize = 20;
}
