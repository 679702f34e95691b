#pragma once
// The argument list of an extended command ("1,\"+4670123\",145,\"Name\"")
// split into values. Byte-exact: a quoted string runs to the next double
// quote whatever lies between, 0x00 included.

#include <QByteArray>

#include <optional>
#include <vector>

struct AtValue {
    bool quoted = false;
    QByteArray text;  // without the quotes; blanks around unquoted values trimmed

    bool isEmpty() const { return !quoted && text.isEmpty(); }
    // The value as a decimal number; nothing for a string, an empty value
    // or anything but digits (with an optional sign).
    std::optional<int> number() const;
};

// Nothing when a quote is left open or text follows a closing quote.
std::optional<std::vector<AtValue>> ParseArguments(const QByteArray& text);
