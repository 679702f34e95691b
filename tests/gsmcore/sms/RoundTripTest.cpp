#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <QRandomGenerator>

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

// Reading a created PDU gives back the text, and writing what was read
// gives the same PDU: every field came back.
template <class Message>
void ExpectRoundTrip(Message& message, const QString& text, int round)
{
    message.SetText(text);
    const QString pdu = message.Create(Items());
    Message read;
    ASSERT_TRUE(read.Extract(pdu,  Items())) << pdu.toStdString();
    EXPECT_EQ(read.GetText(), text) << "round " << round;
    EXPECT_EQ(Message(read).Create(Items()), pdu) << "round " << round;
}

TEST(RoundTrip, SubmitAndDeliverGiveBackEveryField)
{
    QRandomGenerator random(20240101);
    for (int round = 0; round < 300; ++round) {
        const quint8 dcs = kCodings[round % 3];
        CSmsOut submit;
        submit.SetServiceCenterAddress(round % 2 ? Q("+46705008999") : QString());
        submit.SetAddress(round % 5 ? Q("+4670123456") + QString::number(round % 10) : Q("112"));
        submit.SetMessageReference(static_cast<qint16>(round % 256));
        submit.SetProtocolIdentifier(static_cast<qint8>(round % 4 == 0 ? 0x3F : 0));
        submit.SetStatusReportRequest(round % 2);
        submit.SetRejectDuplicates(round % 3 == 0);
        submit.SetReplyPath(round % 7 == 0);
        if (round % 4 == 1)
            submit.SetValidityPeriod(QDateTime(QDate(2025, 1 + round % 12, 1 + round % 28), QTime(round % 24, round % 60, 0)));
        else
            submit.SetValidityPeriod(static_cast<unsigned char>(round % 256));
        const bool concatenated = round % 4 == 2;
        if (concatenated)
            submit.AddItem(std::make_unique<CEmsConcatenatedShortMessage>(static_cast<qint16>(round % 255 + 1), 3, 2));
        submit.SetDataCodingScheme(dcs);
        ExpectRoundTrip(submit, RandomText(random, dcs, MostUnits(dcs, concatenated)), round);

        CSmsIn deliver;
        deliver.SetServiceCenterAddress(Q("+46705008999"));
        deliver.SetAddress(Q("0701234") + QString::number(round));
        deliver.SetTimeStamp(QDateTime(QDate(2000 + round % 99 + 1, 1 + round % 12, 1 + round % 28),
                                       QTime(round % 24, round % 60, round % 60)));
        deliver.SetMoreMessagesToSend(round % 2);
        deliver.SetStatusReportIndication(round % 3 == 0);
        deliver.SetReplyPath(round % 5 == 0);
        if (round % 2 == 0) {
            auto format = std::make_unique<CEmsFormatText>(1, 4);
            format->SetItalic(true);
            deliver.AddItem(std::move(format));
        }
        deliver.SetDataCodingScheme(dcs);
        ExpectRoundTrip(deliver, RandomText(random, dcs, MostUnits(dcs, true) - 3), round);
    }
}

} // namespace
