#pragma once
// String helpers shared by the GSM core and the application.

#include <QString>
#include <QStringList>

// Splits at `separator`; empty pieces between separators are kept, an
// empty last piece is dropped ("a,,b," gives a, "", b).
QStringList SplitAt(const QString& text, QChar separator);
// Splits at line feeds, with the same rule for the last piece.
QStringList SplitLines(const QString& text);
// Removes blanks, tabs, CR and LF at both ends.
QString TrimText(const QString& text);
// The text between the first and the last occurrence of `c`; empty when
// `c` occurs less than twice.
QString TextBetween(const QString& text, QChar c);
// Joins with line feeds.
QString JoinLines(const QStringList& lines);
// Reads a decimal number in which every character that is not a digit
// counts as the digit 0 ("1a2" is 102). An empty text is 0.
long long ReadDecimal(const QString& text);
// The value of a hexadecimal digit of either case; -1 for anything else.
int HexDigitValue(char c);
