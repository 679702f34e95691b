// tessaly-cli identify: opens the device as the application does and
// tells what it is and which phone books it has.

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/StringHelpers.h"
#include "tools/cli/CliContext.h"

#include <QJsonObject>

int RunIdentify(CliContext& context)
{
    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;

    QString model;
    if (Ptr<CGSMDevice> device = connection.GetDevicePtr()) {
        QStringList lines;
        if (device->execute_generic(lines, QStringLiteral("+CGMM"), 3000, QStringLiteral("OK")))
            model = ModelLine(lines);
    } else if (connection.IsSimulated()) {
        model = QStringLiteral("Simulate");
    }
    const CGSMCorePref& pref = connection.GetPref();
    if (context.Json()) {
        QJsonObject storages{{QStringLiteral("sim"), pref.m_SimStorage}, {QStringLiteral("phone"), pref.m_PhoneStorage}};
        context.PrintJson(QJsonDocument(QJsonObject{
            {QStringLiteral("device_type"), pref.m_DeviceType.load()},
            {QStringLiteral("model"), model},
            {QStringLiteral("storages"), storages},
        }));
    } else {
        context.Print(QStringLiteral("Device type:   %1").arg(pref.m_DeviceType.load()));
        context.Print(QStringLiteral("Model:         %1").arg(model));
        context.Print(QStringLiteral("SIM storage:   %1").arg(pref.m_SimStorage.isEmpty() ? QStringLiteral("(none)") : pref.m_SimStorage));
        context.Print(QStringLiteral("Phone storage: %1").arg(pref.m_PhoneStorage.isEmpty() ? QStringLiteral("(none)") : pref.m_PhoneStorage));
    }
    return 0;
}
