#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/TestEnvironment.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

struct SamplePdu {
    char kind;  // 'd'eliver, 's'ubmit or status 'r'eport
    QString hex;
};

// tests/data/sms/pdus.txt: "kind hex..." per line; blanks inside the hex
// only make the fields readable.
std::vector<SamplePdu> LoadSamples()
{
    std::vector<SamplePdu> samples;
    QFile file(TestDataPath(QStringLiteral("sms/pdus.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return samples;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype blank = line.indexOf(u' ');
        samples.push_back({line.startsWith(u"status") ? 'r' : line.at(0).toLatin1(), line.mid(blank + 1).remove(u' ')});
    }
    return samples;
}

// Runs every reader over `pdu`; only the absence of crashes, hangs and
// out-of-bounds access (under the sanitizers) is checked here, and that
// the text stays bounded.
void ReadWithEveryCodec(const QString& pdu, CEmsItemManager& items)
{
    CSmsIn deliver;
    CSmsOut submit;
    CSmsStatusReport report;
    for (CSms* message : std::initializer_list<CSms*>{&deliver, &submit, &report}) {
        message->Extract(pdu, &items);
        EXPECT_LE(message->GetText().size(), 2 * 291);
    }
    CSmsIn().Extract(pdu, nullptr);
}

class MalformedPdu : public ::testing::Test {
protected:
    MalformedPdu() { RegisterStandardEmsHandlers(m_items); }
    CEmsItemManager m_items;
};

TEST_F(MalformedPdu, SamplesReadWhole)
{
    const auto samples = LoadSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const SamplePdu& sample : samples)
        EXPECT_TRUE(ReadAs(sample.kind, sample.hex, &m_items)) << sample.hex.toStdString();
}

TEST_F(MalformedPdu, TruncatedAtEveryPosition)
{
    for (const SamplePdu& sample : LoadSamples()) {
        for (qsizetype length = 0; length < sample.hex.size(); ++length) {
            const QString cut = sample.hex.left(length);
            ReadWithEveryCodec(cut, m_items);
            // The mandatory fields end before the user data length octet;
            // a cut before it must fail.
            EXPECT_FALSE(sample.kind == 'd' && length < 2 && CSmsIn().Extract(cut, &m_items));
        }
    }
}

TEST_F(MalformedPdu, OddLengthsAndLowerCase)
{
    for (const SamplePdu& sample : LoadSamples()) {
        ReadWithEveryCodec(sample.hex + QStringLiteral("F"), m_items);
        ReadWithEveryCodec(sample.hex.left(sample.hex.size() - 1), m_items);
        ReadWithEveryCodec(sample.hex.toLower(), m_items);
    }
    // Lower-case digits read as 0: the service centre length "0a" is no
    // service centre, and the rest is read from there.
    CSmsIn lower;
    EXPECT_TRUE(lower.Extract(Q("00040b916407214365f70000301080610000000ae8329bfd4697d9ec37"), nullptr));
    EXPECT_NE(lower.GetText(), u"hellohello");
}

TEST_F(MalformedPdu, LengthsThatLie)
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
        EXPECT_TRUE(message.Extract(pdu, &m_items)) << c.userData;
        EXPECT_LE(message.GetText().size(), 2 * 291) << c.userData;
        if (c.elements >= 0) {
            EXPECT_EQ(message.GetItems().size(), std::size_t(c.elements)) << c.userData;
            EXPECT_NE(message.GetConcatinatedItem(), nullptr);
        }
        ReadWithEveryCodec(pdu, m_items);
    }
    // A service centre or address length beyond the PDU.
    EXPECT_FALSE(CSmsIn().Extract(Q("FF04"), &m_items));
    EXPECT_FALSE(CSmsIn().Extract(Q("0004FF91"), &m_items));
}

TEST_F(MalformedPdu, RandomNoise)
{
    QRandomGenerator random(99);
    const QString digits = QStringLiteral("0123456789ABCDEFabcdefXZ \r\n\"");
    for (int round = 0; round < 3000; ++round) {
        QString pdu;
        const int length = random.bounded(700);
        for (int i = 0; i < length; ++i)
            pdu.append(digits[random.bounded(round % 2 ? 16 : static_cast<int>(digits.size()))]);
        ReadWithEveryCodec(pdu, m_items);
        CSmsText().Extract(pdu);
    }
    // Long runs of F make every length octet as large as it gets.
    ReadWithEveryCodec(QString(2000, u'F'), m_items);
    ReadWithEveryCodec(Q("0044") + QString(2000, u'F'), m_items);
}

} // namespace
