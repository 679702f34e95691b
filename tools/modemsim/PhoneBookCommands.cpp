#include "tools/modemsim/ModemCommandProcessor.h"

#include "tools/modemsim/CommandHelpers.h"

// Character set and phone book commands: +CSCS, +CPBS, +CPBR, +CPBW.

namespace {

// +CSCS names a terminal may choose; the modem stores and returns name
// bytes unchanged whatever is selected (the terminal converts).
constexpr const char* kCharacterSets[] = {"GSM", "IRA", "UCS2", "HEX", "PCCP437", "8859-1"};

}  // namespace

ModemCommandProcessor::Step ModemCommandProcessor::cscs(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CSCS: " + Quoted(m_settings.characterSet)); return Step::Continue;
    case AtForm::Test: {
        QByteArray list;
        for (const char* name : kCharacterSets)
            list += (list.isEmpty() ? "" : ",") + Quoted(name);
        out.info("+CSCS: (" + list + ")");
        return Step::Continue;
    }
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->size() != 1)
            return error(out);
        const QByteArray wanted = (*values)[0].text.toUpper();
        for (const char* name : kCharacterSets) {
            if (wanted == name) {
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
    return "+CPBR: " + QByteArray::number(index) + "," + Quoted(entry.number) + "," + QByteArray::number(entry.type)
           + "," + Quoted(entry.name);
}

ModemCommandProcessor::Step ModemCommandProcessor::cpbr(const AtCommand& c, ResponseBuilder& out)
{
    SimPhoneBook* book = selectedBook();
    if (!book)
        return cmeError(out, 3);
    const PhoneBookLimits& limits = book->limits();
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
    const PhoneBookLimits& limits = book->limits();
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
    const QByteArray name = values->size() > 3 ? (*values)[3].text : QByteArray();
    const PhoneBookError result = book->write(*index, (*values)[1].text, type, name);
    return result == PhoneBookError::None ? Step::Continue : cmeError(out, static_cast<int>(result));
}
