#include "support/Format.h"

#include <cmath>
#include <cstdio>

long long FormatArg::asSigned() const
{
    switch (m_kind) {
    case Kind::Signed: return m_signed;
    case Kind::Unsigned:
    case Kind::Pointer: return static_cast<long long>(m_unsigned);
    case Kind::Real: return std::isfinite(m_real) ? static_cast<long long>(m_real) : 0;
    case Kind::Text: return 0;
    }
    return 0;
}

unsigned long long FormatArg::asUnsigned() const
{
    switch (m_kind) {
    case Kind::Signed: return static_cast<unsigned long long>(m_signed);
    case Kind::Unsigned:
    case Kind::Pointer: return m_unsigned;
    case Kind::Real: return std::isfinite(m_real) && m_real >= 0 ? static_cast<unsigned long long>(m_real) : 0;
    case Kind::Text: return 0;
    }
    return 0;
}

double FormatArg::asReal() const
{
    switch (m_kind) {
    case Kind::Signed: return static_cast<double>(m_signed);
    case Kind::Unsigned:
    case Kind::Pointer: return static_cast<double>(m_unsigned);
    case Kind::Real: return m_real;
    case Kind::Text: return 0.0;
    }
    return 0.0;
}

QString FormatArg::asText() const
{
    switch (m_kind) {
    case Kind::Text: return m_text;
    case Kind::Signed: return QString::number(m_signed);
    case Kind::Unsigned: return QString::number(m_unsigned);
    case Kind::Real: return QString::number(m_real);
    case Kind::Pointer: return QString::number(m_unsigned, 16);
    }
    return QString();
}

