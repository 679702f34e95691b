#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/SmsOut.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QString Letters(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(QChar(u'a' + i % 26));
    return text;
}

struct SplitCase {
    const char* name;
    quint8 dcs;
    int characters;
    std::vector<int> parts;  // characters per part
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.name;
}

class EmsSplitText : public ::testing::TestWithParam<SplitCase> {};

TEST_P(EmsSplitText, PartsHoldTheExpectedCharacters)
{
    const SplitCase& c = GetParam();
    CEmsMessage message;
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetDataCodingScheme(c.dcs);
    message.SetText(Letters(c.characters));
    EXPECT_EQ(message.GetSmsCount(), static_cast<int>(c.parts.size()));

    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), static_cast<int>(c.parts.size()));
    ASSERT_EQ(parts.size(), c.parts.size());
    std::set<int> references;
    QString joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i]->GetText().size(), c.parts[i]) << "part " << i;
        joined += parts[i]->GetText();
        const CEmsConcatenatedShortMessage* concatenation = parts[i]->GetConcatinatedItem();
        if (parts.size() == 1) {
            EXPECT_EQ(concatenation, nullptr);
            EXPECT_TRUE(parts[i]->GetItems().empty());
            continue;
        }
        ASSERT_NE(concatenation, nullptr);
        EXPECT_EQ(concatenation->GetMaximumNumber(), static_cast<int>(parts.size()));
        EXPECT_EQ(concatenation->GetSequenceNumber(), static_cast<int>(i + 1));
        EXPECT_GE(concatenation->GetReferenceNumber(), 1);
        EXPECT_LE(concatenation->GetReferenceNumber(), 255);
        references.insert(concatenation->GetReferenceNumber());
    }
    EXPECT_EQ(joined, message.GetText());
    EXPECT_LE(references.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Table, EmsSplitText, ::testing::Values(
    SplitCase{"seven bit 160 in one", 0x00, 160, {160}},
    SplitCase{"seven bit 161", 0x00, 161, {153, 8}},
    SplitCase{"seven bit 306", 0x00, 306, {153, 153}},
    SplitCase{"seven bit 307", 0x00, 307, {153, 153, 1}},
    SplitCase{"eight bit 140 in one", 0x04, 140, {140}},
    SplitCase{"eight bit 200", 0x04, 200, {134, 66}},
    SplitCase{"ucs2 70 in one", 0x08, 70, {70}},
    SplitCase{"ucs2 100", 0x08, 100, {67, 33}},
    SplitCase{"empty text", 0x00, 0, {0}}));

TEST(EmsSplit, PartsCarryTheConcatenationHeader)
{
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    CEmsMessage message;
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetText(Letters(161));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 2);
    const int reference = parts[0]->GetConcatinatedItem()->GetReferenceNumber();
    for (int i = 0; i < 2; ++i) {
        const QString pdu = parts[i]->Create(&items);
        const QString header = QStringLiteral("050003") + CPduCodec::Octet(static_cast<quint8>(reference)) + QStringLiteral("02")
                             + CPduCodec::Octet(static_cast<quint8>(i + 1));
        EXPECT_EQ(pdu.mid(28, 2), CPduCodec::Octet(static_cast<quint8>(i == 0 ? 160 : 15)));  // UDL in septets
        EXPECT_EQ(pdu.mid(30, 12), header);
        EXPECT_LE((pdu.size() - 30) / 2, 140);  // at most 140 octets of user data
    }
}

TEST(EmsSplit, PictureGoesIntoItsOwnPart)
{
    CEmsMessage message;
    message.SetText(Letters(150));
    message.AddItem(std::make_unique<CEmsLargePicture>(10));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 3);
    EXPECT_EQ(parts[0]->GetText(), Letters(10));
    EXPECT_EQ(parts[0]->GetItems().size(), 1u);  // the concatenation element only
    EXPECT_EQ(parts[1]->GetText().size(), 3);
    ASSERT_EQ(parts[1]->GetItems().size(), 2u);
    EXPECT_EQ(parts[1]->GetItems()[1]->GetIdentifier(), EmsIdentifier::LargePicture);
    EXPECT_EQ(parts[1]->GetItems()[1]->GetPos(), 0);
    EXPECT_EQ(parts[2]->GetText().size(), 137);
    EXPECT_EQ(message.GetItems().size(), 1u);  // the message itself is unchanged
}

