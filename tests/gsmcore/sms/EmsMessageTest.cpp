#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsMessage.h"
#include "gsmcore/sms/PduCodec.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

#include <map>
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
    // The parts are received in reverse order and put back by sequence number.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CEmsMessage message;
        message.SetDataCodingScheme(c.dcs);
        message.SetText(Letters(c.characters));
        EXPECT_EQ(message.GetSmsCount(), static_cast<int>(c.parts.size()));
        SmsOutList parts;
        ASSERT_EQ(message.GetSmsArray(parts), static_cast<int>(c.parts.size()));
        std::map<int, QString> received;
        std::set<int> references;
        for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
            CSmsOut read;
            ASSERT_TRUE(read.Extract((*part)->Create(Items()), Items()));
            const CEmsConcatenatedShortMessage* concatenation = read.GetConcatinatedItem();
            ASSERT_EQ(concatenation != nullptr, parts.size() > 1);
            ASSERT_EQ(read.GetItems().size(), parts.size() > 1 ? 1u : 0u);
            if (concatenation) {
                EXPECT_EQ(concatenation->GetMaximumNumber(), static_cast<int>(parts.size()));
                references.insert(concatenation->GetReferenceNumber());
            }
            received[concatenation ? concatenation->GetSequenceNumber() : 1] = read.GetText();
        }
        std::vector<int> sizes;
        QString joined;
        for (const auto& [sequence, piece] : received) {
            sizes.push_back(static_cast<int>(piece.size()));
            joined += piece;
        }
        EXPECT_EQ(sizes, c.parts);
        EXPECT_EQ(joined, message.GetText());
        EXPECT_LE(references.size(), 1u);
        EXPECT_TRUE(references.empty() || (*references.begin() >= 1 && *references.begin() <= 255));
    }
}

// Each big element takes a part of its own, at position 0; one too big
// for any part is left out; a surrogate pair is never split.
TEST(EmsSplit, BigElementsAndSurrogatePairsPlacedWhole)
{
    enum Kind { Picture, Melody, Oversized };
    const struct { quint8 dcs; QString text; std::vector<std::pair<Kind, int>> elements; std::vector<int> sizes, placed; } cases[] = {
        {0x00, Letters(150), {{Picture, 10}}, {10, 3, 137}, {0, 1, 0}},
        {0x00, Letters(20), {{Melody, 5}, {Picture, 5}, {Oversized, 5}, {Picture, 5}}, {5, 0, 0, 3, 12}, {0, 1, 1, 1, 0}},
        {0x08, Letters(66) + QStringLiteral("\U0001F600") + Letters(40), {}, {66, 42}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizes.size());
        CEmsMessage message;
        message.SetDataCodingScheme(c.dcs);
        message.SetText(c.text);
        for (const auto& [kind, position] : c.elements) {
            if (kind == Picture)
                message.AddItem(std::make_unique<CEmsLargePicture>(position));
            else if (kind == Melody)
                message.AddItem(std::make_unique<CEmsMelody>(position));
            else {
                auto oversized = std::make_unique<CEmsBinary>(position);
                oversized->SetData(QByteArray(200, 'x'));
                message.AddItem(std::move(oversized));
            }
        }
        SmsOutList parts;
        ASSERT_EQ(message.GetSmsArray(parts), static_cast<int>(c.sizes.size()));
        std::vector<int> sizes, placed;
        QString joined;
        for (const auto& part : parts) {
            sizes.push_back(static_cast<int>(part->GetText().size()));
            joined += part->GetText();
            placed.push_back(0);
            for (const auto& item : part->GetItems()) {
                if (item->GetIdentifier() == EmsIdentifier::ConcatenatedShortMessage)
                    continue;
                EXPECT_NE(item->GetIdentifier(), EmsIdentifier::Binary);
                EXPECT_EQ(item->GetPos(), 0);
                ++placed.back();
            }
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(placed, c.placed);
        EXPECT_EQ(joined, c.text);
        EXPECT_EQ(message.GetItems().size(), c.elements.size());  // the message itself is unchanged
    }
}

TEST(EmsSplit, FormattingSpanSplitAcrossPartsAddsUp)
{
    const struct { int textLength, start, length; quint8 dcs; int pictureAt; } cases[] = {
        {300, 100, 100, 0x00, -1}, {300, 0, 300, 0x00, -1}, {500, 140, 300, 0x00, -1}, {200, 50, 120, 0x08, -1},
        {300, 120, 80, 0x04, -1}, {300, 150, 10, 0x00, -1},
        {100, 20, 500, 0x00, -1},  // a span past the end is cut at the end of the text
        {300, 50, 100, 0x00, 50},  // a big element at the same place must not make the split loop
    };
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
            EXPECT_LE((part->Create(Items()).size() - 16) / 2, 140);
        }
        EXPECT_EQ(covered, qMin(c.length, c.textLength - c.start));
        EXPECT_GE(pieces, count > 1 && c.length > 0 ? 1 : 0);
        EXPECT_EQ(message.GetSmsCount(), count);  // a second split sees the same message
    }
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

// Plain text goes in 160s whatever the coding, without headers; one
// octet counts the parts, so 256 must not wrap to 0.
TEST(EmsSplit, PartCounts)
{
    const struct { bool plain; int characters; int parts; } cases[] = {
        {true, 0, 1}, {true, 160, 1}, {true, 320, 2}, {true, 321, 3}, {false, 255 * 153, 255}, {false, 255 * 153 + 1, -1},
    };
    for (const auto& c : cases) {
        CEmsMessage message;
        message.SetDataCodingScheme(c.plain ? 0x08 : 0x00);
        message.SetText(Letters(c.characters));
        SmsOutList parts;
        EXPECT_EQ(c.plain ? message.GetTextSmsArray(parts) : message.GetSmsArray(parts), c.parts) << c.characters;
        ASSERT_EQ(static_cast<int>(parts.size()), qMax(0, c.parts)) << c.characters;
        EXPECT_TRUE(!c.plain || parts.front()->GetText().size() == qMin(160, c.characters));
        for (const auto& part : parts)
            EXPECT_TRUE(!c.plain || part->GetConcatinatedItem() == nullptr);
    }
}

} // namespace
