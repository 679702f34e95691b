#include "gsmcore/sms/EmsAddressingScheme8Bit.h"
#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/PduCodec.h"
#include "tests/gsmcore/sms/TraceCapture.h"

#include "tests/gsmcore/sms/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

class EmsElements : public ::testing::Test {
protected:
    EmsElements() { RegisterStandardEmsHandlers(m_items); }
    CEmsItemHandler& Handler(qint16 identifier)
    {
        CEmsItemHandler* handler = m_items.Find(identifier);
        EXPECT_NE(handler, nullptr);
        return *handler;
    }
    CEmsItemManager m_items;
};

TEST_F(EmsElements, ConcatenationReadsAndWritesBack)
{
    auto element = Handler(EmsIdentifier::ConcatenatedShortMessage).ExtractPdu(QStringLiteral("03120301"));
    auto* concatenation = dynamic_cast<CEmsConcatenatedShortMessage*>(element.get());
    ASSERT_NE(concatenation, nullptr);
    EXPECT_EQ(concatenation->GetReferenceNumber(), 0x12);
    EXPECT_EQ(concatenation->GetMaximumNumber(), 3);
    EXPECT_EQ(concatenation->GetSequenceNumber(), 1);
    EXPECT_EQ(concatenation->GetPos(), 0);
    EXPECT_EQ(concatenation->GetSize(), 5);
    EXPECT_EQ(Handler(EmsIdentifier::ConcatenatedShortMessage).CreatePdu(*concatenation), u"0003120301");
    EXPECT_EQ(Handler(EmsIdentifier::ConcatenatedShortMessage).GetDataLength(), 3);
}

TEST_F(EmsElements, PortsReadAndWriteBack)
{
    auto element = Handler(EmsIdentifier::ApplicationPort8Bit).ExtractPdu(QStringLiteral("02F5F6"));
    auto* ports = dynamic_cast<CEmsAddressingScheme8Bit*>(element.get());
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->GetDestinationPort(), 0xF5);
    EXPECT_EQ(ports->GetOriginatorPort(), 0xF6);
    EXPECT_EQ(ports->GetSize(), 4);
    EXPECT_EQ(Handler(EmsIdentifier::ApplicationPort8Bit).CreatePdu(*ports), u"0402F5F6");
}

TEST_F(EmsElements, FormattingModeOctet)
{
    const struct { quint8 mode; int alignment; int size; bool bold, italic, underlined, strike; quint8 written; } cases[] = {
        {0x3A, 2, CEmsFormatText::FONT_SMALL, true, true, false, false, 0x3A},
        {0x0F, 3, CEmsFormatText::FONT_SMALL, false, false, false, false, 0x0B},  // reserved size reads as small
        {0x04, 0, CEmsFormatText::FONT_LARGE, false, false, false, false, 0x04},
        {0xC1, 1, CEmsFormatText::FONT_NORMAL, false, false, true, true, 0xC1},
        {0x00, 0, CEmsFormatText::FONT_NORMAL, false, false, false, false, 0x00},
    };
    for (const auto& c : cases) {
        auto element = Handler(EmsIdentifier::TextFormatting).ExtractPdu(QStringLiteral("030A14") + CPduCodec::Octet(c.mode));
        auto* format = dynamic_cast<CEmsFormatText*>(element.get());
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->GetPos(), 10);
        EXPECT_EQ(format->GetLength(), 20);
        EXPECT_EQ(format->GetAlignment(), c.alignment) << int(c.mode);
        EXPECT_EQ(format->GetFontSize(), c.size) << int(c.mode);
        EXPECT_EQ(format->IsBold(), c.bold);
        EXPECT_EQ(format->IsItalic(), c.italic);
        EXPECT_EQ(format->IsUnderlined(), c.underlined);
        EXPECT_EQ(format->IsStrikethrough(), c.strike);
        EXPECT_EQ(Handler(EmsIdentifier::TextFormatting).CreatePdu(*format), QStringLiteral("0A030A14") + CPduCodec::Octet(c.written));
    }
    EXPECT_EQ(CEmsFormatText().GetAlignment(), CEmsFormatText::ALIGN_LANGUAGE_DEPENDENT);
}

