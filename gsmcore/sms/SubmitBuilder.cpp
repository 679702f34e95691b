#include "gsmcore/sms/SubmitBuilder.h"

#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/EmsStandardHandlers.h"

#include <QRegularExpression>

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kMinutesPerWeek = 7 * kMinutesPerDay;

bool IsPhoneNumber(const QString& number)
{
    static const QRegularExpression pattern(QStringLiteral("^\\+?[0-9]{1,20}$"));
    return pattern.match(number).hasMatch();
}

// The shortest relative period (TS 23.040 coding) that lasts at least
// `minutes`; -1 beyond 63 weeks.
int RelativeValidityCode(qint64 minutes)
{
    if (minutes <= 12 * 60)
        return static_cast<int>(qMax<qint64>(0, (minutes + 4) / 5 - 1));
    if (minutes <= kMinutesPerDay)
        return static_cast<int>(143 + (minutes - 12 * 60 + 29) / 30);
    if (minutes <= 30 * kMinutesPerDay)
        return static_cast<int>(166 + (minutes + kMinutesPerDay - 1) / kMinutesPerDay);
    if (minutes <= 63 * kMinutesPerWeek)
        return static_cast<int>(qMax<qint64>(197, 192 + (minutes + kMinutesPerWeek - 1) / kMinutesPerWeek));
    return -1;
}

bool IsLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

int ChooseDataCodingScheme(const QString& text)
{
    const CCharacterSetDefault alphabet;
    for (const QChar c : text) {
        if (alphabet.ConvertToUnicode(alphabet.ConvertFromUnicode(c)) != c)
            return 8;
    }
    return 0;
}

bool ApplyValidity(const QString& validity, CSmsOut& message, QString& error)
{
    const QString value = validity.trimmed();
    if (value.isEmpty()) {
        message.SetValidityPeriod(VALID_PERIOD_MAXIMUM);
        return true;
    }
    if (value.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
        message.SetValidityPeriodFormat(CSmsOut::VPF_NONE);
        return true;
    }
    bool isNumber = false;
    const int octet = value.toInt(&isNumber);
    if (isNumber) {
        if (octet < 0 || octet > 255) {
            error = QStringLiteral("A relative validity period is a number from 0 to 255");
            return false;
        }
        message.SetValidityPeriod(static_cast<unsigned char>(octet));
        return true;
    }
    static const QRegularExpression period(QStringLiteral("^([0-9]{1,6})([mhdw])$"));
    const QRegularExpressionMatch match = period.match(value);
    if (match.hasMatch()) {
        const qint64 count = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).front();
        const qint64 minutes = count * (unit == u'm' ? 1 : unit == u'h' ? 60 : unit == u'd' ? kMinutesPerDay : kMinutesPerWeek);
        const int code = RelativeValidityCode(minutes);
        if (code < 0) {
            error = QStringLiteral("A validity period lasts at most 63 weeks");
            return false;
        }
        message.SetValidityPeriod(static_cast<unsigned char>(code));
        return true;
    }
    const QDateTime absolute = QDateTime::fromString(value, Qt::ISODate);
    if (absolute.isValid()) {
        message.SetValidityPeriod(absolute);
        return true;
    }
    error = QStringLiteral("Unknown validity period '%1'").arg(value);
    return false;
}

bool BuildSubmitParts(const SubmitOptions& options, std::vector<SubmitPart>& parts, QString& error)
{
    parts.clear();
    if (!IsPhoneNumber(options.to)) {
        error = QStringLiteral("The destination must be digits, with a leading + when international");
        return false;
    }
    if (!options.smsc.isEmpty() && !IsPhoneNumber(options.smsc)) {
        error = QStringLiteral("The service centre must be digits, with a leading + when international");
        return false;
    }

    int dataCodingScheme = options.dataCodingScheme;
    if (dataCodingScheme < 0) {
        dataCodingScheme = ChooseDataCodingScheme(options.text);
    } else if (dataCodingScheme == 0) {
        if (ChooseDataCodingScheme(options.text) != 0) {
            error = QStringLiteral("The text has characters outside the GSM default alphabet; use UCS2 (8)");
            return false;
        }
    } else if (dataCodingScheme == 4) {
        if (!IsLatin1(options.text)) {
            error = QStringLiteral("The text has characters that 8-bit data cannot carry; use UCS2 (8)");
            return false;
        }
    } else if (dataCodingScheme != 8) {
        error = QStringLiteral("The data coding scheme must be 0, 4 or 8");
        return false;
    }

    CEmsMessage message;
    message.SetAddress(options.to);
    message.SetServiceCenterAddress(options.smsc);
    message.SetText(options.text);
    message.SetDataCodingScheme(static_cast<quint8>(dataCodingScheme));
    message.SetStatusReportRequest(options.statusReport);
    if (!ApplyValidity(options.validity, message, error))
        return false;

    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    SmsOutList messages;
    if (message.GetSmsArray(messages) < 0) {
        error = QStringLiteral("The text needs more than 255 messages");
        return false;
    }
    for (const auto& part : messages) {
        SubmitPart submit;
        submit.pdu = part->Create(&items);
        submit.length = part->GetPduLength();
        parts.push_back(submit);
    }
    return true;
}
