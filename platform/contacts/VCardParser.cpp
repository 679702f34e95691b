#include "platform/contacts/VCardParser.h"

#include "support/StringHelpers.h"

#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>
#include <utility>

namespace {

// Without a copy in upper case: every line's header is looked at. `word`
// is in upper case and starts with a letter.
bool ContainsIgnoringCase(QByteArrayView text, QByteArrayView word)
{
    for (qsizetype i = 0; i + word.size() <= text.size(); ++i)
        if ((text.at(i) & ~0x20) == word.at(0) && qstrnicmp(text.constData() + i, word.size(), word.constData(), word.size()) == 0)
            return true;
    return false;
}

// A logical line as it is being joined, with what its name and parameters
// (the part before the first colon) say about quoted-printable. That is
// worked out from each appended piece alone: rescanning the whole line per
// piece would make a card of many short continuation lines quadratic.
struct JoinedLine {
    QByteArray text;
    bool headerEnded = false;
    bool quotedPrintable = false;
    bool base64 = false;

    void Append(QByteArrayView piece)
    {
        static constexpr QByteArrayView kQuotedPrintable = "QUOTED-PRINTABLE";
        static constexpr QByteArrayView kBase64 = "BASE64";
        const qsizetype from = text.size();
        text += piece;
        if (headerEnded)
            return;
        const qsizetype colon = text.indexOf(':', from);
        const qsizetype scanFrom = std::max<qsizetype>(0, from - (kQuotedPrintable.size() - 1));
        const qsizetype scanEnd = colon < 0 ? text.size() : colon;
        if (scanEnd > scanFrom && (!quotedPrintable || !base64)) {
            const QByteArrayView header(text.constData() + scanFrom, scanEnd - scanFrom);
            quotedPrintable = quotedPrintable || ContainsIgnoringCase(header, kQuotedPrintable);
            base64 = base64 || ContainsIgnoringCase(header, kBase64);
        }
        headerEnded = colon >= 0;
    }
};

// 2.1 phones write a base64 value (a PHOTO) as lines of base64 without the
// leading blank, up to an empty line: such a line continues the value.
bool IsBase64Line(QByteArrayView line)
{
    const QByteArrayView trimmed = line.trimmed();
    return !trimmed.isEmpty() && std::all_of(trimmed.begin(), trimmed.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' || c == '=';
    });
}

// A logical line and the bytes of the physical lines it was joined from.
struct LogicalLine {
    QByteArray text;
    qsizetype rawBegin = 0;
    qsizetype rawEnd = 0;
};

// Physical lines joined into logical ones: a line starting with a blank or
// a tab continues the one before; in a quoted-printable value a trailing
// '=' continues it as well (2.1 soft line break), and in a 2.1 base64
// value so does a line of base64.
std::vector<LogicalLine> UnfoldLines(const QByteArray& data, qsizetype pos)
{
    std::vector<LogicalLine> logical;
    JoinedLine current;
    qsizetype currentBegin = pos;
    bool started = false;
    while (pos < data.size()) {
        const qsizetype lineBegin = pos;
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArrayView line(data.constData() + pos, end - pos);
        pos = std::min(end + 1, data.size());
        if (line.endsWith('\r'))
            line.chop(1);
        if (started) {
            if (current.text.endsWith('=') && current.quotedPrintable) {
                current.text.chop(1);
                current.Append(line);
                continue;
            }
            if (!line.isEmpty() && (line.at(0) == ' ' || line.at(0) == '\t')) {
                current.Append(line.sliced(1));
                continue;
            }
            if (current.base64 && current.headerEnded && IsBase64Line(line)) {
                current.Append(line.trimmed());
                continue;
            }
            logical.push_back({std::move(current.text), currentBegin, lineBegin});
        }
        current = JoinedLine();
        current.Append(line);
        currentBegin = lineBegin;
        started = true;
    }
    if (started)
        logical.push_back({std::move(current.text), currentBegin, pos});
    return logical;
}

// Splits at `separator` outside double quotes.
// The pieces are views into `text`, which must outlive them.
using ViewPieces = QVarLengthArray<QByteArrayView, 8>;  // a property's parameters fit without an allocation
ViewPieces SplitOutsideQuotes(QByteArrayView text, char separator)
{
    ViewPieces pieces;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            pieces << text.sliced(start, i - start);
            start = i + 1;
        }
    }
    pieces << text.sliced(start);
    return pieces;
}

