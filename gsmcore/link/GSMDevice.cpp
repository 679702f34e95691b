#include "gsmcore/link/GSMDevice.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/KeystrokeDialling.h"
#include "gsmcore/link/ReplyLine.h"
#include "gsmcore/link/SyncLock.h"
#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/sms/SmsOut.h"
#include "gsmcore/sms/SmsText.h"
#include "support/Format.h"
#include "support/HighResTimer.h"
#include "support/StringHelpers.h"
#include "support/Trace.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int QuestionFinalTimeoutMs = 5000;
constexpr int HangupReplyTimeoutMs = 3000;
constexpr int KeystrokeReplyTimeoutMs = 2000;
constexpr int SmsPromptTimeoutMs = 2000;
constexpr int SmsCompletionTimeoutMs = 20000;
constexpr int SmsRecoveryTimeoutMs = 3000;
constexpr quint16 QueryStateEchoTimeoutMs = 4000;
constexpr int QueryStateReplyTimeoutMs = 2000;
constexpr int SignalQualityTimeoutMs = 5000;
constexpr quint16 ResyncTimeoutMs = 1000;
constexpr char CtrlZ = 0x1A;

const QString OK = QStringLiteral("OK");
const QString ERROR_TEXT = QStringLiteral("ERROR");

qint64 SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Sleep(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

std::mutex CGSMDevice::s_lifeLock;
std::unique_ptr<CGSMDevice> CGSMDevice::s_instance;

namespace {

// Ends a device whose last holder let go on one of the device's own
// threads, which cannot wait for themselves to end. One at a time; the
// next retirement, the next create() and the end of the process join it.
class CDeviceReaper {
public:
    ~CDeviceReaper() { join(); }
    void retire(std::unique_ptr<CGSMDevice> device)
    {
        std::lock_guard lock(m_lock);
        if (m_thread.joinable())
            m_thread.join();
        m_thread = std::thread([dying = std::move(device)]() mutable { dying.reset(); });
    }
    void join()
    {
        std::lock_guard lock(m_lock);
        if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
            m_thread.join();
    }

private:
    std::mutex m_lock;
    std::thread m_thread;
};

CDeviceReaper& Reaper()
{
    static CDeviceReaper reaper;
    return reaper;
}

}  // namespace

CGSMDevice* CGSMDevice::create(CGSMCorePref* pref)
{
    // A device retired a moment ago must have let go of its port first.
    Reaper().join();
    std::lock_guard lock(s_lifeLock);
    if (!s_instance)
        s_instance.reset(new CGSMDevice(pref));
    return s_instance.get();
}

CGSMDevice* CGSMDevice::instance()
{
    std::lock_guard lock(s_lifeLock);
    return s_instance.get();
}

CGSMDevice::CGSMDevice(CGSMCorePref* pref)
    : CDeviceThread(pref ? pref->m_Port : QString()), m_pref(pref)
{
    if (m_pref && m_pref->m_Speed > 0)
        getportsettings()->m_BaudRate = static_cast<quint32>(m_pref->m_Speed);
}

CGSMDevice::~CGSMDevice()
{
    // The reader thread calls our overrides: it must end before they go.
    shutdown();
    m_events.stop();
}

bool CGSMDevice::init(DeviceEventSink sink, unsigned message, unsigned stateCode, unsigned numberCode,
                      unsigned smsCode, unsigned smsReportCode, unsigned dataStateCode)
{
    m_message.store(message);
    m_stateCode.store(stateCode);
    m_numberCode.store(numberCode);
    m_smsCode.store(smsCode);
    m_smsReportCode.store(smsReportCode);
    m_dataStateCode.store(dataStateCode);
    m_events.setsink(std::move(sink));
    CDeviceThread::init();
    const bool started = start();
    if (started)
        m_initialised.store(true);
    return started;
}

void CGSMDevice::upcount()
{
    std::lock_guard lock(s_lifeLock);
    ++m_refCount;
}

void CGSMDevice::downcount()
{
    {
        std::lock_guard lock(s_lifeLock);
        if (m_refCount != 1) {
            if (m_refCount > 0)
                --m_refCount;
            return;
        }
        m_refCount = 0;
    }
    destroy();  // `this` is gone afterwards
}

int CGSMDevice::refcount() const
{
    std::lock_guard lock(s_lifeLock);
    return m_refCount;
}

void CGSMDevice::destroy()
{
    // Out of reach first, so that create() never hands out a dying device.
    std::unique_ptr<CGSMDevice> self;
    {
        std::lock_guard lock(s_lifeLock);
        if (s_instance.get() == this)
            self = std::move(s_instance);
    }
    if (self && (onreaderthread() || m_events.ondeliverythread())) {
        Reaper().retire(std::move(self));
        return;
    }
    exit();
    // A command sent by the sink returns at once now that the link is down.
    m_events.stop();
    // A device not made by create() belongs to whoever made it.
}

int CGSMDevice::commandelapsed() const
{
    return int(SteadyMs() - m_commandSentMs.load());
}

// ---- state -----------------------------------------------------------------

CGSMDevice::STATE CGSMDevice::GetState() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.state;
}

