#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/charset/CharacterSetPCCP437.h"

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

} // namespace
