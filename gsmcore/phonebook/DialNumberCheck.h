#pragma once
// The one rule for numbers written to a phone book, used by the store,
// the dialogs and tessaly-cli alike: a number is stored as the user gave
// it or refused, never shortened on the way. Digits, "+" (first only),
// "*", "#", "p" (pause) and "w" (wait) are kept, "P" and "W" written in
// lower case; blanks, "-", ".", "(", ")" and "/" are dropped; any other
// character refuses the number, and so does a number that holds nothing
// but those separators.

#include <QString>

// True when `number` may be written. An empty number passes: whether a
// number is needed at all is the caller's rule.
bool IsWritableNumber(const QString& number);

// Why `number` is refused, naming its first refused character
// (translated); empty when it may be written.
QString RefusedNumberMessage(const QString& number);

// The number as the store writes it: separators dropped, "P" and "W" in
// lower case. A refused character is kept, so that it stays visible.
QString FilterNumber(const QString& number);

// 145 (international) when the number begins with "+", 129 otherwise.
int GetNumberType(const QString& number);
