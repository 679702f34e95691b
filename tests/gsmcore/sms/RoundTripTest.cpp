#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <map>

namespace {

// The GSM default alphabet without escape and carriage return (a carriage
// return alone would come back with a line feed partner rules apply to).
QString GsmAlphabet()
{
    QString alphabet = QStringLiteral("@£$¥èéùìòÇ\nØøÅåΔ_ΦΓΛΩΠΨΣΘΞÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
                                      "¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà");
    return alphabet;
}

QString RandomText(QRandomGenerator& random, const QString& alphabet, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet[random.bounded(static_cast<int>(alphabet.size()))]);
    return text;
}

// UCS2 text with characters from every plane we meet: Latin, Cyrillic,
// CJK and, as surrogate pairs, emoji.
QString RandomUnicode(QRandomGenerator& random, int units)
{
    QString text;
    while (text.size() < units) {
        const int kind = random.bounded(4);
        if (kind == 3 && text.size() + 2 <= units) {
            const char32_t emoji = 0x1F600 + random.bounded(0x50);
            text.append(QString::fromUcs4(&emoji, 1));
        } else if (kind == 2) {
            text.append(QChar(static_cast<char16_t>(0x4E00 + random.bounded(0x5000))));
        } else if (kind == 1) {
            text.append(QChar(static_cast<char16_t>(0x0410 + random.bounded(64))));
        } else {
            text.append(QChar(static_cast<char16_t>(0x20 + random.bounded(0x5F))));
        }
    }
    return text;
}

QString ExpectedAfterDecoding(const QString& text)
{
    // Line feeds come back with their carriage return.
    QString expected = text;
    expected.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return expected;
}

TEST(RoundTrip, SubmitCreateThenExtractGivesBackEveryField)
{
    QRandomGenerator random(20240101);
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    for (int round = 0; round < 300; ++round) {
        const int coding = round % 3;
        CSmsOut message;
        message.SetServiceCenterAddress(round % 2 ? QStringLiteral("+46705008999") : QString());
        message.SetAddress(round % 5 ? QStringLiteral("+4670123456") + QString::number(round % 10) : QStringLiteral("112"));
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

        QString text;
        switch (coding) {
        case 0:
            message.SetDataCodingScheme(0x00);
            text = RandomText(random, GsmAlphabet(), random.bounded(withHeader ? 153 : 160) + 1);
            break;
        case 1:
            message.SetDataCodingScheme(0x04);
            text = RandomText(random, QStringLiteral("abcXYZ019 ,.!éüßÿ\t~^[]{}"), random.bounded(withHeader ? 134 : 140) + 1);
            break;
        default:
            message.SetDataCodingScheme(0x08);
            text = RandomUnicode(random, random.bounded(withHeader ? 67 : 70) + 1);
            break;
        }
        message.SetText(text);
        const QString pdu = message.Create(&items);

        CSmsOut read;
        ASSERT_TRUE(read.Extract(pdu, &items)) << pdu.toStdString();
        EXPECT_EQ(read.GetServiceCenterAddress(), message.GetServiceCenterAddress());
        EXPECT_EQ(read.GetAddress(), message.GetAddress());
        EXPECT_EQ(read.GetMessageReference(), message.GetMessageReference());
        EXPECT_EQ(read.GetProtocolIdentifier(), message.GetProtocolIdentifier());
        EXPECT_EQ(read.GetDataCodingScheme(), message.GetDataCodingScheme());
        EXPECT_EQ(read.GetFirstOctet(), message.GetFirstOctet());
        EXPECT_EQ(read.GetStatusReportRequest(), message.GetStatusReportRequest());
        EXPECT_EQ(read.GetRejectDuplicates(), message.GetRejectDuplicates());
        EXPECT_EQ(read.GetReplyPath(), message.GetReplyPath());
        EXPECT_EQ(read.GetValidityPeriodFormat(), message.GetValidityPeriodFormat());
        if (message.GetValidityPeriodFormat() == CSmsOut::VPF_ABSOLUTE)
            EXPECT_EQ(read.GetAbsoluteValidityPeriod(), message.GetAbsoluteValidityPeriod());
        else
            EXPECT_EQ(read.GetRelativeValidityPeriod(), message.GetRelativeValidityPeriod() & 0xFF);
        EXPECT_EQ(read.GetText(), coding == 0 ? ExpectedAfterDecoding(text) : text) << "round " << round;
        EXPECT_EQ(read.GetItems().size(), message.GetItems().size());
        if (withHeader) {
            ASSERT_NE(read.GetConcatinatedItem(), nullptr);
            EXPECT_EQ(read.GetConcatinatedItem()->GetReferenceNumber(), round % 255 + 1);
        }
        // Reading and writing again gives the same PDU (a line feed comes
        // back with a carriage return, which would be written too).
        if (!text.contains(u'\n')) {
            CSmsOut again(read);
            EXPECT_EQ(again.Create(&items), pdu);
        }
    }
}

