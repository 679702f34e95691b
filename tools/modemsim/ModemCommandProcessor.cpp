#include "tools/modemsim/ModemCommandProcessor.h"

#include "tools/modemsim/AtInputFramer.h"
#include "tools/modemsim/CommandHelpers.h"

#include <algorithm>

ModemCommandProcessor::ModemCommandProcessor()
{
    setStorages({QStringLiteral("SM"), QStringLiteral("ME")});
    m_settings = m_factory;
}

void ModemCommandProcessor::setFactorySettings(const ModemSettings& settings)
{
    m_factory = settings;
    m_settings = settings;
    for (PortContext& port : m_ports)
        port.settings = settings;
}

void ModemCommandProcessor::setPortCount(int count)
{
    m_ports.resize(std::max(1, count));
    for (PortContext& port : m_ports)
        port.settings = m_factory;
    m_port = std::min(m_port, static_cast<int>(m_ports.size()) - 1);
}

void ModemCommandProcessor::selectPort(int port)
{
    if (port == m_port || port < 0 || port >= static_cast<int>(m_ports.size()))
        return;
    m_ports[m_port] = {m_settings, m_lastLine, m_pendingText, m_pendingLength, m_pendingNumber};
    const PortContext& next = m_ports[port];
    m_settings = next.settings;
    m_lastLine = next.lastLine;
    m_pendingText = next.pendingText;
    m_pendingLength = next.pendingLength;
    m_pendingNumber = next.pendingNumber;
    m_port = port;
}

void ModemCommandProcessor::setStorages(const QStringList& names)
{
    std::map<QString, SimPhoneBook> books;
    QStringList order;
    for (const QString& name : names) {
        if (name.isEmpty() || order.contains(name))
            continue;
        order.append(name);
        auto it = m_books.find(name);
        books[name] = it != m_books.end() ? std::move(it->second) : SimPhoneBook();
    }
    m_books = std::move(books);
    m_storageOrder = order;
    if (!m_storageOrder.contains(m_selected))
        m_selected = m_storageOrder.value(0);
}

SimPhoneBook* ModemCommandProcessor::phoneBook(const QString& storage)
{
    auto it = m_books.find(storage);
    return it == m_books.end() ? nullptr : &it->second;
}

const SimPhoneBook* ModemCommandProcessor::phoneBook(const QString& storage) const
{
    auto it = m_books.find(storage);
    return it == m_books.end() ? nullptr : &it->second;
}

bool ModemCommandProcessor::selectStorage(const QString& storage)
{
    if (!m_storageOrder.contains(storage))
        return false;
    m_selected = storage;
    return true;
}

SimPhoneBook* ModemCommandProcessor::selectedBook()
{
    return phoneBook(m_selected);
}

int ModemCommandProcessor::storeMessage(const StoredMessage& message)
{
    for (int index = 1; index <= kMessageSlots; ++index) {
        if (m_stored.count(index) == 0) {
            m_stored[index] = message;
            return index;
        }
    }
    return -1;
}

namespace {

QByteArray FaultKey(const QByteArray& prefix)
{
    QByteArray key = prefix.trimmed().toUpper();
    return key.startsWith("AT") ? key.mid(2) : key;
}

}  // namespace

void ModemCommandProcessor::setAnswerFor(const QByteArray& prefix, const QByteArray& infoLine)
{
    const QByteArray key = FaultKey(prefix);
    std::erase_if(m_scriptedAnswers, [&](const auto& answer) { return answer.first == key; });
    if (!infoLine.isEmpty() && !key.isEmpty())
        m_scriptedAnswers.emplace_back(key, infoLine);
}

void ModemCommandProcessor::setCmeErrorFor(const QByteArray& prefix, int code)
{
    const QByteArray key = FaultKey(prefix);
    std::erase_if(m_cmeFaults, [&](const auto& fault) { return fault.first == key; });
    if (code >= 0 && !key.isEmpty())
        m_cmeFaults.emplace_back(key, code);
}

int ModemCommandProcessor::nextReference()
{
    m_reference = (m_reference + 1) % 256;
    return m_reference;
}

