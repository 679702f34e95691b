#include "tools/cli/CliContext.h"

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/Registry.h"

bool CliContext::Connection(QString& port, int& speed)
{
    CRegistry settings(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta\\Tessaly"));
    quint32 storedSpeed = 9600;
    settings.QueryDWord(QStringLiteral("Speed"), storedSpeed);
    speed = int(storedSpeed);
    if (!args.IntValue(QStringLiteral("--speed"), speed) || speed <= 0) {
        Fail(QStringLiteral("--speed needs a positive number"), 2);
        return false;
    }
    port = args.Value(QStringLiteral("--port"));
    if (port.isEmpty())
        settings.QueryString(QStringLiteral("ComPort"), port);
    if (port.isEmpty()) {
        Fail(QStringLiteral("no device chosen: give --port PATH (or --port 99 to simulate)"), 2);
        return false;
    }
    return true;
}

int CliContext::Connect(CPhoneBookConnection& connection)
{
    QString port;
    int speed = 0;
    if (!Connection(port, speed))
        return 2;
    connection.SetPort(port, speed);
    if (!connection.Connect())
        return Fail(QStringLiteral("cannot find GSM device on %1").arg(port));
    return 0;
}
