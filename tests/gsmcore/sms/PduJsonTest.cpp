#include "gsmcore/sms/PduJson.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

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
