#include "gsmcore/phonebook/PhoneBookReplies.h"

#include "support/StringHelpers.h"

#include <climits>

int LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        value = qMin<long long>(value * 10 + (text[i].unicode() - '0'), INT_MAX);
        ++i;
    }
    return int(negative ? -value : value);
}

PhoneBookLimits ParsePhoneBookLimits(const QString& answer)
{
    PhoneBookLimits limits;
    const qsizetype open = answer.indexOf(QLatin1Char('('));
    const qsizetype dash = answer.indexOf(QLatin1Char('-'));
    const qsizetype close = answer.indexOf(QLatin1Char(')'));
    if (open >= 0 && dash > open && close > dash) {
        limits.first = LeadingNumber(answer.mid(open + 1, dash - open - 1));
        limits.last = LeadingNumber(answer.mid(dash + 1, close - dash - 1));
        limits.rangeRead = true;
    }
    const QStringList pieces = SplitAt(answer, QLatin1Char(','));
    if (pieces.size() == 3) {
        limits.maxNumber = LeadingNumber(pieces[1]);
        limits.maxName = LeadingNumber(pieces[2]);
        limits.sizesRead = true;
    }
    return limits;
}

QStringList SplitOutsideQuotes(const QString& text)
{
    QStringList pieces;
    QString piece;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            pieces << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

QString Unquote(const QString& piece)
{
    const qsizetype first = piece.indexOf(QLatin1Char('"'));
    const qsizetype last = piece.lastIndexOf(QLatin1Char('"'));
    if (first < 0 || last <= first)
        return piece;
    return piece.mid(first + 1, last - first - 1);
}

bool ParsePhoneBookLine(const QString& line, PhoneBookLine& entry)
{
    if (line.left(6).compare(QLatin1String("+CPBR:"), Qt::CaseInsensitive) != 0)
        return false;
    const QStringList pieces = SplitOutsideQuotes(line.mid(6));
    if (pieces.size() < 4)
        return false;
    entry.location = LeadingNumber(pieces[0]);
    entry.number = Unquote(pieces[1]);
    entry.type = LeadingNumber(pieces[2]);
    entry.rawName = Unquote(pieces[3]);
    if (entry.type == 145 && !entry.number.isEmpty() && !entry.number.startsWith(QLatin1Char('+')))
        entry.number.prepend(QLatin1Char('+'));
    return true;
}

QStringList ParseStorageList(const QString& answer)
{
    QString list = answer.mid(1);
    const qsizetype close = list.indexOf(QLatin1Char(')'));
    list = close >= 0 ? list.left(close) : QString();
    QStringList names;
    for (const QString& piece : SplitAt(list, QLatin1Char(',')))
        names << Unquote(piece);
    return names;
}

bool IsWritableName(const QString& name)
{
    return !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('"'));
}
