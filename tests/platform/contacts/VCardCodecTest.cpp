// The vCard reader and writer on their own: escapes, folding, encodings,
// parameters in every spelling, and round trips.

#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardText.h"
#include "platform/contacts/VCardWriter.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <gtest/gtest.h>

namespace {

VCard ParseOne(const QByteArray& bytes)
{
    VCardParseResult result = ParseVCards(bytes);
    EXPECT_EQ(result.cards.size(), 1u) << result.firstError.toStdString();
    return result.cards.empty() ? VCard() : result.cards.front();
}

VCard ParseDataFile(const char* name)
{
    return ParseOne(ReadContactsData(name));
}

const VCardProperty* FindProperty(const VCard& card, const char* name, int nth = 0)
{
    for (const VCardProperty& p : card.properties)
        if (p.name == QLatin1String(name) && nth-- == 0)
            return &p;
    return nullptr;
}

}  // namespace

TEST(VCardText, EscapesSplitsAndJoins)
{
    const char* const cases[][2] = {{"plain", "plain"}, {"a,b;c", "a\\,b\\;c"}, {"back\\slash", "back\\\\slash"},
                                    {"two\nlines", "two\\nlines"}, {"", ""}};
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(EscapeVCardText(QString::fromUtf8(text)), QString::fromUtf8(escaped)) << text;
        EXPECT_EQ(UnescapeVCardText(QString::fromUtf8(escaped)), QString::fromUtf8(text)) << escaped;
    }
    EXPECT_EQ(EscapeVCardText(QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(UnescapeVCardText(QStringLiteral("A\\NB")), QStringLiteral("A\nB"));
    EXPECT_EQ(UnescapeVCardText(QStringLiteral("ends with \\")), QStringLiteral("ends with \\"));
    // Structured and list values split only at unescaped separators.
    EXPECT_EQ(SplitVCardValue(QStringLiteral("Doe\\, Smith & Co;Research;;"), QLatin1Char(';')),
              (QStringList{"Doe, Smith & Co", "Research", "", ""}));
    EXPECT_EQ(SplitVCardValue(QStringLiteral("a\\;b;c"), QLatin1Char(';')), (QStringList{"a;b", "c"}));
    EXPECT_EQ(SplitVCardValue(QStringLiteral("Friends,Work\\,Home"), QLatin1Char(',')), (QStringList{"Friends", "Work,Home"}));
    EXPECT_EQ(JoinVCardValue({"1 Main St\nApt 2", "Spring;field"}, QLatin1Char(';')),
              QStringLiteral("1 Main St\\nApt 2;Spring\\;field"));
}

TEST(VCardParser, UnfoldsLinesAndReadsGroupsAndParameters)
{
    const QByteArray bytes = "junk before the card\r\n"
                             "BEGIN:VCARD\r\n"
                             "VERSION:3.0\r\n"
                             "FN:Long\r\n  Name\r\n"
                             "item1.EMAIL;TYPE=INTERNET,pref:a@b.c\r\n"
                             "TEL;TYPE=work;TYPE=voice:1\r\n"
                             "TEL;TYPE=\"fax,work\":2\r\n"
                             "X-URL;LABEL=\"a:b;c\":http://x\r\n"
                             "\r\n"
                             "END:VCARD\n";
    const VCard card = ParseOne(bytes);
    EXPECT_EQ(card.version, QStringLiteral("3.0"));
    ASSERT_EQ(card.properties.size(), 5u);
    EXPECT_EQ(card.Text(QStringLiteral("FN")), QStringLiteral("Long Name"));
    const VCardProperty* email = FindProperty(card, "EMAIL");
    ASSERT_NE(email, nullptr);
    EXPECT_EQ(email->group, QStringLiteral("item1"));
    EXPECT_EQ(email->Types(), (QStringList{"internet", "pref"}));
    EXPECT_EQ(FindProperty(card, "TEL", 0)->Types(), (QStringList{"work", "voice"}));
    EXPECT_EQ(FindProperty(card, "TEL", 1)->Types(), (QStringList{"fax", "work"}));
    EXPECT_EQ(FindProperty(card, "X-URL")->ParameterValues(QStringLiteral("label")), QStringList{"a:b;c"});
    EXPECT_EQ(FindProperty(card, "X-URL")->value, QStringLiteral("http://x"));
}

TEST(VCardCodec, Version21IsReadDecodedAndStays21)
{
    const VCard card = ParseDataFile("phone-2.1.vcf");
    EXPECT_EQ(card.version, QStringLiteral("2.1"));
    EXPECT_EQ(card.Components(QStringLiteral("N")).mid(0, 2), (QStringList{QStringLiteral("Jörgensen"), QStringLiteral("Björn")}));
    EXPECT_EQ(card.Text(QStringLiteral("FN")), QStringLiteral("Björn Jörgensen"));
    EXPECT_EQ(card.Text(QStringLiteral("NOTE")),
              QStringLiteral("First line\nSecond line that is long enough to need a soft line break"));
    ASSERT_NE(FindProperty(card, "TEL"), nullptr);
    EXPECT_EQ(FindProperty(card, "TEL")->Types(), (QStringList{"cell", "pref"}));
    // A changed value is written the 2.1 way: bare types, and UTF-8
    // quoted-printable where the text needs more than ASCII.
    VCard changed = card;
    changed.SetText(QStringLiteral("FN"), QStringLiteral("Åke, Jörgensen"));
    changed.properties.push_back({{}, QStringLiteral("TEL"), {{QStringLiteral("TYPE"), {"HOME", "VOICE", "X-HOME2"}}}, "1", {}, 0});
    const QByteArray written = WriteVCard(changed);
    EXPECT_TRUE(written.startsWith("BEGIN:VCARD\r\nVERSION:2.1\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85ke, J=C3=B6rgensen\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("TEL;HOME;VOICE;X-HOME2:1\r\n")) << written.constData();
    EXPECT_EQ(ParseOne(written).Text(QStringLiteral("FN")), QStringLiteral("Åke, Jörgensen"));

    // An old phone's photo: base64 lines without a leading blank up to an
    // empty line, read whole (and written back unchanged, below).
    const VCard photoCard = ParseDataFile("nokia-photo-2.1.vcf");
    const VCardProperty* photo = FindProperty(photoCard, "PHOTO");
    ASSERT_NE(photo, nullptr);
    const QByteArray jpeg = QByteArray::fromBase64(photo->value.toLatin1());
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8") && jpeg.endsWith("\xFF\xD9")) << photo->value.toStdString();
    EXPECT_EQ(photoCard.Text(QStringLiteral("EMAIL")), QStringLiteral("rut@example.fi"));
    EXPECT_EQ(photoCard.Components(QStringLiteral("N")).value(0), QStringLiteral("Nyström"));
}

// Old phones wrote their code page without saying which; editors put a
// byte order mark first; folded lines may go on with a tab.
TEST(VCardParser, LegacyBytesByteOrderMarkAndTabContinuations)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* fn;
    } cases[] = {
        {"Latin-1, no charset", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Bj\xF6rn\r\nEND:VCARD\r\n", "Björn"},
        {"quoted-printable Latin-1, no charset",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE:Bj=F6rn\r\nEND:VCARD\r\n", "Björn"},
        {"quoted-printable UTF-8, no charset",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;QUOTED-PRINTABLE:Bj=C3=B6rn\r\nEND:VCARD\r\n", "Björn"},
        {"Windows-1252 euro sign", "BEGIN:VCARD\r\nFN:5 \x80\r\nEND:VCARD\r\n", "5 €"},
        {"byte order mark", "\xEF\xBB\xBF" "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Åsa\r\nEND:VCARD\r\n", "Åsa"},
        {"tab continuation", "BEGIN:VCARD\r\nFN:Lo\r\n\tng\r\nEND:VCARD\r\n", "Long"},
    };
    for (const Case& c : cases) {
        VCard card = ParseOne(c.bytes);
        const QString fn = QString::fromUtf8(c.fn);
        EXPECT_EQ(card.Text(QStringLiteral("FN")), fn) << c.what;
        // Saved with another property changed, and with this one changed.
        card.SetText(QStringLiteral("NOTE"), QStringLiteral("saved"));
        EXPECT_EQ(ParseOne(WriteVCard(card)).Text(QStringLiteral("FN")), fn) << c.what;
        card.SetText(QStringLiteral("FN"), fn + QStringLiteral(" Öl"));
        EXPECT_EQ(ParseOne(WriteVCard(card)).Text(QStringLiteral("FN")), fn + QStringLiteral(" Öl")) << c.what;
    }
}

TEST(VCardParser, QuotedPrintableDecoding)
{
    const char* const cases[][2] = {{"J=C3=B6rn", "J\xC3\xB6rn"}, {"soft=\r\nbreak", "softbreak"}, {"lower=c3=b6", "lower\xC3\xB6"},
                                    {"stray = sign", "stray = sign"}, {"ends=", "ends"}, {"=ZZ", "=ZZ"}};
    for (const auto& [encoded, decoded] : cases)
        EXPECT_EQ(DecodeQuotedPrintable(encoded), QByteArray(decoded)) << encoded;
}

TEST(VCardParser, BrokenCardsAreLeftOutAndTheOthersRead)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        size_t cards;
        int rejected;
    } cases[] = {
        {"no END", "BEGIN:VCARD\r\nFN:A\r\n", 0, 1},
        {"no colon", "BEGIN:VCARD\r\nFN A\r\nEND:VCARD\r\n", 0, 1},
        {"broken then good", "BEGIN:VCARD\r\nFN A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n", 1, 1},
        {"empty", "", 0, 0},
        {"binary", QByteArray("\x00\xff\xfe:\x01\n\n", 7), 0, 0},
        {"END without BEGIN", "END:VCARD\r\n", 0, 0},
        {"nested agent card", "BEGIN:VCARD\r\nFN:A\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\nEND:VCARD\r\n", 1, 0},
        {"three cards", ReadContactsData("three-cards.vcf"), 3, 0},
    };
    for (const Case& c : cases) {
        const VCardParseResult result = ParseVCards(c.bytes);
        EXPECT_EQ(result.cards.size(), c.cards) << c.name;
        EXPECT_EQ(result.rejected, c.rejected) << c.name;
        EXPECT_EQ(result.firstError.isEmpty(), c.rejected == 0) << c.name;
    }
}

TEST(VCardParser, ManyContinuationLinesAreJoinedInOnePass)
{
    // A colon-less line continued 200,000 times: joined piece by piece it
    // is read at once; rescanned per piece it would take hours.
    QByteArray card = "BEGIN:VCARD\r\nVERSION:2.1\r\nX";
    for (int i = 0; i < 200000; ++i)
        card += "\r\n =";
    card += "\r\nFN:A\r\nEND:VCARD\r\n";
    const VCardParseResult result = ParseVCards(card);
    EXPECT_EQ(result.cards.size() + size_t(result.rejected), 1u);

    // The soft line break of a quoted-printable value, whose parameter
    // itself was folded, still joins.
    const VCardParseResult qp =
        ParseVCards("BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;ENCODING=QUOTED-\r\n PRINTABLE:a=\r\nb\r\nEND:VCARD\r\n");
    ASSERT_EQ(qp.cards.size(), 1u);
    EXPECT_EQ(qp.cards.front().Text(QStringLiteral("NOTE")), QStringLiteral("ab"));
}

TEST(VCardWriter, FoldsAt75OctetsWithoutSplittingACharacter)
{
    const QString name = QString(40, QChar(0x00E5)) + QStringLiteral("x") + QString(40, QChar(0x20AC));
    VCard card;
    card.SetText(QStringLiteral("FN"), name);
    const QByteArray bytes = WriteVCard(card);
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        EXPECT_TRUE(line.endsWith('\r'));
        EXPECT_LE(line.size() - 1, 75) << line.constData();
        // Every physical line is valid UTF-8 on its own.
        EXPECT_EQ(QString::fromUtf8(line).toUtf8(), line);
    }
    EXPECT_EQ(ParseOne(bytes).Text(QStringLiteral("FN")), name);
}

// What was not changed is written back as it was read, byte for byte:
// line ends, folding, encodings, names of any spelling, nested cards (an
// edit through the store changes only its own line: ContactsStoreTest).
TEST(VCardWriter, AnUnchangedCardIsWrittenBackByteForByte)
{
    const QByteArray odd = "BEGIN:VCARD\nVERSION:2.1\nFN:A\nX-FOO_BAR;X-P_Q=1;ENCODING=8BIT:caf\xE9\n"
                           "my_group.X-Ü:x\nAGENT:\nBEGIN:VCARD\nVERSION:2.1\nFN:Agent\nEND:VCARD\n"
                           "NOTE:folded\n\tby tab\nEND:VCARD\n";
    for (const QByteArray& bytes : {ReadContactsData("khard-created.vcf"), ReadContactsData("apple-grouped.vcf"),
                                    ReadContactsData("version-4.0.vcf"), ReadContactsData("phone-2.1.vcf"),
                                    ReadContactsData("nokia-photo-2.1.vcf"), odd}) {
        EXPECT_EQ(WriteVCard(ParseOne(bytes)), bytes);
    }
    // A changed line keeps the card's own line end.
    VCard changed = ParseOne(odd);
    changed.SetText(QStringLiteral("FN"), QStringLiteral("Changed"));
    EXPECT_EQ(WriteVCard(changed), QByteArray(odd).replace("FN:A\n", "FN:Changed\n"));
    const QByteArray three = ReadContactsData("three-cards.vcf");
    QByteArray written;
    for (const VCard& card : ParseVCards(three).cards)
        written += WriteVCard(card);
    EXPECT_EQ(written, three);
}

TEST(VCardWriter, WhatIsWrittenAlwaysReadsBackAsOneCard)
{
    // Oddities found by fuzzing: each once wrote a card that read back broken.
    const QByteArray cases[] = {
        "BEGIN:VCARD\r\nFN:A\r\nTEL;E\"Y=PT\"voice,work:1\r\nEND:VCARD\r\n",
        QByteArray("BEGIN:VCARD\r\nFN:A\r\nE\x00ND:VCARD\r\nEND:VCARD\r\n", 43),
        "BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nVERSION:x\r\nEND:VCARD\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\r\nFN:A\r\nEND:VCARDX\r\nBEGIN:other\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\r\nFN:A\rB\r\nNOTE;ENCODING=QUOTED-PRINTABLE:x=0Dy=0A\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\r\n.:x\r\ng.;;=:y\r\nEND:VCARD\r\n",
    };
    for (const QByteArray& input : cases) {
        const VCardParseResult first = ParseVCards(input);
        ASSERT_EQ(first.cards.size(), 1u) << input.constData();
        const VCardParseResult again = ParseVCards(WriteVCard(first.cards.front()));
        EXPECT_EQ(again.cards.size(), 1u) << input.constData();
        EXPECT_EQ(again.rejected, 0) << input.constData();
    }
}