TEST_F(EmsElements, LargePictureAlwaysWritesTheBuiltInPicture)
{
    auto element = Handler(EmsIdentifier::LargePicture).ExtractPdu(QStringLiteral("8105") + QStringLiteral("FF80"));
    auto* picture = dynamic_cast<CEmsLargePicture*>(element.get());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetPos(), 5);
    EXPECT_EQ(picture->GetSize(), 131);
    EXPECT_EQ(picture->GetNumberOfPixels(), 1024);
    EXPECT_EQ(picture->GetNumberOfRows(), 32);
    EXPECT_EQ(picture->GetNumberOfCols(), 32);
    EXPECT_TRUE(picture->IsPixel(0));
    EXPECT_TRUE(picture->IsPixel(8));
    EXPECT_FALSE(picture->IsPixel(9));
    EXPECT_TRUE(picture->IsPixel(0, 7));
    EXPECT_FALSE(picture->IsPixel(1, 0));
    EXPECT_FALSE(picture->IsPixel(-1));
    EXPECT_FALSE(picture->IsPixel(5000));

    const QString written = Handler(EmsIdentifier::LargePicture).CreatePdu(*picture);
    ASSERT_EQ(written.size(), 2 * 131);
    EXPECT_TRUE(written.startsWith(QStringLiteral("108105")));
    EXPECT_EQ(written.mid(6, 64), u"0000000000000000000000000000000000000000000018003F807E003F00FE00");
    EXPECT_TRUE(written.endsWith(QStringLiteral("000603E0FFFFFFFFFFFFFFFF000000000000000000000000")));

    // Whatever it held, the written picture is the same.
    auto other = Handler(EmsIdentifier::LargePicture).ExtractPdu(QStringLiteral("8105") + QString(256, u'F'));
    EXPECT_EQ(Handler(EmsIdentifier::LargePicture).CreatePdu(*other), written);
}

TEST_F(EmsElements, PictureDataNeverRunsPastItsArray)
{
    auto element = Handler(EmsIdentifier::LargePicture).ExtractPdu(QStringLiteral("FF00") + QString(600, u'A'));
    auto* picture = dynamic_cast<CEmsLargePicture*>(element.get());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetData().size(), 128);
}

TEST_F(EmsElements, MelodyKeeps128OctetsAndReadsItsNotes)
{
    const QByteArray text = "BEGIN:IMELODY\nVERSION:1.2\nFORMAT:CLASS1.0\nMELODY:*4c2#d1r2e\nEND:IMELODY\n";
    auto element = Handler(EmsIdentifier::UserDefinedSound).ExtractPdu(
        CPduCodec::Octet(static_cast<quint8>(text.size() + 1)) + QStringLiteral("07") + CPduCodec::OctetsToHex(text));
    auto* melody = dynamic_cast<CEmsMelody*>(element.get());
    ASSERT_NE(melody, nullptr);
    EXPECT_EQ(melody->GetPos(), 7);
    EXPECT_EQ(melody->GetBegin(), u"IMELODY");
    EXPECT_EQ(melody->GetVersion(), u"1.2");
    EXPECT_EQ(melody->GetFormat(), u"CLASS1.0");
    ASSERT_EQ(melody->GetNumberOfNotes(), 3);
    const NOTE_STRUCT c = melody->GetNote(0);
    EXPECT_EQ(c.note, 1);
    EXPECT_EQ(c.octave, 4);
    EXPECT_EQ(c.duration, 2);
    EXPECT_EQ(c.accidental, 0);
    const NOTE_STRUCT d = melody->GetNote(1);
    EXPECT_EQ(d.note, 2);
    EXPECT_EQ(d.accidental, 2);
    EXPECT_EQ(d.duration, 1);
    EXPECT_EQ(d.rest, 2);
    EXPECT_EQ(d.octave, 4);
    const NOTE_STRUCT e = melody->GetNote(2);
    EXPECT_EQ(e.note, 3);
    EXPECT_EQ(e.octave, 4);
    EXPECT_EQ(melody->GetNote(3).note, 0);  // out of range gives an empty note
}

TEST_F(EmsElements, MelodyOf40OctetsIsStoredIn128)
{
    const QByteArray forty(40, 'x');
    auto element = Handler(EmsIdentifier::UserDefinedSound).ExtractPdu(QStringLiteral("2900") + CPduCodec::OctetsToHex(forty));
    auto* melody = dynamic_cast<CEmsMelody*>(element.get());
    ASSERT_NE(melody, nullptr);
    ASSERT_EQ(melody->GetData().size(), 128);
    EXPECT_EQ(melody->GetData().left(40), forty);
    EXPECT_EQ(melody->GetData().mid(40), QByteArray(88, '\0'));
    EXPECT_EQ(melody->GetSize(), 131);
    const QString written = Handler(EmsIdentifier::UserDefinedSound).CreatePdu(*melody);
    EXPECT_EQ(written.left(6), u"0C8100");  // length 129
    EXPECT_EQ(written.size(), 2 * 131);
}