void CGSMDevice::SetState(STATE state)
{
    std::lock_guard lock(m_stateLock);
    m_call.state = state;
}

CGSMDevice::DIRECTION CGSMDevice::GetCallDirection() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.direction;
}

CGSMDevice::CALLTYPE CGSMDevice::GetCalltype() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.callType;
}

QString CGSMDevice::GetCallerNumber() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.callerNumber;
}

QString CGSMDevice::GetDialledNumber() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.dialledNumber;
}

bool CGSMDevice::GetCallEndedNormally() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.endedNormally;
}

bool CGSMDevice::isoutgoingsetup() const
{
    std::lock_guard lock(m_stateLock);
    return m_call.outgoingsetup();
}

bool CGSMDevice::retrievenetworkstate(NETWORKSTATE& state, bool)
{
    std::lock_guard lock(m_networkLock);
    state = m_networkState;
    const bool changed = m_networkChanged;
    m_networkChanged = false;
    return changed;
}

bool CGSMDevice::retrievegprsnetworkstate(GPRSNETWORKSTATE& state, bool)
{
    std::lock_guard lock(m_gprsLock);
    state = m_gprsState;
    const bool changed = m_gprsChanged;
    m_gprsChanged = false;
    return changed;
}

// ---- events ----------------------------------------------------------------

void CGSMDevice::post(unsigned code, qintptr lParam, const QString& text)
{
    CDeviceEvent event;
    event.message = m_message.load();
    event.wParam = code;
    event.lParam = lParam;
    event.text = text;
    m_events.post(event);
}

void CGSMDevice::statechange()
{
    STATE state;
    DIRECTION direction;
    {
        std::lock_guard lock(m_stateLock);
        state = m_call.state;
        direction = m_call.direction;
    }
    TraceMessage(g_traceGsmSession, TRACE_INFO, "gsmdevice::statechange(%d) (m_dir=%d)\n", static_cast<int>(state),
                 static_cast<int>(direction));
    post(m_stateCode, state);
}

void CGSMDevice::numberchange()
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "gsmdevice::newnumberevent()\n");
    post(m_numberCode, 0);
}

void CGSMDevice::newsms(const QString& text)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "gsmdevice::newsms()\n");
    post(m_smsCode, 0, text);
}

void CGSMDevice::newsmsreport(const QString& text)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "gsmdevice::newsmsreport()\n");
    post(m_smsReportCode, 0, text);
}

void CGSMDevice::datastatechange(bool active)
{
    if (!active) {
        {
            std::lock_guard lock(m_stateLock);
            m_call = NextCallState(m_call, {CCallEvent::DataEnded, {}, {}}, quirks()).next;
        }
        m_haveResponse.store(true);
        // The port is ours again: commands may wait for replies.
        m_lineQueue.resume();
        if (CSerialPort* port = getport())
            port->resetwriteerror();
        std::lock_guard lock(m_networkLock);
        m_networkState = NETWORK_NOREPORT;
    }
    post(m_dataStateCode, active ? 1 : 0);
}

// ---- command layer ---------------------------------------------------------

bool CGSMDevice::splitline(const QString& line, QString& key, QString& rest)
{
    return SplitReplyLine(line, key, rest);
}

bool CGSMDevice::passgate(const QString& command, bool checkCallSetup, bool named)
{
    if (checkCallSetup && isoutgoingsetup()) {
        if (named)
            TraceMessage(g_traceGsmSession, TRACE_INFO, "at command (%s) send rejected during MO call setup\n",
                         command);
        else
            TraceMessage(g_traceGsmSession, TRACE_INFO, "at command send rejected during MO call setup\n");
        return false;
    }
    if (GetState() == STATE_DEVICELOST) {
        if (named)
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Execute (%s) returns immediately since device is lost\n",
                         command);
        else
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Execute returns immediately since device is lost\n");
        return false;
    }
    return true;
}

