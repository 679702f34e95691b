#pragma once
// Converters between the program's UTF-16 text and the codes a GSM device
// uses in AT command strings and text-mode messages: one 16-bit code per
// 16-bit character, in both directions, so a converted string always has
// the length of its source. A GSM code 0x00 ("@") is an ordinary unit
// inside the result, never an end marker.

#include <QChar>
#include <QString>

class CCharacterSet {
public:
    CCharacterSet() = default;
    // Converters hold no state: copying carries nothing.
    CCharacterSet(const CCharacterSet&) {}
    CCharacterSet& operator=(const CCharacterSet&) { return *this; }
    virtual ~CCharacterSet();

    char16_t ConvertFromUnicode(char16_t ch) const { return Convert(ch, false); }
    char16_t ConvertToUnicode(char16_t code) const { return Convert(code, true); }
    QChar ConvertFromUnicode(QChar ch) const { return QChar(Convert(ch.unicode(), false)); }
    QChar ConvertToUnicode(QChar code) const { return QChar(Convert(code.unicode(), true)); }

    QString ConvertFromUnicode(const QString& text) const { return StringConvertHelper(text, false); }
    QString ConvertToUnicode(const QString& text) const { return StringConvertHelper(text, true); }

protected:
    QString StringConvertHelper(const QString& text, bool toUnicode) const;

private:
    // toUnicode true: device code to Unicode; false: Unicode to device code.
    virtual char16_t Convert(char16_t ch, bool toUnicode) const = 0;
};
