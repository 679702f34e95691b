#include "gsmcore/charset/Ucs2Hex.h"

QString ToUcs2Hex(const QString& text)
{
    QString hex;
    hex.reserve(text.size() * 4);
    for (const QChar ch : text)
        hex += QString::number(ch.unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper();
    return hex;
}

std::optional<QString> FromUcs2Hex(const QString& hex)
{
    if (hex.size() % 4 != 0)
        return std::nullopt;
    QString text;
    text.reserve(hex.size() / 4);
    for (qsizetype i = 0; i < hex.size(); i += 4) {
        char16_t unit = 0;
        for (const QChar digit : QStringView(hex).mid(i, 4)) {
            // A sign or a blank would pass a number parser; a group is digits only.
            const int value = digit.unicode() >= u'0' && digit.unicode() <= u'9' ? digit.unicode() - u'0'
                              : digit.unicode() >= u'a' && digit.unicode() <= u'f' ? digit.unicode() - u'a' + 10
                              : digit.unicode() >= u'A' && digit.unicode() <= u'F' ? digit.unicode() - u'A' + 10
                                                                                 : -1;
            if (value < 0)
                return std::nullopt;
            unit = char16_t(unit * 16 + value);
        }
        text += QChar(unit);
    }
    return text;
}