// ---- the exchange ----------------------------------------------------------

bool CGSMDevice::linelost() const
{
    return m_lineQueue.isaborted() || m_lineQueue.aborts() != m_abortsAtBegin || linedown();
}

void CGSMDevice::readersaborted()
{
    std::lock_guard lock(m_exchangeLock);
    m_exchangeChanged.notify_all();
}

void CGSMDevice::beginexchange(const CAtRequest& request)
{
    std::lock_guard lock(m_exchangeLock);
    m_exchange.begin(request);
    m_abortsAtBegin = m_lineQueue.aborts();
}

void CGSMDevice::endexchange()
{
    std::lock_guard lock(m_exchangeLock);
    m_exchange.end();
}

void CGSMDevice::resynchronise()
{
    m_resync = false;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Re-synchronising after a time-out\n");
    const quint16 echoTimeout = m_echoTimeout.load();
    m_echoTimeout.store(std::min<quint16>(echoTimeout, ResyncTimeoutMs));
    const bool echoed = startexchange(frame(QString()), CAtRequest::For(QString()));
    m_echoTimeout.store(echoTimeout);
    if (echoed && finishexchange(ResyncTimeoutMs, ResyncTimeoutMs).ok())
        return;
    endexchange();
    m_resync = true;  // still out of step: again before the next command
}

bool CGSMDevice::startexchange(const QString& framed, CAtRequest request)
{
    if (m_resync && m_echoTimeout.load() > 0)
        resynchronise();
    // Lines nobody took before the command say nothing about its reply.
    clearbuffer();
    CHighResTimer timer;
    timer.Start();
    m_commandSentMs.store(SteadyMs());
    const int echoTimeout = m_echoTimeout.load();
    request.awaitEcho = echoTimeout > 0;
    request.echo = CAtRequest::For(framed).echo;
    beginexchange(request);
    const bool sent = send(framed);
    TraceMessage(g_traceGsmSession, TRACE_TIME, "send(): %d ms\n", timer.Elapsed());
    if (!sent) {
        endexchange();
        m_haveResponse.store(false);
        return false;
    }
    if (echoTimeout == 0)
        return true;
    bool echoed = false;
    {
        std::unique_lock lock(m_exchangeLock);
        m_exchangeChanged.wait_for(lock, std::chrono::milliseconds(echoTimeout),
                                   [this] { return m_exchange.echoed() || m_exchange.done() || linelost(); });
        echoed = m_exchange.echoed();
        if (!echoed)
            m_exchange.end();
    }
    TraceMessage(g_traceGsmSession, TRACE_TIME, "waitforline(): %d ms\n", timer.Elapsed());
    TraceMessage(g_traceGsmSession, TRACE_INFO, "waitforline returned %d, echotimeout %d\n", echoed ? 1 : 0,
                 echoTimeout);
    m_haveResponse.store(echoed);
    if (!echoed) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "sendcommand(%s) failed reading responce\n", framed);
        m_resync = !linelost();
    }
    return echoed;
}

CGSMDevice::Reply CGSMDevice::finishexchange(int firstMs, int nextMs)
{
    Reply reply;
    std::unique_lock lock(m_exchangeLock);
    qsizetype seen = -1;
    // Each reply line gives the device the next time-out anew: a long
    // listing is limited per line, not as a whole.
    while (!m_exchange.done() && !linelost() && seen != m_exchange.lines().size()) {
        const int wait = seen < 0 ? firstMs : nextMs;
        seen = m_exchange.lines().size();
        if (wait <= 0)
            break;
        m_exchangeChanged.wait_for(lock, std::chrono::milliseconds(wait), [this, seen] {
            return m_exchange.done() || linelost() || m_exchange.lines().size() != seen;
        });
    }
    reply.end = m_exchange.done() ? Reply::Final : linelost() ? Reply::Lost : Reply::Timeout;
    reply.lines = m_exchange.takelines();
    reply.final = m_exchange.finalline();
    reply.result = m_exchange.result();
    m_exchange.end();
    lock.unlock();
    if (reply.end == Reply::Timeout)
        m_resync = true;
    return reply;
}

