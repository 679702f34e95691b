#include "gsmcore/charset/CharacterSetDefault.h"

#include "gsmcore/charset/CharacterSetCodeIndex.h"
#include "gsmcore/charset/CharacterSetDefaultRows.h"

#include <array>

namespace {

constexpr char16_t kEscape = 0x1B;

// The extension table: the code that follows the escape.
constexpr std::array<CharacterSetCodePair, 10> kExtensionRows{{
    {0x0A, 0x000C}, {0x14, 0x005E}, {0x28, 0x007B}, {0x29, 0x007D}, {0x2F, 0x005C},
    {0x3C, 0x005B}, {0x3D, 0x007E}, {0x3E, 0x005D}, {0x40, 0x007C}, {0x65, 0x20AC},
}};

const CCharacterSetCodeIndex& DefaultIndex()
{
    static const CCharacterSetCodeIndex index(kDefaultAlphabetRows);
    return index;
}

const CCharacterSetCodeIndex& ExtensionIndex()
{
    static const CCharacterSetCodeIndex index(kExtensionRows);
    return index;
}

// The printable ASCII range the GSM alphabet shares with Unicode, less
// the codes that the rows give another meaning ($ and @).
bool SharedWithAscii(char16_t ch)
{
    return (ch >= 0x20 && ch <= 0x23) || (ch >= 0x25 && ch <= 0x3F) || (ch >= 0x41 && ch <= 0x5A)
        || (ch >= 0x61 && ch <= 0x7A);
}

} // namespace

char16_t CCharacterSetDefault::Convert(char16_t ch, bool toUnicode) const
{
    char16_t result = 0;
    if (toUnicode)
        return DefaultIndex().FindByDevice(ch, result) ? result : ch;
    if (DefaultIndex().FindByUnicode(ch, result))
        return result;
    // Anything the device could not show becomes a blank.
    return SharedWithAscii(ch) ? ch : u' ';
}

int CCharacterSetDefault::CodeCount(char16_t ch)
{
    char16_t code = 0;
    if (ch == kEscape)
        return 0;  // it stands for the extension table, never for itself
    if (SharedWithAscii(ch) || DefaultIndex().FindByUnicode(ch, code))
        return 1;
    return ExtensionIndex().FindByUnicode(ch, code) ? 2 : 0;
}

bool CCharacterSetDefault::HasCode(char16_t ch)
{
    return CodeCount(ch) > 0;
}

QString CCharacterSetDefault::ConvertFromUnicodeExtended(const QString& text) const
{
    QString codes;
    codes.reserve(text.size());
    for (const QChar ch : text) {
        char16_t code = 0;
        if (ch.unicode() != kEscape && ExtensionIndex().FindByUnicode(ch.unicode(), code)) {
            codes += QChar(kEscape);
            codes += QChar(code);
        } else {
            codes += QChar(Convert(ch.unicode(), false));
        }
    }
    return codes;
}

QString CCharacterSetDefault::ConvertToUnicodeExtended(const QString& codes) const
{
    QString text;
    text.reserve(codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const char16_t code = codes[i].unicode();
        if (code != kEscape) {
            text += QChar(Convert(code, true));
            continue;
        }
        const char16_t next = i + 1 < codes.size() ? codes[i + 1].unicode() : kEscape;
        char16_t extended = 0;
        if (next == kEscape)
            text += QLatin1Char(' ');
        else
            text += QChar(ExtensionIndex().FindByDevice(next, extended) ? extended : Convert(next, true));
        if (i + 1 < codes.size())
            ++i;
    }
    return text;
}
