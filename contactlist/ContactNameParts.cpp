#include "contactlist/ContactNameParts.h"

#include <QStringList>

namespace {

QStringList Words(const QString& line)
{
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words)
        word = word.trimmed();
    words.removeAll(QString());
    return words;
}

}  // namespace

ContactNameParts ContactNameParts::Split(const QString& line)
{
    const QStringList words = Words(line);
    ContactNameParts name;
    auto& p = name.parts;
    switch (words.size()) {
    case 0: break;
    case 1: p[First] = words[0]; break;
    case 2: p[First] = words[0]; p[Last] = words[1]; break;
    case 3: p[First] = words[0]; p[Middle] = words[1]; p[Last] = words[2]; break;
    default:
        p[Title] = words[0];
        p[First] = words[1];
        p[Middle] = words[2];
        p[Last] = words[3];
        p[Suffix] = words.mid(4).join(QLatin1Char(' '));
        break;
    }
    return name;
}

ContactNameParts ContactNameParts::Resplit(const QString& line, const ContactNameParts& held)
{
    const QStringList words = Words(line);
    int filled = 0;
    for (const QString& part : held.parts)
        filled += part.isEmpty() ? 0 : 1;
    if (words.size() != filled)
        return Split(line);
    ContactNameParts name = held;
    int next = 0;
    for (QString& part : name.parts) {
        if (!part.isEmpty())
            part = words[next++];
    }
    return name;
}

QString ContactNameParts::Join() const
{
    QStringList kept;
    for (const QString& part : parts) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    return kept.join(QLatin1Char(' ')).simplified();
}

bool ContactNameParts::HasNoName() const
{
    return parts[Title].isEmpty() && parts[First].isEmpty() && parts[Middle].isEmpty() && parts[Last].isEmpty();
}

void SplitEntryName(const QString& name, QString& first, QString& last)
{
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        first = name;
        last.clear();
        return;
    }
    first = name.left(blank);
    while (!first.isEmpty() && first.back().isSpace())
        first.chop(1);
    last = name.mid(blank + 1);
    while (!last.isEmpty() && last.front().isSpace())
        last.remove(0, 1);
}
