#pragma once
// The application's settings: the connection, what the window lists and
// the name and number sizes, kept under the application's registry key.

#include <QString>

class CAppSettings {
public:
    // The application's key under HKEY_LOCAL_MACHINE.
    static QString KeyPath() { return QStringLiteral("Software\\Orvanta\\Tessaly"); }

    CAppSettings();

    // Reads every value; a missing one leaves its field alone. True only
    // when all values but "VirtualPort" were there.
    bool Load();
    // Writes all twelve values; true only when every write succeeded.
    bool Save();
    // The values a first start uses when Load() came back false. The
    // connection name, flag and speed keep what was read.
    void ApplyDefaults();

    QString ComPort;
    QString TapiDevice;
    bool VirtualPort = false;
    int Speed = 9600;
    bool ShowSim = true;
    bool ShowPhone = true;
    bool ShowContacts = true;
    bool UseDefault = true;
    int SIMNameSize = 20;
    int SIMNumberSize = 20;
    int PhoneNameSize = 20;
    int PhoneNumberSize = 20;

    // What the stores reported at the last read; never stored.
    int ReportedPhoneNameSize = 0;
    int ReportedPhoneNumberSize = 0;
    int ReportedSIMNameSize = 0;
    int ReportedSIMNumberSize = 0;
};
