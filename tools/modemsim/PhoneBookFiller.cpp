#include "tools/modemsim/PhoneBookFiller.h"

#include <algorithm>
#include <iterator>

namespace {

// splitmix64: tiny, and the same on every platform, unlike the standard
// library's distributions.
class SeededSequence {
public:
    explicit SeededSequence(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int bound) { return bound <= 0 ? 0 : static_cast<int>(next() % static_cast<quint64>(bound)); }

private:
    quint64 m_state;
};

constexpr const char* kFirstNames[] = {
    "Anna", "Erik", "Maria", "Lars", "Karin", "Johan", "Emma", "Anders", "Sara", "Per", "Olivia", "James",
    "Sophie", "Thomas", "Laura", "Lukas", "Hannah", "Felix", "Elena", "Marco", "Ingrid", "Nils", "Astrid",
    "Oscar", "Julia", "David", "Clara", "Paul", "Mia", "Jonas", "Alice", "Henrik",
};
constexpr const char* kLastNames[] = {
    "Andersson", "Johansson", "Karlsson", "Nilsson", "Eriksson", "Larsson", "Olsson", "Persson", "Smith",
    "Jones", "Taylor", "Brown", "Wilson", "Mueller", "Schmidt", "Schneider", "Fischer", "Weber", "Rossi",
    "Bianchi", "Lindqvist", "Berg", "Holm", "Dahl", "Moreau", "Dubois", "Novak", "Kowalski",
};
// Some entries are places and services, as real phone books hold.
constexpr const char* kServices[] = {
    "Voicemail", "Dentist", "Taxi", "Office", "Home", "Doctor", "Pizza", "School", "Garage", "Bank",
};

QByteArray Digits(SeededSequence& random, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(static_cast<char>('0' + random.below(10)));
    return out;
}

QByteArray MakeNumber(SeededSequence& random)
{
    switch (random.below(5)) {
    case 0: return "+4670" + Digits(random, 7);   // Swedish mobile
    case 1: return "+447" + Digits(random, 9);    // British mobile
    case 2: return "+4917" + Digits(random, 8);   // German mobile
    case 3: return "08" + Digits(random, 7);      // national landline
    default: return "070" + Digits(random, 7);    // national mobile
    }
}

QByteArray MakeName(SeededSequence& random)
{
    const int style = random.below(10);
    if (style == 0)
        return kServices[random.below(std::size(kServices))];
    const QByteArray first = kFirstNames[random.below(std::size(kFirstNames))];
    const QByteArray last = kLastNames[random.below(std::size(kLastNames))];
    if (style <= 6)
        return first + ' ' + last;
    if (style <= 8)
        return last + ' ' + first.left(1);
    return first;
}

}  // namespace

std::vector<GeneratedEntry> GenerateEntries(int count, quint64 seed, const SimBookLimits& limits)
{
    std::vector<GeneratedEntry> entries;
    if (count <= 0)
        return entries;
    SeededSequence random(seed);
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        GeneratedEntry entry;
        entry.name = MakeName(random).left(limits.nameLength);
        entry.number = MakeNumber(random);
        // Keep within the number limit; the "+" is not a digit.
        const int keep = limits.numberLength + (entry.number.startsWith('+') ? 1 : 0);
        entry.number = entry.number.left(keep);
        entries.push_back(std::move(entry));
    }
    return entries;
}

int FillPhoneBook(SimPhoneBook& book, int count, quint64 seed)
{
    const int fit = std::min(count, book.total());
    const auto generated = GenerateEntries(fit, seed, book.limits());
    int written = 0;
    for (const GeneratedEntry& entry : generated) {
        const int index = book.limits().first + written;
        if (book.write(index, entry.number, std::nullopt, entry.name) == PhoneBookError::None)
            ++written;
    }
    return written;
}
