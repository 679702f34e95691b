#pragma once
// Run-time printf-style formatting. Our formats pass through the
// translation table before they are formatted, so they cannot be
// checked at compile time; this formatter takes typed arguments and
// never reads past them: a missing argument formats as nothing.
//
// Conversions: %d %i %u %x %X %o %c %s %S %p %f %e %g %%, with flags
// (- 0 + blank #), width and precision (numbers or *), and the length
// modifiers h l ll I64 z (ignored: the argument carries its own type).
// %s takes a QString (or a UTF-8 const char*); %c an integer code.

#include <QString>

#include <cstdint>
#include <initializer_list>

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Real, Text, Pointer };

    FormatArg(short v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(int v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(long v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(long long v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(unsigned short v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(unsigned v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(unsigned long v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(unsigned long long v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(char v) : m_kind(Kind::Signed), m_signed(static_cast<signed char>(v)) {}
    FormatArg(signed char v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(unsigned char v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(bool v) : m_kind(Kind::Signed), m_signed(v ? 1 : 0) {}
    FormatArg(double v) : m_kind(Kind::Real), m_real(v) {}
    FormatArg(QChar v) : m_kind(Kind::Unsigned), m_unsigned(v.unicode()) {}
    FormatArg(const QString& v) : m_kind(Kind::Text), m_text(v) {}
    FormatArg(const char* v) : m_kind(Kind::Text), m_text(QString::fromUtf8(v ? v : "(null)")) {}
    FormatArg(const char16_t* v) : m_kind(Kind::Text), m_text(v ? QString::fromUtf16(v) : QStringLiteral("(null)")) {}
    FormatArg(const void* v) : m_kind(Kind::Pointer), m_unsigned(reinterpret_cast<std::uintptr_t>(v)) {}

    Kind kind() const { return m_kind; }
    long long asSigned() const;
    unsigned long long asUnsigned() const;
    double asReal() const;
    QString asText() const;

private:
    Kind m_kind;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    double m_real = 0.0;
    QString m_text;
};

// Formats `format` with `args`; surplus arguments are ignored.
QString FormatText(const QString& format, std::initializer_list<FormatArg> args = {});

template <typename... Args>
QString Format(const QString& format, const Args&... args)
{
    return FormatText(format, {FormatArg(args)...});
}

template <typename... Args>
QString Format(const char* format, const Args&... args)
{
    return FormatText(QString::fromUtf8(format), {FormatArg(args)...});
}
