#include "gsmcore/phonebook/CharacterSetDefaultModified.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsHelper.h"
#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"
#include "gsmcore/sms/SmsStatusReport.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/gsmcore/sms/TraceCapture.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

const QString kHelloDeliver =
    QStringLiteral("07916407058099F9040B916407214365F70000301080610000000AE8329BFD4697D9EC37");

struct Handlers {
    Handlers() { RegisterStandardEmsHandlers(manager); }
    CEmsItemManager manager;
};

TEST(SmsDeliver, ReadsTheHelloExampleFieldByField)
{
    CSmsIn message;
    ASSERT_TRUE(CSmsIn::IsValidType(kHelloDeliver));
    ASSERT_TRUE(message.Extract(kHelloDeliver, nullptr));
    EXPECT_EQ(message.GetServiceCenterAddress(), u"+46705008999");
    EXPECT_EQ(message.GetFirstOctet(), 0x04);
    EXPECT_TRUE(message.GetMoreMessagesToSend());
    EXPECT_FALSE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetAddress(), u"+46701234567");
    EXPECT_EQ(message.GetProtocolIdentifier(), 0);
    EXPECT_EQ(message.GetDataCodingScheme(), 0);
    EXPECT_EQ(message.GetTimeStamp(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    EXPECT_EQ(message.GetText(), u"hellohello");
    EXPECT_TRUE(message.GetLastError().isEmpty());
}

TEST(SmsDeliver, WithoutServiceCentreTheFirstOctetFollowsAtOnce)
{
    CSmsIn message;
    ASSERT_TRUE(message.Extract(QStringLiteral("00") + kHelloDeliver.mid(16), nullptr));
    EXPECT_TRUE(message.GetServiceCenterAddress().isEmpty());
    EXPECT_EQ(message.GetFirstOctet(), 0x04);
    EXPECT_EQ(message.GetText(), u"hellohello");
}

TEST(SmsDeliver, AlphanumericSenderIsDecodedAsText)
{
    // "Netflix": 7 septets in 7 octets, 13 semi-octets.
    CSmsIn message;
    ASSERT_TRUE(message.Extract(QStringLiteral("00040DD0CE32DDCC4EE301000030108061000000") + QStringLiteral("02E834"), nullptr));
    EXPECT_EQ(message.GetAddress(), u"Netflix");
    EXPECT_EQ(message.GetText(), u"hi");
}

TEST(SmsDeliver, CutBeforeTheTimeStamp)
{
    StartTraceCapture();
    CSmsIn message;
    EXPECT_FALSE(message.Extract(kHelloDeliver.left(42), nullptr));
    EXPECT_TRUE(TraceWasCaptured(QStringLiteral("Failed to extract the Service Center Time Stamp in received SMS.")));
    EXPECT_EQ(message.GetLastError(), u"Failed to extract the Service Center Time Stamp in received SMS.");
    EXPECT_EQ(message.GetAddress(), u"+46701234567");  // what was read stays
}

TEST(SmsDeliver, ConcatenationHeaderYieldsItsElement)
{
    Handlers handlers;
    CSmsIn message;
    // UDHI, header 050003 12 03 01, then "hi" after one fill bit.
    ASSERT_TRUE(message.Extract(QStringLiteral("0044") + QStringLiteral("0B916407214365F7") + QStringLiteral("0000")
                                    + QStringLiteral("30108061000000") + QStringLiteral("09050003120301D069"),
                                &handlers.manager));
    EXPECT_TRUE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetText(), u"hi");
    const CEmsConcatenatedShortMessage* concatenation = message.GetConcatinatedItem();
    ASSERT_NE(concatenation, nullptr);
    EXPECT_EQ(concatenation->GetReferenceNumber(), 0x12);
    EXPECT_EQ(concatenation->GetMaximumNumber(), 3);
    EXPECT_EQ(concatenation->GetSequenceNumber(), 1);

    // Without an item manager the elements are skipped, the text still read.
    CSmsIn plain;
    ASSERT_TRUE(plain.Extract(QStringLiteral("00440B916407214365F7000030108061000000") + QStringLiteral("09050003120301D069"), nullptr));
    EXPECT_EQ(plain.GetText(), u"hi");
    EXPECT_EQ(plain.GetConcatinatedItem(), nullptr);
}

