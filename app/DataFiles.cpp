#include "app/DataFiles.h"

#include "app/AppSettings.h"
#include "support/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramDirectory()
{
    CRegistry key;
    QString appName;
    if (key.Open(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath(), KEY_ALL_ACCESS) == ERROR_SUCCESS
        && key.QueryString(QStringLiteral("AppName"), appName) == ERROR_SUCCESS && !appName.isEmpty()) {
        // Installs write either separator.
        const qsizetype cut = qMax(appName.lastIndexOf(QLatin1Char('\\')), appName.lastIndexOf(QLatin1Char('/')));
        return cut >= 0 ? appName.left(cut) : QString();
    }
    return QCoreApplication::applicationDirPath();
}

QString FindDataFile(const QString& relative)
{
    const QString program = ProgramDirectory();
    const QString appDir = QCoreApplication::applicationDirPath();
    // The build folder has share/tessaly beside the program's folder too.
    const QStringList folders = {
        program,
        program + QStringLiteral("/../share/tessaly"),
        appDir + QStringLiteral("/../share/tessaly"),
    };
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(relative));
        if (file.exists())
            return file.canonicalFilePath();
    }
    // A program copied away from its install still finds the installed data.
    // One kind at a time: with both flags Qt looks for a folder only.
    const QString name = QStringLiteral("tessaly/") + relative;
    QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, name, QStandardPaths::LocateFile);
    if (installed.isEmpty())
        installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, name, QStandardPaths::LocateDirectory);
    return installed.isEmpty() ? QString() : QFileInfo(installed).canonicalFilePath();
}

QString ContactsCacheFile()
{
    // The handheld kept it in its root folder under the application key's
    // name; here it goes with the other data of the user.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir().mkpath(base + QStringLiteral("/tessaly"));
    return base + QStringLiteral("/tessaly/Tessaly adrbook");
}
