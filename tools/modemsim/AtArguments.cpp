#include "tools/modemsim/AtArguments.h"

#include <limits>

std::optional<int> AtValue::number() const
{
    if (quoted || text.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

std::optional<std::vector<AtValue>> ParseArguments(const QByteArray& text)
{
    std::vector<AtValue> values;
    if (text.isEmpty())
        return values;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (true) {
        AtValue value;
        while (i < n && text[i] == ' ')
            ++i;
        if (i < n && text[i] == '"') {
            const qsizetype close = text.indexOf('"', i + 1);
            if (close < 0)
                return std::nullopt;
            value.quoted = true;
            value.text = text.mid(i + 1, close - i - 1);
            i = close + 1;
            while (i < n && text[i] == ' ')
                ++i;
            if (i < n && text[i] != ',')
                return std::nullopt;
        } else {
            const qsizetype comma = text.indexOf(',', i);
            const qsizetype end = comma < 0 ? n : comma;
            value.text = text.mid(i, end - i).trimmed();
            i = end;
        }
        values.push_back(std::move(value));
        if (i >= n)
            break;
        ++i;  // the comma
    }
    return values;
}
