#include "gsmcore/sms/PduJson.h"
#include "gsmcore/sms/SmsOut.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QJsonArray>

namespace {

TEST(PduJson, DecodesADeliver)
{
    QString error;
    const QJsonObject decoded = DecodePduToJson(
        QStringLiteral("07916407058099f9 040B916407214365F70000301080610000000AE8329BFD4697D9EC37\n"), error);
    ASSERT_FALSE(decoded.isEmpty()) << error.toStdString();
    EXPECT_EQ(decoded[QStringLiteral("type")].toString(), u"deliver");
    EXPECT_EQ(decoded[QStringLiteral("smsc")].toString(), u"+46705008999");
    EXPECT_EQ(decoded[QStringLiteral("address")].toString(), u"+46701234567");
    EXPECT_EQ(decoded[QStringLiteral("first_octet")].toInt(), 4);
    EXPECT_EQ(decoded[QStringLiteral("pid")].toInt(), 0);
    EXPECT_EQ(decoded[QStringLiteral("dcs")].toInt(), 0);
    EXPECT_EQ(decoded[QStringLiteral("text")].toString(), u"hellohello");
    EXPECT_EQ(decoded[QStringLiteral("timestamp")].toString(), u"2003-01-08T16:00:00");
    EXPECT_TRUE(decoded[QStringLiteral("elements")].toArray().isEmpty());
    for (const char* absent : {"validity", "reference", "status", "discharge_time"})
        EXPECT_FALSE(decoded.contains(QString::fromLatin1(absent))) << absent;

    const QString text = FormatDecodedPdu(decoded);
    EXPECT_TRUE(text.contains(QStringLiteral("type: deliver\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("first_octet: 0x04\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("text: hellohello\n")));
}

TEST(PduJson, DecodesElements)
{
    QString error;
    const QJsonObject decoded = DecodePduToJson(
        QStringLiteral("00440B916407214365F7000030108061000000") + QStringLiteral("0E090402F5F60A03000110804E03"), error);
    ASSERT_FALSE(decoded.isEmpty()) << error.toStdString();
    EXPECT_EQ(decoded[QStringLiteral("text")].toString(), u"hi");
    const QJsonArray elements = decoded[QStringLiteral("elements")].toArray();
    ASSERT_EQ(elements.size(), 2);
    const QJsonObject ports = elements[0].toObject();
    EXPECT_EQ(ports[QStringLiteral("iei")].toInt(), 4);
    EXPECT_EQ(ports[QStringLiteral("destination_port")].toInt(), 0xF5);
    EXPECT_EQ(ports[QStringLiteral("originator_port")].toInt(), 0xF6);
    const QJsonObject format = elements[1].toObject();
    EXPECT_EQ(format[QStringLiteral("iei")].toInt(), 10);
    EXPECT_EQ(format[QStringLiteral("position")].toInt(), 0);
    EXPECT_EQ(format[QStringLiteral("length")].toInt(), 1);
    EXPECT_TRUE(format[QStringLiteral("bold")].toBool());
    EXPECT_FALSE(format[QStringLiteral("italic")].toBool());
    EXPECT_EQ(format[QStringLiteral("alignment")].toInt(), 0);
    EXPECT_EQ(format[QStringLiteral("font_size")].toInt(), 0);
    EXPECT_TRUE(FormatDecodedPdu(decoded).contains(QStringLiteral("element: iei=4")));
}

TEST(PduJson, DecodesASubmitAndAStatusReport)
{
    QString error;
    const QJsonObject submit = DecodePduToJson(QStringLiteral("07916407058099F911000B916407214365F70000FF02E834"), error);
    EXPECT_EQ(submit[QStringLiteral("type")].toString(), u"submit");
    EXPECT_EQ(submit[QStringLiteral("validity")].toInt(), 255);
    EXPECT_EQ(submit[QStringLiteral("reference")].toInt(), 0);
    EXPECT_EQ(submit[QStringLiteral("text")].toString(), u"hi");
    EXPECT_FALSE(submit.contains(QStringLiteral("timestamp")));

    const QJsonObject absolute = DecodePduToJson(QStringLiteral("0019000481214300003010806100000002E834"), error);
    EXPECT_EQ(absolute[QStringLiteral("validity")].toString(), u"2003-01-08T16:00:00");

    const QJsonObject report = DecodePduToJson(
        QStringLiteral("00062A0B916407214365F7301080610000003010806100002000"), error);
    EXPECT_EQ(report[QStringLiteral("type")].toString(), u"status-report");
    EXPECT_EQ(report[QStringLiteral("reference")].toInt(), 42);
    EXPECT_EQ(report[QStringLiteral("status")].toInt(), 0);
    EXPECT_EQ(report[QStringLiteral("discharge_time")].toString(), u"2003-01-08T16:00:00");
    EXPECT_FALSE(report.contains(QStringLiteral("validity")));
}

TEST(PduJson, UnreadablePdusGiveTheTraceText)
{
    const struct { const char* hex; const char* error; } cases[] = {
        {"00040B916407214365F70000", "Failed to extract the Service Center Time Stamp in received SMS."},
        {"0011000481214300", "Failed to extract the Data Coding Scheme in the SMS."},
        {"00062A0080301080", "Failed to extract the Service Center Time Stamp in received SMS."},
        {"0791", "Failed to extract the Service Center Address Length in received SMS."},
        {"", "Failed to extract the Service Center Address in received SMS."},
        {"0003", "The PDU is of the reserved message type 3"},
        {"00XY", "The PDU holds characters that are not hexadecimal digits"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(DecodePduToJson(QString::fromLatin1(c.hex), error).isEmpty()) << c.hex;
        EXPECT_EQ(error, QString::fromLatin1(c.error)) << c.hex;
    }
}

TEST(PduJson, EncodesOnePartOrSeveral)
{
    SubmitOptions options;
    options.to = QStringLiteral("+46701234567");
    options.smsc = QStringLiteral("+46705008999");
    options.text = QStringLiteral("hi");
    QString error;
    QJsonObject encoded = EncodeSubmitToJson(options, error);
    QJsonArray parts = encoded[QStringLiteral("parts")].toArray();
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts[0].toObject()[QStringLiteral("pdu")].toString(), u"07916407058099F911000B916407214365F70000FF02E834");
    EXPECT_EQ(parts[0].toObject()[QStringLiteral("length")].toInt(), 16);
    EXPECT_EQ(FormatSubmitParts(encoded), u"AT+CMGS=16\n07916407058099F911000B916407214365F70000FF02E834\n");

    options.text = QString(161, u'x');
    encoded = EncodeSubmitToJson(options, error);
    parts = encoded[QStringLiteral("parts")].toArray();
    ASSERT_EQ(parts.size(), 2);
    for (const QJsonValue& part : parts) {
        const QString pdu = part.toObject()[QStringLiteral("pdu")].toString();
        EXPECT_EQ(part.toObject()[QStringLiteral("length")].toInt(), (pdu.size() - 16) / 2);
        QString decodeError;
        const QJsonObject decoded = DecodePduToJson(pdu, decodeError);
        EXPECT_EQ(decoded[QStringLiteral("elements")].toArray()[0].toObject()[QStringLiteral("max")].toInt(), 2);
    }
}

TEST(PduJson, CodingIsChosenFromTheText)
{
    const struct { const char* text; int dcs; } cases[] = {
        {"plain text @ £ $", 0}, {"Grüße", 0}, {"naïve", 8}, {"a [bracket]", 8}, {"€", 8}, {"Жизнь", 8}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDataCodingScheme(QString::fromUtf8(c.text)), c.dcs) << c.text;

    SubmitOptions options;
    options.to = QStringLiteral("1234");
    options.text = QStringLiteral("Жизнь");
    QString error;
    const QJsonObject encoded = EncodeSubmitToJson(options, error);
    const QString pdu = encoded[QStringLiteral("parts")].toArray()[0].toObject()[QStringLiteral("pdu")].toString();
    const QJsonObject decoded = DecodePduToJson(pdu, error);
    EXPECT_EQ(decoded[QStringLiteral("dcs")].toInt(), 8);
    EXPECT_EQ(decoded[QStringLiteral("text")].toString(), u"Жизнь");
}

TEST(PduJson, OptionsAreChecked)
{
    const struct { const char* to; const char* smsc; int dcs; const char* text; const char* validity; bool ok; } cases[] = {
        {"+46701234567", "", -1, "hi", "", true},
        {"", "", -1, "hi", "", false},
        {"12ab", "", -1, "hi", "", false},
        {"123", "+x", -1, "hi", "", false},
        {"123", "", 3, "hi", "", false},
        {"123", "", 0, "€", "", false},
        {"123", "", 4, "Ж", "", false},
        {"123", "", 4, "é", "", true},
        {"123", "", 8, "hi", "none", true},
        {"123", "", -1, "hi", "300", false},
        {"123", "", -1, "hi", "12h", true},
        {"123", "", -1, "hi", "64w", false},
        {"123", "", -1, "hi", "2030-01-02T03:04:05", true},
        {"123", "", -1, "hi", "tomorrow", false},
    };
    for (const auto& c : cases) {
        SubmitOptions options;
        options.to = QString::fromUtf8(c.to);
        options.smsc = QString::fromUtf8(c.smsc);
        options.dataCodingScheme = c.dcs;
        options.text = QString::fromUtf8(c.text);
        options.validity = QString::fromUtf8(c.validity);
        QString error;
        const QJsonObject encoded = EncodeSubmitToJson(options, error);
        EXPECT_EQ(!encoded.isEmpty(), c.ok) << c.to << " " << c.text << " " << c.validity;
        EXPECT_EQ(error.isEmpty(), c.ok) << c.to << " " << c.text << " " << c.validity;
    }
}

TEST(PduJson, ValidityForms)
{
    const struct { const char* text; int format; int relative; } cases[] = {
        {"", CSmsOut::VPF_RELATIVE, 255}, {"none", CSmsOut::VPF_NONE, -1}, {"0", CSmsOut::VPF_RELATIVE, 0},
        {"5m", CSmsOut::VPF_RELATIVE, 0}, {"1h", CSmsOut::VPF_RELATIVE, 11}, {"12h", CSmsOut::VPF_RELATIVE, 143},
        {"13h", CSmsOut::VPF_RELATIVE, 145}, {"1d", CSmsOut::VPF_RELATIVE, 167}, {"2d", CSmsOut::VPF_RELATIVE, 168},
        {"1w", CSmsOut::VPF_RELATIVE, 173}, {"5w", CSmsOut::VPF_RELATIVE, 197}, {"63w", CSmsOut::VPF_RELATIVE, 255},
    };
    for (const auto& c : cases) {
        CSmsOut message;
        QString error;
        ASSERT_TRUE(ApplyValidity(QString::fromLatin1(c.text), message, error)) << c.text;
        EXPECT_EQ(message.GetValidityPeriodFormat(), c.format) << c.text;
        if (c.relative >= 0) {
            EXPECT_EQ(message.GetRelativeValidityPeriod(), c.relative) << c.text;
        }
    }
}

} // namespace