bool CGSMDevice::senddataafterprompt(const QString& data, int promptMs)
{
    bool prompted = false;
    {
        std::unique_lock lock(m_exchangeLock);
        m_exchangeChanged.wait_for(lock, std::chrono::milliseconds(promptMs),
                                   [this] { return m_exchange.prompted() || m_exchange.done() || linelost(); });
        prompted = m_exchange.prompted();
    }
    if (prompted)
        return send(data);
    bool refused = false;
    {
        std::lock_guard lock(m_exchangeLock);
        refused = m_exchange.done();
    }
    if (!refused && !linelost()) {
        // No prompt and no answer: leave message mode before anything else.
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "No prompt for the message\n");
        const char escape = 0x1B;
        senddata(&escape, 1);
        m_resync = true;
    }
    return false;
}

bool CGSMDevice::sendcommand(const QString& framed)
{
    return startexchange(framed, CAtRequest::For(framed));
}

CGSMDevice::Reply CGSMDevice::run(const QString& cmd, int firstMs, int nextMs, CAtRequest request, bool& passed)
{
    passed = passgate(cmd, true, true);
    if (!passed)
        return Reply {};
    const QString framed = frame(cmd);
    if (!startexchange(framed, request))
        return Reply {Reply::NoEcho, {}, {}, FinalResult::None};
    return finishexchange(firstMs, nextMs);
}

// ---- the commands ----------------------------------------------------------

bool CGSMDevice::execute_set(const QString& cmd, int timeoutMs)
{
    CSyncLock lock(m_commandLock);
    bool passed = false;
    const Reply reply = run(cmd, timeoutMs, timeoutMs, CAtRequest::For(cmd), passed);
    if (!passed || reply.end == Reply::NoEcho)
        return false;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Got responce: %s, timeout: %d\n", reply.final, timeoutMs);
    return reply.ok();
}

QString CGSMDevice::execute_question(const QString& cmd, const QString& arg, int timeoutMs, bool noFinal,
                                     bool checkCallSetup)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, checkCallSetup, true))
        return QString();
    const QString framed = m_prefix + cmd + arg + m_suffix;
    CAtRequest request = CAtRequest::For(framed);
    request.firstLineEnds = noFinal;
    if (!startexchange(framed, request))
        return QString();
    const Reply reply = finishexchange(timeoutMs, QuestionFinalTimeoutMs);
    QString answer = reply.lines.value(0);
    if (reply.end != Reply::Final || (!noFinal && reply.result != FinalResult::Ok))
        answer.clear();
    lock.Unlock();
    TraceMessage(g_traceGsmSession, TRACE_TIME, "leaving execute_question(): %d ms\n", commandelapsed());
    TraceMessage(g_traceGsmSession, TRACE_INFO, "result='%s', responce='%s'\n", answer, reply.final);
    QString key;
    QString rest;
    if (!splitline(answer, key, rest) || key != cmd)
        return QString();
    return rest;
}

bool CGSMDevice::execute_generic(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final)
{
    QString failure;
    if (execute_listing(lines, cmd, timeoutMs, final, failure))
        return true;
    if (failure == ERROR_TEXT)
        lines.clear();
    else if (!failure.isEmpty())
        lines.append(failure);
    return false;
}

bool CGSMDevice::execute_listing(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final,
                                 QString& failure)
{
    failure.clear();
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    CAtRequest request = CAtRequest::For(cmd);
    if (final != OK)
        request.final = final;
    Reply reply;
    if (cmd.isEmpty()) {
        // The rest of a reply already under way: collect without writing.
        request.awaitEcho = false;
        beginexchange(request);
        reply = finishexchange(timeoutMs, timeoutMs);
    } else {
        if (!startexchange(frame(cmd), request))
            return false;
        reply = finishexchange(timeoutMs, timeoutMs);
    }
    lines += reply.lines;
    if (reply.end != Reply::Final)
        return false;
    if (reply.result == FinalResult::Ok && (request.final.isEmpty() || reply.final == request.final))
        return true;
    failure = reply.final;
    return false;
}

bool CGSMDevice::execute_generic(QString& line, const QString& cmd, int timeoutMs)
{
    QStringList lines;
    if (!execute_generic(lines, cmd, timeoutMs, OK) || lines.size() != 1)
        return false;
    line = lines.first();
    return true;
}

int CGSMDevice::execute_genericNew(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final)
{
    QString failure;
    if (execute_listing(lines, cmd, timeoutMs, final, failure))
        return 1;
    if (failure.isEmpty())
        return -1;
    lines = QStringList {failure};
    return 0;
}

bool CGSMDevice::execute_get(QString& line, const QString& text, int timeoutMs)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(text, true, true))
        return false;
    CAtRequest request = CAtRequest::For(text);
    request.echoOnly = timeoutMs == 0;  // the caller reads nothing more
    if (!startexchange(text, request))
        return false;
    if (timeoutMs == 0)
        return true;
    const Reply reply = finishexchange(timeoutMs, timeoutMs);
    line = reply.lines.isEmpty() ? reply.final : reply.lines.first();
    return !line.isEmpty() && line != ERROR_TEXT;
}