TEST(SmsDeliver, FailureTracesNameTheMissingField)
{
    const struct { QString pdu; const char* trace; } cases[] = {
        {QStringLiteral("0"), "Failed to extract the Service Center Address in received SMS."},
        {QStringLiteral("0791640705"), "Failed to extract the Service Center Address Length in received SMS."},
        {QStringLiteral("00"), "Failed to extract the First Octet in received SMS."},
        {QStringLiteral("0004"), "Failed to extract the Originating Address in received SMS."},
        {QStringLiteral("00040B9164072143"), "Failed to extract the Originating Address Length in received SMS."},
        {QStringLiteral("00040B916407214365F7"), "Failed to extract the Protocol Identifier in received SMS."},
        {QStringLiteral("00040B916407214365F700"), "Failed to extract the Data Coding Scheme in received SMS."},
        {QStringLiteral("00040B916407214365F70000"), "Failed to extract the Service Center Time Stamp in received SMS."},
        {QStringLiteral("00040B916407214365F7000030108061000000"), "Failed to extract the User Data in received SMS."},
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        CSmsIn message;
        EXPECT_FALSE(message.Extract(c.pdu, nullptr)) << c.trace;
        EXPECT_TRUE(TraceWasCaptured(QString::fromLatin1(c.trace))) << c.trace;
    }
}

TEST(SmsDeliver, EmptyOriginatingAddressSkipsItsTypeOctet)
{
    CSmsIn message;
    ASSERT_TRUE(message.Extract(QStringLiteral("0004") + QStringLiteral("0080") + QStringLiteral("0000")
                                    + QStringLiteral("30108061000000") + QStringLiteral("02E834"),
                                nullptr));
    EXPECT_TRUE(message.GetAddress().isEmpty());
    EXPECT_EQ(message.GetText(), u"hi");
}

TEST(SmsDeliver, BuiltFromATextModeMessage)
{
    CSmsText text;
    ASSERT_TRUE(text.Extract(QStringLiteral("\"+46701234567\",,\"03/01/08,16:00:00+04\",145,4,0,0,\"+46705008999\",145,2\r\nhi")));
    CSmsIn message(text);
    EXPECT_EQ(message.GetAddress(), u"+46701234567");
    EXPECT_EQ(message.GetServiceCenterAddress(), u"+46705008999");
    EXPECT_EQ(message.GetText(), u"hi");
    EXPECT_EQ(message.GetFirstOctet(), 4);
    EXPECT_EQ(message.Create(nullptr), QStringLiteral("07916407058099F9040B916407214365F70000301080610000") + QStringLiteral("0002E834"));
}

TEST(SmsSubmit, DefaultMessageMatchesTheWorkedExample)
{
    CSmsOut message;
    message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetText(QStringLiteral("hi"));
    const QString pdu = message.Create(nullptr);
    EXPECT_EQ(pdu, QStringLiteral("07916407058099F9") + QStringLiteral("1100") + QStringLiteral("0B916407214365F7")
                       + QStringLiteral("0000FF") + QStringLiteral("02E834"));
    EXPECT_EQ(message.GetPdu(), pdu);
    EXPECT_EQ(message.GetPduLength(), 16);
    EXPECT_TRUE(CSmsOut::IsValidType(pdu));
    EXPECT_FALSE(CSmsIn::IsValidType(pdu));
}

