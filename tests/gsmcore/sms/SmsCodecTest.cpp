#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

const QDateTime kEighthOfJanuary(QDate(2003, 1, 8), QTime(16, 0, 0));

struct Handlers {
    Handlers() { RegisterStandardEmsHandlers(manager); }
    CEmsItemManager manager;
};

TEST(SmsDeliver, ReadsEveryVariantOfTheFields)
{
    const struct { const char* name; const char* pdu; const char* smsc; const char* address; const char* text; } cases[] = {
        {"hello example", "07916407058099F9040B916407214365F70000301080610000000AE8329BFD4697D9EC37", "+46705008999",
         "+46701234567", "hellohello"},
        {"no service centre", "00040B916407214365F70000301080610000000AE8329BFD4697D9EC37", "", "+46701234567",
         "hellohello"},
        // "Netflix": 7 septets in 7 octets, 13 semi-octets.
        {"alphanumeric sender", "00040DD0CE32DDCC4EE301000030108061000000" "02E834", "", "Netflix", "hi"},
        {"empty sender keeps its type octet", "0004008000003010806100000002E834", "", "", "hi"},
        {"ucs2", "00040B916407214365F7000830108061000000" "08041620ACD83DDE00", "", "+46701234567", "Ж€😀"},
        {"eight bit", "00040B916407214365F7000430108061000000" "0241E9", "", "+46701234567", "Aé"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CSmsIn::IsValidType(Q(c.pdu)));
        CSmsIn message;
        ASSERT_TRUE(message.Extract(Q(c.pdu), nullptr));
        EXPECT_EQ(message.GetServiceCenterAddress(), Q(c.smsc));
        EXPECT_EQ(message.GetAddress(), Q(c.address));
        EXPECT_EQ(message.GetFirstOctet(), 0x04);
        EXPECT_TRUE(message.GetMoreMessagesToSend());
        EXPECT_FALSE(message.GetHeaderIndicator());
        EXPECT_EQ(message.GetTimeStamp(), kEighthOfJanuary);
        EXPECT_EQ(message.GetText(), Q(c.text));
        EXPECT_EQ(message.Create(nullptr), Q(c.pdu));  // and written back the same
    }
}

TEST(SmsDeliver, SixteenBitConcatenationHeaderNeedsNoFillBits)
{
    // Header 06 08 04 1234 02 01: seven octets are eight septets exactly.
    CSmsIn message;
    ASSERT_TRUE(message.Extract(Q("00440B916407214365F7000030108061000000" "0A06080412340201E834"), nullptr));
    EXPECT_TRUE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetText(), u"hi");
}

TEST(SmsDeliver, ConcatenationHeaderYieldsItsElementOnlyWithAnItemManager)
{
    // UDHI, header 050003 12 03 01, then "hi" after one fill bit.
    const QString pdu = Q("00440B916407214365F7000030108061000000" "09050003120301D069");
    Handlers handlers;
    CSmsIn message;
    ASSERT_TRUE(message.Extract(pdu, &handlers.manager));
    EXPECT_TRUE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetText(), u"hi");
    const CEmsConcatenatedShortMessage* concatenation = message.GetConcatinatedItem();
    ASSERT_NE(concatenation, nullptr);
    EXPECT_EQ(concatenation->GetReferenceNumber(), 0x12);
    EXPECT_EQ(concatenation->GetMaximumNumber(), 3);
    EXPECT_EQ(concatenation->GetSequenceNumber(), 1);

    CSmsIn plain;  // the elements are skipped, the text still read
    ASSERT_TRUE(plain.Extract(pdu, nullptr));
    EXPECT_EQ(plain.GetText(), u"hi");
    EXPECT_EQ(plain.GetConcatinatedItem(), nullptr);
}

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

