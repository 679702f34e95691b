#include "gsmcore/phonebook/CharacterSetDefault.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/Sms.h"
#include "gsmcore/sms/SmsHelper.h"
#include "tests/gsmcore/sms/TraceCapture.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

const CCharacterSetDefault g_alphabet;
const CPduCodec g_codec(&g_alphabet);

TEST(PduPrimitives, Hex2DecReadsOnlyUppercaseDigits)
{
    const struct { const char16_t* text; int value; } cases[] = {
        {u"", 0}, {u"1A", 26}, {u"ab", 0}, {u"FF", 255}, {u"0B", 11}, {u"1G", 16}, {u"1a", 16}, {u"100", 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSms::Hex2Dec(QString::fromUtf16(c.text)), c.value) << QString::fromUtf16(c.text).toStdString();
    // An overlong text wraps rather than overflowing.
    EXPECT_NO_FATAL_FAILURE(CPduCodec::Hex2Dec(QString(40, u'F')));
}

TEST(PduPrimitives, Octets)
{
    EXPECT_EQ(CPduCodec::Octet(0x00), u"00");
    EXPECT_EQ(CPduCodec::Octet(0xAB), u"AB");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(42), u"2A");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(255), u"FF");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(256), u"00");
    EXPECT_EQ(CPduCodec::MessageReferenceOctet(-1), u"00");
    EXPECT_EQ(CPduCodec::SignedOctet(-1), u"FF");
    EXPECT_EQ(CPduCodec::SignedOctet(0x3F), u"3F");
}