bool CGSMDevice::execute_send(const QString& cmd)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    CAtRequest request = CAtRequest::For(cmd);
    request.echoOnly = true;  // its reply is nobody's
    return startexchange(frame(cmd), request);
}

bool CGSMDevice::execute_call(const QString& number, CALLTYPE type, bool noEcho)
{
    {
        std::lock_guard lock(m_stateLock);
        m_call.callType = type;
    }
    QString command;
    if (type == CALLTYPE_VOICE)
        command = QStringLiteral("ATD") + number + QLatin1Char(';') + m_suffix;
    else if (type == CALLTYPE_DATA)
        command = QStringLiteral("ATD") + number + m_suffix;
    CSyncLock lock(m_commandLock);
    if (!passgate(command, true, false))
        return false;
    if (command.isEmpty()) {
        // An unknown call type dials nothing: an empty command could only
        // wait for an echo that never comes.
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "execute_call: unknown call type %d\n", static_cast<int>(type));
        return false;
    }
    const quint16 savedEcho = m_echoTimeout.load();
    if (noEcho)
        m_echoTimeout.store(0);
    // The dial's answer (OK, BUSY, NO CARRIER) comes later and is the
    // call's: the router follows it.
    CAtRequest request = CAtRequest::For(command);
    request.echoOnly = true;
    const bool sent = startexchange(command, request);
    m_echoTimeout.store(savedEcho);
    if (!sent)
        return false;
    {
        std::lock_guard state(m_stateLock);
        m_call = NextCallState(m_call, {CCallEvent::Dialled, {}, type}, quirks()).next;
    }
    lock.Unlock();
    statechange();
    return true;
}

bool CGSMDevice::execute_keystroke_call(const QString& number)
{
    {
        std::lock_guard lock(m_stateLock);
        m_call.callType = CALLTYPE_VOICE;
    }
    CSyncLock lock(m_commandLock);
    if (!passgate(number, true, false))
        return false;
    // Each key command's answer is read and not looked at.
    const auto press = [this](const QString& framed) {
        if (!sendcommand(framed))
            return false;
        finishexchange(KeystrokeReplyTimeoutMs, KeystrokeReplyTimeoutMs);
        return true;
    };
    if (!press(Format("AT+CLCK=\"CS\",0%s", m_suffix)))
        return false;
    if (number.isEmpty())
        return false;
    const int basePause = m_pref ? m_pref->m_KeystrokePause : 7;
    const int holdTime = m_pref ? m_pref->m_KeystrokeTime : 15;
    const int clearSleep = m_pref ? m_pref->m_KeystrokeSleep : 450;
    const int pause = KeystrokePauseFor(basePause, static_cast<int>(number.size()));
    QString last = Format("AT+CKPD=\"E%sS\",0,%d%s", number, pause, m_suffix);
    if (number.startsWith(QLatin1Char('+'))) {
        if (!press(Format("AT+CKPD=\"E\",0,0%s", m_suffix)))
            return false;
        Sleep(clearSleep);
        // Holding the 0 key gives the plus sign.
        if (!press(Format("AT+CKPD=\"0\",%d,0%s", holdTime, m_suffix)))
            return false;
        const int sleepMs = (holdTime + 7) * 100;
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Sleep = %d\n", sleepMs);
        Sleep(sleepMs);
        last = Format("AT+CKPD=\"%sS\",0,%d%s", number.mid(1), pause, m_suffix);
    }
    CAtRequest request = CAtRequest::For(last);
    request.echoOnly = true;
    return startexchange(last, request);
}

bool CGSMDevice::execute_hangup()
{
    const QString command = QStringLiteral("ATH") + m_suffix;
    CSyncLock lock(m_commandLock);
    if (!passgate(command, false, true))
        return false;
    const bool echoed = sendcommand(command);
    {
        std::lock_guard state(m_stateLock);
        m_call = NextCallState(m_call, {CCallEvent::HungUp, {}, {}}, quirks()).next;
    }
    statechange();
    if (!echoed)
        return false;
    return finishexchange(HangupReplyTimeoutMs, HangupReplyTimeoutMs).ok();
}