QByteArray ModemCommandProcessor::unsolicited(const QByteArray& text) const
{
    return m_settings.verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

// ---------------------------------------------------------------------------
// Units from the framer

ModemCommandProcessor::Outcome ModemCommandProcessor::handleLine(const QByteArray& line, bool overflowed)
{
    Outcome outcome;
    if (m_settings.echo)
        outcome.echo = line + '\r';
    if (line.trimmed().isEmpty())
        return outcome;

    ResponseBuilder out(m_settings.verbose);
    if (overflowed) {
        error(out);
        outcome.reply = out.bytes();
        return outcome;
    }
    // A line without "AT" is noise to a modem: it says nothing.
    const auto afterAt = StripAtPrefix(line);
    if (!afterAt)
        return outcome;
    m_lastLine = line;

    const auto commands = SplitCommandLine(*afterAt);
    if (!commands) {
        error(out);
        outcome.reply = out.bytes();
        return outcome;
    }
    Step step = Step::Continue;
    for (size_t i = 0; i < commands->size() && step == Step::Continue; ++i) {
        step = execute((*commands)[i], out);
        // A V on the line takes effect for what follows it.
        out.setVerbose(m_settings.verbose);
        if (step == Step::Prompt && i + 1 != commands->size()) {
            // A message body must be the last thing on its line.
            m_pendingText = false;
            out = ResponseBuilder(m_settings.verbose);
            step = error(out);
        }
    }
    if (step == Step::Continue && !m_settings.quiet)
        out.result(ResultCode::Ok);
    if (step == Step::Prompt) {
        outcome.awaitMessageBody = true;
        out.raw("\r\n> ");
    }
    outcome.reply = out.bytes();
    return outcome;
}

ModemCommandProcessor::Outcome ModemCommandProcessor::repeatLastLine()
{
    if (m_lastLine.isEmpty()) {
        Outcome outcome;
        if (m_settings.echo)
            outcome.echo = "A/";
        return outcome;
    }
    Outcome outcome = handleLine(m_lastLine);
    if (m_settings.echo)
        outcome.echo = "A/";
    return outcome;
}

ModemCommandProcessor::Outcome ModemCommandProcessor::handleMessageBody(const QByteArray& body, bool overflowed)
{
    Outcome outcome;
    if (m_settings.echo)
        outcome.echo = body + AtInputFramer::kCtrlZ;
    ResponseBuilder out(m_settings.verbose);
    SubmittedMessage message;
    message.textMode = m_pendingText;
    if (m_pendingText) {
        message.number = m_pendingNumber;
        message.text = body;
        if (overflowed) {
            cmsError(out, 305);  // invalid text mode parameter
            outcome.reply = out.bytes();
            return outcome;
        }
    } else {
        QByteArray pdu = body;
        pdu.replace("\r", "").replace("\n", "").replace(" ", "");
        const auto tpduLength = TpduLengthOfPdu(pdu);
        if (overflowed || !tpduLength || *tpduLength != m_pendingLength) {
            cmsError(out, 304);  // invalid PDU mode parameter
            outcome.reply = out.bytes();
            return outcome;
        }
        message.pdu = pdu;
        message.tpduLength = m_pendingLength;
    }
    message.reference = nextReference();
    m_submitted.push_back(message);
    out.info("+CMGS: " + QByteArray::number(message.reference));
    if (!m_settings.quiet)
        out.result(ResultCode::Ok);
    outcome.reply = out.bytes();
    return outcome;
}

ModemCommandProcessor::Outcome ModemCommandProcessor::handleMessageCancelled()
{
    // ESC abandons the message; the modem goes back to commands and says OK.
    Outcome outcome;
    ResponseBuilder out(m_settings.verbose);
    if (!m_settings.quiet)
        out.result(ResultCode::Ok);
    outcome.reply = out.bytes();
    return outcome;
}

ModemCommandProcessor::Outcome ModemCommandProcessor::handleMessageLineBreak()
{
    Outcome outcome;
    if (m_settings.echo)
        outcome.echo = "\r";
    // The framer stays in the body: the message goes on after the new prompt.
    outcome.reply = "\n> ";
    return outcome;
}

// ---------------------------------------------------------------------------
// Dispatch

ModemCommandProcessor::Step ModemCommandProcessor::execute(const AtCommand& command, ResponseBuilder& out)
{
    if (!m_cmeFaults.empty() || !m_scriptedAnswers.empty()) {
        const QByteArray text = command.name + command.args.toUpper();
        for (const auto& [prefix, line] : m_scriptedAnswers) {
            if (text.startsWith(prefix)) {
                out.info(line);
                return Step::Continue;
            }
        }
        for (const auto& [prefix, code] : m_cmeFaults) {
            if (text.startsWith(prefix)) {
                // An injected fault answers in the extended form whatever +CMEE says.
                out.finalText("+CME ERROR: " + QByteArray::number(code));
                return Step::Stop;
            }
        }
    }
    switch (command.kind) {
    case AtCommand::Kind::Basic: return basic(command, out);
    case AtCommand::Kind::SRegister: return sRegister(command, out);
    case AtCommand::Kind::Dial: return dial(command, out);
    case AtCommand::Kind::Extended: break;
    }
    const auto& table = handlers();
    const auto it = table.find(command.name);
    if (it == table.end())
        return error(out);
    return (this->*(it->second))(command, out);
}

const std::map<QByteArray, ModemCommandProcessor::Handler>& ModemCommandProcessor::handlers()
{
    using P = ModemCommandProcessor;
    static const std::map<QByteArray, Handler> table = {
        {"+CGMM", &P::cgmm}, {"+GMM", &P::cgmm},   {"+CGMI", &P::cgmi},   {"+GMI", &P::cgmi},
        {"+CGMR", &P::cgmr}, {"+GMR", &P::cgmr},   {"+CGSN", &P::cgsn},   {"+GSN", &P::cgsn},
        {"+CIMI", &P::cimi}, {"+GCAP", &P::gcap},  {"+CPAS", &P::cpas},   {"+CIND", &P::cind},
        {"+CSQ", &P::csq},   {"+CBC", &P::cbc},    {"+CREG", &P::creg},   {"+CGREG", &P::cgreg},
        {"+CMEE", &P::cmee}, {"+CFUN", &P::cfun},  {"+CPIN", &P::cpin},   {"+CLIP", &P::clip},
        {"+CLCK", &P::clck}, {"+CKPD", &P::ckpd},  {"+CHUP", &P::chup},   {"+CLCC", &P::clcc}, {"+CSCS", &P::cscs},
        {"+CPBS", &P::cpbs}, {"+CPBR", &P::cpbr},  {"+CPBW", &P::cpbw},   {"+CMGF", &P::cmgf},
        {"+CMGS", &P::cmgs}, {"+CMGR", &P::cmgr},  {"+CMGD", &P::cmgd},   {"+CPMS", &P::cpms}, {"+CMGL", &P::cmgl},
        {"+CSCA", &P::csca}, {"+CNMI", &P::cnmi},  {"+CSMS", &P::csms},
    };
    return table;
}

ModemCommandProcessor::Step ModemCommandProcessor::error(ResponseBuilder& out)
{
    out.result(ResultCode::Error);
    return Step::Stop;
}

ModemCommandProcessor::Step ModemCommandProcessor::cmeError(ResponseBuilder& out, int code)
{
    switch (m_settings.cmee) {
    case 1: out.finalText("+CME ERROR: " + QByteArray::number(code)); break;
    case 2: {
        const QByteArray text = CmeErrorText(code);
        out.finalText("+CME ERROR: " + (text.isEmpty() ? QByteArray::number(code) : text));
        break;
    }
    default: out.result(ResultCode::Error); break;
    }
    return Step::Stop;
}

ModemCommandProcessor::Step ModemCommandProcessor::cmsError(ResponseBuilder& out, int code)
{
    // Message service errors are always reported in full: 27.005 ties them
    // to the command, not to +CMEE.
    out.finalText("+CMS ERROR: " + QByteArray::number(code));
    return Step::Stop;
}

// ---------------------------------------------------------------------------
// Events reported on the modem's own initiative

QByteArray ModemCommandProcessor::incomingCall(const QByteArray& number)
{
    if (m_call.state != CallState::Idle)
        return {};
    m_call = {CallState::Ringing, false, number};
    QByteArray bytes = unsolicited("RING");
    if (m_settings.clipMode == 1 && !number.isEmpty())
        bytes += unsolicited("+CLIP: " + Quoted(number) + "," + (number.startsWith('+') ? "145" : "129"));
    return bytes;
}

QByteArray ModemCommandProcessor::remoteHangUp()
{
    if (m_call.state == CallState::Idle)
        return {};
    m_call = SimulatedCall();
    return unsolicited("NO CARRIER");
}

void ModemCommandProcessor::remoteAnswer()
{
    if (m_call.outgoing && m_call.state != CallState::Idle)
        m_call.state = CallState::Active;
}

QByteArray ModemCommandProcessor::setRegistration(int status)
{
    const bool changed = status != m_registration;
    m_registration = status;
    if (!changed || m_settings.cregMode == 0)
        return {};
    return unsolicited("+CREG: " + QByteArray::number(status));
}

QByteArray ModemCommandProcessor::setGprsRegistration(int status)
{
    const bool changed = status != m_gprsRegistration;
    m_gprsRegistration = status;
    if (!changed || m_settings.cgregMode == 0)
        return {};
    return unsolicited("+CGREG: " + QByteArray::number(status));
}

QByteArray ModemCommandProcessor::newMessageIndication(int index)
{
    return unsolicited("+CMTI: \"SM\"," + QByteArray::number(index));
}
