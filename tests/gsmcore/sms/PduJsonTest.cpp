#include "gsmcore/sms/PduJson.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

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
