#include "tools/modemsim/ModemCommandProcessor.h"

#include "gsmcore/charset/Ucs2Hex.h"
#include "tools/modemsim/AlphaText.h"
#include "tools/modemsim/CommandHelpers.h"

// Character set and phone book commands: +CSCS, +CPBS, +CPBR, +CPBW.

namespace {

// +CSCS names a terminal may choose. Under UCS2 names (and, for phones
// that do so, numbers) travel as hex of UTF-16; under any other set the
// name bytes go in and out unchanged (the terminal converts).
constexpr const char* kCharacterSets[] = {"GSM", "IRA", "UCS2", "HEX", "PCCP437", "8859-1"};

}  // namespace

bool ModemCommandProcessor::usingUcs2() const
{
    return m_settings.characterSet == "UCS2";
}

ModemCommandProcessor::Step ModemCommandProcessor::cscs(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CSCS: " + Quoted(m_settings.characterSet)); return Step::Continue;
    case AtForm::Test: {
        QByteArray list;
        for (const char* name : kCharacterSets) {
            if (m_quirks.offersUcs2 || QByteArray(name) != "UCS2")
                list += (list.isEmpty() ? "" : ",") + Quoted(name);
        }
        out.info("+CSCS: (" + list + ")");
        return Step::Continue;
    }
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->size() != 1)
            return error(out);
        const QByteArray wanted = (*values)[0].text.toUpper();
        for (const char* name : kCharacterSets) {
            if (wanted == name && (m_quirks.offersUcs2 || wanted != "UCS2")) {
                m_settings.characterSet = wanted;
                return Step::Continue;
            }
        }
        return error(out);
    }
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cpbs(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: {
        const SimPhoneBook* book = selectedBook();
        if (!book)
            return cmeError(out, 3);
        out.info("+CPBS: " + Quoted(m_selected.toLatin1()) + "," + QByteArray::number(book->used()) + ","
                 + QByteArray::number(book->total()));
        return Step::Continue;
    }
    case AtForm::Test: {
        QByteArray list;
        for (const QString& name : m_storageOrder)
            list += (list.isEmpty() ? "" : ",") + Quoted(name.toLatin1());
        out.info("+CPBS: (" + list + ")");
        return Step::Continue;
    }
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->empty())
            return error(out);
        const QString wanted = QString::fromLatin1((*values)[0].text.toUpper());
        if (!m_storageOrder.contains(wanted))
            return cmeError(out, 3);
        m_selected = wanted;
        return Step::Continue;
    }
    default: return error(out);
    }
}

QByteArray ModemCommandProcessor::phoneBookLine(int index, const PhoneBookEntry& entry) const
{
    const bool ucs2 = usingUcs2();
    const QByteArray number = ucs2 && m_quirks.ucs2HexNumbers ? ToUcs2Hex(QString::fromLatin1(entry.number)).toLatin1() : entry.number;
    const QByteArray name = ucs2 ? ToUcs2Hex(AlphaToText(entry.name)).toLatin1() : AlphaToGsm(entry.name);
    return "+CPBR: " + QByteArray::number(index) + "," + Quoted(number) + "," + QByteArray::number(entry.type) + ","
           + Quoted(name);
}

ModemCommandProcessor::Step ModemCommandProcessor::cpbr(const AtCommand& c, ResponseBuilder& out)
{
    SimPhoneBook* book = selectedBook();
    if (!book)
        return cmeError(out, 3);
    const SimBookLimits& limits = book->limits();
    switch (FormOf(c)) {
    case AtForm::Test: out.info("+CPBR: " + limits.toText()); return Step::Continue;
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->empty() || values->size() > 2)
            return error(out);
        const auto first = (*values)[0].number();
        const auto last = values->size() == 2 ? (*values)[1].number() : first;
        if (!first || !last)
            return error(out);
        if (!book->inRange(*first) || !book->inRange(*last) || *first > *last)
            return cmeError(out, static_cast<int>(PhoneBookError::InvalidIndex));
        if (values->size() == 1 && !book->contains(*first)) {
            if (m_quirks.emptyLocationAnswersOk)
                return Step::Continue;
            return cmeError(out, static_cast<int>(PhoneBookError::NotFound));
        }
        const auto& entries = book->entries();
        for (auto it = entries.lower_bound(*first); it != entries.end() && it->first <= *last; ++it)
            out.info(phoneBookLine(it->first, it->second));
        return Step::Continue;
    }
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cpbw(const AtCommand& c, ResponseBuilder& out)
{
    SimPhoneBook* book = selectedBook();
    if (!book)
        return cmeError(out, 3);
    const SimBookLimits& limits = book->limits();
    switch (FormOf(c)) {
    case AtForm::Test:
        out.info("+CPBW: (" + QByteArray::number(limits.first) + "-" + QByteArray::number(limits.last) + "),"
                 + QByteArray::number(limits.numberLength) + ",(129,145)," + QByteArray::number(limits.nameLength));
        return Step::Continue;
    case AtForm::Set: break;
    default: return error(out);
    }
    const auto values = ParseArguments(SetArguments(c));
    if (!values || values->empty())
        return error(out);
    const AtValue& indexValue = (*values)[0];
    std::optional<int> index;
    if (indexValue.isEmpty()) {
        // No location: the first free one, as 27.007 allows.
        if (values->size() < 2)
            return error(out);
        index = book->firstFree();
        if (!index)
            return cmeError(out, static_cast<int>(PhoneBookError::MemoryFull));
    } else {
        index = indexValue.number();
        if (!index)
            return error(out);
    }
    if (values->size() == 1) {
        const PhoneBookError result = book->erase(*index);
        return result == PhoneBookError::None ? Step::Continue : cmeError(out, static_cast<int>(result));
    }
    std::optional<int> type;
    if (values->size() > 2 && !(*values)[2].isEmpty()) {
        type = (*values)[2].number();
        if (!type || *type < 128 || *type > 255)
            return error(out);
    }
    QByteArray name = values->size() > 3 ? (*values)[3].text : QByteArray();
    QByteArray number = (*values)[1].text;
    if (usingUcs2()) {
        const std::optional<QString> text = FromUcs2Hex(QString::fromLatin1(name));
        if (!text)
            return error(out);
        name = AlphaFromText(*text);
        // Either form of the number is taken, as such phones do.
        const std::optional<QString> hexNumber = FromUcs2Hex(QString::fromLatin1(number));
        if (hexNumber && !hexNumber->isEmpty() && SimPhoneBook::isDialString(hexNumber->toLatin1()))
            number = hexNumber->toLatin1();
    }
    const PhoneBookError result = book->write(*index, number, type, name);
    return result == PhoneBookError::None ? Step::Continue : cmeError(out, static_cast<int>(result));
}
