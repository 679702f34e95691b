#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"
#include "gsmcore/sms/SmsStatusReport.h"
#include "gsmcore/sms/SmsText.h"
#include "tests/TestEnvironment.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>

namespace {

struct SamplePdu {
    QString kind;
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
        samples.push_back({line.left(blank), line.mid(blank + 1).remove(u' ')});
    }
    return samples;
}

// Runs every reader over `pdu`; only the absence of crashes, hangs and
// out-of-bounds access (under the sanitizers) is checked here, and that
// the text stays bounded.
void ReadWithEveryCodec(const QString& pdu, CEmsItemManager& items)
{
    CSmsIn deliver;
    deliver.Extract(pdu, &items);
    EXPECT_LE(deliver.GetText().size(), 2 * 291);
    CSmsOut submit;
    submit.Extract(pdu, &items);
    EXPECT_LE(submit.GetText().size(), 2 * 291);
    CSmsStatusReport report;
    report.Extract(pdu, &items);
    EXPECT_LE(report.GetText().size(), 2 * 291);
    CSmsIn withoutItems;
    withoutItems.Extract(pdu, nullptr);
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
    for (const SamplePdu& sample : samples) {
        bool ok = false;
        if (sample.kind == u"deliver")
            ok = CSmsIn().Extract(sample.hex, &m_items);
        else if (sample.kind == u"submit")
            ok = CSmsOut().Extract(sample.hex, &m_items);
        else
            ok = CSmsStatusReport().Extract(sample.hex, &m_items);
        EXPECT_TRUE(ok) << sample.hex.toStdString();
    }
}

TEST_F(MalformedPdu, TruncatedAtEveryPosition)
{
    for (const SamplePdu& sample : LoadSamples()) {
        for (qsizetype length = 0; length < sample.hex.size(); ++length) {
            const QString cut = sample.hex.left(length);
            ReadWithEveryCodec(cut, m_items);
            // The mandatory fields end before the user data length octet;
            // a cut before it must fail.
            if (sample.kind == u"deliver" && length < 2) {
                EXPECT_FALSE(CSmsIn().Extract(cut, &m_items));
            }
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
    EXPECT_TRUE(lower.Extract(QStringLiteral("00040b916407214365f70000301080610000000ae8329bfd4697d9ec37"), nullptr));
    EXPECT_NE(lower.GetText(), u"hellohello");
}

TEST_F(MalformedPdu, LengthsThatLie)
{
    const QString head = QStringLiteral("00440B916407214365F7000030108061000000");
    const char* userData[] = {
        "FF05000312030141",             // UDL far beyond the data
        "0AFF0003120301",               // UDHL beyond the data
        "0A05007F12030141",             // element length beyond the header
        "0A0500FF",                      // element length octet beyond the data
        "0A03000A",                      // element cut inside the header
        "0A0A0C09FFFFFFFFFFFFFFFF",      // melody element cut short
        "0A0A1008FF",                    // picture element cut short
        "A00F100DFF000000000000000000000000", // picture claiming more than is there
        "0A00",                          // empty header
        "0A01",                          // header length without elements
        "00050003120301",                // UDL 0 with a header
    };
    for (const char* data : userData) {
        const QString pdu = head + QString::fromLatin1(data);
        CSmsIn message;
        EXPECT_TRUE(message.Extract(pdu, &m_items)) << data;
        EXPECT_LE(message.GetText().size(), 2 * 291) << data;
        ReadWithEveryCodec(pdu, m_items);
    }
    // A service centre length beyond the PDU.
    EXPECT_FALSE(CSmsIn().Extract(QStringLiteral("FF04"), &m_items));
    // An address length beyond the PDU.
    EXPECT_FALSE(CSmsIn().Extract(QStringLiteral("0004FF91"), &m_items));
}

TEST_F(MalformedPdu, HeaderElementsThatOverrunAreNotRead)
{
    // The first element is whole, the second claims 0x20 octets.
    CSmsIn message;
    ASSERT_TRUE(message.Extract(QStringLiteral("00440B916407214365F7000030108061000000") + QStringLiteral("0A0A000312030104200102"),
                                &m_items));
    ASSERT_EQ(message.GetItems().size(), 1u);
    EXPECT_NE(message.GetConcatinatedItem(), nullptr);
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
        CSmsText text;
        text.Extract(pdu);
    }
    // Long runs of F make every length octet as large as it gets.
    ReadWithEveryCodec(QString(2000, u'F'), m_items);
    ReadWithEveryCodec(QStringLiteral("0044") + QString(2000, u'F'), m_items);
}

} // namespace
