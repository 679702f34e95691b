#include "gsmcore/phonebook/DialNumberCheck.h"

#include "support/Format.h"
#include "support/StringHelpers.h"
#include "support/TranslationTable.h"

#include <algorithm>

namespace {

bool IsDroppedSeparator(QChar c)
{
    return c.isSpace() || c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('(')
           || c == QLatin1Char(')') || c == QLatin1Char('/');
}

bool IsDialCharacter(QChar c)
{
    static const QString dial = QStringLiteral("0123456789*#pPwW");
    return dial.contains(c);
}

// The position of the first character that refuses the number; -1 when
// there is none.
qsizetype FirstRefused(const QString& number)
{
    bool first = true;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        if (IsDroppedSeparator(c))
            continue;
        if (!(first && c == QLatin1Char('+')) && !IsDialCharacter(c))
            return i;
        first = false;
    }
    return -1;
}

bool OnlySeparators(const QString& number)
{
    return !number.isEmpty() && std::all_of(number.begin(), number.end(), IsDroppedSeparator);
}

}  // namespace

bool IsWritableNumber(const QString& number)
{
    return FirstRefused(number) < 0 && !OnlySeparators(number);
}

QString RefusedNumberMessage(const QString& number)
{
    const qsizetype at = FirstRefused(number);
    if (at >= 0) {
        // A character outside the basic plane is named whole.
        const bool pair = number[at].isHighSurrogate() && at + 1 < number.size() && number[at + 1].isLowSurrogate();
        return Format(Tr("The number %s cannot be stored: it holds \"%s\". Use only digits, + (first), *, #, p and w."),
                      number, number.mid(at, pair ? 2 : 1));
    }
    if (OnlySeparators(number))
        return Format(Tr("The number %s cannot be stored: it holds nothing but separators."), number);
    return QString();
}

QString FilterNumber(const QString& number)
{
    QString filtered;
    filtered.reserve(number.size());
    for (const QChar c : number) {
        if (c == QLatin1Char('P') || c == QLatin1Char('W'))
            filtered += c.toLower();
        else if (!IsDroppedSeparator(c))
            filtered += c;
    }
    return filtered;
}

int GetNumberType(const QString& number)
{
    return TrimText(number).startsWith(QLatin1Char('+')) ? 145 : 129;
}