namespace {

struct Conversion {
    bool left = false, zero = false, plus = false, blank = false, alt = false;
    int width = 0;
    int precision = -1;
};

QString Pad(QString body, const Conversion& conv, bool numeric)
{
    const int missing = conv.width - int(body.size());
    if (missing <= 0)
        return body;
    if (conv.left)
        return body + QString(missing, QLatin1Char(' '));
    if (conv.zero && numeric) {
        // Zeros go after a sign or a 0x prefix.
        int at = 0;
        if (!body.isEmpty() && (body[0] == QLatin1Char('-') || body[0] == QLatin1Char('+') || body[0] == QLatin1Char(' ')))
            at = 1;
        if (body.mid(at, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0)
            at += 2;
        return body.left(at) + QString(missing, QLatin1Char('0')) + body.mid(at);
    }
    return QString(missing, QLatin1Char(' ')) + body;
}

QString Integer(unsigned long long magnitude, bool negative, int base, bool upper, const Conversion& conv, bool isSigned)
{
    QString digits = QString::number(magnitude, base);
    if (upper)
        digits = digits.toUpper();
    if (conv.precision >= 0) {
        if (conv.precision == 0 && magnitude == 0)
            digits.clear();
        else if (digits.size() < conv.precision)
            digits.prepend(QString(conv.precision - digits.size(), QLatin1Char('0')));
    }
    QString prefix;
    if (isSigned) {
        if (negative)
            prefix = QStringLiteral("-");
        else if (conv.plus)
            prefix = QStringLiteral("+");
        else if (conv.blank)
            prefix = QStringLiteral(" ");
    }
    if (conv.alt && magnitude != 0) {
        if (base == 16)
            prefix += upper ? QStringLiteral("0X") : QStringLiteral("0x");
        else if (base == 8 && !digits.startsWith(QLatin1Char('0')))
            prefix += QStringLiteral("0");
    }
    Conversion padConv = conv;
    if (conv.precision >= 0)
        padConv.zero = false;  // as printf: a precision turns the 0 flag off
    return Pad(prefix + digits, padConv, true);
}

QString Real(double value, char conversion, const Conversion& conv)
{
    // printf itself does the work for floating point; the format is ours.
    char fmt[32];
    int n = 0;
    fmt[n++] = '%';
    if (conv.left) fmt[n++] = '-';
    if (conv.zero) fmt[n++] = '0';
    if (conv.plus) fmt[n++] = '+';
    if (conv.blank) fmt[n++] = ' ';
    if (conv.alt) fmt[n++] = '#';
    fmt[n++] = '*';
    fmt[n++] = '.';
    fmt[n++] = '*';
    fmt[n++] = conversion;
    fmt[n] = 0;
    char out[512];
    const int width = qBound(0, conv.width, 200);
    const int precision = conv.precision < 0 ? 6 : qBound(0, conv.precision, 100);
    std::snprintf(out, sizeof out, fmt, width, precision, value);
    return QString::fromLatin1(out);
}

}  // namespace

QString FormatText(const QString& format, std::initializer_list<FormatArg> args)
{
    QString out;
    out.reserve(format.size() + 16);
    const FormatArg* next = args.begin();
    const FormatArg* end = args.end();
    auto take = [&]() -> const FormatArg* { return next != end ? next++ : nullptr; };

    const int n = int(format.size());
    int i = 0;
    while (i < n) {
        const QChar c = format[i];
        if (c != QLatin1Char('%')) {
            const int start = i;
            while (i < n && format[i] != QLatin1Char('%'))
                ++i;
            out += QStringView(format).mid(start, i - start);
            continue;
        }
        const int convStart = i++;
        if (i < n && format[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        Conversion conv;
        for (; i < n; ++i) {
            const QChar f = format[i];
            if (f == QLatin1Char('-')) conv.left = true;
            else if (f == QLatin1Char('0')) conv.zero = true;
            else if (f == QLatin1Char('+')) conv.plus = true;
            else if (f == QLatin1Char(' ')) conv.blank = true;
            else if (f == QLatin1Char('#')) conv.alt = true;
            else break;
        }
        if (i < n && format[i] == QLatin1Char('*')) {
            const FormatArg* a = take();
            long long w = a ? a->asSigned() : 0;
            if (w < 0) { conv.left = true; w = -w; }
            conv.width = int(qMin<long long>(w, 1000));
            ++i;
        } else {
            while (i < n && format[i].isDigit()) {
                conv.width = qMin(conv.width * 10 + format[i].digitValue(), 1000);
                ++i;
            }
        }
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            conv.precision = 0;
            if (i < n && format[i] == QLatin1Char('*')) {
                const FormatArg* a = take();
                const long long p = a ? a->asSigned() : 0;
                conv.precision = p < 0 ? -1 : int(qMin<long long>(p, 1000));
                ++i;
            } else {
                while (i < n && format[i].isDigit()) {
                    conv.precision = qMin(conv.precision * 10 + format[i].digitValue(), 1000);
                    ++i;
                }
            }
        }
        // Length modifiers: the argument knows its own size.
        while (i < n) {
            const QChar m = format[i];
            if (m == QLatin1Char('h') || m == QLatin1Char('l') || m == QLatin1Char('z') || m == QLatin1Char('j')
                || m == QLatin1Char('t') || m == QLatin1Char('L') || m == QLatin1Char('q')) {
                ++i;
            } else if (m == QLatin1Char('I') && QStringView(format).mid(i, 3) == QLatin1String("I64")) {
                i += 3;
            } else {
                break;
            }
        }
        if (i >= n) {
            out += QStringView(format).mid(convStart);  // a lone % at the end stays
            break;
        }
        const char conversion = char(format[i].toLatin1());
        ++i;
        switch (conversion) {
        case 'd':
        case 'i': {
            const FormatArg* a = take();
            if (!a) break;
            if (a->kind() == FormatArg::Kind::Unsigned || a->kind() == FormatArg::Kind::Pointer) {
                // An unsigned value printed with %d reads as the signed number of its bits.
                const long long v = static_cast<long long>(a->asUnsigned());
                const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
                out += Integer(mag, v < 0, 10, false, conv, true);
            } else {
                const long long v = a->asSigned();
                const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
                out += Integer(mag, v < 0, 10, false, conv, true);
            }
            break;
        }
        case 'u':
        case 'x':
        case 'X':
        case 'o': {
            const FormatArg* a = take();
            if (!a) break;
            unsigned long long v = a->asUnsigned();
            // A negative int shows as its 32-bit pattern, as with printf.
            if (a->kind() == FormatArg::Kind::Signed && a->asSigned() < 0 && a->asSigned() >= INT32_MIN)
                v &= 0xFFFFFFFFULL;
            const int base = conversion == 'u' ? 10 : conversion == 'o' ? 8 : 16;
            out += Integer(v, false, base, conversion == 'X', conv, false);
            break;
        }
        case 'p': {
            const FormatArg* a = take();
            if (!a) break;
            Conversion s = conv;
            s.precision = 8;
            out += Integer(a->asUnsigned(), false, 16, true, s, false);
            break;
        }
        case 'c':
        case 'C': {
            const FormatArg* a = take();
            if (!a) break;
            const unsigned long long code = a->kind() == FormatArg::Kind::Text
                ? (a->asText().isEmpty() ? 0 : a->asText()[0].unicode())
                : (a->asUnsigned() & 0xFFFF);
            out += Pad(QString(QChar(char16_t(code))), conv, false);
            break;
        }
        case 's':
        case 'S': {
            const FormatArg* a = take();
            if (!a) break;
            QString text = a->asText();
            if (conv.precision >= 0 && text.size() > conv.precision)
                text.truncate(conv.precision);
            out += Pad(text, conv, false);
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            const FormatArg* a = take();
            if (!a) break;
            out += Real(a->asReal(), conversion, conv);
            break;
        }
        default:
            // Unknown conversion: keep the text as written.
            out += QStringView(format).mid(convStart, i - convStart);
            break;
        }
    }
    return out;
}
