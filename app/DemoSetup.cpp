#include "app/DemoSetup.h"

#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

CDemoSetup::CDemoSetup() = default;

CDemoSetup::~CDemoSetup()
{
    if (m_simulator)
        m_simulator->stop();
}

QString CDemoSetup::ContactsFolder() const
{
    return m_folder.filePath(QStringLiteral("contacts"));
}

bool CDemoSetup::Start(const QString& sampleContactsFolder)
{
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("cannot make a temporary folder");
        return false;
    }
    // Before the first registry access: the store reads the variable once.
    const QByteArray registry = QFile::encodeName(m_folder.filePath(QStringLiteral("registry.ini")));
    setenv("TESSALY_REGISTRY", registry.constData(), 1);
    // The Contacts cache of the demo must not replace the user's own.
    const QString data = m_folder.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    setenv("XDG_DATA_HOME", QFile::encodeName(data).constData(), 1);
    const QString contacts = ContactsFolder();
    QDir().mkpath(contacts);
    setenv("TESSALY_CONTACTS", QFile::encodeName(contacts).constData(), 1);
    const QDir samples(sampleContactsFolder);
    for (const QString& name : samples.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        // Copies of resources are read-only; the demo's contacts may be edited.
        const QString copy = QDir(contacts).filePath(name);
        QFile::copy(samples.filePath(name), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    m_simulator = std::make_unique<ModemSimulator>();
    m_simulator->setDeviceType(DeviceType);
    if (!m_simulator->start()) {
        m_error = QStringLiteral("cannot start the simulated modem");
        return false;
    }
    const QStringList storages = m_simulator->storages();
    if (storages.contains(QStringLiteral("SM")))
        m_simulator->fillPhoneBook(QStringLiteral("SM"), SimEntries, 2026);
    if (storages.contains(QStringLiteral("ME")))
        m_simulator->fillPhoneBook(QStringLiteral("ME"), PhoneEntries, 1999);
    return true;
}

QString CDemoSetup::DevicePath() const
{
    return m_simulator ? m_simulator->devicePath() : QString();
}
