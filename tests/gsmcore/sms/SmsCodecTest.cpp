#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

const QDateTime kEighthOfJanuary(QDate(2003, 1, 8), QTime(16, 0, 0));

TEST(SmsDeliver, BuiltFromATextModeMessage)
{
    CSmsText text;
    ASSERT_TRUE(text.Extract(Q("\"+46701234567\",,\"03/01/08,16:00:00+04\",145,4,0,0,\"+46705008999\",145,2\r\nhi")));
    CSmsIn message(text);
    EXPECT_EQ(message.GetAddress(), u"+46701234567");
    EXPECT_EQ(message.GetServiceCenterAddress(), u"+46705008999");
    EXPECT_EQ(message.GetText(), u"hi");
    EXPECT_EQ(message.Create(nullptr), u"07916407058099F9040B916407214365F70000301080610000" "0002E834");
}

// Reading them back is the sample PDUs' and the round trips' part.
TEST(SmsSubmit, CreatesTheExpectedPdu)
{
    const int kAbsolute = -2;  // validity: a relative period, or the eighth of January
    const struct { const char* smsc; const char* address; const char* text; int validity; bool concatenated;
                   const char* pdu; } cases[] = {
        {"+46705008999", "+46701234567", "hi", -1, false, "07916407058099F9" "1100" "0B916407214365F7" "0000FF" "02E834"},
        {"", "1234", "hi", kAbsolute, false, "0019" "0004812143" "0000" "30108061000000" "02E834"},
        {"", "1234", "", VALID_PERIOD_1_HOUR, false, "00110004812143" "0000" "0B" "00"},
        {"", "1234", "", VALID_PERIOD_1_DAY, false, "00110004812143" "0000" "A7" "00"},
        {"", "1234", "", VALID_PERIOD_1_WEEK, false, "00110004812143" "0000" "AD" "00"},
        {"", "1234", "", VALID_PERIOD_MAXIMUM, false, "00110004812143" "0000" "FF" "00"},
        // UDL 9 = 7 header septets + 2 text septets; "hi" after 1 fill bit.
        {"", "+46701234567", "hi", -1, true, "0051000B916407214365F70000FF" "09" "050003120201" "D069"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pdu);
        CSmsOut message;
        message.SetServiceCenterAddress(Q(c.smsc));
        message.SetAddress(Q(c.address));
        message.SetText(Q(c.text));
        if (c.validity == kAbsolute)
            message.SetValidityPeriod(kEighthOfJanuary);
        else if (c.validity >= 0)
            message.SetValidityPeriod(static_cast<VALID_PERIODS>(c.validity));
        if (c.concatenated)
            message.AddItem(std::make_unique<CEmsConcatenatedShortMessage>(0x12, 2, 1));
        const QString pdu = message.Create(Items());
        EXPECT_EQ(pdu, Q(c.pdu));
        // What AT+CMGS is told: the octets after the service centre field.
        EXPECT_EQ(message.GetPduLength(), pdu.size() / 2 - 1 - CPduCodec::Hex2Dec(pdu.left(2)));
    }
}

// A copy shares the converter and never releases the source's; Reset
// keeps it and restores every other default.
TEST(SmsSubmit, CopiesAndResetKeepTheCharacterSet)
{
    auto original = std::make_unique<CSmsOut>();
    original->SetCharacterSet(new CCharacterSetDefaultModified);
    original->AddItem(std::make_unique<CEmsConcatenatedShortMessage>(1, 2, 1));
    original->SetText(Q("x"));
    original->SetStatusReportRequest(true);
    original->SetValidityPeriod(QDateTime::currentDateTime());
    CSmsOut copy(*original);
    EXPECT_EQ(copy.GetCharacterSet(), original->GetCharacterSet());
    EXPECT_NE(copy.GetItems().front().get(), original->GetItems().front().get());
    original.reset();
    CSmsOut assigned;
    assigned = copy;
    copy.Reset();
    EXPECT_TRUE(copy.GetText().isEmpty());
    EXPECT_FALSE(copy.GetStatusReportRequest());
    EXPECT_EQ(copy.GetValidityPeriodFormat(), CSmsOut::VPF_RELATIVE);
    EXPECT_EQ(copy.GetRelativeValidityPeriod(), -1);
    copy.SetText(Q("@"));  // the modified alphabet sends "@" as 0x10
    EXPECT_TRUE(copy.Create(nullptr).endsWith(u"0110"));
    copy.SetCharacterSet(nullptr);
    ASSERT_NE(assigned.GetCharacterSet(), nullptr);
    EXPECT_EQ(assigned.GetCharacterSet()->ConvertFromUnicode(u'@'), 0x10);
}

TEST(SmsText, ShortLongAndMalformedHeaders)
{
    const char* const time = "\"03/01/08,16:00:00+04\"";
    const struct { QString message; bool ok; const char* smsc; const char* text; int firstOctet, dcs; bool timed; } cases[] = {
        {Q("\"+46701234567\",\"\",%1\r\nHello").arg(time), true, "", "Hello", -1, -1, true},
        {Q("\"+46701234567\",\"\",%1,145,36,0,8,\"+46705008999\",145,5\r\nbody").arg(time), true, "+46705008999", "body",
         36, 8, true},
        {Q("\"+46701234567\",\"\",\"03/01\",\"16\""), true, "", "", -1, -1, false},  // short date: no time stamp
        {Q("\"+46701234567\",,\"xx/yy/zz,aa:bb:cc\""), true, "", "", -1, -1, false},  // non-digits read as 0
        {Q("\"+1\",\"\",\"03/01/08,16:00:00\",5"), false, "", "", -1, -1, false},  // 5 fields
        {Q("\"+1\",\"\""), false, "", "", -1, -1, false},
        {Q(""), false, "", "", -1, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        const TraceCapture* traces = CaptureTraces();
        CSmsText message;
        ASSERT_EQ(message.Extract(c.message), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(Traced(traces, "Failed to read received SMS."));
            continue;
        }
        EXPECT_EQ(message.GetAddress(), u"+46701234567");
        EXPECT_EQ(message.GetServiceCenterAddress(), Q(c.smsc));
        EXPECT_EQ(message.GetText(), Q(c.text));
        EXPECT_EQ(message.GetTimeStamp().isValid() ? message.GetTimeStamp() : QDateTime(), c.timed ? kEighthOfJanuary : QDateTime());
        EXPECT_TRUE(c.firstOctet < 0 || message.GetFirstOctet() == c.firstOctet);
        EXPECT_TRUE(c.dcs < 0 || message.GetDataCodingScheme() == c.dcs);
    }
}

TEST(SmsText, UnicodeConversionBothWays)
{
    CSmsText message;
    EXPECT_EQ(message.GetUnicodeText(Q("a\nb\r\nc"), true), u"a\r\nb\r\nc");
    EXPECT_EQ(message.GetUnicodeText(Q("\n"), true), u"\r\n");
    EXPECT_EQ(message.GetUnicodeText(Q("@£"), false), QString(QChar(0)) + QChar(1));
    EXPECT_EQ(message.GetUnicodeText(QString(QChar(0)), true), u"@");
    message.SetCharacterSet(new CCharacterSetDefaultModified);
    EXPECT_EQ(message.GetUnicodeText(Q("@€ò"), false), u"\x10\x12o");
}

} // namespace
