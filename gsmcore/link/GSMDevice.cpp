#include "gsmcore/link/GSMDevice.h"

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
    return m_state;
}

void CGSMDevice::SetState(STATE state)
{
    std::lock_guard lock(m_stateLock);
    m_state = state;
}

CGSMDevice::DIRECTION CGSMDevice::GetCallDirection() const
{
    std::lock_guard lock(m_stateLock);
    return m_direction;
}

CGSMDevice::CALLTYPE CGSMDevice::GetCalltype() const
{
    std::lock_guard lock(m_stateLock);
    return m_callType;
}

QString CGSMDevice::GetCallerNumber() const
{
    std::lock_guard lock(m_stateLock);
    return m_callerNumber;
}

QString CGSMDevice::GetDialledNumber() const
{
    std::lock_guard lock(m_stateLock);
    return m_dialledNumber;
}

bool CGSMDevice::GetCallEndedNormally() const
{
    std::lock_guard lock(m_stateLock);
    return m_callEndedNormally;
}

bool CGSMDevice::isoutgoingsetup() const
{
    std::lock_guard lock(m_stateLock);
    return m_state == STATE_CALLSETUP && m_direction == DIRECTION_OUTGOING;
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
        state = m_state;
        direction = m_direction;
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
            m_state = STATE_IDLE;
            m_direction = DIRECTION_INCOMING;
        }
        m_haveResponse.store(true);
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

bool CGSMDevice::sendcommand(const QString& framed)
{
    clearbuffer();
    CHighResTimer timer;
    timer.Start();
    m_commandSentMs.store(SteadyMs());
    const bool sent = send(framed);
    TraceMessage(g_traceGsmSession, TRACE_TIME, "send(): %d ms\n", timer.Elapsed());
    if (!sent) {
        m_haveResponse.store(false);
        return false;
    }
    const int echoTimeout = m_echoTimeout.load();
    if (echoTimeout == 0)
        return true;
    const bool echoed = waitforline(framed, echoTimeout);
    TraceMessage(g_traceGsmSession, TRACE_TIME, "waitforline(): %d ms\n", timer.Elapsed());
    TraceMessage(g_traceGsmSession, TRACE_INFO, "waitforline returned %d, echotimeout %d\n", echoed ? 1 : 0,
                 echoTimeout);
    m_haveResponse.store(echoed);
    if (!echoed)
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "sendcommand(%s) failed reading responce\n", framed);
    return echoed;
}

bool CGSMDevice::execute_set(const QString& cmd, int timeoutMs)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    // Without its echo the reply cannot be told from older lines; failing
    // now spares the caller a second time-out.
    if (!sendcommand(frame(cmd)))
        return false;
    QString line;
    const bool got = readline(line, timeoutMs);
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Got responce: %s, timeout: %d\n", line, timeoutMs);
    return got && line == OK;
}

QString CGSMDevice::execute_question(const QString& cmd, const QString& arg, int timeoutMs, bool noFinal,
                                     bool checkCallSetup)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, checkCallSetup, true))
        return QString();
    if (!sendcommand(m_prefix + cmd + arg + m_suffix))
        return QString();
    QString answer;
    QString final;
    if (readline(answer, timeoutMs)) {
        if (answer == ERROR_TEXT) {
            answer.clear();
        } else if (!noFinal) {
            if (!readline(final, QuestionFinalTimeoutMs) || final != OK)
                answer.clear();
        }
    }
    lock.Unlock();
    TraceMessage(g_traceGsmSession, TRACE_TIME, "leaving execute_question(): %d ms\n", commandelapsed());
    TraceMessage(g_traceGsmSession, TRACE_INFO, "result='%s', responce='%s'\n", answer, final);
    QString key;
    QString rest;
    if (!splitline(answer, key, rest) || key != cmd)
        return QString();
    return rest;
}

CGSMDevice::Collected CGSMDevice::collect(QStringList& lines, int timeoutMs, const QString& final, bool anyError,
                                          QString& errorLine)
{
    QString line;
    while (readline(line, timeoutMs)) {
        // An error line: plain "ERROR", or with anyError also the extended
        // "+CME ERROR: n" and "+CMS ERROR: n".
        if (line == ERROR_TEXT || (anyError && line.contains(ERROR_TEXT))) {
            errorLine = line;
            return Collected::Error;
        }
        if (line == final)
            return Collected::Final;
        // A ring is never part of a reply; the state already follows it.
        if (line == QLatin1String("RING")) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring received line (%s), we're waiting for something else\n",
                         line);
            continue;
        }
        lines.append(line);
    }
    return Collected::Lost;
}

