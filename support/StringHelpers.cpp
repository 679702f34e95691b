#include "support/StringHelpers.h"

QStringList SplitAt(const QString& text, QChar separator)
{
    QStringList pieces = text.split(separator);
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

QStringList SplitLines(const QString& text)
{
    return SplitAt(text, QLatin1Char('\n'));
}

QString TrimText(const QString& text)
{
    auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    };
    qsizetype first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

QString TextBetween(const QString& text, QChar c)
{
    const qsizetype first = text.indexOf(c);
    const qsizetype last = text.lastIndexOf(c);
    if (first < 0 || last <= first)
        return QString();
    return text.mid(first + 1, last - first - 1);
}

QString JoinLines(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n'));
}

long long ReadDecimal(const QString& text)
{
    long long value = 0;
    for (QChar c : text) {
        const int digit = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
        if (value > (LLONG_MAX - digit) / 10)
            return value;  // saturate rather than overflow
        value = value * 10 + digit;
    }
    return value;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
