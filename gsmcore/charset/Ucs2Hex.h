#pragma once
// The UCS2 character set of AT commands: every UTF-16 unit as four
// hexadecimal digits, "Дима" as "04140438043C0430".

#include <QString>

#include <optional>

QString ToUcs2Hex(const QString& text);
// Nothing when the text is not groups of four hexadecimal digits.
std::optional<QString> FromUcs2Hex(const QString& hex);
