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

TEST(VCardText, EscapesAndUnescapes)
{
    struct Case {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"plain", "plain"},
        {"a,b;c", "a\\,b\\;c"},
        {"back\\slash", "back\\\\slash"},
        {"two\nlines", "two\\nlines"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeVCardText(QString::fromUtf8(c.text)), QString::fromUtf8(c.escaped)) << c.text;
        EXPECT_EQ(UnescapeVCardText(QString::fromUtf8(c.escaped)), QString::fromUtf8(c.text)) << c.escaped;
    }
    EXPECT_EQ(EscapeVCardText(QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(UnescapeVCardText(QStringLiteral("A\\NB")), QStringLiteral("A\nB"));
    EXPECT_EQ(UnescapeVCardText(QStringLiteral("ends with \\")), QStringLiteral("ends with \\"));
}

TEST(VCardText, StructuredAndListValuesSplitOnlyAtUnescapedSeparators)
{
    EXPECT_EQ(SplitVCardValue(QStringLiteral("Doe;John;;Dr.;"), QLatin1Char(';')),
              (QStringList{"Doe", "John", "", "Dr.", ""}));
    EXPECT_EQ(SplitVCardValue(QStringLiteral("Doe\\, Smith & Co;Research"), QLatin1Char(';')),
              (QStringList{"Doe, Smith & Co", "Research"}));
    EXPECT_EQ(SplitVCardValue(QStringLiteral("a\\;b;c"), QLatin1Char(';')), (QStringList{"a;b", "c"}));
    EXPECT_EQ(SplitVCardValue(QStringLiteral("Friends,Work\\,Home"), QLatin1Char(',')),
              (QStringList{"Friends", "Work,Home"}));
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

TEST(VCardCodec, Version21IsReadDecodedAndWrittenAs30)
{
    const VCard card = ParseDataFile("phone-2.1.vcf");
    EXPECT_EQ(card.version, QStringLiteral("2.1"));
    EXPECT_EQ(card.Components(QStringLiteral("N")).mid(0, 2), (QStringList{QStringLiteral("Jörgensen"), QStringLiteral("Björn")}));
    EXPECT_EQ(card.Text(QStringLiteral("FN")), QStringLiteral("Björn Jörgensen"));
    EXPECT_EQ(card.Text(QStringLiteral("NOTE")),
              QStringLiteral("First line\nSecond line that is long enough to need a soft line break"));
    ASSERT_NE(FindProperty(card, "TEL"), nullptr);
    EXPECT_EQ(FindProperty(card, "TEL")->Types(), (QStringList{"cell", "pref"}));
    // The encodings are gone once the text is Unicode; bare parameters
    // become TYPE ones.
    const QByteArray written = WriteVCard(card);
    EXPECT_TRUE(written.contains("TEL;TYPE=CELL,PREF:+4670555 12 34\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("NOTE:First line\\nSecond line")) << written.constData();
    EXPECT_FALSE(written.contains("QUOTED-PRINTABLE"));
    EXPECT_FALSE(written.contains("CHARSET"));
}

TEST(VCardParser, QuotedPrintableDecoding)
{
    struct Case {
        const char* encoded;
        const char* decoded;
    } cases[] = {
        {"J=C3=B6rn", "J\xC3\xB6rn"},
        {"soft=\r\nbreak", "softbreak"},
        {"lower=c3=b6", "lower\xC3\xB6"},
        {"stray = sign", "stray = sign"},
        {"ends=", "ends"},
        {"=ZZ", "=ZZ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeQuotedPrintable(c.encoded), QByteArray(c.decoded)) << c.encoded;
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

TEST(VCardWriter, RoundTripKeepsEveryPropertyOfEveryDataFile)
{
    for (const char* file : {"khard-created.vcf", "apple-grouped.vcf", "version-4.0.vcf", "phone-2.1.vcf"}) {
        const VCard first = ParseDataFile(file);
        const QByteArray written = WriteVCard(first);
        const VCard second = ParseOne(written);
        ASSERT_EQ(first.properties.size(), second.properties.size()) << file;
        for (size_t i = 0; i < first.properties.size(); ++i) {
            EXPECT_EQ(first.properties[i].group, second.properties[i].group) << file;
            EXPECT_EQ(first.properties[i].name, second.properties[i].name) << file;
            EXPECT_EQ(first.properties[i].value, second.properties[i].value) << file << " " << first.properties[i].name.toStdString();
            EXPECT_EQ(first.properties[i].Types(), second.properties[i].Types()) << file;
        }
        // 2.1 is written as 3.0; the others keep their version.
        EXPECT_EQ(second.version, QString::fromLatin1(file) == QLatin1String("version-4.0.vcf") ? QStringLiteral("4.0")
                                                                                               : QStringLiteral("3.0"));
        EXPECT_TRUE(written.startsWith("BEGIN:VCARD\r\nVERSION:")) << file;
        EXPECT_TRUE(written.endsWith("END:VCARD\r\n")) << file;
    }
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
