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
    // Writes all twelve values in one write of the registry file; true
    // only when it succeeded. When another program holds the file, the
    // write waits for it on a thread of its own and Save returns at once.
    bool Save();
    // Saves still waiting for another program to let go of the file.
    static int PendingSaves();
    // Waits up to `timeoutMs` for them; false when some were given up.
    static bool WaitForPendingSaves(int timeoutMs);

    // The main window's place on the desktop, "x,y,width,height": a value
    // of the desktop program's own beside the twelve above.
    static QString LoadWindowPlacement();
    // Like Save, it never waits for another program's lock.
    static bool SaveWindowPlacement(const QString& placement);
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
