// tessaly-cli sms send: a short message (in as many parts as it needs)
// submitted to the device in PDU mode.

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "gsmcore/sms/SubmitBuilder.h"
#include "tools/cli/CliContext.h"

int RunSms(CliContext& context)
{
    if (context.args.Word(1) == QLatin1String("list"))
        return RunSmsList(context);
    if (context.args.Word(1) != QLatin1String("send"))
        return context.Fail(QStringLiteral("sms needs send or list"), 2);
    SubmitOptions options;
    if (!SubmitOptionsFrom(context, options))
        return 2;
    std::vector<SubmitPart> parts;
    QString error;
    if (!BuildSubmitParts(options, parts, error))
        return context.Fail(error.trimmed());

    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    Ptr<CGSMDevice> device = connection.GetDevicePtr();
    if (!device)
        return context.Fail(QStringLiteral("sending needs a device, not the simulated phone books"));
    for (size_t i = 0; i < parts.size(); ++i) {
        const int reference = device->execute_sms(parts[i].pdu, parts[i].length);
        if (reference < 0)
            return context.Fail(QStringLiteral("the device did not accept part %1 of %2").arg(i + 1).arg(parts.size()));
        context.Print(QStringLiteral("Sent part %1 of %2, reference %3").arg(i + 1).arg(parts.size()).arg(reference));
    }
    return 0;
}
