#include "gsmcore/sms/PduJson.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

TEST(PduJson, CodingIsChosenFromTheText)
{
    const struct { const char* text; int dcs; } cases[] = {
        {"plain text @ £ $", 0}, {"Grüße", 0}, {"naïve", 8}, {"a [bracket]", 8}, {"€", 8}, {"Жизнь", 8}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDataCodingScheme(Q(c.text)), c.dcs) << c.text;
}

TEST(PduJson, ValidityForms)
{
    const int kRefused = -2;
    const struct { const char* text; int relative; } cases[] = {  // -1: no validity period
        {"", 255}, {"none", -1}, {"0", 0}, {"5m", 0}, {"1h", 11}, {"12h", 143}, {"13h", 145}, {"1d", 167},
        {"2d", 168}, {"1w", 173}, {"5w", 197}, {"63w", 255}, {"64w", kRefused}, {"300", kRefused}, {"tomorrow", kRefused},
    };
    for (const auto& c : cases) {
        CSmsOut message;
        QString error;
        ASSERT_EQ(ApplyValidity(Q(c.text), message, error), c.relative != kRefused) << c.text;
        if (c.relative == kRefused) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_EQ(message.GetValidityPeriodFormat(), c.relative < 0 ? CSmsOut::VPF_NONE : CSmsOut::VPF_RELATIVE) << c.text;
        EXPECT_EQ(message.GetRelativeValidityPeriod(), c.relative) << c.text;
    }
}

} // namespace
