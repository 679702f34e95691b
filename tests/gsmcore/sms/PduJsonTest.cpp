#include "gsmcore/sms/PduJson.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QJsonObject& object, std::ostream* os)
{
    *os << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}
QT_END_NAMESPACE

namespace {

QJsonObject Json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}

TEST(PduJson, DecodesEveryKindWithItsFieldsOnly)
{
    const struct { const char* hex; const char* json; } cases[] = {
        // Blanks, line ends and lower-case digits are allowed.
        {"07916407058099f9 040B916407214365F70000301080610000000AE8329BFD4697D9EC37\n",
         R"({"type":"deliver","smsc":"+46705008999","address":"+46701234567","first_octet":4,"pid":0,"dcs":0,
             "text":"hellohello","timestamp":"2003-01-08T16:00:00","elements":[]})"},
        {"00440B916407214365F7000030108061000000" "0E090402F5F60A03000110804E03",
         R"({"type":"deliver","smsc":"","address":"+46701234567","first_octet":68,"pid":0,"dcs":0,"text":"hi",
             "timestamp":"2003-01-08T16:00:00","elements":[{"iei":4,"destination_port":245,"originator_port":246},
             {"iei":10,"position":0,"length":1,"alignment":0,"font_size":0,"bold":true,"italic":false,
              "underlined":false,"strikethrough":false}]})"},
        {"07916407058099F911000B916407214365F70000FF02E834",
         R"({"type":"submit","smsc":"+46705008999","address":"+46701234567","first_octet":17,"pid":0,"dcs":0,
             "text":"hi","reference":0,"validity":255,"elements":[]})"},
        {"0019000481214300003010806100000002E834",
         R"({"type":"submit","smsc":"","address":"1234","first_octet":25,"pid":0,"dcs":0,"text":"hi","reference":0,
             "validity":"2003-01-08T16:00:00","elements":[]})"},
        {"00062A0B916407214365F7301080610000003010806100002000",
         R"({"type":"status-report","smsc":"","address":"+46701234567","first_octet":6,"pid":0,"dcs":0,"text":"",
             "reference":42,"timestamp":"2003-01-08T16:00:00","discharge_time":"2003-01-08T16:00:00","status":0,
             "elements":[]})"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(DecodePduToJson(Q(c.hex), error), Json(c.json)) << c.hex;
        EXPECT_TRUE(error.isEmpty()) << c.hex;
    }
    QString error;
    const QString text = FormatDecodedPdu(DecodePduToJson(Q(cases[1].hex), error));
    for (const char* line : {"type: deliver\n", "first_octet: 0x44\n", "text: hi\n", "element: iei=4"})
        EXPECT_TRUE(text.contains(Q(line))) << line;
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
        EXPECT_TRUE(DecodePduToJson(Q(c.hex), error).isEmpty()) << c.hex;
        EXPECT_EQ(error, Q(c.error)) << c.hex;
    }
}

QString FirstPdu(const SubmitOptions& options)
{
    QString error;
    return EncodeSubmitToJson(options, error)[QStringLiteral("parts")].toArray()[0].toObject()[QStringLiteral("pdu")].toString();
}

TEST(PduJson, EncodesOnePartOrSeveral)
{
    SubmitOptions options;
    options.to = Q("+46701234567");
    options.smsc = Q("+46705008999");
    options.text = Q("hi");
    QString error;
    QJsonObject encoded = EncodeSubmitToJson(options, error);
    EXPECT_EQ(encoded, Json(R"({"parts":[{"pdu":"07916407058099F911000B916407214365F70000FF02E834","length":16}]})"));
    EXPECT_EQ(FormatSubmitParts(encoded), u"AT+CMGS=16\n07916407058099F911000B916407214365F70000FF02E834\n");

    options.text = QString(161, u'x');
    const QJsonArray parts = EncodeSubmitToJson(options, error)[QStringLiteral("parts")].toArray();
    ASSERT_EQ(parts.size(), 2);
    for (const QJsonValue& part : parts) {
        const QString pdu = part[QStringLiteral("pdu")].toString();
        EXPECT_EQ(part[QStringLiteral("length")].toInt(), (pdu.size() - 16) / 2);
        const QJsonObject decoded = DecodePduToJson(pdu, error);
        EXPECT_EQ(decoded[QStringLiteral("elements")][0][QStringLiteral("max")].toInt(), 2);
    }
}

TEST(PduJson, CodingIsChosenFromTheText)
{
    const struct { const char* text; int dcs; } cases[] = {
        {"plain text @ £ $", 0}, {"Grüße", 0}, {"naïve", 8}, {"a [bracket]", 8}, {"€", 8}, {"Жизнь", 8}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDataCodingScheme(Q(c.text)), c.dcs) << c.text;

    SubmitOptions options;
    options.to = Q("1234");
    options.text = Q("Жизнь");
    QString error;
    const QJsonObject decoded = DecodePduToJson(FirstPdu(options), error);
    EXPECT_EQ(decoded[QStringLiteral("dcs")].toInt(), 8);
    EXPECT_EQ(decoded[QStringLiteral("text")].toString(), u"Жизнь");
}

TEST(PduJson, OptionsAreChecked)
{
    const struct { const char* to; const char* smsc; int dcs; const char* text; const char* validity; bool ok; } cases[] = {
        {"+46701234567", "", -1, "hi", "", true}, {"", "", -1, "hi", "", false},
        {"12ab", "", -1, "hi", "", false},        {"123", "+x", -1, "hi", "", false},
        {"123", "", 3, "hi", "", false},          {"123", "", 0, "€", "", false},
        {"123", "", 4, "Ж", "", false},           {"123", "", 4, "é", "", true},
        {"123", "", 8, "hi", "none", true},       {"123", "", -1, "hi", "300", false},
        {"123", "", -1, "hi", "12h", true},       {"123", "", -1, "hi", "64w", false},
        {"123", "", -1, "hi", "2030-01-02T03:04:05", true}, {"123", "", -1, "hi", "tomorrow", false},
    };
    for (const auto& c : cases) {
        SubmitOptions options;
        options.to = Q(c.to);
        options.smsc = Q(c.smsc);
        options.dataCodingScheme = c.dcs;
        options.text = Q(c.text);
        options.validity = Q(c.validity);
        QString error;
        EXPECT_EQ(!EncodeSubmitToJson(options, error).isEmpty(), c.ok) << c.to << " " << c.text << " " << c.validity;
        EXPECT_EQ(error.isEmpty(), c.ok) << c.to << " " << c.text << " " << c.validity;
    }
}

TEST(PduJson, ValidityForms)
{
    const struct { const char* text; int relative; } cases[] = {  // -1: no validity period
        {"", 255}, {"none", -1}, {"0", 0}, {"5m", 0}, {"1h", 11}, {"12h", 143}, {"13h", 145}, {"1d", 167},
        {"2d", 168}, {"1w", 173}, {"5w", 197}, {"63w", 255},
    };
    for (const auto& c : cases) {
        CSmsOut message;
        QString error;
        ASSERT_TRUE(ApplyValidity(Q(c.text), message, error)) << c.text;
        EXPECT_EQ(message.GetValidityPeriodFormat(), c.relative < 0 ? CSmsOut::VPF_NONE : CSmsOut::VPF_RELATIVE) << c.text;
        EXPECT_EQ(message.GetRelativeValidityPeriod(), c.relative) << c.text;
    }
}

} // namespace
