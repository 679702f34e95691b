#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/PduCodec.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

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
    // The element `data` (length octet on) reads as, if it is a T.
    template <class T>
    std::unique_ptr<T> Read(qint16 identifier, const QString& data)
    {
        auto element = Handler(identifier).ExtractPdu(data);
        return std::unique_ptr<T>(dynamic_cast<T*>(element.release()));
    }
    CEmsItemManager m_items;
};

std::vector<int> Fields(const NOTE_STRUCT& n)
{
    return {n.note, n.accidental, n.octave, n.duration, n.rest};
}

TEST_F(EmsElements, PlainElementsReadAndWriteBack)
{
    const struct { qint16 identifier; const char* data; int pos, size; } cases[] = {
        {EmsIdentifier::ConcatenatedShortMessage, "03120301", 0, 5},
        {EmsIdentifier::ApplicationPort8Bit, "02F5F6", 0, 4},
        {EmsIdentifier::Binary, "0402AABBCC", 2, 6},
    };
    for (const auto& c : cases) {
        auto element = Handler(c.identifier).ExtractPdu(Q(c.data));
        ASSERT_NE(element, nullptr) << c.data;
        EXPECT_EQ(element->GetIdentifier(), c.identifier);
        EXPECT_EQ(element->GetPos(), c.pos) << c.data;
        EXPECT_EQ(element->GetSize(), c.size) << c.data;
        EXPECT_EQ(Handler(c.identifier).CreatePdu(*element), CPduCodec::Octet(quint8(c.identifier)) + Q(c.data));
    }
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
        SCOPED_TRACE(int(c.mode));
        auto format = Read<CEmsFormatText>(EmsIdentifier::TextFormatting, Q("030A14") + CPduCodec::Octet(c.mode));
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->GetPos(), 10);
        EXPECT_EQ(format->GetLength(), 20);
        EXPECT_EQ(format->GetAlignment(), c.alignment);
        EXPECT_EQ(format->GetFontSize(), c.size);
        EXPECT_EQ((std::vector{format->IsBold(), format->IsItalic(), format->IsUnderlined(), format->IsStrikethrough()}),
                  (std::vector{c.bold, c.italic, c.underlined, c.strike}));
        EXPECT_EQ(Handler(EmsIdentifier::TextFormatting).CreatePdu(*format), Q("0A030A14") + CPduCodec::Octet(c.written));
    }
}

TEST_F(EmsElements, LargePictureAlwaysWritesTheBuiltInPicture)
{
    auto picture = Read<CEmsLargePicture>(EmsIdentifier::LargePicture, Q("8105" "FF80"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetPos(), 5);
    EXPECT_EQ(picture->GetSize(), 131);
    for (const auto& [pixel, set] : {std::pair{0, true}, {8, true}, {9, false}, {-1, false}, {5000, false}})
        EXPECT_EQ(picture->IsPixel(pixel), set) << pixel;
    EXPECT_TRUE(picture->IsPixel(0, 7));
    EXPECT_FALSE(picture->IsPixel(1, 0));

    const QString written = Handler(EmsIdentifier::LargePicture).CreatePdu(*picture);
    ASSERT_EQ(written.size(), 2 * 131);
    EXPECT_TRUE(written.startsWith(u"108105"));
    EXPECT_EQ(written.mid(6, 64), u"0000000000000000000000000000000000000000000018003F807E003F00FE00");
    EXPECT_TRUE(written.endsWith(u"000603E0FFFFFFFFFFFFFFFF000000000000000000000000"));

    // Whatever it held, the written picture is the same, and overlong
    // data stays within the picture's array.
    auto other = Read<CEmsLargePicture>(EmsIdentifier::LargePicture, Q("FF05") + QString(600, u'F'));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetData().size(), 128);
    EXPECT_EQ(Handler(EmsIdentifier::LargePicture).CreatePdu(*other), written);
}

