#pragma once
// Pure readers of the device's phone book replies and the name rule of
// phone book writes. Fed with real device lines in the tests.

#include <QString>
#include <QStringList>

// The index range and length limits of a "+CPBR=?" answer such as
// "(1-250),40,18". Range and sizes are read independently: what cannot
// be read stays 0.
struct PhoneBookLimits {
    int first = 0;
    int last = 0;
    int maxNumber = 0;
    int maxName = 0;
    bool rangeRead = false;
    bool sizesRead = false;
};
PhoneBookLimits ParsePhoneBookLimits(const QString& answer);

// One "+CPBR:" line: location, number (with "+" for type 145) and the
// name still in the device's character set.
struct PhoneBookLine {
    int location = 0;
    QString number;
    int type = 0;
    QString rawName;
};
// False when the prefix is not "+CPBR:" (any case) or there are fewer
// than four fields.
bool ParsePhoneBookLine(const QString& line, PhoneBookLine& entry);

// Splits at commas outside double quotes; quotes stay in the pieces and
// an empty last piece is dropped.
QStringList SplitOutsideQuotes(const QString& text);
// The text between the first and the last double quote, or the whole
// piece when it has fewer than two.
QString Unquote(const QString& piece);
// A signed decimal as a C library reads it: leading blanks skipped,
// digits up to the first non-digit, 0 when there are none.
int LeadingNumber(const QString& text);

// The storage names listed by a "+CPBS=?" answer such as ("SM","ME").
// Without a ")" nothing is listed.
QStringList ParseStorageList(const QString& answer);

// False when the name holds a character that cannot travel inside the
// quoted name of a +CPBW command: CR, LF or a double quote.
bool IsWritableName(const QString& name);