bool CGSMDevice::execute_generic(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    if (!cmd.isEmpty() && !sendcommand(frame(cmd)))
        return false;
    QString errorLine;
    switch (collect(lines, timeoutMs, final, false, errorLine)) {
    case Collected::Final:
        return true;
    case Collected::Error:
        lines.clear();
        return false;
    case Collected::Lost:
        break;
    }
    return false;
}

bool CGSMDevice::execute_listing(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final,
                                 QString& failure)
{
    failure.clear();
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    if (!cmd.isEmpty() && !sendcommand(frame(cmd)))
        return false;
    return collect(lines, timeoutMs, final, true, failure) == Collected::Final;
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
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return -1;
    if (!cmd.isEmpty() && !sendcommand(frame(cmd)))
        return -1;
    QString errorLine;
    switch (collect(lines, timeoutMs, final, true, errorLine)) {
    case Collected::Final:
        return 1;
    case Collected::Error:
        lines = QStringList {errorLine};
        return 0;
    case Collected::Lost:
        break;
    }
    return -1;
}

bool CGSMDevice::execute_get(QString& line, const QString& text, int timeoutMs)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(text, true, true))
        return false;
    if (!sendcommand(text))
        return false;
    if (timeoutMs == 0)
        return true;
    return readline(line, timeoutMs) && line != ERROR_TEXT;
}

bool CGSMDevice::execute_send(const QString& cmd)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(cmd, true, true))
        return false;
    return sendcommand(frame(cmd));
}

