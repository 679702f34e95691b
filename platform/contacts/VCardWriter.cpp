#include "platform/contacts/VCardWriter.h"

namespace {

constexpr int FoldWidth = 75;

// Names (of groups, properties and parameters) are letters, digits and
// '-'; anything else a broken file brought along would end the name early
// when read again.
QByteArray CleanName(const QString& name)
{
    QByteArray out;
    for (const QChar c : name)
        if (c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('-')))
            out += char(c.unicode());
    return out;
}

bool NeedsQuotes(const QString& value)
{
    return value.contains(QLatin1Char(':')) || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char(','));
}

QByteArray ParameterText(const VCardParameter& p, bool fromVersion21)
{
    QByteArray out = CleanName(p.name);
    out += '=';
    for (int i = 0; i < p.values.size(); ++i) {
        QString v = p.values.at(i);
        if (fromVersion21 && p.name == QLatin1String("ENCODING") && v.compare(QLatin1String("BASE64"), Qt::CaseInsensitive) == 0)
            v = QStringLiteral("b");
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

}  // namespace

QByteArray FoldVCardLine(const QByteArray& line)
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
        out += "\r\n ";
        pos = cut;
        width = FoldWidth - 1;  // the leading blank counts
    }
    out += line.mid(pos);
    out += "\r\n";
    return out;
}

QByteArray WriteVCard(const VCard& card)
{
    const bool fromVersion21 = card.version.startsWith(QLatin1String("2."));
    const QByteArray version = (card.version == QLatin1String("4.0")) ? QByteArray("4.0") : QByteArray("3.0");
    QByteArray out = "BEGIN:VCARD\r\nVERSION:" + version + "\r\n";
    for (const VCardProperty& p : card.properties) {
        QByteArray line;
        const QByteArray name = CleanName(p.name);
        // The frame is ours to write; a property can never open or close a card.
        const QByteArray upper = name.toUpper();
        if (name.isEmpty() || upper == "BEGIN" || upper == "END" || upper == "VERSION")
            continue;
        const QByteArray group = CleanName(p.group);
        if (!group.isEmpty())
            line += group + '.';
        line += name;
        // 2.1's bare types (TEL;CELL;PREF) arrive as one TYPE each; they
        // are written as one list, as 3.0 readers expect.
        VCardParameter mergedTypes{QStringLiteral("TYPE"), {}};
        for (const VCardParameter& param : p.params) {
            if (param.values.isEmpty() || CleanName(param.name).isEmpty())
                continue;
            if (fromVersion21 && param.name == QLatin1String("TYPE")) {
                mergedTypes.values << param.values;
                continue;
            }
            line += ';';
            line += ParameterText(param, fromVersion21);
        }
        if (!mergedTypes.values.isEmpty())
            line += ';' + ParameterText(mergedTypes, fromVersion21);
        line += ':';
        QByteArray value = p.value.toUtf8();
        // A raw line break inside a value would end the line; escape it.
        value.replace("\r\n", "\\n").replace('\n', "\\n").replace('\r', "\\n");
        line += value;
        out += FoldVCardLine(line);
    }
    out += "END:VCARD\r\n";
    return out;
}
