#include "gsmcore/sms/PduJson.h"

#include "gsmcore/sms/EmsAddressingScheme8Bit.h"
#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsHelper.h"
#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"
#include "gsmcore/sms/SmsStatusReport.h"

#include <QJsonArray>

namespace {

// A time the PDU does not carry readably has no key at all.
void AddTime(QJsonObject& object, const QString& key, const QDateTime& time)
{
    if (time.isValid())
        object[key] = time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString NoteName(const NOTE_STRUCT& note)
{
    static const char* const letters[] = {"", "c", "d", "e", "f", "g", "a", "b"};
    return note.note >= 1 && note.note <= 7 ? QString::fromLatin1(letters[note.note]) : QString();
}

QString AccidentalName(int accidental)
{
    switch (accidental) {
    case 1: return QStringLiteral("flat");
    case 2: return QStringLiteral("sharp");
    default: return QStringLiteral("none");
    }
}

QJsonObject ElementToJson(const CEmsItemUnknown& element)
{
    QJsonObject object;
    object[QStringLiteral("iei")] = element.GetIdentifier();
    if (const auto* concatenation = dynamic_cast<const CEmsConcatenatedShortMessage*>(&element)) {
        object[QStringLiteral("reference")] = concatenation->GetReferenceNumber();
        object[QStringLiteral("max")] = concatenation->GetMaximumNumber();
        object[QStringLiteral("sequence")] = concatenation->GetSequenceNumber();
    } else if (const auto* ports = dynamic_cast<const CEmsAddressingScheme8Bit*>(&element)) {
        object[QStringLiteral("destination_port")] = ports->GetDestinationPort();
        object[QStringLiteral("originator_port")] = ports->GetOriginatorPort();
    } else if (const auto* format = dynamic_cast<const CEmsFormatText*>(&element)) {
        object[QStringLiteral("position")] = format->GetPos();
        object[QStringLiteral("length")] = format->GetLength();
        object[QStringLiteral("alignment")] = format->GetAlignment();
        object[QStringLiteral("font_size")] = format->GetFontSize();
        object[QStringLiteral("bold")] = format->IsBold();
        object[QStringLiteral("italic")] = format->IsItalic();
        object[QStringLiteral("underlined")] = format->IsUnderlined();
        object[QStringLiteral("strikethrough")] = format->IsStrikethrough();
    } else if (const auto* melody = dynamic_cast<const CEmsMelody*>(&element)) {
        object[QStringLiteral("position")] = melody->GetPos();
        object[QStringLiteral("size")] = melody->GetSize();
        QJsonArray notes;
        for (int i = 0; i < melody->GetNumberOfNotes(); ++i) {
            const NOTE_STRUCT note = melody->GetNote(i);
            notes.append(QJsonObject{{QStringLiteral("note"), NoteName(note)},
                                     {QStringLiteral("accidental"), AccidentalName(note.accidental)},
                                     {QStringLiteral("octave"), note.octave},
                                     {QStringLiteral("duration"), note.duration},
                                     {QStringLiteral("rest"), note.rest}});
        }
        object[QStringLiteral("notes")] = notes;
    } else if (const auto* picture = dynamic_cast<const CEmsLargePicture*>(&element)) {
        object[QStringLiteral("position")] = picture->GetPos();
        object[QStringLiteral("size")] = picture->GetSize();
    } else if (const auto* binary = dynamic_cast<const CEmsBinary*>(&element)) {
        object[QStringLiteral("position")] = binary->GetPos();
        object[QStringLiteral("size")] = binary->GetSize();
    }
    return object;
}

QJsonArray ElementsToJson(const EmsItemList& elements)
{
    QJsonArray array;
    for (const auto& element : elements)
        array.append(ElementToJson(*element));
    return array;
}

// Every field but those a status report leaves out.
void AddCommonFields(QJsonObject& object, const CSms& message, const CSmsStatusReport* report = nullptr)
{
    object[QStringLiteral("smsc")] = message.GetServiceCenterAddress();
    object[QStringLiteral("address")] = message.GetAddress();
    object[QStringLiteral("first_octet")] = message.GetFirstOctet();
    if (!report || report->HasProtocolIdentifier())
        object[QStringLiteral("pid")] = static_cast<quint8>(message.GetProtocolIdentifier());
    if (!report || report->HasDataCodingScheme())
        object[QStringLiteral("dcs")] = message.GetDataCodingScheme();
    if (!report || report->HasUserData())
        object[QStringLiteral("text")] = message.GetText();
}

// Blanks out, digits upper case; false when something else is left.
bool NormalisePdu(const QString& hex, QString& pdu)
{
    pdu.clear();
    pdu.reserve(hex.size());
    for (const QChar c : hex) {
        if (c.isSpace())
            continue;
        const QChar upper = c.toUpper();
        if (!((upper >= u'0' && upper <= u'9') || (upper >= u'A' && upper <= u'F')))
            return false;
        pdu.append(upper);
    }
    return true;
}

} // namespace

QJsonObject DecodePduToJson(const QString& hex, QString& error)
{
    QString pdu;
    if (!NormalisePdu(hex, pdu)) {
        error = QStringLiteral("The PDU holds characters that are not hexadecimal digits");
        return QJsonObject();
    }

    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    QJsonObject object;
    switch (CSmsHelper::GetMessageType(pdu)) {
    case CSmsHelper::SMS_SUBMIT: {
        CSmsOut message;
        if (!message.Extract(pdu, &items)) {
            error = message.GetLastError();
            return QJsonObject();
        }
        object[QStringLiteral("type")] = QStringLiteral("submit");
        AddCommonFields(object, message);
        object[QStringLiteral("reference")] = message.GetMessageReference();
        switch (message.GetValidityPeriodFormat()) {
        case CSmsOut::VPF_RELATIVE:
        case CSmsOut::VPF_ENHANCED:
            object[QStringLiteral("validity")] = message.GetRelativeValidityPeriod();
            break;
        case CSmsOut::VPF_ABSOLUTE:
            AddTime(object, QStringLiteral("validity"), message.GetAbsoluteValidityPeriod());
            break;
        default:
            break;
        }
        object[QStringLiteral("elements")] = ElementsToJson(message.GetItems());
        return object;
    }
    case CSmsHelper::SMS_STATUS_REPORT: {
        CSmsStatusReport report;
        if (!report.Extract(pdu, &items)) {
            error = report.GetLastError();
            return QJsonObject();
        }
        object[QStringLiteral("type")] = QStringLiteral("status-report");
        AddCommonFields(object, report, &report);
        object[QStringLiteral("reference")] = report.GetMessageReference();
        AddTime(object, QStringLiteral("timestamp"), report.GetTimeStamp());
        AddTime(object, QStringLiteral("discharge_time"), report.GetDischargeTime());
        object[QStringLiteral("status")] = report.GetStatus();
        object[QStringLiteral("elements")] = ElementsToJson(report.GetReportItems());
        return object;
    }
    case CSmsHelper::SMS_RESERVED:
        error = QStringLiteral("The PDU is of the reserved message type 3");
        return QJsonObject();
    default:
        break;
    }

    // A deliver PDU, or one whose first octet cannot be found: the deliver
    // reader then tells which field is missing.
    CSmsIn message;
    if (!message.Extract(pdu, &items)) {
        error = message.GetLastError();
        return QJsonObject();
    }
    object[QStringLiteral("type")] = QStringLiteral("deliver");
    AddCommonFields(object, message);
    AddTime(object, QStringLiteral("timestamp"), message.GetTimeStamp());
    object[QStringLiteral("elements")] = ElementsToJson(message.GetItems());
    return object;
}

QJsonObject EncodeSubmitToJson(const SubmitOptions& options, QString& error)
{
    std::vector<SubmitPart> parts;
    if (!BuildSubmitParts(options, parts, error))
        return QJsonObject();
    QJsonArray array;
    for (const SubmitPart& part : parts)
        array.append(QJsonObject{{QStringLiteral("pdu"), part.pdu}, {QStringLiteral("length"), part.length}});
    return QJsonObject{{QStringLiteral("parts"), array}};
}

namespace {

QString ValueText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    case QJsonValue::Double: return QString::number(value.toInteger());
    case QJsonValue::String: return value.toString();
    case QJsonValue::Null: return QStringLiteral("(none)");
    default: return QString();
    }
}

