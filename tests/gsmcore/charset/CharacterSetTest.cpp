#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/charset/CharacterSetPCCP437.h"
#include "gsmcore/charset/Ucs2Hex.h"

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

TEST(CharacterSetDefault, CharactersWithoutACodeBecomeBlanksAndCodesBeyondPass)
{
    const CCharacterSetDefault alphabet;
    for (char16_t ch : {u'[', u'\\', u'^', u'`', u'{', u'~', u'\x7F', u'€', u'\t', u'\0', u'ç', u'Ж', char16_t(0xD83D)})
        EXPECT_EQ(alphabet.ConvertFromUnicode(ch), 0x20) << "U+" << std::hex << int(ch);
    EXPECT_EQ(alphabet.ConvertToUnicode(char16_t(0x80)), 0x80);
    EXPECT_EQ(alphabet.ConvertToUnicode(char16_t(0xFFFF)), 0xFFFF);
}

TEST(CharacterSet, ModifiedAlphabetAndCodePage437Characters)
{
    const CCharacterSetDefaultModified modified;
    const CCharacterSetPCCP437 codePage;
    enum Way { ToDevice, FromDevice, BothWays };
    const struct { const char* name; const CCharacterSet& set; Way way; char16_t unicode, device; } cases[] = {
        {"at sign", modified, BothWays, u'@', 0x10}, {"euro sign", modified, BothWays, u'€', 0x12},
        {"o grave skips the 0x08 row", modified, ToDevice, u'ò', 0x6F},
        {"0x08 still decodes", modified, FromDevice, u'ò', 0x08}, {"e acute", modified, ToDevice, u'é', 0x05},
        {"e circumflex", modified, ToDevice, u'ê', 0x65}, {"open bracket", modified, ToDevice, u'[', 0x28},
        {"close brace", modified, ToDevice, u'}', 0x29}, {"approximations are one way", modified, FromDevice, 0x28, 0x28},
        {"backslash", modified, ToDevice, u'\\', 0x20}, {"caret passes", modified, ToDevice, u'^', 0x5E},
        {"tab passes", modified, ToDevice, u'\t', 0x09}, {"y diaeresis has no row", modified, ToDevice, u'ÿ', 0x20},
        {"A grave", modified, ToDevice, u'À', 0x41}, {"thorn", modified, ToDevice, u'þ', 0x70},
        {"delta stays 0x10", modified, ToDevice, u'Δ', 0x10}, {"0x00 is at sign", modified, FromDevice, u'@', 0x00},
        {"0x14 is lambda", modified, FromDevice, u'Λ', 0x14},
        {"first marker row matches itself", modified, BothWays, 0xFFFF, 0xFFFF},
        {"second marker is no character", modified, ToDevice, 0xFFFE, 0x20},
        {"cp437 0x0D is currency sign", codePage, BothWays, u'¤', 0x0D},
        {"cp437 0x8D is I grave", codePage, BothWays, u'Ì', 0x8D},
        {"cp437 0x9F is U+0083", codePage, BothWays, 0x0083, 0x9F},
        {"cp437 0x80 C cedilla", codePage, BothWays, u'Ç', 0x80},
        {"cp437 0xFD superscript two", codePage, BothWays, u'²', 0xFD},
    };
    for (const auto& c : cases) {
        if (c.way != FromDevice) {
            EXPECT_EQ(c.set.ConvertFromUnicode(c.unicode), c.device) << c.name;
        }
        if (c.way != ToDevice) {
            EXPECT_EQ(c.set.ConvertToUnicode(c.device), c.unicode) << c.name;
        }
    }
}

TEST(CharacterSetPCCP437, UnmatchedCharactersPassBothWays)
{
    const CCharacterSetPCCP437 codePage;
    for (char16_t code : {char16_t(0x83), char16_t(0x93), char16_t(0xB0), char16_t(0x41), char16_t(0xFFFF)})
        EXPECT_EQ(codePage.ConvertToUnicode(code), code);
    for (char16_t ch : {char16_t(0x00E2), char16_t(0x0041), char16_t(0x20AC)})
        EXPECT_EQ(codePage.ConvertFromUnicode(ch), ch);
    // A carriage return has no row of its own: it passes from Unicode, but
    // the device's 0x0D reads as the currency sign.
    EXPECT_EQ(codePage.ConvertFromUnicode(char16_t(0x0D)), 0x0D);
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

TEST(CharacterSetDefault, ExtensionTableBothWaysAndWhatAReaderMakesOfStrayEscapes)
{
    const CCharacterSetDefault gsm;
    const struct { QString text; QString codes; bool bothWays; } cases[] = {
        {u"€"_qs, u"\x1B\x65"_qs, true}, {u"["_qs, u"\x1B<"_qs, true}, {u"]"_qs, u"\x1B>"_qs, true},
        {u"{"_qs, u"\x1B("_qs, true}, {u"}"_qs, u"\x1B)"_qs, true}, {u"\\"_qs, u"\x1B/"_qs, true},
        {u"~"_qs, u"\x1B="_qs, true}, {u"^"_qs, u"\x1B\x14"_qs, true}, {u"|"_qs, u"\x1B@"_qs, true},
        {u"\f"_qs, u"\x1B\n"_qs, true},
        {u"Bank [card] @ 5€"_qs, u"Bank \x1B<card\x1B> \0 5\x1B\x65"_qs, true},
        // Escape before a code the table lacks: that code's own character.
        {u"A£"_qs, u"\x1B" u"A\x1B\x01"_qs, false},
        {u"a "_qs, u"a\x1B\x1B"_qs, false},  // escape to a table not defined yet
        {u"a "_qs, u"a\x1B"_qs, false},       // cut after the escape
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gsm.ConvertToUnicodeExtended(c.codes), c.text) << c.text.toStdString();
        if (c.bothWays) {
            EXPECT_EQ(gsm.ConvertFromUnicodeExtended(c.text), c.codes) << c.text.toStdString();
        }
    }
    // Short messages keep one code per character.
    EXPECT_EQ(gsm.ConvertFromUnicode(u"€[x]"_qs), u"  x "_qs);
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
