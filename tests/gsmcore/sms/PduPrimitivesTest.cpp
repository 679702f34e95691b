#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/SmsHelper.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

const CCharacterSetDefault g_alphabet;
const CPduCodec g_codec(&g_alphabet);

TEST(PduPrimitives, Hex2DecReadsOnlyUppercaseDigits)
{
    const struct { const char* text; int value; } cases[] = {
        {"", 0}, {"1A", 26}, {"ab", 0}, {"FF", 255}, {"0B", 11}, {"1G", 16}, {"1a", 16}, {"100", 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSms::Hex2Dec(Q(c.text)), c.value) << c.text;
    // An overlong text wraps rather than overflowing.
    EXPECT_NO_FATAL_FAILURE(CPduCodec::Hex2Dec(QString(40, u'F')));
}

TEST(PduPrimitives, OutOfRangeOctetsWrapOrClamp)
{
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(255), u"FF");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(256), u"00");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(-1), u"00");
    EXPECT_EQ(CPduCodec::SignedOctet(-1), u"FF");
}

// Whole addresses go through the sample PDUs; here the empty ones.
TEST(PduPrimitives, AddressEncoding)
{
    using Form = CPduCodec::AddressForm;
    EXPECT_EQ(CPduCodec::EncodeAddress(Q(""), Form::Party), u"00");
    EXPECT_EQ(CPduCodec::EncodeAddress(Q(""), Form::ServiceCentre), u"00");
    EXPECT_EQ(CPduCodec::EncodeAddress(Q("+"), Form::Party), u"0091");
    EXPECT_EQ(CPduCodec::EncodeAddress(Q("1234"), Form::ServiceCentre), u"03812143");
}

TEST(PduPrimitives, AddressDecoding)
{
    const struct { const char* field; int length; const char* address; } cases[] = {
        {"812143", 6, "1234"},
        {"916407214365F7", 14, "+46701234567"},
        {"816407214365F7", 14, "46701234567"},
        {"A16407214365F7", 14, "46701234567"},  // only 0x91 gives "+"
        {"91A1B2", 6, "+1A2B"},                 // semi-octets A-E stay letters
        {"91", 2, "+"},
        {"9", 1, ""},
        {"812143", 40, "1234"},                 // a length beyond the field stops at its end
    };
    for (const auto& c : cases)
        EXPECT_EQ(g_codec.DecodeAddress(Q(c.field), c.length), Q(c.address)) << c.field;
}

TEST(PduPrimitives, AlphanumericSendersHaveNoTrailingPadding)
{
    // As a network sends it: packed septets after "D0", the length octet
    // counting the semi-octets that carry them.
    for (const char* name : {"Netflix", "Bank", "InfoSMS", "ABCDEFGHIJK", "A"}) {
        int septets = 0;
        const QString field = QStringLiteral("D0") + g_codec.EncodeSeptets(Q(name), 0, septets);
        EXPECT_EQ(g_codec.DecodeAddress(field, field.size(), (septets * 7 + 3) / 4), Q(name));
        // Without the length octet every whole septet is read: seven
        // characters gain the padding as "@".
        EXPECT_EQ(g_codec.DecodeAddress(field, field.size()), septets == 7 ? Q(name) + u'@' : Q(name));
    }
}

// Readable time stamps go through the sample PDUs and the round trips.
TEST(PduPrimitives, UnreadableTimeStamps)
{
    for (const char* unreadable : {"30008061000000", "30100061000000", "30318061000000", "30109961000000", "3010806100", ""})
        EXPECT_FALSE(CPduCodec::DecodeTimeStamp(Q(unreadable)).isValid()) << unreadable;
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))), u"42211332958500");
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(QDateTime()).size(), 14);
}

TEST(PduPrimitives, SeptetPacking)
{
    const struct { const char* text; int fill; const char* packed; } cases[] = {
        {"hi", 1, "D069"}, {"", 0, ""}, {"@", 0, "00"},
        {"ABCDEFGH", 0, "41E19058341E91"},  // eight septets fill seven octets
        {"hellohello", 1, "D06536FB8D2EB3D96F"},  // ceil((1 + 70) / 8) octets, the fill bit clear
    };
    for (const auto& c : cases) {
        int septets = -1;
        EXPECT_EQ(g_codec.EncodeSeptets(Q(c.text), c.fill, septets), Q(c.packed)) << c.text;
        EXPECT_EQ(septets, Q(c.text).size());
        EXPECT_EQ(g_codec.DecodeSeptets(Q(c.packed), septets, c.fill), Q(c.text));
    }
    // Working storage holds 255 octets: 291 septets.
    int septets = 0;
    const QString packed = g_codec.EncodeSeptets(QString(1000, u'a'), 0, septets);
    EXPECT_EQ(septets, 291);
    EXPECT_LE(packed.size(), 2 * CPduCodec::kWorkingOctets);
    EXPECT_EQ(g_codec.DecodeSeptets(packed, 1000, 0).size(), 291);
}

TEST(PduPrimitives, SeptetDecodingInsertsCarriageReturns)
{
    const struct { const char* text; int fill; const char* read; } cases[] = {
        {"a\nb\r\nc\n", 0, "a\r\nb\r\nc\r\n"}, {"\nx", 0, "\r\nx"}, {"a\nb", 1, "a\r\nb"},
    };
    for (const auto& c : cases) {
        int septets = 0;
        const QString packed = g_codec.EncodeSeptets(Q(c.text), c.fill, septets);
        EXPECT_EQ(g_codec.DecodeSeptets(packed, septets, c.fill), Q(c.read));
    }
    // Fewer septets than the count: what is there, no more.
    EXPECT_EQ(g_codec.DecodeSeptets(u"E834", 10, 0), u"hi");
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", 0, 0).isEmpty());
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", -3, 0).isEmpty());
}

// Whole texts of both codings go through the sample PDUs; here the ends.
TEST(PduPrimitives, EightBitAndUcs2StopAtAZeroOctetOrAPartialPair)
{
    EXPECT_EQ(CPduCodec::DecodeEightBit(u"410042"), u"A");
    EXPECT_EQ(CPduCodec::DecodeUcs2(u"0416200"), QStringLiteral("Ж"));
}

TEST(PduPrimitives, MessageTypeFromTheFirstOctet)
{
    const struct { const char* pdu; quint8 type; const char* trace; } cases[] = {
        // The readable kinds are told apart by the sample PDUs.
        {"0003", CSmsHelper::SMS_RESERVED, nullptr},
        {"", CSmsHelper::SMS_UNREADABLE, "Failed to extract the Service Center Address in the SMS."},
        {"0", CSmsHelper::SMS_UNREADABLE, "Failed to extract the Service Center Address in the SMS."},
        {"07916407", CSmsHelper::SMS_UNREADABLE, "Failed to extract the Service Center Address Length in the SMS."},
        {"00", CSmsHelper::SMS_UNREADABLE, "Failed to extract the First Octet in the SMS."},
        {"07916407058099F9", CSmsHelper::SMS_UNREADABLE, "Failed to extract the First Octet in the SMS."},
    };
    for (const auto& c : cases) {
        const TraceCapture* traces = CaptureTraces();
        EXPECT_EQ(CSmsHelper::GetMessageType(Q(c.pdu)), c.type) << c.pdu;
        EXPECT_TRUE(!c.trace || Traced(traces, c.trace)) << c.pdu;
    }
}

} // namespace