TEST(RoundTrip, DeliverCreateThenExtractGivesBackEveryField)
{
    QRandomGenerator random(77);
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    for (int round = 0; round < 200; ++round) {
        CSmsIn message;
        message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
        message.SetAddress(QStringLiteral("0701234") + QString::number(round));
        message.SetTimeStamp(QDateTime(QDate(2000 + round % 99 + 1, 1 + round % 12, 1 + round % 28), QTime(round % 24, round % 60, round % 60)));
        message.SetMoreMessagesToSend(round % 2);
        message.SetStatusReportIndication(round % 3 == 0);
        message.SetReplyPath(round % 5 == 0);
        const int coding = round % 3;
        const bool withHeader = round % 2 == 0;
        if (withHeader) {
            auto format = std::make_unique<CEmsFormatText>(1, 4);
            format->SetItalic(true);
            message.AddItem(std::move(format));
        }
        QString text;
        if (coding == 0) {
            text = RandomText(random, GsmAlphabet(), random.bounded(150) + 1);
        } else if (coding == 1) {
            message.SetDataCodingScheme(0x04);
            text = RandomText(random, QStringLiteral("abc XYZ 0123 é"), random.bounded(130) + 1);
        } else {
            message.SetDataCodingScheme(0x08);
            text = RandomUnicode(random, random.bounded(60) + 1);
        }
        message.SetText(text);
        const QString pdu = message.Create(&items);

        CSmsIn read;
        ASSERT_TRUE(read.Extract(pdu, &items));
        EXPECT_EQ(read.GetServiceCenterAddress(), message.GetServiceCenterAddress());
        EXPECT_EQ(read.GetAddress(), message.GetAddress());
        EXPECT_EQ(read.GetTimeStamp(), message.GetTimeStamp());
        EXPECT_EQ(read.GetFirstOctet(), message.GetFirstOctet());
        EXPECT_EQ(read.GetMoreMessagesToSend(), message.GetMoreMessagesToSend());
        EXPECT_EQ(read.GetStatusReportIndication(), message.GetStatusReportIndication());
        EXPECT_EQ(read.GetReplyPath(), message.GetReplyPath());
        EXPECT_EQ(read.GetHeaderIndicator(), withHeader);
        EXPECT_EQ(read.GetText(), coding == 0 ? ExpectedAfterDecoding(text) : text);
        ASSERT_EQ(read.GetItems().size(), withHeader ? 1u : 0u);
        if (withHeader) {
            const auto* format = dynamic_cast<const CEmsFormatText*>(read.GetItems().front().get());
            ASSERT_NE(format, nullptr);
            EXPECT_TRUE(format->IsItalic());
            EXPECT_EQ(format->GetLength(), 4);
        }
    }
}

TEST(RoundTrip, ConcatenatedPartsReassembleInSequence)
{
    QRandomGenerator random(4242);
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    for (int round = 0; round < 60; ++round) {
        const quint8 dcs = round % 3 == 0 ? 0x00 : round % 3 == 1 ? 0x04 : 0x08;
        QString text;
        if (dcs == 0x00)
            text = RandomText(random, GsmAlphabet().remove(u'\n'), random.bounded(600) + 1);
        else if (dcs == 0x04)
            text = RandomText(random, QStringLiteral("latin one éàü"), random.bounded(500) + 1);
        else
            text = RandomUnicode(random, random.bounded(300) + 1);

        CEmsMessage message;
        message.SetAddress(QStringLiteral("+46701234567"));
        message.SetDataCodingScheme(dcs);
        message.SetText(text);
        SmsOutList parts;
        const int count = message.GetSmsArray(parts);

        // Receive them in reverse order and put them back by sequence number.
        std::map<int, QString> received;
        int reference = -1;
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            const QString pdu = (*it)->Create(&items);
            CSmsOut read;
            ASSERT_TRUE(read.Extract(pdu, &items));
            const CEmsConcatenatedShortMessage* concatenation = read.GetConcatinatedItem();
            if (count == 1) {
                EXPECT_EQ(concatenation, nullptr);
                received[1] = read.GetText();
                continue;
            }
            ASSERT_NE(concatenation, nullptr);
            EXPECT_EQ(concatenation->GetMaximumNumber(), count);
            if (reference < 0)
                reference = concatenation->GetReferenceNumber();
            EXPECT_EQ(concatenation->GetReferenceNumber(), reference);
            received[concatenation->GetSequenceNumber()] = read.GetText();
        }
        QString joined;
        for (const auto& [sequence, piece] : received)
            joined += piece;
        EXPECT_EQ(static_cast<int>(received.size()), count);
        EXPECT_EQ(joined, text) << "round " << round;
    }
}

} // namespace
