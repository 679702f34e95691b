#include "tools/modemsim/ModemCommandProcessor.h"

#include "tools/modemsim/CommandHelpers.h"

// Short message commands of 3GPP TS 27.005: format, submission, reading,
// deleting, storages, service centre and indications.

ModemCommandProcessor::Step ModemCommandProcessor::cmgf(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test) {
        out.info("+CMGF: (0,1)");
        return Step::Continue;
    }
    return modeSetting(c, out, "+CMGF", m_settings.messageFormat, 1);
}

ModemCommandProcessor::Step ModemCommandProcessor::cmgs(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test)
        return Step::Continue;
    if (FormOf(c) != AtForm::Set)
        return error(out);
    const auto values = ParseArguments(SetArguments(c));
    if (!values || values->empty())
        return error(out);
    if (m_settings.messageFormat == 0) {
        const auto length = (*values)[0].number();
        if (values->size() != 1 || !length || *length < 1 || *length > 164)
            return cmsError(out, 304);
        m_pendingText = false;
        m_pendingLength = *length;
    } else {
        if (!(*values)[0].quoted || (*values)[0].text.isEmpty())
            return cmsError(out, 305);
        m_pendingText = true;
        m_pendingNumber = (*values)[0].text;
    }
    return Step::Prompt;
}

ModemCommandProcessor::Step ModemCommandProcessor::cmgr(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test)
        return Step::Continue;
    const auto index = FormOf(c) == AtForm::Set ? SingleNumber(c) : std::nullopt;
    if (!index)
        return error(out);
    auto it = m_stored.find(*index);
    if (it == m_stored.end())
        return cmsError(out, 321);  // invalid memory index
    StoredMessage& message = it->second;
    if (m_settings.messageFormat == 0) {
        const int tpdu = TpduLengthOfPdu(message.pdu).value_or(0);
        out.info("+CMGR: " + QByteArray::number(MessageStatusNumber(message.status)) + ",,"
                 + QByteArray::number(tpdu));
        out.info(message.pdu);
    } else {
        out.info("+CMGR: " + Quoted(message.status) + "," + Quoted(message.sender) + ",," + Quoted(message.timestamp));
        out.info(message.text);
    }
    // Assigned from a whole QByteArray: the old text, which a caller's copy
    // may share, is let go in inline code that ThreadSanitizer sees, not
    // inside the uninstrumented Qt library.
    if (message.status == "REC UNREAD")
        message.status = QByteArrayLiteral("REC READ");
    return Step::Continue;
}

// Every stored message of one status, or all: in PDU mode the status is a
// number (4 all, the default 0 unread), in text mode its name ("ALL").
ModemCommandProcessor::Step ModemCommandProcessor::cmgl(const AtCommand& c, ResponseBuilder& out)
{
    const bool pduMode = m_settings.messageFormat == 0;
    if (FormOf(c) == AtForm::Test) {
        out.info(pduMode ? "+CMGL: (0-4)" : "+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")");
        return Step::Continue;
    }
    QByteArray wanted = pduMode ? "0" : "REC UNREAD";
    if (FormOf(c) == AtForm::Set) {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->size() != 1)
            return error(out);
        wanted = (*values)[0].text.toUpper();
    } else if (FormOf(c) != AtForm::Action) {
        return error(out);
    }
    const bool all = wanted == (pduMode ? "4" : "ALL");
    for (auto& [index, message] : m_stored) {
        const bool match = all || (pduMode ? wanted == QByteArray::number(MessageStatusNumber(message.status))
                                           : wanted == message.status);
        if (!match)
            continue;
        if (pduMode) {
            const int tpdu = TpduLengthOfPdu(message.pdu).value_or(0);
            out.info("+CMGL: " + QByteArray::number(index) + "," + QByteArray::number(MessageStatusNumber(message.status))
                     + ",," + QByteArray::number(tpdu));
            out.info(message.pdu);
        } else {
            out.info("+CMGL: " + QByteArray::number(index) + "," + Quoted(message.status) + "," + Quoted(message.sender)
                     + ",," + Quoted(message.timestamp));
            out.info(message.text);
        }
        if (message.status == "REC UNREAD")
            message.status = QByteArrayLiteral("REC READ");  // as in cmgr
    }
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::cmgd(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test) {
        out.info("+CMGD: (1-" + QByteArray::number(kMessageSlots) + ")");
        return Step::Continue;
    }
    const auto values = FormOf(c) == AtForm::Set ? ParseArguments(SetArguments(c)) : std::nullopt;
    const auto index = values && !values->empty() ? (*values)[0].number() : std::nullopt;
    if (!index)
        return error(out);
    if (*index < 1 || *index > kMessageSlots)
        return cmsError(out, 321);
    m_stored.erase(*index);
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::cpms(const AtCommand& c, ResponseBuilder& out)
{
    const QByteArray used = QByteArray::number(static_cast<int>(m_stored.size()));
    const QByteArray total = QByteArray::number(kMessageSlots);
    switch (FormOf(c)) {
    case AtForm::Query:
        out.info("+CPMS: \"SM\"," + used + "," + total + ",\"SM\"," + used + "," + total + ",\"SM\"," + used + ","
                 + total);
        return Step::Continue;
    case AtForm::Test: out.info("+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"); return Step::Continue;
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->empty())
            return error(out);
        for (const AtValue& value : *values) {
            if (!value.isEmpty() && value.text.toUpper() != "SM")
                return cmsError(out, 302);  // operation not allowed
        }
        out.info("+CPMS: " + used + "," + total + "," + used + "," + total + "," + used + "," + total);
        return Step::Continue;
    }
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::csca(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CSCA: " + m_serviceCentre); return Step::Continue;
    case AtForm::Test: return Step::Continue;
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->empty() || !(*values)[0].quoted)
            return error(out);
        const QByteArray& number = (*values)[0].text;
        const int type = values->size() > 1 && (*values)[1].number() ? *(*values)[1].number()
                                                                      : (number.startsWith('+') ? 145 : 129);
        m_serviceCentre = Quoted(number) + "," + QByteArray::number(type);
        return Step::Continue;
    }
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cnmi(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CNMI: 2,1,0,0,0"); return Step::Continue;
    case AtForm::Test: out.info("+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)"); return Step::Continue;
    case AtForm::Set: return ParseArguments(SetArguments(c)) ? Step::Continue : error(out);
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::csms(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CSMS: 0,1,1,1"); return Step::Continue;
    case AtForm::Test: out.info("+CSMS: (0)"); return Step::Continue;
    case AtForm::Set: out.info("+CSMS: 1,1,1"); return Step::Continue;
    default: return error(out);
    }
}