TEST(SmsCodec, CutPdusFailNamingTheMissingField)
{
    const struct { char kind; const char* pdu; const char* error; } cases[] = {
        {'d', "0", "Failed to extract the Service Center Address in received SMS."},
        {'d', "0791640705", "Failed to extract the Service Center Address Length in received SMS."},
        {'d', "00", "Failed to extract the First Octet in received SMS."},
        {'d', "0004", "Failed to extract the Originating Address in received SMS."},
        {'d', "00040B9164072143", "Failed to extract the Originating Address Length in received SMS."},
        {'d', "00040B916407214365F7", "Failed to extract the Protocol Identifier in received SMS."},
        {'d', "00040B916407214365F700", "Failed to extract the Data Coding Scheme in received SMS."},
        {'d', "00040B916407214365F70000", "Failed to extract the Service Center Time Stamp in received SMS."},
        {'d', "00040B916407214365F7000030108061000000", "Failed to extract the User Data in received SMS."},
        {'s', "", "Failed to extract the Service Center Address in the SMS."},
        {'s', "0791", "Failed to extract the Service Center Address Length in the SMS."},
        {'s', "00", "Failed to extract the First Octet in the SMS."},
        {'s', "0011", "Failed to extract the Message Reference in the SMS."},
        {'s', "001100", "Failed to extract the Destination Address in the SMS."},
        {'s', "00110004812", "Failed to extract the Destination Address Length in the SMS."},
        {'s', "00110004812143", "Failed to extract the Protocol Identifier in the SMS."},
        {'s', "0011000481214300", "Failed to extract the Data Coding Scheme in the SMS."},
        {'s', "001100048121430000", "Failed to extract the Service Center Time Stamp in the SMS."},  // relative
        {'s', "001900048121430000301080", "Failed to extract the Service Center Time Stamp in the SMS."},  // absolute
        {'s', "000100048121430000", "Failed to extract the User Data in the SMS."},  // no validity
        {'r', "0006", "Failed to extract the Message reference in received SMS."},
        {'r', "00062A", "Failed to extract the Recipient Address in received SMS."},
        {'r', "00062A0B91640721", "Failed to extract the Originating Address Length in received SMS."},
        {'r', "00062A0080301080", "Failed to extract the Service Center Time Stamp in received SMS."},
        {'r', "00062A008030108061000000301080", "Failed to extract the Discharge Time in received SMS."},
        {'r', "00062A00803010806100000030108061000000", "Failed to extract the Status in received SMS."},
    };
    for (const auto& c : cases) {
        const TraceCapture* traces = CaptureTraces();
        EXPECT_FALSE(ReadAs(c.kind, Q(c.pdu))) << c.kind << ' ' << c.pdu;
        EXPECT_TRUE(Traced(traces, c.error)) << c.kind << ' ' << c.pdu;
    }
}

TEST(SmsSubmit, CreatesTheExpectedPduAndReadsItBackWhole)
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
    Handlers handlers;
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
        const QString pdu = message.Create(&handlers.manager);
        EXPECT_EQ(pdu, Q(c.pdu));
        // What AT+CMGS is told: the octets after the service centre field.
        EXPECT_EQ(message.GetPduLength(), pdu.size() / 2 - 1 - CPduCodec::Hex2Dec(pdu.left(2)));
        EXPECT_TRUE(CSmsOut::IsValidType(pdu));
        EXPECT_FALSE(CSmsIn::IsValidType(pdu));
        CSmsOut read;
        ASSERT_TRUE(read.Extract(pdu, &handlers.manager));
        EXPECT_EQ(read.Create(&handlers.manager), pdu);
    }
}

TEST(SmsSubmit, ReadingHonoursTheValidityFormatAndUnflaggedHeaders)
{
    Handlers handlers;
    CSmsOut message;
    // Bits 3-4 clear: no validity octet.
    ASSERT_TRUE(message.Extract(Q("000100048121430000" "02E834"), nullptr));
    EXPECT_EQ(message.GetValidityPeriodFormat(), CSmsOut::VPF_NONE);
    EXPECT_EQ(message.GetText(), u"hi");

    // A concatenation header the first octet does not announce.
    ASSERT_TRUE(message.Extract(Q("001100048121430000FF" "09050003120201D069"), &handlers.manager));
    EXPECT_TRUE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetFirstOctet() & 0x40, 0x40);
    EXPECT_EQ(message.GetText(), u"hi");
    ASSERT_NE(message.GetConcatinatedItem(), nullptr);
    EXPECT_EQ(message.GetConcatinatedItem()->GetReferenceNumber(), 0x12);
}

TEST(SmsSubmit, ResetRestoresTheDefaultsButKeepsTheCharacterSet)
{
    CSmsOut message;
    message.SetCharacterSet(new CCharacterSetDefaultModified);
    const CCharacterSet* modified = message.GetCharacterSet();
    message.SetText(Q("x"));
    message.SetStatusReportRequest(true);
    message.SetValidityPeriod(QDateTime::currentDateTime());
    message.Reset();
    EXPECT_TRUE(message.GetText().isEmpty());
    EXPECT_FALSE(message.GetStatusReportRequest());
    EXPECT_EQ(message.GetValidityPeriodFormat(), CSmsOut::VPF_RELATIVE);
    EXPECT_EQ(message.GetRelativeValidityPeriod(), -1);
    EXPECT_EQ(message.GetCharacterSet(), modified);
    message.SetText(Q("@"));  // the modified alphabet sends "@" as 0x10
    EXPECT_TRUE(message.Create(nullptr).endsWith(u"0110"));
}

