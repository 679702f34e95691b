#include "gsmcore/phonebook/DialNumberCheck.h"

#include "support/Format.h"
#include "support/TranslationTable.h"

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

}  // namespace

bool IsWritableNumber(const QString& number)
{
    bool first = true;
    for (const QChar c : number) {
        if (IsDroppedSeparator(c))
            continue;
        const bool plusFirst = first && c == QLatin1Char('+');
        if (!plusFirst && !IsDialCharacter(c))
            return false;
        first = false;
    }
    return true;
}

QString RefusedNumberMessage(const QString& number)
{
    return Format(Tr("The number %s cannot be stored: use only digits, + (first), *, #, p and w."), number);
}