bool CGSMDevice::execute_call(const QString& number, CALLTYPE type, bool noEcho)
{
    {
        std::lock_guard lock(m_stateLock);
        m_callType = type;
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
    const bool sent = sendcommand(command);
    m_echoTimeout.store(savedEcho);
    if (!sent)
        return false;
    {
        std::lock_guard state(m_stateLock);
        m_state = STATE_CALLSETUP;
        m_direction = DIRECTION_OUTGOING;
    }
    lock.Unlock();
    statechange();
    return true;
}

bool CGSMDevice::execute_keystroke_call(const QString& number)
{
    {
        std::lock_guard lock(m_stateLock);
        m_callType = CALLTYPE_VOICE;
    }
    CSyncLock lock(m_commandLock);
    if (!passgate(number, true, false))
        return false;
    QString reply;
    if (!sendcommand(Format("AT+CLCK=\"CS\",0%s", m_suffix)))
        return false;
    readline(reply, KeystrokeReplyTimeoutMs);
    if (number.isEmpty())
        return false;
    const int basePause = m_pref ? m_pref->m_KeystrokePause : 7;
    const int holdTime = m_pref ? m_pref->m_KeystrokeTime : 15;
    const int clearSleep = m_pref ? m_pref->m_KeystrokeSleep : 450;
    const int pause = KeystrokePauseFor(basePause, static_cast<int>(number.size()));
    if (number.startsWith(QLatin1Char('+'))) {
        const QString rest = number.mid(1);
        if (!sendcommand(Format("AT+CKPD=\"E\",0,0%s", m_suffix)))
            return false;
        readline(reply, KeystrokeReplyTimeoutMs);
        Sleep(clearSleep);
        // Holding the 0 key gives the plus sign.
        if (!sendcommand(Format("AT+CKPD=\"0\",%d,0%s", holdTime, m_suffix)))
            return false;
        readline(reply, KeystrokeReplyTimeoutMs);
        const int sleepMs = (holdTime + 7) * 100;
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Sleep = %d\n", sleepMs);
        Sleep(sleepMs);
        return sendcommand(Format("AT+CKPD=\"%sS\",0,%d%s", rest, pause, m_suffix));
    }
    return sendcommand(Format("AT+CKPD=\"E%sS\",0,%d%s", number, pause, m_suffix));
}

bool CGSMDevice::execute_hangup()
{
    const QString command = QStringLiteral("ATH") + m_suffix;
    CSyncLock lock(m_commandLock);
    if (!passgate(command, false, true))
        return false;
    sendcommand(command);
    {
        std::lock_guard state(m_stateLock);
        m_state = STATE_IDLE;
        m_callEndedNormally = false;
    }
    statechange();
    QString line;
    return readline(line, HangupReplyTimeoutMs) && line == OK;
}

int CGSMDevice::execute_sms(const QString& pdu, int length)
{
    CSyncLock lock(m_commandLock);
    if (!passgate(pdu, true, false))
        return -1;
    clearbuffer();
    if (m_pref && m_pref->m_SmsMode != 0)
        return -1;
    const QString command = Format("AT+CMGS=%d%s", length, m_suffix);
    const QString data = Format("%s", pdu) + QLatin1Char(CtrlZ);
    setaltlineend(' ');  // the prompt "> " becomes a line
    if (!sendcommand(command)) {
        clearaltlineend();
        return -1;
    }
    QString prompt;
    readline(prompt, SmsPromptTimeoutMs);
    setaltlineend(CtrlZ);  // the echoed PDU ends as a line
    send(data);
    QStringList lines;
    // The device's +CMS ERROR is its final answer: no need to wait it out.
    QString refusal;
    const bool completed = execute_listing(lines, QString(), SmsCompletionTimeoutMs, OK, refusal);
    if (!completed)
        execute_set(QString(), SmsRecoveryTimeoutMs);  // back to command mode
    lock.Unlock();
    clearaltlineend();
    QString reference;
    if (!completed || !submitreference(lines, reference))
        return -1;
    return ReplyNumber(reference, -1);
}

bool CGSMDevice::submitreference(const QStringList& lines, QString& reference)
{
    if (lines.isEmpty() || !SubmitReference(lines.last(), reference))
        return false;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Sending SMS response, reference '%s'\n", reference);
    return true;
}

bool CGSMDevice::execute_sms(const QString& number, const QString& text)
{
    if (number.isEmpty())
        return false;
    CSyncLock lock(m_commandLock);
    if (!passgate(number, true, false))
        return false;
    clearbuffer();
    QString command;
    QString data;
    if (m_pref && m_pref->m_SmsMode != 0) {
        CSmsText message;
        if (m_pref->m_DeviceType == 11)
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
    if (!sendcommand(command))
        return false;
    // Only now, after the echo: a prompt that came with it ends at the
    // next line end, and the prompt read below may time out harmlessly.
    setaltlineend(' ');
    QString prompt;
    readline(prompt, SmsPromptTimeoutMs);
    setaltlineend(CtrlZ);
    send(data);
    QStringList lines;
    // The device's +CMS ERROR is its final answer: no need to wait it out.
    QString refusal;
    const bool completed = execute_listing(lines, QString(), SmsCompletionTimeoutMs, OK, refusal);
    lock.Unlock();
    clearaltlineend();
    QString reference;
    return completed && submitreference(lines, reference);
}

bool CGSMDevice::querystate()
{
    CSyncLock lock(m_commandLock);
    const quint16 savedEcho = m_echoTimeout.load();
    m_echoTimeout.store(QueryStateEchoTimeoutMs);
    const STATE before = GetState();
    const int deviceType = m_pref ? m_pref->m_DeviceType.load() : 0;
    const bool indicators = deviceType == 8 || deviceType == 9;
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
    if (m_state != before)
        return true;  // an unsolicited code was quicker
    const bool outgoingSetup = m_state == STATE_CALLSETUP && m_direction == DIRECTION_OUTGOING;
    bool changed = false;
    if (indicators) {
        const QStringList fields = SplitAt(answer, QLatin1Char(','));
        if (fields.size() != 3)
            return true;
        const int call = ReplyNumber(fields[0]);
        const int callSetup = ReplyNumber(fields[2]);
        if (callSetup == 1) {
            // incoming set-up: the unsolicited codes follow it
        } else if (callSetup == 2 || callSetup == 3) {
            if (m_state == STATE_IDLE) {
                m_state = STATE_CALLSETUP;
                m_direction = DIRECTION_OUTGOING;
                changed = true;
            }
        } else if (call == 1) {
            if (m_state != STATE_ACTIVE) {
                m_state = STATE_ACTIVE;
                changed = true;
            }
        } else if (m_state != STATE_IDLE) {
            m_state = STATE_IDLE;
            m_callEndedNormally = true;
            changed = true;
        }
    } else {
        switch (ReplyNumber(answer)) {
        case 0:  // ready
            if (m_state != STATE_IDLE && !outgoingSetup) {
                m_state = STATE_IDLE;
                m_callEndedNormally = true;
                changed = true;
            }
            break;
        case 3:  // ringing: the unsolicited codes tell more
            break;
        case 4:  // call in progress
            if (m_state != STATE_ACTIVE && !outgoingSetup) {
                m_state = STATE_ACTIVE;
                changed = true;
            }
            break;
        default:
            if (m_state != STATE_UNAVAILABLE) {
                m_state = STATE_UNAVAILABLE;
                changed = true;
            }
            break;
        }
    }
    if (changed)
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