TEST(EmsSplit, FormattingSpanSplitAcrossPartsAddsUp)
{
    const struct { int textLength; int start; int length; quint8 dcs; } cases[] = {
        {300, 100, 100, 0x00}, {300, 0, 300, 0x00}, {500, 140, 300, 0x00}, {200, 50, 120, 0x08}, {300, 120, 80, 0x04},
        {300, 150, 10, 0x00}, {100, 20, 500, 0x00},  // a span past the end is cut at the end of the text
    };
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    for (const auto& c : cases) {
        CEmsMessage message;
        message.SetDataCodingScheme(c.dcs);
        message.SetText(Letters(c.textLength));
        auto format = std::make_unique<CEmsFormatText>(static_cast<qint16>(c.start), static_cast<qint16>(c.length));
        format->SetBold(true);
        message.AddItem(std::move(format));
        const int count = message.GetSmsCount();
        SmsOutList parts;
        ASSERT_EQ(message.GetSmsArray(parts), count);

        int covered = 0;
        int partStart = 0;
        int pieces = 0;
        for (const auto& part : parts) {
            for (const auto& item : part->GetItems()) {
                const auto* piece = dynamic_cast<const CEmsFormatText*>(item.get());
                if (!piece)
                    continue;
                ++pieces;
                EXPECT_TRUE(piece->IsBold());
                // Each piece starts where the span stands and stays within its part.
                EXPECT_EQ(partStart + piece->GetPos(), c.start + covered);
                EXPECT_LE(piece->GetPos() + piece->GetLength(), part->GetText().size());
                covered += piece->GetLength();
            }
            partStart += static_cast<int>(part->GetText().size());
            // Every part fits the 140 octets of user data (it starts after
            // the empty service centre and destination and the UDL).
            const QString pdu = part->Create(&items);
            EXPECT_LE((pdu.size() - 16) / 2, 140);
        }
        EXPECT_EQ(covered, qMin(c.length, c.textLength - c.start)) << c.textLength << " " << c.start << " " << c.length;
        EXPECT_GE(pieces, count > 1 && c.length > 0 ? 1 : 0);
        EXPECT_EQ(message.GetSmsCount(), count);  // a second split sees the same message
    }
}

TEST(EmsSplit, BigElementsEachTakeAPartAndOversizedOnesAreLeftOut)
{
    CEmsMessage message;
    message.SetText(Letters(20));
    message.AddItem(std::make_unique<CEmsMelody>(5));
    message.AddItem(std::make_unique<CEmsLargePicture>(5));
    auto oversized = std::make_unique<CEmsBinary>(5);
    oversized->SetData(QByteArray(200, 'x'));
    message.AddItem(std::move(oversized));
    message.AddItem(std::make_unique<CEmsLargePicture>(5));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 5);  // 5 letters | melody | picture | picture and 3 | 12
    QString joined;
    int placed = 0;
    for (const auto& part : parts) {
        joined += part->GetText();
        for (const auto& item : part->GetItems()) {
            EXPECT_NE(item->GetIdentifier(), EmsIdentifier::Binary);
            placed += item->GetIdentifier() != EmsIdentifier::ConcatenatedShortMessage;
        }
    }
    EXPECT_EQ(placed, 3);
    EXPECT_EQ(joined, message.GetText());
}

TEST(EmsSplit, SpanBesideABigElementAtTheSamePlaceDoesNotLoop)
{
    CEmsMessage message;
    message.SetText(Letters(300));
    message.AddItem(std::make_unique<CEmsFormatText>(50, 100));
    message.AddItem(std::make_unique<CEmsLargePicture>(50));
    SmsOutList parts;
    const int count = message.GetSmsArray(parts);
    EXPECT_GT(count, 2);
    int covered = 0;
    for (const auto& part : parts) {
        for (const auto& item : part->GetItems())
            if (item->GetIdentifier() == EmsIdentifier::TextFormatting)
                covered += item->GetLength();
    }
    EXPECT_EQ(covered, 100);
}

TEST(EmsSplit, SurrogatePairsStayTogether)
{
    CEmsMessage message;
    message.SetDataCodingScheme(0x08);
    QString text = Letters(66) + QStringLiteral("\U0001F600") + Letters(40);
    message.SetText(text);
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 2);
    EXPECT_EQ(parts[0]->GetText().size(), 66);
    EXPECT_TRUE(parts[1]->GetText().front().isHighSurrogate());
}

TEST(EmsSplit, PartsTakeTheMessageOptions)
{
    CEmsMessage message;
    message.SetAddress(QStringLiteral("+1555"));
    message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
    message.SetStatusReportRequest(true);
    message.SetRejectDuplicates(true);
    message.SetValidityPeriod(VALID_PERIOD_1_DAY);
    message.SetMessageReference(7);
    message.SetProtocolIdentifier(0x3F);
    message.SetText(QStringLiteral("hi"));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 1);
    const CSmsOut& part = *parts[0];
    EXPECT_EQ(part.GetAddress(), u"+1555");
    EXPECT_EQ(part.GetServiceCenterAddress(), u"+46705008999");
    EXPECT_TRUE(part.GetStatusReportRequest());
    EXPECT_TRUE(part.GetRejectDuplicates());
    EXPECT_EQ(part.GetRelativeValidityPeriod(), VALID_PERIOD_1_DAY);
    EXPECT_EQ(part.GetMessageReference(), 7);
    EXPECT_EQ(part.GetProtocolIdentifier(), 0);  // not carried over
}

TEST(EmsSplit, PlainTextSplitIn160s)
{
    const struct { int characters; int parts; } cases[] = {{0, 1}, {160, 1}, {320, 2}, {321, 3}};
    for (const auto& c : cases) {
        CEmsMessage message;
        message.SetDataCodingScheme(0x08);  // whatever the coding
        message.SetText(Letters(c.characters));
        SmsOutList parts;
        EXPECT_EQ(message.GetTextSmsArray(parts), c.parts);
        ASSERT_EQ(static_cast<int>(parts.size()), c.parts);
        EXPECT_EQ(parts.front()->GetText().size(), qMin(160, c.characters));
        for (const auto& part : parts)
            EXPECT_EQ(part->GetConcatinatedItem(), nullptr);
    }
}

} // namespace