QString ElementText(const QJsonObject& element)
{
    QStringList fields{QStringLiteral("iei=") + ValueText(element[QStringLiteral("iei")])};
    for (auto it = element.begin(); it != element.end(); ++it) {
        if (it.key() == u"iei")
            continue;
        if (it.key() == u"notes") {
            QStringList notes;
            for (const QJsonValue& note : it.value().toArray()) {
                const QJsonObject n = note.toObject();
                QString name = n[QStringLiteral("note")].toString();
                const QString accidental = n[QStringLiteral("accidental")].toString();
                if (accidental == u"sharp")
                    name += u'#';
                else if (accidental == u"flat")
                    name += u'&';
                notes << QStringLiteral("%1(octave %2, duration %3, rest %4)")
                             .arg(name)
                             .arg(n[QStringLiteral("octave")].toInt())
                             .arg(n[QStringLiteral("duration")].toInt())
                             .arg(n[QStringLiteral("rest")].toInt());
            }
            fields << QStringLiteral("notes=[%1]").arg(notes.join(QStringLiteral(", ")));
        } else {
            fields << it.key() + u'=' + ValueText(it.value());
        }
    }
    return fields.join(u' ');
}

} // namespace

QString FormatDecodedPdu(const QJsonObject& decoded)
{
    static const char* const order[] = {"type", "smsc", "address", "first_octet", "reference", "pid", "dcs",
                                        "timestamp", "discharge_time", "validity", "status", "text"};
    QString text;
    for (const char* key : order) {
        const QString name = QString::fromLatin1(key);
        if (!decoded.contains(name))
            continue;
        QString value = ValueText(decoded[name]);
        if (name == u"first_octet" || name == u"pid" || name == u"dcs")
            value = QStringLiteral("0x%1").arg(decoded[name].toInt(), 2, 16, QChar(u'0')).toUpper().replace(QStringLiteral("0X"), QStringLiteral("0x"));
        text += name + QStringLiteral(": ") + value + u'\n';
    }
    for (const QJsonValue& element : decoded[QStringLiteral("elements")].toArray())
        text += QStringLiteral("element: ") + ElementText(element.toObject()) + u'\n';
    return text;
}

QString FormatSubmitParts(const QJsonObject& encoded)
{
    QString text;
    for (const QJsonValue& value : encoded[QStringLiteral("parts")].toArray()) {
        const QJsonObject part = value.toObject();
        text += QStringLiteral("AT+CMGS=%1\n%2\n").arg(part[QStringLiteral("length")].toInt()).arg(part[QStringLiteral("pdu")].toString());
    }
    return text;
}