TEST_F(EmsElements, MelodyKeeps128OctetsAndReadsItsNotes)
{
    const QByteArray text = "BEGIN:IMELODY\nVERSION:1.2\nFORMAT:CLASS1.0\nMELODY:*4c2#d1r2e\nEND:IMELODY\n";
    auto melody = Read<CEmsMelody>(EmsIdentifier::UserDefinedSound,
                                   CPduCodec::Octet(quint8(text.size() + 1)) + Q("07") + CPduCodec::OctetsToHex(text));
    ASSERT_NE(melody, nullptr);
    EXPECT_EQ(melody->GetPos(), 7);
    EXPECT_EQ(melody->GetBegin(), u"IMELODY");
    EXPECT_EQ(melody->GetVersion(), u"1.2");
    EXPECT_EQ(melody->GetFormat(), u"CLASS1.0");
    ASSERT_EQ(melody->GetNumberOfNotes(), 3);
    EXPECT_EQ(Fields(melody->GetNote(0)), (std::vector{1, 0, 4, 2, 0}));
    EXPECT_EQ(Fields(melody->GetNote(1)), (std::vector{2, 2, 4, 1, 2}));
    EXPECT_EQ(Fields(melody->GetNote(2)), (std::vector{3, 0, 4, 0, 0}));
    EXPECT_EQ(melody->GetNote(3).note, 0);  // out of range gives an empty note

    const QByteArray forty(40, 'x');
    melody = Read<CEmsMelody>(EmsIdentifier::UserDefinedSound, Q("2900") + CPduCodec::OctetsToHex(forty));
    ASSERT_NE(melody, nullptr);
    EXPECT_EQ(melody->GetData(), forty + QByteArray(88, '\0'));
    EXPECT_EQ(melody->GetSize(), 131);
    const QString written = Handler(EmsIdentifier::UserDefinedSound).CreatePdu(*melody);
    EXPECT_EQ(written.left(6), u"0C8100");  // length 129
    EXPECT_EQ(written.size(), 2 * 131);
}

TEST(EmsMelodyNotes, LinesAndNotes)
{
    const struct { const char* text; int notes; } cases[] = {
        {"MELODY:*4c2#d1r2e\n", 3},
        {"MELODY:*4c2#d1r2e", 0},  // no line feed: the line is not read
        {"MELODY:c\nMELODY:d", 1}, {"MELODY:&b*5g\n", 2}, {"MELODY:\n", 0}, {"MELODY:*", 0}, {"MELODY:r\n", 0},
        {"MELODY:c*\n", 1}, {"NOTES:cde\n", 0}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(ParseMelodyText(QByteArray(c.text)).notes.size()), c.notes) << c.text;

    const ParsedMelody flats = ParseMelodyText("MELODY:&b*5g3\n");
    ASSERT_EQ(flats.notes.size(), 2u);
    EXPECT_EQ(Fields(flats.notes[0]), (std::vector{7, 1, 3, 0, 0}));
    EXPECT_EQ(Fields(flats.notes[1]), (std::vector{5, 0, 5, 3, 0}));
}

TEST_F(EmsElements, TooShortTextsAreRefusedWithTheirTrace)
{
    const struct { qint16 identifier; const char* text; } cases[] = {
        {EmsIdentifier::ConcatenatedShortMessage, "031203"}, {EmsIdentifier::ApplicationPort8Bit, "02F5"},
        {EmsIdentifier::TextFormatting, "030A14"}, {EmsIdentifier::UserDefinedSound, "01"},
        {EmsIdentifier::LargePicture, "810"}, {EmsIdentifier::Binary, ""},
    };
    for (const auto& c : cases) {
        const TraceCapture* traces = CaptureTraces();
        EXPECT_EQ(Handler(c.identifier).ExtractPdu(Q(c.text)), nullptr) << c.identifier;
        EXPECT_TRUE(Traced(traces, ("ExtractPdu(): Invalid PDU '" + std::string(c.text) + "'").c_str())) << c.identifier;
    }
    // Nor does a handler write another kind of element.
    EXPECT_TRUE(Handler(EmsIdentifier::ConcatenatedShortMessage).CreatePdu(CEmsFormatText()).isEmpty());
}

TEST(EmsItemManager, RegisterReplacesAndFindGivesNoneForUnknown)
{
    CEmsItemManager items;
    EXPECT_EQ(items.Find(0), nullptr);
    RegisterStandardEmsHandlers(items);
    ASSERT_NE(items.Find(EmsIdentifier::Binary), nullptr);
    EXPECT_EQ(items.Find(0x7F), nullptr);
    EXPECT_TRUE(items.Register(EmsIdentifier::Binary, nullptr));
    EXPECT_EQ(items.Find(EmsIdentifier::Binary), nullptr);
}

} // namespace
