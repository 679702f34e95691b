#pragma once
// Small parsers of the device's reply lines.

#include <QString>

// Splits "+CSQ: 15,99" into the key "+CSQ" and the rest "15,99": the rest
// starts two characters after the first colon when two follow it, else
// one. False when the line has no colon.
bool SplitReplyLine(const QString& line, QString& key, QString& rest);

// A field of a reply as a number; `fallback` when it is not one.
int ReplyNumber(const QString& field, int fallback = -1);

// The <stat> of a +CREG / +CGREG line after its key: "1" and
// "1,\"00C3\",\"1A2B\"" (unsolicited, the location follows the status),
// "0,5" and "2,1,\"00C3\",\"1A2B\"" (a query answer, the mode comes first).
// The field after the status is a quoted location; a bare number there is
// the status of an answer. `fallback` when there is none.
int RegistrationStatus(const QString& rest, int fallback = 0);

// The message reference of a "+CMGS: <mr>[,<scts>|<ackpdu>]" line: its
// leading digits. False for another line or no digits.
bool SubmitReference(const QString& line, QString& reference);
