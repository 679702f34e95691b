#include "tools/modemsim/AlphaText.h"

#include "gsmcore/charset/CharacterSetDefault.h"

namespace {

QString GsmBytes(const QByteArray& bytes)
{
    QString codes;
    for (const char byte : bytes)
        codes += QChar(char16_t(quint8(byte)));
    return codes;
}

QByteArray BytesOf(const QString& codes)
{
    QByteArray bytes;
    for (const QChar code : codes)
        bytes += char(code.unicode());
    return bytes;
}

bool IsUcs2Field(const QByteArray& field)
{
    return field.startsWith(kUcs2AlphaCoding);
}

}  // namespace

QByteArray AlphaFromText(const QString& text)
{
    bool gsm = true;
    for (const QChar ch : text)
        gsm = gsm && CCharacterSetDefault::HasCode(ch.unicode());
    if (gsm)
        return BytesOf(CCharacterSetDefault().ConvertFromUnicodeExtended(text));
    QByteArray field(1, kUcs2AlphaCoding);
    for (const QChar ch : text) {
        field += char(ch.unicode() >> 8);
        field += char(ch.unicode() & 0xFF);
    }
    return field;
}

QString AlphaToText(const QByteArray& field)
{
    if (!IsUcs2Field(field))
        return CCharacterSetDefault().ConvertToUnicodeExtended(GsmBytes(field));
    QString text;
    for (qsizetype i = 1; i + 1 < field.size(); i += 2)
        text += QChar(char16_t(quint8(field[i]) << 8 | quint8(field[i + 1])));
    return text;
}

QByteArray AlphaToGsm(const QByteArray& field)
{
    if (!IsUcs2Field(field))
        return field;
    QString text = AlphaToText(field);
    for (QChar& ch : text) {
        if (!CCharacterSetDefault::HasCode(ch.unicode()))
            ch = QLatin1Char('?');
    }
    return BytesOf(CCharacterSetDefault().ConvertFromUnicodeExtended(text));
}
