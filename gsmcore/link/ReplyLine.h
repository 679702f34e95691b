#pragma once
// Small parsers of the device's reply lines.

#include <QString>

// Splits "+CSQ: 15,99" into the key "+CSQ" and the rest "15,99": the rest
// starts two characters after the first colon when two follow it, else
// one. False when the line has no colon.
bool SplitReplyLine(const QString& line, QString& key, QString& rest);

// A field of a reply as a number; `fallback` when it is not one.
int ReplyNumber(const QString& field, int fallback = -1);
