#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/charset/CharacterSetPCCP437.h"
#include "gsmcore/charset/Ucs2Hex.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The GSM default alphabet without the extension table, in the order of
// its codes. 0x1B (escape) is carried through as itself.
const QString kGsmAlphabet = QString::fromUtf16(
    u"@£$¥èéùìòÇ\nØø\rÅåΔ_ΦΓΛΩΠΨΣΘΞ\x1B" u"ÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
    u"¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà");

TEST(CharacterSetDefault, EveryCodeOfTheAlphabetGoesToGsmAndBack)
{
    const CCharacterSetDefault alphabet;
    ASSERT_EQ(kGsmAlphabet.size(), 128);
    for (char16_t code = 0; code < 128; ++code) {
        const char16_t unicode = kGsmAlphabet[code].unicode();
        EXPECT_EQ(alphabet.ConvertFromUnicode(unicode), code) << "U+" << std::hex << int(unicode);
        EXPECT_EQ(alphabet.ConvertToUnicode(code), unicode) << "code " << std::hex << int(code);
    }
    // As one string too: the "@" at the start is a 0 unit, not an end.
    const QString gsm = alphabet.ConvertFromUnicode(kGsmAlphabet);
    ASSERT_EQ(gsm.size(), 128);
    EXPECT_EQ(gsm[0].unicode(), 0);
    EXPECT_EQ(alphabet.ConvertToUnicode(gsm), kGsmAlphabet);
}

// The rows of tests/data/charset/conversions.txt: single characters of each
// converter, and texts through the GSM extension table.
TEST(CharacterSet, EveryRowConvertsAsItSays)
{
    const CCharacterSetDefault gsm;
    const CCharacterSetDefaultModified modified;
    const CCharacterSetPCCP437 codePage;
    const auto rows = TestDataRows(QStringLiteral("charset/conversions.txt"));
    ASSERT_EQ(rows.size(), 63);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        if (row[0] == "extension") {
            const QString text = QString::fromUtf8(row[2]), codes = QString::fromLatin1(row[3]);
            EXPECT_EQ(gsm.ConvertToUnicodeExtended(codes), text);
            EXPECT_EQ(row[1] == "both" ? gsm.ConvertFromUnicodeExtended(text) : codes, codes);
            continue;
        }
        const CCharacterSet& set = row[0] == "gsm" ? static_cast<const CCharacterSet&>(gsm)
                                 : row[0] == "cp437" ? static_cast<const CCharacterSet&>(codePage) : modified;
        const auto unicode = char16_t(row[2].toUInt(nullptr, 16)), device = char16_t(row[3].toUInt(nullptr, 16));
        EXPECT_EQ(row[1] == "from" ? device : set.ConvertFromUnicode(unicode), device);
        EXPECT_EQ(row[1] == "to" ? unicode : set.ConvertToUnicode(device), unicode);
    }
    // Short messages keep one code per character.
    EXPECT_EQ(gsm.ConvertFromUnicode(u"€[x]"_qs), u"  x "_qs);
}

TEST(CharacterSet, StringConversionKeepsLengthAndIsPolymorphic)
{
    std::unique_ptr<CCharacterSet> sets[] = {std::make_unique<CCharacterSetDefault>(),
                                             std::make_unique<CCharacterSetDefaultModified>(),
                                             std::make_unique<CCharacterSetPCCP437>()};
    const QString text = QStringLiteral("a@b€\u00F2[x]\U0001F600");
    for (const auto& set : sets) {
        EXPECT_TRUE(set->ConvertFromUnicode(QString()).isEmpty());
        EXPECT_TRUE(set->ConvertToUnicode(QString()).isEmpty());
        EXPECT_EQ(set->ConvertFromUnicode(text).size(), text.size());
        EXPECT_EQ(set->ConvertToUnicode(text).size(), text.size());
    }
}

TEST(AlphaField, ScriptBytesAndWhatFits)
{
    const struct { QString name; NameScript script; int bytes; int room; QString fitting; } cases[] = {
        {u"Anna"_qs, NameScript::Gsm, 4, 14, u"Anna"_qs},
        {u"Bank [card]"_qs, NameScript::Gsm, 13, 6, u"Bank "_qs},  // "[" takes two
        {u"Ölüm €"_qs, NameScript::Gsm, 7, 6, u"Ölüm "_qs},
        {u"Дмитрий"_qs, NameScript::Ucs2, 15, 14, u"Дмитри"_qs},  // 14 bytes hold 6 Cyrillic characters
        {u"Αθηνά"_qs, NameScript::Ucs2, 11, 11, u"Αθηνά"_qs},
        {u"Zoë 李"_qs, NameScript::Ucs2, 11, 9, u"Zoë "_qs},
        {u"abcdefghijЖ"_qs, NameScript::Ucs2, 23, 14, u"abcdefghij"_qs},  // the GSM beginning is the longest
        {u"x\U0001F600"_qs, NameScript::Ucs2, 7, 5, u"x"_qs},  // never half a pair
        {u"Tab\tcontrol"_qs, NameScript::Ucs2, 23, 0, u"Tab\tcontrol"_qs},  // no size: whole
        {QString(), NameScript::Gsm, 0, 14, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScriptOf(c.name), c.script) << c.name.toStdString();
        EXPECT_EQ(AlphaFieldBytes(c.name), c.bytes) << c.name.toStdString();
        EXPECT_EQ(FittingName(c.name, c.room), c.fitting) << c.name.toStdString();
        EXPECT_EQ(NameFits(c.name, c.room), c.fitting == c.name) << c.name.toStdString();
    }
    EXPECT_EQ(CharacterLimit(NameScript::Gsm, 14), 14);
    EXPECT_EQ(CharacterLimit(NameScript::Ucs2, 14), 6);
    EXPECT_EQ(CharacterLimit(NameScript::Ucs2, 0), 0);
    EXPECT_EQ(CharactersOutsideGsm(u"Zoë 李 ë\U0001F600€"_qs), u"ë李\U0001F600"_qs);
    EXPECT_EQ(CharactersBeyondBmp(u"a\U0001F600b\U0001F600\U0001F4DE"_qs), u"\U0001F600\U0001F4DE"_qs);
    EXPECT_EQ(CharactersBeyondBmp(u"Дмитрий [€]"_qs), QString());
}

TEST(Ucs2Hex, BothWaysAndMalformedHex)
{
    const struct { QString text; QString hex; } cases[] = {
        {u"Дима"_qs, u"04140438043C0430"_qs}, {u"Zoë 李"_qs, u"005A006F00EB0020674E"_qs},
        {u"@\0"_qs, u"00400000"_qs}, {QString(), QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToUcs2Hex(c.text), c.hex);
        EXPECT_EQ(FromUcs2Hex(c.hex), c.text);
        EXPECT_EQ(FromUcs2Hex(c.hex.toLower()), c.text);
    }
    for (const QString& bad : {u"041"_qs, u"04G4"_qs, u" 041"_qs, u"+041"_qs, u"Anna"_qs, u"0414 "_qs})
        EXPECT_FALSE(FromUcs2Hex(bad).has_value()) << bad.toStdString();
}

} // namespace
