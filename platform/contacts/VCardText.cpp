#include "platform/contacts/VCardText.h"

QString EscapeVCardText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case ',': out += QLatin1String("\\,"); break;
        case ';': out += QLatin1String("\\;"); break;
        case '\r':
            // CR LF is one line break; a lone CR as well.
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
            break;
        case '\n': out += QLatin1String("\\n"); break;
        default: out += c;
        }
    }
    return out;
}

QString UnescapeVCardText(const QString& escaped)
{
    if (!escaped.contains(QLatin1Char('\\')))
        return escaped;
    QString out;
    out.reserve(escaped.size());
    for (int i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c != QLatin1Char('\\') || i + 1 == escaped.size()) {
            out += c;
            continue;
        }
        const QChar next = escaped.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out += QLatin1Char('\n');
        else
            out += next;  // \\ \, \; and, leniently, any other escaped character
    }
    return out;
}

QStringList SplitEscapedVCardValue(const QString& escaped, QChar separator)
{
    QStringList pieces;
    int start = 0;
    for (int i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == separator) {
            pieces << escaped.mid(start, i - start);
            start = i + 1;
        }
    }
    pieces << escaped.mid(start);
    return pieces;
}

QStringList SplitVCardValue(const QString& escaped, QChar separator)
{
    QStringList pieces = SplitEscapedVCardValue(escaped, separator);
    for (QString& piece : pieces)
        piece = UnescapeVCardText(piece);
    return pieces;
}

QString JoinVCardValue(const QStringList& pieces, QChar separator)
{
    QString out;
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out += separator;
        out += EscapeVCardText(pieces.at(i));
    }
    return out;
}
