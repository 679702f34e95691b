#pragma once
// One phone book storage of the simulated modem ("SM", "ME", ...): its
// location range, its length limits and the entries it holds. Names are
// bytes of the GSM default alphabet, kept exactly as written.

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

struct SimBookLimits {
    int first = 1;
    int last = 250;
    int numberLength = 40;  // digits, a leading "+" not counted (it is the type)
    int nameLength = 18;    // bytes of the GSM alphabet

    bool isValid() const;
    // "(1-250),40,18", as the +CPBR test command answers.
    QByteArray toText() const;
    // Reads the same form; nothing when it is not of that form.
    static std::optional<SimBookLimits> fromText(const QString& text);
};

struct PhoneBookEntry {
    QByteArray number;  // as written, "+" included
    int type = 129;     // 145 international, 129 otherwise
    QByteArray name;    // GSM alphabet bytes
};

// Why a write or read was refused; the values are the +CME ERROR codes of
// 3GPP TS 27.007.
enum class PhoneBookError {
    None = 0,
    NotFound = 22,
    InvalidIndex = 21,
    TextTooLong = 24,
    DialStringTooLong = 26,
    InvalidDialCharacters = 27,
    MemoryFull = 20,
};

class SimPhoneBook {
public:
    SimPhoneBook() = default;
    explicit SimPhoneBook(const SimBookLimits& limits) : m_limits(limits) {}

    const SimBookLimits& limits() const { return m_limits; }
    // Entries outside a narrowed range are dropped.
    void setLimits(const SimBookLimits& limits);

    int used() const { return static_cast<int>(m_entries.size()); }
    int total() const { return m_limits.last - m_limits.first + 1; }
    bool contains(int index) const { return m_entries.count(index) != 0; }
    const PhoneBookEntry* entry(int index) const;
    const std::map<int, PhoneBookEntry>& entries() const { return m_entries; }
    bool inRange(int index) const { return index >= m_limits.first && index <= m_limits.last; }

    // Writes (or overwrites) a location. The type is 145 for a number with
    // a leading "+", otherwise the given type (129 when none was given).
    PhoneBookError write(int index, const QByteArray& number, std::optional<int> type, const QByteArray& name);
    // The lowest free location, or nothing when the book is full.
    std::optional<int> firstFree() const;
    // Deleting an empty location succeeds, as on real phones.
    PhoneBookError erase(int index);
    void clear() { m_entries.clear(); }
    // Fault: names longer than `length` are refused although the limits
    // report a larger size, as some SIMs do; negative removes the fault.
    void setAcceptedNameLength(int length) { m_acceptedNameLength = length; }

    static int digitCount(const QByteArray& number);
    static bool isDialString(const QByteArray& number);

private:
    SimBookLimits m_limits;
    std::map<int, PhoneBookEntry> m_entries;
    int m_acceptedNameLength = -1;
};
