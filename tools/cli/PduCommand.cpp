// tessaly-cli pdu decode|encode: the SMS codec on its own, no device.

#include "gsmcore/sms/PduJson.h"
#include "tools/cli/CliContext.h"

#include <QJsonArray>

int RunPdu(CliContext& context)
{
    const QString action = context.args.Word(1);
    if (action == QLatin1String("decode")) {
        const QString hex = context.args.Words().mid(2).join(QString());
        if (hex.isEmpty())
            return context.Fail(QStringLiteral("pdu decode needs the PDU in hexadecimal"), 2);
        QString error;
        const QJsonObject decoded = DecodePduToJson(hex, error);
        if (decoded.isEmpty())
            return context.Fail(error.isEmpty() ? QStringLiteral("the PDU cannot be read") : error.trimmed());
        if (context.Json())
            context.PrintJson(QJsonDocument(decoded));
        else
            context.out += FormatDecodedPdu(decoded);
        return 0;
    }
    if (action == QLatin1String("encode")) {
        SubmitOptions options;
        if (!SubmitOptionsFrom(context, options))
            return 2;
        QString error;
        const QJsonObject encoded = EncodeSubmitToJson(options, error);
        if (encoded.isEmpty())
            return context.Fail(error.isEmpty() ? QStringLiteral("no message can be made of this") : error.trimmed());
        if (context.Json())
            context.PrintJson(QJsonDocument(encoded));
        else
            context.out += FormatSubmitParts(encoded);
        return 0;
    }
    return context.Fail(QStringLiteral("pdu needs decode or encode"), 2);
}

bool SubmitOptionsFrom(CliContext& context, SubmitOptions& options)
{
    options.to = context.args.Value(QStringLiteral("--to"));
    options.text = context.args.Value(QStringLiteral("--text"));
    options.smsc = context.args.Value(QStringLiteral("--smsc"));
    options.validity = context.args.Value(QStringLiteral("--validity"));
    options.statusReport = context.args.Has(QStringLiteral("--status-report"));
    if (options.to.isEmpty() || !context.args.Has(QStringLiteral("--text"))) {
        context.Fail(QStringLiteral("give --to NUMBER and --text TEXT"), 2);
        return false;
    }
    if (!context.args.IntValue(QStringLiteral("--dcs"), options.dataCodingScheme)
        || (context.args.Has(QStringLiteral("--dcs")) && options.dataCodingScheme != 0 && options.dataCodingScheme != 4
            && options.dataCodingScheme != 8)) {
        context.Fail(QStringLiteral("--dcs is 0, 4 or 8"), 2);
        return false;
    }
    return true;
}
