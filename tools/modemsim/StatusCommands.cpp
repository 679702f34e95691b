#include "tools/modemsim/ModemCommandProcessor.h"

#include "tools/modemsim/CommandHelpers.h"

// Identification, status, network registration, call control and keypad
// commands of 3GPP TS 27.007.

ModemCommandProcessor::Step ModemCommandProcessor::identityLines(const QString& text, const AtCommand& command,
                                                                  ResponseBuilder& out)
{
    const AtForm form = FormOf(command);
    if (form == AtForm::Test)
        return Step::Continue;
    if (form != AtForm::Action)
        return error(out);
    for (const QString& line : text.split(QLatin1Char('\n')))
        out.info(line.toLatin1());
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::cgmm(const AtCommand& c, ResponseBuilder& out)
{
    return identityLines(m_identity.model, c, out);
}

ModemCommandProcessor::Step ModemCommandProcessor::cgmi(const AtCommand& c, ResponseBuilder& out)
{
    return identityLines(m_identity.manufacturer, c, out);
}

ModemCommandProcessor::Step ModemCommandProcessor::cgmr(const AtCommand& c, ResponseBuilder& out)
{
    return identityLines(m_identity.revision, c, out);
}

ModemCommandProcessor::Step ModemCommandProcessor::cgsn(const AtCommand& c, ResponseBuilder& out)
{
    return identityLines(m_identity.serial, c, out);
}

ModemCommandProcessor::Step ModemCommandProcessor::cimi(const AtCommand& c, ResponseBuilder& out)
{
    return identityLines(m_identity.subscriber, c, out);
}

ModemCommandProcessor::Step ModemCommandProcessor::gcap(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) != AtForm::Action)
        return error(out);
    out.info("+GCAP: +CGSM");
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::cpas(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Action: {
        // Ringing is 3; any other call, dialled or up, is "call in progress".
        const int activity = m_call.state == CallState::Idle ? 0 : m_call.state == CallState::Ringing ? 3 : 4;
        out.info("+CPAS: " + QByteArray::number(activity));
        return Step::Continue;
    }
    case AtForm::Test: out.info("+CPAS: (0-5)"); return Step::Continue;
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cind(const AtCommand& c, ResponseBuilder& out)
{
    // The three indicators of a hands-free phone: call, service, call set-up.
    switch (FormOf(c)) {
    case AtForm::Query: {
        const QByteArray call = m_call.state == CallState::Active ? "1" : "0";
        const QByteArray service = (m_registration == 1 || m_registration == 5) ? "1" : "0";
        // 1 incoming, 3 the far end alerted (2, dialling, passes at once here).
        const char setup = m_call.state == CallState::Ringing ? '1' : m_call.state == CallState::Alerting ? '3' : '0';
        out.info("+CIND: " + call + "," + service + "," + setup);
        return Step::Continue;
    }
    case AtForm::Test:
        out.info("+CIND: (\"call\",(0,1)),(\"service\",(0,1)),(\"call_setup\",(0-3))");
        return Step::Continue;
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::csq(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Action:
        out.info("+CSQ: " + QByteArray::number(m_rssi) + "," + QByteArray::number(m_ber));
        return Step::Continue;
    case AtForm::Test: out.info("+CSQ: (0-31,99),(0-7,99)"); return Step::Continue;
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cbc(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Action: out.info("+CBC: 0,80"); return Step::Continue;
    case AtForm::Test: out.info("+CBC: (0-3),(0-100)"); return Step::Continue;
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::modeSetting(const AtCommand& c, ResponseBuilder& out,
                                                                const char* name, int& value, int max)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info(QByteArray(name) + ": " + QByteArray::number(value)); return Step::Continue;
    case AtForm::Test:
        out.info(QByteArray(name) + ": (0-" + QByteArray::number(max) + ")");
        return Step::Continue;
    case AtForm::Set: {
        const auto v = SingleNumber(c);
        if (!v || *v < 0 || *v > max)
            return error(out);
        value = *v;
        return Step::Continue;
    }
    case AtForm::Action: value = 0; return Step::Continue;
    }
    return error(out);
}

ModemCommandProcessor::Step ModemCommandProcessor::creg(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Query) {
        out.info("+CREG: " + QByteArray::number(m_settings.cregMode) + "," + QByteArray::number(m_registration));
        return Step::Continue;
    }
    return modeSetting(c, out, "+CREG", m_settings.cregMode, 2);
}

ModemCommandProcessor::Step ModemCommandProcessor::cgreg(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Query) {
        out.info("+CGREG: " + QByteArray::number(m_settings.cgregMode) + ","
                 + QByteArray::number(m_gprsRegistration));
        return Step::Continue;
    }
    return modeSetting(c, out, "+CGREG", m_settings.cgregMode, 2);
}

ModemCommandProcessor::Step ModemCommandProcessor::cmee(const AtCommand& c, ResponseBuilder& out)
{
    return modeSetting(c, out, "+CMEE", m_settings.cmee, 2);
}

ModemCommandProcessor::Step ModemCommandProcessor::cfun(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CFUN: 1"); return Step::Continue;
    case AtForm::Test: out.info("+CFUN: (0,1,4),(0,1)"); return Step::Continue;
    case AtForm::Set: return Step::Continue;
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::cpin(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Query: out.info("+CPIN: READY"); return Step::Continue;
    case AtForm::Test: return Step::Continue;
    case AtForm::Set: return cmeError(out, 3);  // no PIN is asked for
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::clip(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Query) {
        out.info("+CLIP: " + QByteArray::number(m_settings.clipMode) + ",1");
        return Step::Continue;
    }
    if (FormOf(c) == AtForm::Test) {
        out.info("+CLIP: (0,1)");
        return Step::Continue;
    }
    return modeSetting(c, out, "+CLIP", m_settings.clipMode, 1);
}

ModemCommandProcessor::Step ModemCommandProcessor::clck(const AtCommand& c, ResponseBuilder& out)
{
    switch (FormOf(c)) {
    case AtForm::Test: out.info("+CLCK: (\"CS\",\"SC\",\"PN\")"); return Step::Continue;
    case AtForm::Set: {
        const auto values = ParseArguments(SetArguments(c));
        if (!values || values->size() < 2 || !(*values)[0].quoted)
            return error(out);
        const auto mode = (*values)[1].number();
        if (!mode || *mode < 0 || *mode > 2)
            return error(out);
        if (*mode == 2)
            out.info("+CLCK: 0");
        return Step::Continue;
    }
    default: return error(out);
    }
}

ModemCommandProcessor::Step ModemCommandProcessor::ckpd(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test)
        return Step::Continue;
    if (FormOf(c) != AtForm::Set)
        return error(out);
    const auto values = ParseArguments(SetArguments(c));
    if (!values || values->empty() || !(*values)[0].quoted)
        return error(out);
    for (size_t i = 1; i < values->size(); ++i) {
        if (!(*values)[i].isEmpty() && !(*values)[i].number())
            return error(out);
    }
    const QByteArray keys = (*values)[0].text.toUpper();
    // "E" ends a call, "S" sends the dialled digits: the call is up.
    for (char key : keys) {
        if (key == 'E')
            m_call = SimulatedCall();
        else if (key == 'S' && m_call.state == CallState::Idle)
            m_call = {CallState::Active, true, {}};
    }
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::chup(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test)
        return Step::Continue;
    if (FormOf(c) != AtForm::Action)
        return error(out);
    m_call = SimulatedCall();
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::clcc(const AtCommand& c, ResponseBuilder& out)
{
    if (FormOf(c) == AtForm::Test)
        return Step::Continue;
    if (FormOf(c) != AtForm::Action)
        return error(out);
    if (m_call.state == CallState::Idle)
        return Step::Continue;
    // <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>]: dir 0 is ours, stat
    // 0 active, 3 alerting, 4 incoming; mode 0 is voice.
    static const std::map<CallState, char> stat = {
        {CallState::Active, '0'}, {CallState::Alerting, '3'}, {CallState::Ringing, '4'}};
    QByteArray line = "+CLCC: 1," + QByteArray(m_call.outgoing ? "0," : "1,") + stat.at(m_call.state) + ",0,0";
    if (!m_call.number.isEmpty())
        line += "," + Quoted(m_call.number) + (m_call.number.startsWith('+') ? ",145" : ",129");
    out.info(line);
    return Step::Continue;
}
