#include "gsmcore/sms/PduJson.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/TestEnvironment.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>

namespace {

struct SamplePdu {
    char kind;  // 'd'eliver, 's'ubmit or status 'r'eport; '!' when it cannot be read
    QString hex, written;
    QJsonObject fields;
    QString error;
};

// tests/data/sms/pdus.txt: a PDU line, then the fields it reads as or
// "!" and the reason it cannot be read.
std::vector<SamplePdu> LoadSamples()
{
    std::vector<SamplePdu> samples;
    QFile file(TestDataPath(QStringLiteral("sms/pdus.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return samples;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('!') && !samples.empty()) {
            samples.back().kind = '!';
            samples.back().error = QString::fromUtf8(line.mid(1).trimmed());
        } else if (line.startsWith('{') && !samples.empty()) {
            SamplePdu& sample = samples.back();
            sample.fields = QJsonDocument::fromJson(line).object();
            const QString type = sample.fields[QStringLiteral("type")].toString();
            sample.kind = type == u"deliver" ? 'd' : type == u"submit" ? 's' : 'r';
        } else if (!line.isEmpty() && !line.startsWith('#')) {
            const QStringList sides = QString::fromLatin1(line).remove(u' ').split(u'>');
            samples.push_back({'?', sides[0], sides.value(1, sides[0]), {}, {}});
        }
    }
    return samples;
}

// Runs every reader over `pdu`; only the absence of crashes, hangs and
// out-of-bounds access (under the sanitizers) is checked here, and that
// the text stays bounded.
void ReadWithEveryCodec(const QString& pdu)
{
    for (char kind : {'d', 's', 'r'}) {
        const std::unique_ptr<CSms> message = Reader(kind);
        message->Extract(pdu, Items());
        EXPECT_LE(message->GetText().size(), 2 * 291);
    }
    CSmsIn().Extract(pdu, nullptr);
}

// Hex in, every field out, and written back the same; without element
// handlers the elements are skipped and the text still read. What cannot
// be read names the field it missed.
TEST(PduSamples, ReadAsTheirFieldsAndWriteBack)
{
    const auto samples = LoadSamples();
    ASSERT_GE(samples.size(), 45u);
    for (const SamplePdu& sample : samples) {
        SCOPED_TRACE(sample.hex.toStdString());
        if (sample.kind == '!') {
            QString error;
            EXPECT_TRUE(DecodePduToJson(sample.hex, error).isEmpty());
            EXPECT_EQ(error, sample.error);
            continue;
        }
        ASSERT_TRUE(sample.kind == 'd' ? CSmsIn::IsValidType(sample.hex)
                    : sample.kind == 's' ? CSmsOut::IsValidType(sample.hex) : CSmsStatusReport::IsValidType(sample.hex));
        QString error;
        EXPECT_EQ(QJsonDocument(DecodePduToJson(sample.hex, error)).toJson(QJsonDocument::Compact).toStdString(),
                  QJsonDocument(sample.fields).toJson(QJsonDocument::Compact).toStdString()) << error.toStdString();
        const std::unique_ptr<CSms> message = Reader(sample.kind);
        ASSERT_TRUE(message->Extract(sample.hex, nullptr));
        EXPECT_EQ(message->GetText(), sample.fields[QStringLiteral("text")].toString());
        if (sample.kind != 'r') {
            ASSERT_TRUE(message->Extract(sample.hex, Items()));
            EXPECT_EQ(message->Create(Items()), sample.written);
        }
    }
}

// Lower-case digits read as 0 in the readers: no sense, but no harm.
TEST(PduSamples, CutAtEveryPositionOddLengthsAndLowerCase)
{
    for (const SamplePdu& sample : LoadSamples()) {
        for (qsizetype length = 0; length < sample.hex.size(); ++length) {
            const QString cut = sample.hex.left(length);
            ReadWithEveryCodec(cut);
            // A cut before the first octet must fail.
            EXPECT_FALSE(sample.kind == 'd' && length < 2 && CSmsIn().Extract(cut, Items()));
        }
        ReadWithEveryCodec(sample.hex + QStringLiteral("F"));
        ReadWithEveryCodec(sample.hex.toLower());
    }
}

TEST(PduSamples, LengthsThatLie)
{
    const struct { const char* userData; int elements; } cases[] = {
        {"FF05000312030141", -1},             // UDL far beyond the data
        {"0AFF0003120301", -1},               // UDHL beyond the data
        {"0A05007F12030141", -1},             // element length beyond the header
        {"0A0500FF", -1},                     // element length octet beyond the data
        {"0A03000A", -1},                     // element cut inside the header
        {"0A0A0C09FFFFFFFFFFFFFFFF", -1},     // melody element cut short
        {"0A0A1008FF", -1},                   // picture element cut short
        {"A00F100DFF000000000000000000000000", -1},  // picture claiming more than is there
        {"0A00", -1},                         // empty header
        {"0A01", -1},                         // header length without elements
        {"00050003120301", -1},               // UDL 0 with a header
        {"0A0A000312030104200102", 1},        // the whole first element is read, the overrunning second not
    };
    for (const auto& c : cases) {
        const QString pdu = Q("00440B916407214365F7000030108061000000") + Q(c.userData);
        CSmsIn message;
        EXPECT_TRUE(message.Extract(pdu, Items())) << c.userData;
        EXPECT_LE(message.GetText().size(), 2 * 291) << c.userData;
        if (c.elements >= 0) {
            EXPECT_EQ(message.GetItems().size(), std::size_t(c.elements)) << c.userData;
            EXPECT_NE(message.GetConcatinatedItem(), nullptr);
        }
        ReadWithEveryCodec(pdu);
    }
}

TEST(PduSamples, RandomNoise)
{
    QRandomGenerator random(99);
    const QString digits = QStringLiteral("0123456789ABCDEFabcdefXZ \r\n\"");
    for (int round = 0; round < 3000; ++round) {
        QString pdu;
        const int length = random.bounded(700);
        for (int i = 0; i < length; ++i)
            pdu.append(digits[random.bounded(round % 2 ? 16 : static_cast<int>(digits.size()))]);
        ReadWithEveryCodec(pdu);
        CSmsText().Extract(pdu);
    }
    // Long runs of F make every length octet as large as it gets.
    ReadWithEveryCodec(QString(2000, u'F'));
    ReadWithEveryCodec(Q("0044") + QString(2000, u'F'));
}

} // namespace