TEST(SmsSubmit, AbsoluteValidityPeriod)
{
    CSmsOut message;
    message.SetAddress(QStringLiteral("1234"));
    message.SetText(QStringLiteral("hi"));
    EXPECT_NE(message.SetValidityPeriod(QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0))), 0);
    const QString pdu = message.Create(nullptr);
    EXPECT_EQ(message.GetFirstOctet(), 0x19);
    EXPECT_EQ(pdu, QStringLiteral("00190004812143") + QStringLiteral("0000") + QStringLiteral("30108061000000") + QStringLiteral("02E834"));

    CSmsOut read;
    ASSERT_TRUE(read.Extract(pdu, nullptr));
    EXPECT_EQ(read.GetValidityPeriodFormat(), CSmsOut::VPF_ABSOLUTE);
    EXPECT_EQ(read.GetAbsoluteValidityPeriod(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
}

TEST(SmsSubmit, RelativeValidityPeriods)
{
    const struct { int period; const char16_t* octet; } cases[] = {
        {VALID_PERIOD_1_HOUR, u"0B"}, {VALID_PERIOD_1_DAY, u"A7"}, {VALID_PERIOD_1_WEEK, u"AD"}, {VALID_PERIOD_MAXIMUM, u"FF"},
    };
    for (const auto& c : cases) {
        CSmsOut message;
        message.SetAddress(QStringLiteral("1234"));
        message.SetValidityPeriod(static_cast<VALID_PERIODS>(c.period));
        EXPECT_EQ(message.Create(nullptr), QStringLiteral("00110004812143") + QStringLiteral("0000") + QString::fromUtf16(c.octet) + QStringLiteral("00"));
    }
    CSmsOut octet;
    octet.SetValidityPeriod(static_cast<unsigned char>(0x47));
    EXPECT_EQ(octet.GetRelativeValidityPeriod(), 0x47);
    EXPECT_EQ(octet.GetValidityPeriodFormat(), CSmsOut::VPF_RELATIVE);
}

TEST(SmsSubmit, ConcatenationElementGetsOneFillBit)
{
    Handlers handlers;
    CSmsOut message;
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetText(QStringLiteral("hi"));
    message.AddItem(std::make_unique<CEmsConcatenatedShortMessage>(0x12, 2, 1));
    const QString pdu = message.Create(&handlers.manager);
    EXPECT_EQ(message.GetFirstOctet(), 0x51);
    // UDL 9 = 7 header septets + 2 text septets; "hi" after 1 fill bit.
    EXPECT_EQ(pdu, QStringLiteral("0051000B916407214365F70000FF") + QStringLiteral("09") + QStringLiteral("050003120201") + QStringLiteral("D069"));

    CSmsOut read;
    ASSERT_TRUE(read.Extract(pdu, &handlers.manager));
    EXPECT_EQ(read.GetText(), u"hi");
    ASSERT_NE(read.GetConcatinatedItem(), nullptr);
    EXPECT_EQ(read.GetConcatinatedItem()->GetSequenceNumber(), 1);
}

TEST(SmsSubmit, ReadingHonoursTheValidityFormatAndUnflaggedHeaders)
{
    Handlers handlers;
    CSmsOut message;
    // Bits 3-4 clear: no validity octet.
    ASSERT_TRUE(message.Extract(QStringLiteral("0001000481214300") + QStringLiteral("00") + QStringLiteral("02E834"), nullptr));
    EXPECT_EQ(message.GetValidityPeriodFormat(), CSmsOut::VPF_NONE);
    EXPECT_EQ(message.GetText(), u"hi");

    // A concatenation header the first octet does not announce.
    ASSERT_TRUE(message.Extract(QStringLiteral("0011000481214300") + QStringLiteral("00FF") + QStringLiteral("09050003120201D069"),
                                &handlers.manager));
    EXPECT_TRUE(message.GetHeaderIndicator());
    EXPECT_EQ(message.GetFirstOctet() & 0x40, 0x40);
    EXPECT_EQ(message.GetText(), u"hi");
    ASSERT_NE(message.GetConcatinatedItem(), nullptr);
    EXPECT_EQ(message.GetConcatinatedItem()->GetReferenceNumber(), 0x12);
}

TEST(SmsSubmit, CutAfterTheCodingScheme)
{
    StartTraceCapture();
    CSmsOut relative;
    EXPECT_FALSE(relative.Extract(QStringLiteral("0011000481214300") + QStringLiteral("00"), nullptr));
    EXPECT_TRUE(TraceWasCaptured(QStringLiteral("Failed to extract the Service Center Time Stamp in the SMS.")));
    StartTraceCapture();
    CSmsOut none;
    EXPECT_FALSE(none.Extract(QStringLiteral("0001000481214300") + QStringLiteral("00"), nullptr));
    EXPECT_TRUE(TraceWasCaptured(QStringLiteral("Failed to extract the User Data in the SMS.")));
    StartTraceCapture();
    CSmsOut absolute;
    EXPECT_FALSE(absolute.Extract(QStringLiteral("0019000481214300") + QStringLiteral("00301080"), nullptr));
    EXPECT_TRUE(TraceWasCaptured(QStringLiteral("Failed to extract the Service Center Time Stamp in the SMS.")));
}

TEST(SmsSubmit, FailureTracesNameTheMissingField)
{
    const struct { QString pdu; const char* trace; } cases[] = {
        {QString(), "Failed to extract the Service Center Address in the SMS."},
        {QStringLiteral("0791"), "Failed to extract the Service Center Address Length in the SMS."},
        {QStringLiteral("00"), "Failed to extract the First Octet in the SMS."},
        {QStringLiteral("0011"), "Failed to extract the Message Reference in the SMS."},
        {QStringLiteral("001100"), "Failed to extract the Destination Address in the SMS."},
        {QStringLiteral("00110004812"), "Failed to extract the Destination Address Length in the SMS."},
        {QStringLiteral("00110004812143"), "Failed to extract the Protocol Identifier in the SMS."},
        {QStringLiteral("0011000481214300"), "Failed to extract the Data Coding Scheme in the SMS."},
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        CSmsOut message;
        EXPECT_FALSE(message.Extract(c.pdu, nullptr)) << c.trace;
        EXPECT_TRUE(TraceWasCaptured(QString::fromLatin1(c.trace))) << c.trace;
    }
}

TEST(SmsSubmit, ResetRestoresTheDefaultsButKeepsTheCharacterSet)
{
    CSmsOut message;
    message.SetCharacterSet(new CCharacterSetDefaultModified);
    const CCharacterSet* modified = message.GetCharacterSet();
    message.SetText(QStringLiteral("x"));
    message.SetStatusReportRequest(true);
    message.SetValidityPeriod(QDateTime::currentDateTime());
    message.Reset();
    EXPECT_TRUE(message.GetText().isEmpty());
    EXPECT_FALSE(message.GetStatusReportRequest());
    EXPECT_EQ(message.GetValidityPeriodFormat(), CSmsOut::VPF_RELATIVE);
    EXPECT_EQ(message.GetRelativeValidityPeriod(), -1);
    EXPECT_EQ(message.GetCharacterSet(), modified);

    // The modified alphabet sends "@" as 0x10.
    message.SetText(QStringLiteral("@"));
    EXPECT_TRUE(message.Create(nullptr).endsWith(QStringLiteral("0110")));
}

TEST(Sms, CopiesShareTheConverterAndNeverReleaseTheSourceOne)
{
    auto original = std::make_unique<CSmsOut>();
    original->SetCharacterSet(new CCharacterSetDefaultModified);
    original->SetText(QStringLiteral("@"));
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

TEST(StatusReport, ReadsReference42)
{
    const QString pdu = QStringLiteral("00062A0B916407214365F7") + QStringLiteral("30108061000000") + QStringLiteral("30108061000020")
                      + QStringLiteral("00");
    ASSERT_TRUE(CSmsStatusReport::IsValidType(pdu));
    CSmsStatusReport report;
    ASSERT_TRUE(report.Extract(pdu, nullptr));
    EXPECT_EQ(report.GetMessageReference(), 42);
    EXPECT_EQ(report.GetStatus(), 0);
    EXPECT_EQ(report.GetAddress(), u"+46701234567");
    EXPECT_EQ(report.GetTimeStamp(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    EXPECT_EQ(report.GetDischargeTime(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    EXPECT_TRUE(report.GetStatusReportIndication() == false);
}

TEST(StatusReport, SignedOctetsAndOptionalFields)
{
    const QString mandatory = QStringLiteral("0006") + QStringLiteral("FF") + QStringLiteral("0B916407214365F7")
                            + QStringLiteral("30108061000000") + QStringLiteral("30108061000000");
    CSmsStatusReport report;
    ASSERT_TRUE(report.Extract(mandatory + QStringLiteral("80"), nullptr));
    EXPECT_EQ(report.GetMessageReference(), -1);
    EXPECT_EQ(report.GetStatus(), -128);

    // Only the parameter indicator: it stays in the protocol identifier.
    CSmsStatusReport indicatorOnly;
    ASSERT_TRUE(indicatorOnly.Extract(mandatory + QStringLiteral("00") + QStringLiteral("07"), nullptr));
    EXPECT_EQ(indicatorOnly.GetProtocolIdentifier(), 7);

    CSmsStatusReport full;
    ASSERT_TRUE(full.Extract(mandatory + QStringLiteral("00") + QStringLiteral("07") + QStringLiteral("3F") + QStringLiteral("00")
                                 + QStringLiteral("02E834"),
                             nullptr));
    EXPECT_EQ(full.GetProtocolIdentifier(), 0x3F);
    EXPECT_EQ(full.GetDataCodingScheme(), 0);
    EXPECT_EQ(full.GetText(), u"hi");
}

TEST(StatusReport, EmptyRecipientAndTruncations)
{
    CSmsStatusReport report;
    ASSERT_TRUE(report.Extract(QStringLiteral("00062A0080") + QStringLiteral("30108061000000") + QStringLiteral("30108061000000")
                                   + QStringLiteral("00"),
                               nullptr));
    EXPECT_TRUE(report.GetAddress().isEmpty());
    EXPECT_EQ(report.GetTimeStamp(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));

    const struct { QString pdu; const char* trace; } cases[] = {
        {QStringLiteral("0006"), "Failed to extract the Message reference in received SMS."},
        {QStringLiteral("00062A"), "Failed to extract the Recipient Address in received SMS."},
        {QStringLiteral("00062A0B91640721"), "Failed to extract the Originating Address Length in received SMS."},
        {QStringLiteral("00062A0080301080"), "Failed to extract the Service Center Time Stamp in received SMS."},
        {QStringLiteral("00062A008030108061000000301080"), "Failed to extract the Discharge Time in received SMS."},
        {QStringLiteral("00062A00803010806100000030108061000000"), "Failed to extract the Status in received SMS."},
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        CSmsStatusReport cut;
        EXPECT_FALSE(cut.Extract(c.pdu, nullptr)) << c.trace;
        EXPECT_TRUE(TraceWasCaptured(QString::fromLatin1(c.trace))) << c.trace;
    }
}

TEST(SmsText, ShortAndLongHeaders)
{
    CSmsText message;
    ASSERT_TRUE(message.Extract(QStringLiteral("\"+46701234567\",\"\",\"03/01/08,16:00:00+04\"\r\nHello")));
    EXPECT_EQ(message.GetAddress(), u"+46701234567");
    EXPECT_EQ(message.GetTimeStamp(), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    EXPECT_EQ(message.GetText(), u"Hello");
    EXPECT_TRUE(message.GetServiceCenterAddress().isEmpty());

    CSmsText detailed;
    ASSERT_TRUE(detailed.Extract(
        QStringLiteral("\"+46701234567\",\"\",\"03/01/08,16:00:00+04\",145,36,0,8,\"+46705008999\",145,5\r\nbody")));
    EXPECT_EQ(detailed.GetFirstOctet(), 36);
    EXPECT_EQ(detailed.GetProtocolIdentifier(), 0);
    EXPECT_EQ(detailed.GetDataCodingScheme(), 8);
    EXPECT_EQ(detailed.GetServiceCenterAddress(), u"+46705008999");
}

TEST(SmsText, MalformedHeaders)
{
    const struct { const char* message; bool ok; } cases[] = {
        {"\"+1\",\"\",\"03/01/08,16:00:00\",5", false},           // 5 fields
        {"\"+1\",\"\"", false},
        {"", false},
        {"\"+1\",\"\",\"03/01\",\"16\"", true},                   // short date: no time stamp
        {"\"+1\",,\"xx/yy/zz,aa:bb:cc\"", true},                 // non-digits read as 0
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        CSmsText message;
        EXPECT_EQ(message.Extract(QString::fromLatin1(c.message)), c.ok) << c.message;
        if (!c.ok)
            EXPECT_TRUE(TraceWasCaptured(QStringLiteral("Failed to read received SMS."))) << c.message;
        else
            EXPECT_FALSE(message.GetTimeStamp().isValid()) << c.message;
    }
}

TEST(SmsText, UnicodeConversionBothWays)
{
    CSmsText message;
    EXPECT_EQ(message.GetUnicodeText(QStringLiteral("a\nb\r\nc"), true), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(message.GetUnicodeText(QStringLiteral("\n"), true), QStringLiteral("\r\n"));
    EXPECT_EQ(message.GetUnicodeText(QStringLiteral("@£"), false), QString(QChar(0)) + QChar(1));
    EXPECT_EQ(message.GetUnicodeText(QString(QChar(0)), true), QStringLiteral("@"));

    CSmsText modified;
    modified.SetCharacterSet(new CCharacterSetDefaultModified);
    EXPECT_EQ(modified.GetUnicodeText(QStringLiteral("@€ò"), false), QStringLiteral("\x10\x12o"));
}

TEST(SmsHelper, MessageTypeOfAStatusReport)
{
    EXPECT_EQ(CSmsHelper::GetMessageType(QStringLiteral("0006")), CSmsHelper::SMS_STATUS_REPORT);
    EXPECT_EQ(CSmsHelper::GetMessageType(kHelloDeliver), CSmsHelper::SMS_DELIVER);
    EXPECT_EQ(CSmsHelper::GetMessageType(QString()), CSmsHelper::SMS_UNREADABLE);
}

} // namespace
