#include "gsmcore/link/ReplyLine.h"

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
