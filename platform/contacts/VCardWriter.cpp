#include "platform/contacts/VCardWriter.h"

#include <algorithm>

namespace {

constexpr int FoldWidth = 75;

// Names are kept as they came, whatever characters they use, except those
// that would end the name early when read again.
QByteArray SafeName(const QString& name, bool isGroup = false)
{
    QByteArray out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u == 0x7F || u == ':' || u == ';' || u == '=' || u == ',' || u == '"' || (isGroup && u == '.'))
            continue;
        out += QString(c).toUtf8();
    }
    return out;
}

bool NeedsQuotes(const QString& value)
{
    return value.contains(QLatin1Char(':')) || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char(','));
}

QByteArray ParameterText(const VCardParameter& p)
{
    QByteArray out = SafeName(p.name);
    out += '=';
    for (int i = 0; i < p.values.size(); ++i) {
        QString v = p.values.at(i);
        v.remove(QLatin1Char('"'));  // a quote cannot appear inside a parameter value
        if (i > 0)
            out += ',';
        if (NeedsQuotes(v))
            out += '"' + v.toUtf8() + '"';
        else
            out += v.toUtf8();
    }
    return out;
}

bool IsTransferEncoding(const VCardParameter& p)
{
    return p.name == QLatin1String("ENCODING") && p.values.size() == 1 &&
           (p.values.front().compare(QLatin1String("8BIT"), Qt::CaseInsensitive) == 0 ||
            p.values.front().compare(QLatin1String("7BIT"), Qt::CaseInsensitive) == 0 ||
            p.values.front().compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) == 0);
}

// 2.1 has no backslash escapes but "\;" inside structured values; line
// breaks travel quoted-printable.
QByteArray Version21Value(const QString& escaped)
{
    QString out;
    for (int i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c != QLatin1Char('\\') || i + 1 == escaped.size()) {
            out += c;
            continue;
        }
        const QChar next = escaped.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out += QLatin1String("\r\n");
        else if (next == QLatin1Char(';'))
            out += QLatin1String("\\;");
        else
            out += next;
    }
    return out.toUtf8();
}

QByteArray EncodeQuotedPrintable(const QByteArray& value, qsizetype firstLineUsed, const QByteArray& lineEnd)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    qsizetype width = firstLineUsed;
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        QByteArray piece;
        if (u >= 0x21 && u <= 0x7E && u != '=')
            piece = QByteArray(1, c);
        else if (u == ' ')
            piece = " ";
        else
            piece = QByteArray{"="} + hex[u >> 4] + hex[u & 15];
        if (width + piece.size() > 75) {
            out += "=" + lineEnd;  // soft line break
            width = 0;
        }
        out += piece;
        width += piece.size();
    }
    return out;
}

QByteArray PropertyLine(const VCardProperty& p, bool version21, const QByteArray& lineEnd)
{
    QByteArray line;
    const QByteArray group = SafeName(p.group, true);
    if (!group.isEmpty())
        line += group + '.';
    line += SafeName(p.name);
    bool base64 = false;
    for (const VCardParameter& param : p.params) {
        if (param.values.isEmpty() || SafeName(param.name).isEmpty() || IsTransferEncoding(param))
            continue;
        base64 = base64 || param.name == QLatin1String("ENCODING");
        if (version21 && param.name == QLatin1String("TYPE")) {
            for (const QString& type : param.values)
                line += ';' + SafeName(type);  // 2.1 writes types bare
            continue;
        }
        line += ';' + ParameterText(param);
    }
    if (!version21) {
        QByteArray value = p.value.toUtf8();
        // A raw line break inside a value would end the line; escape it.
        value.replace("\r\n", "\\n").replace('\n', "\\n").replace('\r', "\\n");
        return FoldVCardLine(line + ':' + value, lineEnd);
    }
    const QByteArray value = Version21Value(p.value);
    const bool plain = base64 || std::all_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (plain)
        return line + ':' + value + lineEnd;
    line += ";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
    return line + EncodeQuotedPrintable(value, line.size(), lineEnd) + lineEnd;
}

}  // namespace

QByteArray FoldVCardLine(const QByteArray& line, const QByteArray& lineEnd)
{
    QByteArray out;
    out.reserve(line.size() + line.size() / FoldWidth * 3 + 2);
    qsizetype pos = 0;
    int width = FoldWidth;
    while (line.size() - pos > width) {
        qsizetype cut = pos + width;
        // Step back over UTF-8 continuation bytes so a character stays whole.
        while (cut > pos + 1 && (static_cast<unsigned char>(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += line.mid(pos, cut - pos);
        out += lineEnd + ' ';
        pos = cut;
        width = FoldWidth - 1;  // the leading blank counts
    }
    out += line.mid(pos);
    out += lineEnd;
    return out;
}

QByteArray WriteVCard(const VCard& card)
{
    const bool version21 = card.version.startsWith(QLatin1String("2."));
    const QByteArray version = version21 ? card.version.toLatin1()
                               : card.version == QLatin1String("4.0") ? QByteArray("4.0")
                                                                       : QByteArray("3.0");
    const QByteArray& eol = card.lineEnd;
    QByteArray out = card.rawBegin.isEmpty() ? "BEGIN:VCARD" + eol : card.rawBegin;
    const bool versionAsRead = !card.rawVersion.isEmpty() && card.rawVersion.contains(':' + version);
    out += versionAsRead ? card.rawVersion : "VERSION:" + version + eol;
    for (const VCardProperty& p : card.properties) {
        if (p.IsUnchanged()) {
            out += p.raw;
            continue;
        }
        // The frame is ours to write; a property can never open or close a card.
        const QByteArray upper = SafeName(p.name).toUpper();
        if (upper.isEmpty() || upper == "BEGIN" || upper == "END" || upper == "VERSION")
            continue;
        out += PropertyLine(p, version21, eol);
    }
    if (!card.rawEnd.isEmpty() && out.endsWith('\n'))
        out += card.rawEnd;
    else
        out += (out.endsWith('\n') ? QByteArray() : eol) + "END:VCARD" + eol;
    // A card read from a file without a final line end still ends with
    // one: the next card of an export must not run into it.
    if (!out.endsWith('\n'))
        out += eol;
    return out;
}
