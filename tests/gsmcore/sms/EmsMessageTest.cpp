#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/PduCodec.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <set>

namespace {

QString Letters(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(QChar(u'a' + i % 26));
    return text;
}

TEST(EmsSplit, PartsHoldTheExpectedCharacters)
{
    const struct { const char* name; quint8 dcs; int characters; std::vector<int> parts; } cases[] = {
        {"seven bit 160 in one", 0x00, 160, {160}}, {"seven bit 161", 0x00, 161, {153, 8}},
        {"seven bit 306", 0x00, 306, {153, 153}}, {"seven bit 307", 0x00, 307, {153, 153, 1}},
        {"eight bit 140 in one", 0x04, 140, {140}}, {"eight bit 200", 0x04, 200, {134, 66}},
        {"ucs2 70 in one", 0x08, 70, {70}}, {"ucs2 100", 0x08, 100, {67, 33}}, {"empty text", 0x00, 0, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CEmsMessage message;
        message.SetAddress(Q("+46701234567"));
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
    const struct { int textLength, start, length; quint8 dcs; int pictureAt; } cases[] = {
        {300, 100, 100, 0x00, -1}, {300, 0, 300, 0x00, -1}, {500, 140, 300, 0x00, -1}, {200, 50, 120, 0x08, -1},
        {300, 120, 80, 0x04, -1}, {300, 150, 10, 0x00, -1},
        {100, 20, 500, 0x00, -1},  // a span past the end is cut at the end of the text
        {300, 50, 100, 0x00, 50},  // a big element at the same place must not make the split loop
    };
    CEmsItemManager items;
    RegisterStandardEmsHandlers(items);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.textLength << " " << c.start << " " << c.length << " " << c.pictureAt);
        CEmsMessage message;
        message.SetDataCodingScheme(c.dcs);
        message.SetText(Letters(c.textLength));
        auto format = std::make_unique<CEmsFormatText>(static_cast<qint16>(c.start), static_cast<qint16>(c.length));
        format->SetBold(true);
        message.AddItem(std::move(format));
        if (c.pictureAt >= 0)
            message.AddItem(std::make_unique<CEmsLargePicture>(static_cast<qint16>(c.pictureAt)));
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
            EXPECT_LE((part->Create(&items).size() - 16) / 2, 140);
        }
        EXPECT_EQ(covered, qMin(c.length, c.textLength - c.start));
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

TEST(EmsSplit, SurrogatePairsStayTogether)
{
    CEmsMessage message;
    message.SetDataCodingScheme(0x08);
    message.SetText(Letters(66) + QStringLiteral("\U0001F600") + Letters(40));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 2);
    EXPECT_EQ(parts[0]->GetText().size(), 66);
    EXPECT_TRUE(parts[1]->GetText().front().isHighSurrogate());
}

TEST(EmsSplit, PartsTakeTheMessageOptionsButTheProtocolIdentifier)
{
    CEmsMessage message;
    message.SetAddress(Q("+1555"));
    message.SetServiceCenterAddress(Q("+46705008999"));
    message.SetStatusReportRequest(true);
    message.SetRejectDuplicates(true);
    message.SetValidityPeriod(VALID_PERIOD_1_DAY);
    message.SetMessageReference(7);
    message.SetProtocolIdentifier(0x3F);
    message.SetText(Q("hi"));
    SmsOutList parts;
    ASSERT_EQ(message.GetSmsArray(parts), 1);
    EXPECT_EQ(parts[0]->Create(nullptr), u"07916407058099F9" "35" "07" "04915155" "00" "00" "A7" "02E834");
}

TEST(EmsSplit, MoreThan255PartsAreRefusedWhole)
{
    // One octet counts the parts: 256 must not wrap to 0.
    const struct { int characters; int parts; } cases[] = {{255 * 153, 255}, {255 * 153 + 1, -1}};
    for (const auto& c : cases) {
        CEmsMessage message;
        message.SetText(Letters(c.characters));
        SmsOutList parts;
        EXPECT_EQ(message.GetSmsArray(parts), c.parts) << c.characters;
        EXPECT_EQ(static_cast<int>(parts.size()), qMax(0, c.parts)) << c.characters;
    }
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