qsizetype ColonOutsideQuotes(const QByteArray& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

QString Unquote(QByteArrayView value)
{
    QByteArrayView v = value.trimmed();
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.sliced(1, v.size() - 2);
    return QString::fromUtf8(v);
}

VCardParameter ParseParameter(QByteArrayView token)
{
    VCardParameter p;
    const qsizetype eq = token.indexOf('=');
    if (eq < 0) {
        // 2.1 writes bare values: TEL;CELL;PREF or ;QUOTED-PRINTABLE.
        const QByteArray bare = token.trimmed().toByteArray().toUpper();
        if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "8BIT" || bare == "7BIT")
            p.name = QStringLiteral("ENCODING");
        else
            p.name = QStringLiteral("TYPE");
        p.values << QString::fromUtf8(token.trimmed());
        return p;
    }
    p.name = QString::fromUtf8(token.first(eq).trimmed()).toUpper();
    for (const QByteArrayView v : SplitOutsideQuotes(token.sliced(eq + 1), ','))
        p.values << Unquote(v);
    return p;
}

// Old phones wrote their own code page without saying so: what is not
// valid UTF-8 is read as Windows-1252 (Latin-1 with the printable 0x80-0x9F).
QString DecodeLegacyText(const QByteArray& octets)
{
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? windows1252.decode(octets) : QString::fromLatin1(octets);
}

QString DecodeText(const QByteArray& octets, const QString& charset)
{
    if (charset.isEmpty() || charset.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(octets);
        return utf8.hasError() ? DecodeLegacyText(octets) : text;
    }
    QStringDecoder decoder(charset.toLatin1().constData());
    if (!decoder.isValid())
        return DecodeLegacyText(octets);
    return decoder.decode(octets);
}

// Escapes the line breaks of a decoded 2.1 value so that the value reads
// as 3.0 text; nothing else of 2.1 needs escaping for our readers.
QString EscapeLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return text;
}

// What a list of contacts reads of a card, and the frame of the card.
bool IsListedProperty(QByteArrayView name)
{
    static constexpr QByteArrayView kListed[] = {"UID", "FN", "N", "ORG", "TEL", "EMAIL", "X-ABLABEL", "BEGIN", "END", "VERSION"};
    return std::any_of(std::begin(kListed), std::end(kListed),
                       [&](QByteArrayView listed) { return name.compare(listed, Qt::CaseInsensitive) == 0; });
}

struct PendingCard {
    VCard card;
    int depth = 0;
    bool broken = false;
    QString error;
};

}  // namespace