CGSMDevice::Reply CGSMDevice::submit(const QString& command, const QString& data)
{
    if (!sendcommand(command))
        return Reply {Reply::NoEcho, {}, {}, FinalResult::None};
    if (!senddataafterprompt(data, SmsPromptTimeoutMs)) {
        Reply reply = finishexchange(0, 0);
        if (reply.end == Reply::Final)
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Message refused: %s\n", reply.final);
        return reply;
    }
    return finishexchange(SmsCompletionTimeoutMs, SmsCompletionTimeoutMs);
}

bool CGSMDevice::submitreference(const QStringList& lines, QString& reference)
{
    // Any line of the reply may carry it: an unsolicited code never does.
    for (const QString& line : lines) {
        if (SubmitReference(line, reference)) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Sending SMS response, reference '%s'\n", reference);
            return true;
        }
    }
    return false;
}

int CGSMDevice::execute_sms(const QString& pdu, int length)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(pdu, true, false))
        return -1;
    if (m_pref && m_pref->m_SmsMode != 0)
        return -1;
    const Reply reply =
        submit(Format("AT+CMGS=%d%s", length, m_suffix), Format("%s", pdu) + QLatin1Char(CtrlZ));
    if (reply.end == Reply::Timeout)
        execute_set(QString(), SmsRecoveryTimeoutMs);  // back to command mode
    lock.Unlock();
    QString reference;
    if (!reply.ok() || !submitreference(reply.lines, reference))
        return -1;
    return ReplyNumber(reference, -1);
}

bool CGSMDevice::execute_sms(const QString& number, const QString& text)
{
    if (number.isEmpty())
        return false;
    CSyncLock lock(m_commandLock);
    if (!passgate(number, true, false))
        return false;
    QString command;
    QString data;
    if (m_pref && m_pref->m_SmsMode != 0) {
        CSmsText message;
        if (quirks() & DeviceQuirk::ModifiedCharacterSet)
            message.SetCharacterSet(std::make_unique<CCharacterSetDefaultModified>());
        command = Format("AT+CMGS=\"%s\"%s", number, m_suffix);
        data = message.GetUnicodeText(text, false) + QLatin1Char(CtrlZ);
    } else {
        CSmsOut message;
        message.SetServiceCenterAddress(m_pref ? m_pref->m_ServiceCentre : QString());
        message.SetAddress(number);
        message.SetText(text);
        const QString pdu = message.Create(nullptr);
        command = Format("AT+CMGS=%d%s", message.GetPduLength(), m_suffix);
        data = Format("%s", pdu) + QLatin1Char(CtrlZ);
    }
    const Reply reply = submit(command, data);
    lock.Unlock();
    QString reference;
    return reply.ok() && submitreference(reply.lines, reference);
}

bool CGSMDevice::querystate()
{
    CSyncLock lock(m_commandLock);
    const quint16 savedEcho = m_echoTimeout.load();
    m_echoTimeout.store(QueryStateEchoTimeoutMs);
    const STATE before = GetState();
    const bool indicators = quirks() & DeviceQuirk::ReadsIndicators;
    const QString answer = indicators
                               ? execute_question(QStringLiteral("+CIND"), QStringLiteral("?"),
                                                  QueryStateReplyTimeoutMs, false, false)
                               : execute_question(QStringLiteral("+CPAS"), QString(), QueryStateReplyTimeoutMs,
                                                  false, true);
    m_echoTimeout.store(savedEcho);
    if (!m_haveResponse.load() && GetState() != STATE_DEVICELOST) {
        SetState(STATE_DEVICELOST);
        statechange();
        return false;
    }
    if (answer.isEmpty()) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "+CPAS returned nothing!\n");
        return true;
    }
    lock.Unlock();

    std::lock_guard state(m_stateLock);
    if (m_call.state != before)
        return true;  // an unsolicited code was quicker
    const CCallStep step = NextCallState(
        m_call, {indicators ? CCallEvent::Indicators : CCallEvent::ActivityStatus, answer, {}}, quirks());
    m_call = step.next;
    if (step.stateEvent)
        statechange();
    return true;
}

int CGSMDevice::querysignalquality()
{
    const QString answer = execute_question(QStringLiteral("+CSQ"), QString(), SignalQualityTimeoutMs, false, true);
    if (answer.isEmpty())
        return -1;
    const QStringList fields = SplitAt(answer, QLatin1Char(','));
    if (fields.size() != 2)
        return -1;
    const int rssi = ReplyNumber(fields[0]);
    if (rssi < 0 || rssi == 99)
        return -1;
    m_signalQuality.store(rssi);
    return rssi;
}
