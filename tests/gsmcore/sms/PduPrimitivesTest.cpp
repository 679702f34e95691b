#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/PduJson.h"
#include "gsmcore/sms/SmsHelper.h"
#include "tests/TestEnvironment.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

const CCharacterSetDefault g_alphabet;
const CPduCodec g_codec(&g_alphabet);

// The rows of tests/data/sms/primitives.txt: codec | in | out; where the
// in field holds more values, those after the first are numbers.
TEST(PduPrimitives, EveryFieldCodecGivesWhatTheRowSays)
{
    const auto rows = TestDataRows(QStringLiteral("sms/primitives.txt"));
    ASSERT_EQ(rows.size(), 78);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        const QByteArray& codec = row[0];
        const QString in = QString::fromUtf8(row[1]);
        const QString out = QString::fromUtf8(row.value(2));
        const QString first = in.section(u' ', 0, -2);
        const int second = in.section(u' ', -1).toInt();
        int septets = -1;
        if (codec == "hex")
            EXPECT_EQ(CSms::Hex2Dec(in), out.toInt());
        else if (codec == "reference")
            EXPECT_EQ(CPduCodec::MessageReferenceOctet(qint16(in.toInt())), out);
        else if (codec == "signed")
            EXPECT_EQ(CPduCodec::SignedOctet(qint8(in.toInt())), out);
        else if (codec == "party" || codec == "centre")
            EXPECT_EQ(CPduCodec::EncodeAddress(in, codec == "party" ? CPduCodec::AddressForm::Party
                                                                     : CPduCodec::AddressForm::ServiceCentre), out);
        else if (codec == "address") {
            const QStringList parts = in.split(u' ');
            EXPECT_EQ(g_codec.DecodeAddress(parts[0], parts[1].toInt(), parts.value(2, u"-1"_qs).toInt()), out);
        }
        else if (codec == "time")
            EXPECT_FALSE(CPduCodec::DecodeTimeStamp(in).isValid());
        else if (codec == "septets") {
            EXPECT_EQ(g_codec.EncodeSeptets(first, second, septets), out);
            EXPECT_EQ(septets, first.size());
            EXPECT_EQ(g_codec.DecodeSeptets(out, septets, second), first);
        } else if (codec == "read") {
            const QString packed = g_codec.EncodeSeptets(first, second, septets);
            EXPECT_EQ(g_codec.DecodeSeptets(packed, septets, second), out);
        } else if (codec == "eight-bit")
            EXPECT_EQ(CPduCodec::DecodeEightBit(in), out);
        else if (codec == "ucs2")
            EXPECT_EQ(CPduCodec::DecodeUcs2(in), out);
        else if (codec == "coding")
            EXPECT_EQ(ChooseDataCodingScheme(in), out.toInt());
        else if (codec == "validity") {
            CSmsOut message;
            QString error;
            const bool applied = ApplyValidity(in, message, error);
            const auto format = message.GetValidityPeriodFormat();
            EXPECT_EQ(applied ? u"%1 %2"_qs.arg(format == CSmsOut::VPF_NONE ? "none" : format == CSmsOut::VPF_RELATIVE ? "relative" : "other")
                                  .arg(message.GetRelativeValidityPeriod())
                              : u"refused"_qs, out);
            EXPECT_NE(applied, !error.isEmpty());
        } else {
            ASSERT_EQ(codec, "type");
            const TraceCapture* traces = CaptureTraces();
            EXPECT_EQ(CSmsHelper::GetMessageType(in), out.toInt());
            EXPECT_TRUE(row.size() < 4 || Traced(traces, row[3].constData()));
        }
    }
    // An overlong text wraps rather than overflowing.
    EXPECT_NO_FATAL_FAILURE(CPduCodec::Hex2Dec(QString(40, u'F')));
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))), u"42211332958500");
    EXPECT_EQ(CPduCodec::EncodeTimeStamp(QDateTime()).size(), 14);
}

TEST(PduPrimitives, SeptetsBeyondTheWorkingStorageOrTheDataAreNotRead)
{
    // Working storage holds 255 octets: 291 septets.
    int septets = 0;
    const QString packed = g_codec.EncodeSeptets(QString(1000, u'a'), 0, septets);
    EXPECT_EQ(septets, 291);
    EXPECT_LE(packed.size(), 2 * CPduCodec::kWorkingOctets);
    EXPECT_EQ(g_codec.DecodeSeptets(packed, 1000, 0).size(), 291);
    // Fewer septets than the count: what is there, no more.
    EXPECT_EQ(g_codec.DecodeSeptets(u"E834", 10, 0), u"hi");
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", 0, 0).isEmpty());
    EXPECT_TRUE(g_codec.DecodeSeptets(u"E834", -3, 0).isEmpty());
}

} // namespace