QByteArray DecodeQuotedPrintable(const QByteArray& encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded.at(i);
        if (c != '=') {
            out += c;
            continue;
        }
        if (i + 2 < encoded.size()) {
            const int hi = HexDigitValue(encoded.at(i + 1));
            const int lo = HexDigitValue(encoded.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        // "=\r\n" or "=\n" is a soft line break; a stray '=' is kept.
        if (i + 1 < encoded.size() && encoded.at(i + 1) == '\n') {
            i += 1;
            continue;
        }
        if (i + 2 < encoded.size() && encoded.at(i + 1) == '\r' && encoded.at(i + 2) == '\n') {
            i += 2;
            continue;
        }
        if (i + 1 == encoded.size())
            continue;
        out += c;
    }
    return out;
}

VCardParseResult ParseVCards(const QByteArray& data, VCardParseMode mode)
{
    const bool keepRaw = mode == VCardParseMode::Whole;
    VCardParseResult result;
    PendingCard pending;
    auto reject = [&](const QString& why) {
        ++result.rejected;
        if (result.firstError.isEmpty())
            result.firstError = why;
    };
    // Bytes that belong to the last property read: a nested card, blank lines.
    auto keepWithLastProperty = [&](const QByteArray& raw) {
        if (pending.card.properties.empty()) {
            VCardProperty opaque;  // no name: only ever written back as read
            opaque.rawFingerprint = opaque.Fingerprint();
            pending.card.properties.push_back(std::move(opaque));
        }
        pending.card.properties.back().raw += raw;
    };

    // Notepad and some exports put a UTF-8 byte order mark first; it is
    // not part of the first line.
    const qsizetype start = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    bool versionMayFollow = false;
    for (const LogicalLine& logical : UnfoldLines(data, start)) {
        const QByteArray& line = logical.text;
        const QByteArray raw = keepRaw ? data.mid(logical.rawBegin, logical.rawEnd - logical.rawBegin) : QByteArray();
        const bool followsBegin = std::exchange(versionMayFollow, false);
        if (line.trimmed().isEmpty()) {
            if (pending.depth > 0 && !pending.card.properties.empty())
                pending.card.properties.back().raw += raw;
            continue;
        }
        const qsizetype colon = ColonOutsideQuotes(line);
        if (colon < 0) {
            if (pending.depth > 0 && !pending.broken) {
                pending.broken = true;
                pending.error = QStringLiteral("line without a colon: ") + QString::fromUtf8(line.left(40));
            }
            continue;
        }
        const ViewPieces head = SplitOutsideQuotes(QByteArrayView(line).first(colon), ';');
        const QByteArrayView fullName = head.first().trimmed();
        const qsizetype dot = fullName.indexOf('.');
        const QByteArrayView bareName = dot < 0 ? fullName : fullName.sliced(dot + 1);
        // Decided on the bytes, before anything is decoded.
        if (!keepRaw && pending.depth == 1 && !IsListedProperty(bareName))
            continue;
        QByteArray rawValue = line.mid(colon + 1);
        const QString name = QString::fromUtf8(bareName).toUpper();

        if (name == QLatin1String("BEGIN") && rawValue.trimmed().toUpper() == "VCARD") {
            if (pending.depth++ == 0) {
                pending.card = VCard();
                pending.card.version = QStringLiteral("3.0");  // a card without VERSION reads as 3.0
                pending.card.rawBegin = raw;
                pending.card.lineEnd = raw.endsWith("\r\n") || !raw.endsWith('\n') ? QByteArray("\r\n") : QByteArray("\n");
                pending.broken = false;
                pending.error.clear();
                versionMayFollow = true;
            } else {
                keepWithLastProperty(raw);  // 2.1's AGENT holds a whole card
            }
            continue;
        }
        if (name == QLatin1String("END") && rawValue.trimmed().toUpper() == "VCARD") {
            if (pending.depth == 0)
                continue;
            if (--pending.depth == 0) {
                pending.card.rawEnd = raw;
                if (pending.broken)
                    reject(pending.error);
                else
                    result.cards.push_back(std::move(pending.card));
            } else {
                keepWithLastProperty(raw);
            }
            continue;
        }
        // Text between cards is ignored; a card nested in another stays
        // with the property it belongs to, untouched.
        if (pending.depth == 0)
            continue;
        if (pending.depth > 1) {
            keepWithLastProperty(raw);
            continue;
        }
        if (name == QLatin1String("VERSION")) {
            pending.card.version = QString::fromUtf8(rawValue.trimmed());
            if (followsBegin)
                pending.card.rawVersion = raw;
            continue;
        }
        if (name == QLatin1String("BEGIN") || name == QLatin1String("END")) {
            keepWithLastProperty(raw);  // a stray BEGIN:/END: of something else
            continue;
        }

        VCardProperty property;
        if (dot >= 0)
            property.group = QString::fromUtf8(fullName.first(dot));
        property.name = name;
        for (qsizetype i = 1; i < head.size(); ++i)
            if (!head.at(i).trimmed().isEmpty())
                property.params.push_back(ParseParameter(head.at(i)));

        const QStringList encoding = property.ParameterValues(QStringLiteral("ENCODING"));
        const bool quotedPrintable = encoding.contains(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive);
        const QStringList charset = property.ParameterValues(QStringLiteral("CHARSET"));
        if (quotedPrintable) {
            rawValue = DecodeQuotedPrintable(rawValue);
            property.RemoveParameter(QStringLiteral("ENCODING"));
        }
        QString value = DecodeText(rawValue, charset.isEmpty() ? QString() : charset.first());
        property.RemoveParameter(QStringLiteral("CHARSET"));  // the text is Unicode from here on
        if (quotedPrintable)
            value = EscapeLineBreaks(value);
        property.value = value;
        if (keepRaw) {
            property.raw = raw;
            property.rawFingerprint = property.Fingerprint();
        }
        pending.card.properties.push_back(std::move(property));
    }
    if (pending.depth > 0)
        reject(QStringLiteral("card without END:VCARD"));
    return result;
}
