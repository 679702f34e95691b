#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/PduCodec.h"
#include "tests/gsmcore/sms/SmsTestSupport.h"

namespace {

CEmsItemHandler& Handler(qint16 identifier)
{
    return *Items()->Find(identifier);
}

// The element `data` (length octet on) reads as, if it is a T.
template <class T>
std::unique_ptr<T> Read(qint16 identifier, const QString& data)
{
    auto element = Handler(identifier).ExtractPdu(data);
    return std::unique_ptr<T>(dynamic_cast<T*>(element.release()));
}

std::vector<int> Fields(const NOTE_STRUCT& n)
{
    return {n.note, n.accidental, n.octave, n.duration, n.rest};
}

TEST(EmsElements, LargePictureAlwaysWritesTheBuiltInPicture)
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

TEST(EmsElements, MelodyKeeps128OctetsAndReadsItsNotes)
{
    const QByteArray text = "BEGIN:IMELODY\nVERSION:1.2\nFORMAT:CLASS1.0\nMELODY:*4c2#d1r2e\nEND:IMELODY\n";
    auto melody = Read<CEmsMelody>(EmsIdentifier::UserDefinedSound,
                                   CPduCodec::Octet(quint8(text.size() + 1)) + Q("07") + CPduCodec::OctetsToHex(text));
    ASSERT_NE(melody, nullptr);
    EXPECT_EQ(melody->GetPos(), 7);
    EXPECT_EQ(QStringList({melody->GetBegin(), melody->GetVersion(), melody->GetFormat()}),
              QStringList({"IMELODY", "1.2", "CLASS1.0"}));
    ASSERT_EQ(melody->GetNumberOfNotes(), 3);
    EXPECT_EQ(Fields(melody->GetNote(1)), (std::vector{2, 2, 4, 1, 2}));
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
    using Notes = std::vector<std::vector<int>>;  // note, accidental, octave, duration, rest
    const struct { const char* text; Notes notes; } cases[] = {
        {"MELODY:*4c2#d1r2e\n", {{1, 0, 4, 2, 0}, {2, 2, 4, 1, 2}, {3, 0, 4, 0, 0}}},
        {"MELODY:&b*5g3\n", {{7, 1, 3, 0, 0}, {5, 0, 5, 3, 0}}},
        {"MELODY:*4c2#d1r2e", {}},  // no line feed: the line is not read
        {"MELODY:c\nMELODY:d", {{1, 0, 3, 0, 0}}}, {"MELODY:\n", {}}, {"MELODY:*", {}}, {"MELODY:r\n", {}},
        {"MELODY:c*\n", {{1, 0, 3, 0, 0}}}, {"NOTES:cde\n", {}}, {"", {}},
    };
    for (const auto& c : cases) {
        Notes notes;
        for (const NOTE_STRUCT& note : ParseMelodyText(QByteArray(c.text)).notes)
            notes.push_back(Fields(note));
        EXPECT_EQ(notes, c.notes) << c.text;
    }
}

TEST(EmsElements, TooShortTextsAreRefusedWithTheirTrace)
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

} // namespace