TEST(PduPrimitives, AddressEncoding)
{
    using Form = CPduCodec::AddressForm;
    const struct { const char16_t* address; Form form; const char16_t* field; } cases[] = {
        {u"+46701234567", Form::Party, u"0B916407214365F7"},
        {u"+46701234567", Form::ServiceCentre, u"07916407214365F7"},
        {u"+46705008999", Form::ServiceCentre, u"07916407058099F9"},
        {u"1234", Form::Party, u"04812143"},
        {u"1234", Form::ServiceCentre, u"03812143"},
        {u"", Form::Party, u"00"},
        {u"", Form::ServiceCentre, u"00"},
        {u"+", Form::Party, u"0091"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CPduCodec::EncodeAddress(QString::fromUtf16(c.address), c.form), QString::fromUtf16(c.field));
}

TEST(PduPrimitives, AddressDecoding)
{
    const struct { const char16_t* field; int length; const char16_t* address; } cases[] = {
        {u"812143", 6, u"1234"},
        {u"916407214365F7", 14, u"+46701234567"},
        {u"816407214365F7", 14, u"46701234567"},
        {u"A16407214365F7", 14, u"46701234567"},   // only 0x91 gives "+"
        {u"91A1B2", 6, u"+1A2B"},                  // semi-octets A-E stay letters
        {u"91", 2, u"+"},
        {u"9", 1, u""},
        {u"812143", 40, u"1234"},                  // a length beyond the field stops at its end
    };
    for (const auto& c : cases)
        EXPECT_EQ(g_codec.DecodeAddress(QString::fromUtf16(c.field), c.length), QString::fromUtf16(c.address))
            << QString::fromUtf16(c.field).toStdString();
}

// Builds the field of an alphanumeric sender as a network would: packed
// septets, a length octet counting the semi-octets that carry them.
struct AlphanumericField {
    QString field;  // type of address and packed text
    int semiOctets;
};

AlphanumericField MakeAlphanumeric(const QString& name)
{
    int septets = 0;
    const QString packed = g_codec.EncodeSeptets(name, 0, septets);
    return {QStringLiteral("D0") + packed, (septets * 7 + 3) / 4};
}

TEST(PduPrimitives, AlphanumericSendersHaveNoTrailingPadding)
{
    for (const char* name : {"Netflix", "Twitter", "Bank", "InfoSMS", "ABCDEFGHIJK", "A"}) {
        const AlphanumericField sender = MakeAlphanumeric(QString::fromLatin1(name));
        EXPECT_EQ(g_codec.DecodeAddress(sender.field, sender.field.size(), sender.semiOctets), QString::fromLatin1(name));
    }
    // Without the length octet every whole septet of the field is read,
    // and a seven-character name gains the padding as "@".
    const AlphanumericField netflix = MakeAlphanumeric(QStringLiteral("Netflix"));
    EXPECT_EQ(netflix.semiOctets, 13);
    EXPECT_EQ(g_codec.DecodeAddress(netflix.field, netflix.field.size()), QStringLiteral("Netflix@"));
}

TEST(PduPrimitives, TimeStamps)
{
    EXPECT_EQ(CPduCodec::DecodeTimeStamp(u"30108061000000"), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    // The time zone is not read.
    EXPECT_EQ(CPduCodec::DecodeTimeStamp(u"3010806100008A"), QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    for (const char16_t* unreadable : {u"30008061000000", u"00108061000000", u"30100061000000", u"30318061000000",
                                       u"30109961000000", u"3010806100", u""})
        EXPECT_FALSE(CPduCodec::DecodeTimeStamp(unreadable).isValid()) << QString::fromUtf16(unreadable).toStdString();

    const QDateTime time(QDate(2024, 12, 31), QTime(23, 59, 58));
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(time), u"42211332958500");
    EXPECT_EQ(CPduCodec::DecodeTimeStamp(CPduCodec::EncodeTimeStamp(time)), time);
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(QDateTime()).size(), 14);
}

TEST(PduPrimitives, SeptetPacking)
{
    const struct { const char16_t* text; int fill; const char16_t* packed; } cases[] = {
        {u"hellohello", 0, u"E8329BFD4697D9EC37"},
        {u"hi", 0, u"E834"},
        {u"hi", 1, u"D069"},
        {u"", 0, u""},
        {u"@", 0, u"00"},
        {u"ABCDEFGH", 0, u"41E19058341E91"},  // eight septets fill seven octets
    };
    for (const auto& c : cases) {
        int septets = -1;
        EXPECT_EQ(g_codec.EncodeSeptets(QString::fromUtf16(c.text), c.fill, septets), QString::fromUtf16(c.packed));
        EXPECT_EQ(septets, QString::fromUtf16(c.text).size());
        EXPECT_EQ(g_codec.DecodeSeptets(QString::fromUtf16(c.packed), septets, c.fill), QString::fromUtf16(c.text));
    }
    int septets = 0;
    const QString withFill = g_codec.EncodeSeptets(QStringLiteral("hellohello"), 1, septets);
    EXPECT_EQ(withFill.size(), 2 * 9);  // ceil((1 + 70) / 8) octets
    EXPECT_EQ(CPduCodec::Hex2Dec(withFill.left(2)) & 1, 0);
}

TEST(PduPrimitives, SeptetPackingStaysWithinItsWorkingStorage)
{
    int septets = 0;
    const QString packed = g_codec.EncodeSeptets(QString(1000, u'a'), 0, septets);
    EXPECT_EQ(septets, 291);
    EXPECT_LE(packed.size(), 2 * CPduCodec::kWorkingOctets);
    EXPECT_EQ(g_codec.DecodeSeptets(packed, 1000, 0).size(), 291);
}

TEST(PduPrimitives, SeptetDecodingInsertsCarriageReturns)
{
    int septets = 0;
    const QString packed = g_codec.EncodeSeptets(QStringLiteral("a\nb\r\nc\n"), 0, septets);
    EXPECT_EQ(g_codec.DecodeSeptets(packed, septets, 0), QStringLiteral("a\r\nb\r\nc\r\n"));
    const QString leading = g_codec.EncodeSeptets(QStringLiteral("\nx"), 0, septets);
    EXPECT_EQ(g_codec.DecodeSeptets(leading, septets, 0), QStringLiteral("\r\nx"));
    // Fewer septets than the count: what is there, no more.
    EXPECT_EQ(g_codec.DecodeSeptets(u"E834", 10, 0), QStringLiteral("hi"));
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", 0, 0).isEmpty());
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", -3, 0).isEmpty());
}

TEST(PduPrimitives, EightBitAndUcs2)
{
    int octets = 0;
    EXPECT_EQ(CPduCodec::EncodeEightBit(QStringLiteral("Aé"), octets), u"41E9");
    EXPECT_EQ(octets, 2);
    EXPECT_EQ(CPduCodec::DecodeEightBit(u"41E9"), QStringLiteral("Aé"));
    EXPECT_EQ(CPduCodec::DecodeEightBit(u"410042"), QStringLiteral("A"));  // ends at the first zero octet

    const QString text = QStringLiteral("Ж€\U0001F600");
    EXPECT_EQ(CPduCodec::EncodeUcs2(text, octets), u"041620ACD83DDE00");
    EXPECT_EQ(octets, 8);
    EXPECT_EQ(CPduCodec::DecodeUcs2(u"041620ACD83DDE00"), text);
    EXPECT_EQ(CPduCodec::DecodeUcs2(u"0416200"), QStringLiteral("Ж"));  // a partial pair is dropped
}

TEST(PduPrimitives, FirstOctetAndMessageType)
{
    StartTraceCapture();
    const struct { const char16_t* pdu; quint8 type; const char* trace; } cases[] = {
        {u"0004", 0, nullptr},
        {u"0011", 1, nullptr},
        {u"0006", 2, nullptr},
        {u"0003", 3, nullptr},
        {u"07916407058099F904", 0, nullptr},
        {u"0", 0xFF, "Failed to extract the Service Center Address in the SMS."},
        {u"07916407", 0xFF, "Failed to extract the Service Center Address Length in the SMS."},
        {u"00", 0xFF, "Failed to extract the First Octet in the SMS."},
        {u"07916407058099F9", 0xFF, "Failed to extract the First Octet in the SMS."},
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        EXPECT_EQ(CSmsHelper::GetMessageType(QString::fromUtf16(c.pdu)), c.type) << QString::fromUtf16(c.pdu).toStdString();
        if (c.trace) {
            EXPECT_TRUE(TraceWasCaptured(QString::fromLatin1(c.trace))) << c.trace;
        }
    }
}

} // namespace