TEST(EmsMelodyNotes, LinesAndNotes)
{
    const struct { const char* text; int notes; } cases[] = {
        {"MELODY:*4c2#d1r2e\n", 3},
        {"MELODY:*4c2#d1r2e", 0},          // no line feed: the line is not read
        {"MELODY:c\nMELODY:d", 1},
        {"MELODY:&b*5g\n", 2},
        {"MELODY:\n", 0},
        {"MELODY:*", 0},
        {"MELODY:r\n", 0},
        {"MELODY:c*\n", 1},
        {"NOTES:cde\n", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(ParseMelodyText(QByteArray(c.text)).notes.size()), c.notes) << c.text;

    const ParsedMelody flats = ParseMelodyText("MELODY:&b*5g3\n");
    ASSERT_EQ(flats.notes.size(), 2u);
    EXPECT_EQ(flats.notes[0].accidental, 1);
    EXPECT_EQ(flats.notes[0].octave, 3);
    EXPECT_EQ(flats.notes[1].note, 5);
    EXPECT_EQ(flats.notes[1].octave, 5);
    EXPECT_EQ(flats.notes[1].duration, 3);
}

TEST_F(EmsElements, BinaryCarriesItsOctets)
{
    auto element = Handler(EmsIdentifier::Binary).ExtractPdu(QStringLiteral("0402AABBCC"));
    auto* binary = dynamic_cast<CEmsBinary*>(element.get());
    ASSERT_NE(binary, nullptr);
    EXPECT_EQ(binary->GetPos(), 2);
    EXPECT_EQ(binary->GetData(), QByteArray("\xAA\xBB\xCC"));
    EXPECT_EQ(binary->GetSize(), 6);
    EXPECT_EQ(Handler(EmsIdentifier::Binary).CreatePdu(*binary), u"1A0402AABBCC");
}

TEST_F(EmsElements, TooShortTextsAreRefusedWithTheirTrace)
{
    const struct { qint16 identifier; const char* text; } cases[] = {
        {EmsIdentifier::ConcatenatedShortMessage, "031203"},
        {EmsIdentifier::ApplicationPort8Bit, "02F5"},
        {EmsIdentifier::TextFormatting, "030A14"},
        {EmsIdentifier::UserDefinedSound, "01"},
        {EmsIdentifier::LargePicture, "810"},
        {EmsIdentifier::Binary, ""},
    };
    for (const auto& c : cases) {
        StartTraceCapture();
        EXPECT_EQ(Handler(c.identifier).ExtractPdu(QString::fromLatin1(c.text)), nullptr) << c.identifier;
        EXPECT_TRUE(TraceWasCaptured(QStringLiteral("ExtractPdu(): Invalid PDU '%1'").arg(QString::fromLatin1(c.text))));
    }
}

TEST_F(EmsElements, HandlerRefusesAnotherKindOfElement)
{
    const CEmsFormatText format;
    EXPECT_TRUE(Handler(EmsIdentifier::ConcatenatedShortMessage).CreatePdu(format).isEmpty());
}

TEST(EmsItemManager, RegisterReplacesAndFindGivesNoneForUnknown)
{
    CEmsItemManager items;
    EXPECT_EQ(items.Find(0), nullptr);
    RegisterStandardEmsHandlers(items);
    CEmsItemHandler* first = items.Find(EmsIdentifier::Binary);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(items.Find(0x7F), nullptr);
    EXPECT_TRUE(items.Register(EmsIdentifier::Binary, nullptr));
    EXPECT_EQ(items.Find(EmsIdentifier::Binary), nullptr);
}

TEST(EmsItems, ClonesAreDeepAndOfTheSameKind)
{
    CEmsFormatText format(3, 9);
    format.SetBold(true);
    auto clone = format.Clone();
    auto* copy = dynamic_cast<CEmsFormatText*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsBold());
    EXPECT_EQ(copy->GetPos(), 3);
    EXPECT_EQ(copy->GetLength(), 9);
}

} // namespace
