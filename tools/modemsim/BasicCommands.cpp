#include "tools/modemsim/ModemCommandProcessor.h"

#include "tools/modemsim/CommandHelpers.h"

// Basic commands of ITU-T V.250: echo, result format, reset, dialling and
// hanging up, S-registers.

ModemCommandProcessor::Step ModemCommandProcessor::basic(const AtCommand& command, ResponseBuilder& out)
{
    // A missing number means 0, as V.250 has it; one too large for an int
    // is refused rather than wrapped.
    const auto parsed = command.args.isEmpty() ? std::optional<int>(0) : AtValue {false, command.args}.number();
    if (!parsed)
        return error(out);
    const int value = *parsed;
    const QByteArray& name = command.name;
    auto flag = [&](bool& setting) {
        if (value > 1)
            return error(out);
        setting = value == 1;
        return Step::Continue;
    };
    if (name == "E")
        return flag(m_settings.echo);
    if (name == "V")
        return flag(m_settings.verbose);
    if (name == "Q")
        return flag(m_settings.quiet);
    if (name == "Z" || name == "&F") {
        m_settings = m_factory;
        m_pendingText = false;
        // Like most phones, back on the first phone book (the SIM's).
        m_selected = m_storageOrder.value(0);
        return Step::Continue;
    }
    if (name == "H") {
        // Our calls are all voice calls.
        if (!m_quirks.hangUpKeepsVoiceCall)
            m_call = SimulatedCall();
        return Step::Continue;
    }
    if (name == "A") {
        if (m_call.state != CallState::Ringing) {
            out.result(ResultCode::NoCarrier);
            return Step::Stop;
        }
        m_call.state = CallState::Active;
        return Step::Continue;
    }
    if (name == "I") {
        for (const QString& line : m_identity.model.split(QLatin1Char('\n')))
            out.info(line.toLatin1());
        return Step::Continue;
    }
    if (name == "O") {
        out.result(ResultCode::NoCarrier);
        return Step::Stop;
    }
    // Accepted without effect: result code selection, speaker, line
    // control and flow control settings, storing the profile.
    static const QByteArray accepted[] = {"X", "L", "M", "&C", "&D", "&K", "&W", "&V"};
    for (const QByteArray& known : accepted) {
        if (name == known)
            return Step::Continue;
    }
    return error(out);
}

ModemCommandProcessor::Step ModemCommandProcessor::sRegister(const AtCommand& command, ResponseBuilder& out)
{
    const auto parsed = AtValue {false, command.name.mid(1)}.number();
    if (!parsed || *parsed > 255)
        return error(out);
    const int reg = *parsed;
    if (command.args == "?") {
        static const std::map<int, int> defaults = {{0, 0}, {3, 13}, {4, 10}, {5, 8}, {7, 50}, {8, 2}, {10, 14}};
        const auto it = defaults.find(reg);
        out.info(QByteArray::number(it == defaults.end() ? 0 : it->second).rightJustified(3, '0'));
    }
    return Step::Continue;
}

ModemCommandProcessor::Step ModemCommandProcessor::dial(const AtCommand& command, ResponseBuilder& out)
{
    QByteArray number = command.args.trimmed();
    const bool voice = number.endsWith(';');
    if (voice)
        number.chop(1);
    if (number.isEmpty() || m_call.state != CallState::Idle)
        return error(out);
    if (!voice) {
        // No data calls here: the far end never answers the modem.
        out.result(ResultCode::NoCarrier);
        return Step::Stop;
    }
    switch (m_dialAnswer) {
    case DialAnswer::Busy: out.result(ResultCode::Busy); return Step::Stop;
    case DialAnswer::NoCarrier: out.result(ResultCode::NoCarrier); return Step::Stop;
    case DialAnswer::NoAnswer: out.result(ResultCode::NoAnswer); return Step::Stop;
    case DialAnswer::Ring:
    case DialAnswer::PickUp: break;
    }
    // OK as soon as the call is under way, as phones answer a voice dial;
    // the far end picks up at once or rings until remoteAnswer().
    m_call = {m_dialAnswer == DialAnswer::PickUp ? CallState::Active : CallState::Alerting, true, number};
    return Step::Continue;
}
