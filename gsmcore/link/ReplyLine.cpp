#include "gsmcore/link/ReplyLine.h"

#include <QStringList>

#include "support/StringHelpers.h"

bool SplitReplyLine(const QString& line, QString& key, QString& rest)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    key = line.left(colon);
    const qsizetype following = line.size() - colon - 1;
    rest = line.mid(colon + (following >= 2 ? 2 : 1));
    return true;
}

int ReplyNumber(const QString& field, int fallback)
{
    bool ok = false;
    const int value = TrimText(field).toInt(&ok);
    return ok ? value : fallback;
}

int RegistrationStatus(const QString& rest, int fallback)
{
    const QStringList fields = rest.split(QLatin1Char(','));
    const bool answer = fields.size() >= 2 && !fields[1].trimmed().startsWith(QLatin1Char('"'));
    return ReplyNumber(fields[answer ? 1 : 0], fallback);
}

bool SubmitReference(const QString& line, QString& reference)
{
    QString key;
    QString rest;
    if (!SplitReplyLine(line, key, rest) || key.compare(QLatin1String("+CMGS"), Qt::CaseInsensitive) != 0)
        return false;
    const QString trimmed = TrimText(rest);
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed[digits] >= u'0' && trimmed[digits] <= u'9')
        ++digits;
    reference = trimmed.left(digits);
    return !reference.isEmpty();
}
