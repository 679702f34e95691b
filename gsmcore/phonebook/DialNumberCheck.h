#pragma once
// Which numbers may be written to a phone book. The device stores dial
// strings only; anything else would be dropped on the way and leave an
// empty or shortened number, so such a number is refused before it is
// written.

#include <QString>

// True when `number` holds only digits, "+" (as its first character),
// "*", "#", "p"/"P", "w"/"W" and the separators that are dropped on the
// way (blanks, "-", ".", "(", ")", "/"). An empty number passes: whether
// a number is needed at all is the caller's rule.
bool IsWritableNumber(const QString& number);

// The (translated) message that says why a number was refused.
QString RefusedNumberMessage(const QString& number);
