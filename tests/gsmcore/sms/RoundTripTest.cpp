#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QRandomGenerator>

#include <map>
#include <set>

namespace {

// Random text the coding `dcs` carries, of 1 to `most` UTF-16 units. The
// GSM alphabet comes without escape, carriage return and line feed (a
// line feed comes back with a carriage return; the septet tests see to that).
QString RandomText(QRandomGenerator& random, quint8 dcs, int most)
{
    static const QString gsm = QStringLiteral("@£$¥èéùìòÇØøÅåΔ_ΦΓΛΩΠΨΣΘΞÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
                                              "¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà");
    static const QString latin1 = QStringLiteral("abcXYZ019 ,.!éüßÿ\t~^[]{}");
    const int units = random.bounded(most) + 1;
    QString text;
    while (text.size() < units) {
        if (dcs != 0x08) {
            const QString& alphabet = dcs == 0x04 ? latin1 : gsm;
            text.append(alphabet[random.bounded(static_cast<int>(alphabet.size()))]);
            continue;
        }
        // Latin, Cyrillic, CJK and, as surrogate pairs, emoji.
        const int kind = random.bounded(4);
        if (kind == 3 && text.size() + 2 <= units) {
            const char32_t emoji = 0x1F600 + random.bounded(0x50);
            text.append(QString::fromUcs4(&emoji, 1));
        } else {
            const char16_t base[] = {0x20, 0x0410, 0x4E00, 0x20};
            const int span[] = {0x5F, 64, 0x5000, 0x5F};
            text.append(QChar(static_cast<char16_t>(base[kind] + random.bounded(span[kind]))));
        }
    }
    return text;
}

const quint8 kCodings[] = {0x00, 0x04, 0x08};
// The most units a part holds, without and with a concatenation header.
int MostUnits(quint8 dcs, bool header)
{
    return dcs == 0x00 ? (header ? 153 : 160) : dcs == 0x04 ? (header ? 134 : 140) : (header ? 67 : 70);
}

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() { RegisterStandardEmsHandlers(m_items); }
    CEmsItemManager m_items;
};

// Reading a created PDU gives back the text, and writing what was read
// gives the same PDU: every field came back.
TEST_F(RoundTrip, SubmitCreateThenExtractGivesBackEveryField)
{
    QRandomGenerator random(20240101);
    for (int round = 0; round < 300; ++round) {
        CSmsOut message;
        message.SetServiceCenterAddress(round % 2 ? Q("+46705008999") : QString());
        message.SetAddress(round % 5 ? Q("+4670123456") + QString::number(round % 10) : Q("112"));
        message.SetMessageReference(static_cast<qint16>(round % 256));
        message.SetProtocolIdentifier(static_cast<qint8>(round % 4 == 0 ? 0x3F : 0));
        message.SetStatusReportRequest(round % 2);
        message.SetRejectDuplicates(round % 3 == 0);
        message.SetReplyPath(round % 7 == 0);
        if (round % 4 == 1)
            message.SetValidityPeriod(QDateTime(QDate(2025, 1 + round % 12, 1 + round % 28), QTime(round % 24, round % 60, 0)));
        else
            message.SetValidityPeriod(static_cast<unsigned char>(round % 256));
        const bool withHeader = round % 4 == 2;
        if (withHeader)
            message.AddItem(std::make_unique<CEmsConcatenatedShortMessage>(static_cast<qint16>(round % 255 + 1), 3, 2));
        const quint8 dcs = kCodings[round % 3];
        message.SetDataCodingScheme(dcs);
        const QString text = RandomText(random, dcs, MostUnits(dcs, withHeader));
        message.SetText(text);
        const QString pdu = message.Create(&m_items);

        CSmsOut read;
        ASSERT_TRUE(read.Extract(pdu, &m_items)) << pdu.toStdString();
        EXPECT_EQ(read.GetText(), text) << "round " << round;
        EXPECT_EQ(CSmsOut(read).Create(&m_items), pdu) << "round " << round;
    }
}

TEST_F(RoundTrip, DeliverCreateThenExtractGivesBackEveryField)
{
    QRandomGenerator random(77);
    for (int round = 0; round < 200; ++round) {
        CSmsIn message;
        message.SetServiceCenterAddress(Q("+46705008999"));
        message.SetAddress(Q("0701234") + QString::number(round));
        message.SetTimeStamp(QDateTime(QDate(2000 + round % 99 + 1, 1 + round % 12, 1 + round % 28),
                                       QTime(round % 24, round % 60, round % 60)));
        message.SetMoreMessagesToSend(round % 2);
        message.SetStatusReportIndication(round % 3 == 0);
        message.SetReplyPath(round % 5 == 0);
        const bool withHeader = round % 2 == 0;
        if (withHeader) {
            auto format = std::make_unique<CEmsFormatText>(1, 4);
            format->SetItalic(true);
            message.AddItem(std::move(format));
        }
        const quint8 dcs = kCodings[round % 3];
        message.SetDataCodingScheme(dcs);
        const QString text = RandomText(random, dcs, MostUnits(dcs, true) - 3);
        message.SetText(text);
        const QString pdu = message.Create(&m_items);

        CSmsIn read;
        ASSERT_TRUE(read.Extract(pdu, &m_items)) << pdu.toStdString();
        EXPECT_EQ(read.GetText(), text) << "round " << round;
        EXPECT_EQ(read.Create(&m_items), pdu) << "round " << round;
    }
}

TEST_F(RoundTrip, ConcatenatedPartsReassembleInSequence)
{
    QRandomGenerator random(4242);
    for (int round = 0; round < 60; ++round) {
        const quint8 dcs = kCodings[round % 3];
        const QString text = RandomText(random, dcs, dcs == 0x00 ? 600 : dcs == 0x04 ? 500 : 300);
        CEmsMessage message;
        message.SetAddress(Q("+46701234567"));
        message.SetDataCodingScheme(dcs);
        message.SetText(text);
        SmsOutList parts;
        const int count = message.GetSmsArray(parts);

        // Receive them in reverse order and put them back by sequence number.
        std::map<int, QString> received;
        std::set<int> references;
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            CSmsOut read;
            ASSERT_TRUE(read.Extract((*it)->Create(&m_items), &m_items));
            const CEmsConcatenatedShortMessage* concatenation = read.GetConcatinatedItem();
            ASSERT_EQ(concatenation != nullptr, count > 1);
            if (concatenation) {
                EXPECT_EQ(concatenation->GetMaximumNumber(), count);
                references.insert(concatenation->GetReferenceNumber());
            }
            received[concatenation ? concatenation->GetSequenceNumber() : 1] = read.GetText();
        }
        QString joined;
        for (const auto& [sequence, piece] : received)
            joined += piece;
        EXPECT_EQ(static_cast<int>(received.size()), count);
        EXPECT_LE(references.size(), 1u);
        EXPECT_EQ(joined, text) << "round " << round;
    }
}

} // namespace
