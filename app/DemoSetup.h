#pragma once
// The demo: a simulated modem on a pseudo-terminal with filled SIM and
// phone books, a private registry file and a copy of the sample contacts,
// so the program runs through the real AT path without any hardware.
// Must be set up before anything reads the registry.

#include <QString>
#include <QTemporaryDir>

#include <memory>

class ModemSimulator;

class CDemoSetup {
public:
    static constexpr int SimEntries = 40;
    static constexpr int PhoneEntries = 25;
    static constexpr int DeviceType = 1;

    CDemoSetup();
    ~CDemoSetup();  // stops the simulator; the temporary folder goes

    // The sample contacts built into the program.
    static QString SampleContacts() { return QStringLiteral(":/demo-contacts"); }
    // The connection's name in the GSM Device dialog.
    static QString ConnectionName() { return QStringLiteral("Demo modem"); }

    // Points TESSALY_REGISTRY, TESSALY_CONTACTS and XDG_DATA_HOME (the
    // Contacts cache) into a temporary folder,
    // copies the sample contacts and starts the simulator. False with
    // Error() set when something of it fails.
    bool Start(const QString& sampleContactsFolder = SampleContacts());
    QString DevicePath() const;
    const QString& Error() const { return m_error; }
    QString ContactsFolder() const;

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ModemSimulator> m_simulator;
    QString m_error;
};