TEST(Sms, CopiesShareTheConverterAndNeverReleaseTheSourceOne)
{
    auto original = std::make_unique<CSmsOut>();
    original->SetCharacterSet(new CCharacterSetDefaultModified);
    original->AddItem(std::make_unique<CEmsConcatenatedShortMessage>(1, 2, 1));
    CSmsOut copy(*original);
    EXPECT_EQ(copy.GetCharacterSet(), original->GetCharacterSet());
    EXPECT_NE(copy.GetItems().front().get(), original->GetItems().front().get());
    original.reset();
    ASSERT_NE(copy.GetCharacterSet(), nullptr);
    EXPECT_EQ(copy.GetCharacterSet()->ConvertFromUnicode(u'@'), 0x10);

    CSmsOut assigned;
    assigned = copy;
    copy.SetCharacterSet(nullptr);
    EXPECT_NE(assigned.GetCharacterSet(), nullptr);
}

TEST(StatusReport, ReadsMandatoryAndOptionalFields)
{
    const char* const times = "30108061000000" "30108061000020";  // the second zone is not read
    const struct { const char* name; const char* head; const char* tail; int reference, status, pid; const char* address;
                   const char* text; } cases[] = {
        {"reference 42", "00062A0B916407214365F7", "00", 42, 0, 0, "+46701234567", ""},
        {"empty recipient", "00062A0080", "00", 42, 0, 0, "", ""},
        {"signed octets", "0006FF0B916407214365F7", "80", -1, -128, 0, "+46701234567", ""},
        // Only the parameter indicator: it stays in the protocol identifier.
        {"indicator only", "0006FF0B916407214365F7", "0007", -1, 0, 7, "+46701234567", ""},
        {"every optional field", "0006FF0B916407214365F7", "00073F0002E834", -1, 0, 0x3F, "+46701234567", "hi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdu = Q(c.head) + Q(times) + Q(c.tail);
        ASSERT_TRUE(CSmsStatusReport::IsValidType(pdu));
        CSmsStatusReport report;
        ASSERT_TRUE(report.Extract(pdu, nullptr));
        EXPECT_EQ(report.GetMessageReference(), c.reference);
        EXPECT_EQ(report.GetStatus(), c.status);
        EXPECT_EQ(report.GetProtocolIdentifier(), c.pid);
        EXPECT_EQ(report.GetAddress(), Q(c.address));
        EXPECT_EQ(report.GetTimeStamp(), kEighthOfJanuary);
        EXPECT_EQ(report.GetDischargeTime(), kEighthOfJanuary);
        EXPECT_EQ(report.GetText(), Q(c.text));
    }
}

TEST(SmsText, ShortAndLongHeaders)
{
    CSmsText message;
    ASSERT_TRUE(message.Extract(Q("\"+46701234567\",\"\",\"03/01/08,16:00:00+04\"\r\nHello")));
    EXPECT_EQ(message.GetAddress(), u"+46701234567");
    EXPECT_EQ(message.GetTimeStamp(), kEighthOfJanuary);
    EXPECT_EQ(message.GetText(), u"Hello");
    EXPECT_TRUE(message.GetServiceCenterAddress().isEmpty());

    ASSERT_TRUE(message.Extract(Q("\"+46701234567\",\"\",\"03/01/08,16:00:00+04\",145,36,0,8,\"+46705008999\",145,5\r\nbody")));
    EXPECT_EQ(message.GetFirstOctet(), 36);
    EXPECT_EQ(message.GetDataCodingScheme(), 8);
    EXPECT_EQ(message.GetServiceCenterAddress(), u"+46705008999");
    EXPECT_EQ(message.GetText(), u"body");
}

TEST(SmsText, MalformedHeaders)
{
    const struct { const char* message; bool ok; } cases[] = {
        {"\"+1\",\"\",\"03/01/08,16:00:00\",5", false},  // 5 fields
        {"\"+1\",\"\"", false},
        {"", false},
        {"\"+1\",\"\",\"03/01\",\"16\"", true},          // short date: no time stamp
        {"\"+1\",,\"xx/yy/zz,aa:bb:cc\"", true},        // non-digits read as 0
    };
    for (const auto& c : cases) {
        const TraceCapture* traces = CaptureTraces();
        CSmsText message;
        EXPECT_EQ(message.Extract(Q(c.message)), c.ok) << c.message;
        if (!c.ok)
            EXPECT_TRUE(Traced(traces, "Failed to read received SMS.")) << c.message;
        else
            EXPECT_FALSE(message.GetTimeStamp().isValid()) << c.message;
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
