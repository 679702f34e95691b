#include "tools/modemsim/SimPhoneBook.h"

#include <QRegularExpression>

bool SimBookLimits::isValid() const
{
    return first >= 0 && last >= first && last - first < 100000 && numberLength >= 0 && nameLength >= 0
           && numberLength <= 1000 && nameLength <= 1000;
}

QByteArray SimBookLimits::toText() const
{
    return "(" + QByteArray::number(first) + "-" + QByteArray::number(last) + ")," + QByteArray::number(numberLength) + ","
           + QByteArray::number(nameLength);
}

std::optional<SimBookLimits> SimBookLimits::fromText(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*\(\s*(\d{1,6})\s*-\s*(\d{1,6})\s*\)\s*,\s*(\d{1,4})\s*,\s*(\d{1,4})\s*$)"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    SimBookLimits limits;
    limits.first = match.captured(1).toInt();
    limits.last = match.captured(2).toInt();
    limits.numberLength = match.captured(3).toInt();
    limits.nameLength = match.captured(4).toInt();
    if (!limits.isValid())
        return std::nullopt;
    return limits;
}

void SimPhoneBook::setLimits(const SimBookLimits& limits)
{
    m_limits = limits;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (inRange(it->first))
            ++it;
        else
            it = m_entries.erase(it);
    }
}

const PhoneBookEntry* SimPhoneBook::entry(int index) const
{
    const auto it = m_entries.find(index);
    return it == m_entries.end() ? nullptr : &it->second;
}

int SimPhoneBook::digitCount(const QByteArray& number)
{
    return static_cast<int>(number.startsWith('+') ? number.size() - 1 : number.size());
}

bool SimPhoneBook::isDialString(const QByteArray& number)
{
    for (qsizetype i = 0; i < number.size(); ++i) {
        const char c = number[i];
        const bool plusAtStart = c == '+' && i == 0;
        if (!plusAtStart && !(c >= '0' && c <= '9') && c != '*' && c != '#' && c != 'p' && c != 'P' && c != 'w'
            && c != 'W' && c != ',')
            return false;
    }
    return true;
}

PhoneBookError SimPhoneBook::write(int index, const QByteArray& number, std::optional<int> type, const QByteArray& name)
{
    if (!inRange(index))
        return PhoneBookError::InvalidIndex;
    if (!isDialString(number))
        return PhoneBookError::InvalidDialCharacters;
    if (digitCount(number) > m_limits.numberLength)
        return PhoneBookError::DialStringTooLong;
    if (name.size() > m_limits.nameLength || (m_acceptedNameLength >= 0 && name.size() > m_acceptedNameLength))
        return PhoneBookError::TextTooLong;
    PhoneBookEntry entry;
    entry.number = number;
    entry.type = number.startsWith('+') ? 145 : type.value_or(129);
    entry.name = name;
    m_entries[index] = std::move(entry);
    return PhoneBookError::None;
}

std::optional<int> SimPhoneBook::firstFree() const
{
    for (int index = m_limits.first; index <= m_limits.last; ++index) {
        if (!contains(index))
            return index;
    }
    return std::nullopt;
}

PhoneBookError SimPhoneBook::erase(int index)
{
    if (!inRange(index))
        return PhoneBookError::InvalidIndex;
    m_entries.erase(index);
    return PhoneBookError::None;
}
