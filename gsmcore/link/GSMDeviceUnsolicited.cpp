// The unsolicited result codes of the device: call progress, caller
// number, incoming messages and network registration.

#include "gsmcore/link/GSMDevice.h"

#include "gsmcore/link/ReplyLine.h"
#include "gsmcore/link/SyncLock.h"
#include "support/StringHelpers.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <chrono>
#include <thread>

namespace {

constexpr int BodyAttempts = 5;
constexpr int BodyRetryMs = 200;
constexpr int SmsReadTimeoutMs = 5000;
constexpr int SmsFinalTimeoutMs = 3000;

// Device types whose plain "OK" after a dial is not the remote answer.
bool OkIsNotAnswer(int deviceType)
{
    switch (deviceType) {
    case 4: case 5: case 8: case 9: case 14: case 17:
        return true;
    default:
        return false;
    }
}

bool Same(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// A number field of +CLIP or *ECAV: without its quotes, with a plus sign
// for the international type 145.
QString CallerNumber(const QString& field, int type)
{
    QString number = field;
    const qsizetype first = number.indexOf(QLatin1Char('"'));
    const qsizetype last = number.lastIndexOf(QLatin1Char('"'));
    if (first >= 0 && last > first)
        number = number.mid(first + 1, last - first - 1);
    if (type == 145 && !number.isEmpty() && !number.startsWith(QLatin1Char('+')))
        number.prepend(QLatin1Char('+'));
    return number;
}

}  // namespace

bool CGSMDevice::checkunsolicitedcodes(const QString& line)
{
    if (!m_events.hassink())
        return false;
    std::lock_guard stateLock(m_stateLock);
    TraceMessage(g_traceGsmSession, TRACE_INFO, "unsolicited check of '%s'\n", line);
    TraceMessage(g_traceGsmSession, TRACE_TIME, "unsolicited: %d ms\n", commandelapsed());
    const int deviceType = m_pref ? m_pref->m_DeviceType.load() : 0;
    const bool outgoingSetup = m_state == STATE_CALLSETUP && m_direction == DIRECTION_OUTGOING;

    if (outgoingSetup && !OkIsNotAnswer(deviceType) && Same(line, "OK")) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Remote answer detected\n");
        m_state = STATE_ACTIVE;
        statechange();
        return true;
    }
    if (Same(line, "NO CARRIER")) {
        if (m_state == STATE_IDLE)
            return false;
        m_state = STATE_IDLE;
        m_callEndedNormally = true;
        statechange();
        return true;
    }
    if (Same(line, "BUSY")) {
        m_state = STATE_BUSY;
        statechange();
        return true;
    }
    if (Same(line, "DELAYED")) {
        m_state = STATE_IDLE;
        m_callEndedNormally = true;
        statechange();
        return true;
    }
    if (Same(line, "RING")) {
        if (m_state == STATE_CALLSETUP) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring unsolicited RING\n");
            return true;
        }
        m_callType = CALLTYPE_VOICE;
        m_callerNumberReceived = false;
        m_direction = DIRECTION_INCOMING;
        m_state = STATE_CALLSETUP;
        statechange();
        return false;  // the ring also reaches the command layer
    }

    QString key;
    QString rest;
    if (!splitline(line, key, rest))
        return false;
    const QStringList fields = SplitAt(rest, QLatin1Char(','));

    if (Same(key, "+CRING")) {
        if (m_state == STATE_CALLSETUP) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring unsolicited RING\n");
            return true;
        }
        m_callerNumberReceived = false;
        m_direction = DIRECTION_INCOMING;
        m_state = STATE_CALLSETUP;
        const QString type = TrimText(rest);
        if (Same(type, "VOICE")) {
            m_callType = CALLTYPE_VOICE;
            statechange();
        } else if (Same(type, "FAX") || Same(type, "ALT VOICE/FAX") || Same(type, "ALT FAX/VOICE")) {
            m_callType = CALLTYPE_DATA;
            statechange();
        } else {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Unknown calltype\n");
        }
        return true;
    }
    if (Same(key, "+CLIP")) {
        if (m_state == STATE_CALLSETUP && m_callerNumberReceived) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring unsolicited +CLIP\n");
            return true;
        }
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        m_callerNumber = comma > 0 ? CallerNumber(rest.left(comma), ReplyNumber(rest.mid(comma + 1).section(QLatin1Char(','), 0, 0)))
                                   : QString();
        m_callerNumberReceived = true;
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Incoming call, number '%s'\n", m_callerNumber);
        if (m_state == STATE_IDLE) {
            m_direction = DIRECTION_INCOMING;
            m_state = STATE_CALLSETUP;
            statechange();
        }
        numberchange();
        return true;
    }
    if (Same(key, "+COLP")) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Remote answer detected\n");
        if (m_state == STATE_CALLSETUP) {
            m_state = STATE_ACTIVE;
            statechange();
        }
        return true;
    }
    if (Same(key, "+CMTI")) {
        if (fields.size() != 2) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to interpret +cmti, split()\n");
            return true;
        }
        const int index = ReplyNumber(fields[1], 0);
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Incoming SMS, memory index=%d\n", index);
        newsms(Format("#%s#%d", fields[0], index));
        return true;
    }
    if (Same(key, "+CMT") || Same(key, "+CDS")) {
        const bool report = Same(key, "+CDS");
        QString text;
        readmessagebody(rest, report, text);
        if (report)
            newsmsreport(text);
        else
            newsms(text);
        return true;
    }
    if (Same(key, "+CREG")) {
        const int value = RegistrationStatus(rest);
        std::lock_guard network(m_networkLock);
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Network registration +CREG code: %d. Old code: %d\n", value,
                     static_cast<int>(m_networkState));
        if (value != m_networkState || value == NETWORK_ROAMING) {
            m_networkState = static_cast<NETWORKSTATE>(value);
            m_networkChanged = true;
        }
        return true;
    }
    if (Same(key, "+CGREG")) {
        const int value = RegistrationStatus(rest);
        std::lock_guard gprs(m_gprsLock);
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Network registration +CGREG code: %d. Old code: %d\n", value,
                     static_cast<int>(m_gprsState));
        if (value != m_gprsState) {
            m_gprsState = static_cast<GPRSNETWORKSTATE>(value);
            m_gprsChanged = true;
        }
        return true;
    }
    if (Same(key, "*ECAV")) {
        if (fields.size() < 3 || ReplyNumber(fields[2]) != 1)
            return true;
        const int status = ReplyNumber(fields[1]);
        const STATE old = m_state;
        if (status == 1 && m_state == STATE_IDLE) {
            m_dialledNumber = fields.size() >= 7 ? CallerNumber(fields[5], ReplyNumber(fields[6])) : QString();
            m_direction = DIRECTION_OUTGOING;
            m_state = STATE_CALLSETUP;
        } else if (status == 3 && outgoingSetup) {
            m_state = STATE_ACTIVE;
        } else if (status == 7 && outgoingSetup) {
            m_state = STATE_BUSY;
        } else if (status == 0) {
            if (m_direction == DIRECTION_OUTGOING && m_state == STATE_ACTIVE) {
                m_state = STATE_IDLE;
                m_callEndedNormally = true;
            } else if (m_direction == DIRECTION_OUTGOING && m_state == STATE_CALLSETUP) {
                m_state = STATE_IDLE;
                m_callEndedNormally = false;
            } else if (m_direction == DIRECTION_INCOMING && m_state == STATE_CALLSETUP && fields.size() >= 5 &&
                       ReplyNumber(fields[4]) == 17) {
                m_state = STATE_IDLE;
                m_callEndedNormally = false;
            }
        } else if (status == 6 && m_direction == DIRECTION_INCOMING && m_state == STATE_CALLSETUP &&
                   fields.size() < 4) {
            m_callerNumber.clear();
            numberchange();
        }
        if (m_state != old)
            statechange();
        return true;
    }
    if (Same(key, "_OCSC")) {
        if (fields.size() >= 5 && ReplyNumber(fields[3]) == 0 && ReplyNumber(fields[2]) == 0 && outgoingSetup) {
            m_state = STATE_ACTIVE;
            statechange();
        }
        return true;
    }
    if (Same(key, "%CPI")) {
        if (fields.size() < 4 || ReplyNumber(fields[0]) != 1)
            return true;
        const int type = ReplyNumber(fields[1]);
        if (type == 6 && outgoingSetup) {
            m_state = STATE_ACTIVE;
            statechange();
        } else if (type == 1 && m_direction == DIRECTION_OUTGOING) {
            if (m_state == STATE_CALLSETUP) {
                m_state = STATE_BUSY;
                statechange();
            } else if (m_state == STATE_ACTIVE) {
                m_state = STATE_IDLE;
                m_callEndedNormally = true;
                statechange();
            }
        }
        return true;
    }
    return false;
}

bool CGSMDevice::readmessagebody(const QString& header, bool report, QString& text)
{
    text = header;
    const bool textMode = m_pref && m_pref->m_SmsMode == 1;
    int bodyLength = 0;
    if (textMode) {
        const QStringList fields = SplitAt(header, QLatin1Char(','));
        bodyLength = fields.size() == 11 ? ReplyNumber(fields[10], 0) : 0;
    }
    bool complete = true;
    if (!textMode || bodyLength > 0) {
        std::lock_guard receive(m_receiveLock);
        const int deviceType = m_pref ? m_pref->m_DeviceType.load() : 0;
        bool skippedEmpty = false;
        int charactersRead = 0;
        int lineNumber = 0;
        for (;;) {
            QString line;
            int attempt = 0;
            bool got = false;
            while (attempt < BodyAttempts) {
                if (getoneline(line)) {
                    if (!line.isEmpty()) {
                        got = true;
                        break;
                    }
                    // Only line ends came; one device type sends an empty
                    // line before the body, which is not counted.
                    if (!report && deviceType == 11 && lineNumber == 0 && !skippedEmpty) {
                        skippedEmpty = true;
                        continue;
                    }
                }
                // A blank line is an attempt like a failed read, and waits
                // like one: the body may still be on its way.
                ++attempt;
                std::this_thread::sleep_for(std::chrono::milliseconds(BodyRetryMs));
            }
            if (!got) {
                complete = false;
                break;
            }
            if (line.startsWith(QLatin1Char('\n')))
                line.remove(0, 1);
            text += QStringLiteral("\r\n") + line;
            if (!textMode)
                break;
            charactersRead += static_cast<int>(line.size()) + (lineNumber > 0 ? 2 : 0);
            ++lineNumber;
            if (charactersRead >= bodyLength)
                break;
        }
    }
    if (complete) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, report ? "Incoming SMS Status Report, %s\n" : "Incoming SMS, %s\n",
                     text);
    } else {
        TraceMessage(g_traceGsmSession, TRACE_ERROR,
                     report ? "Incoming SMS Status Report, getoneline returned false\n"
                            : "Incoming SMS, getoneline returned false\n");
        if (textMode)
            text += Tr("[The SMS is truncated, all rows are not received.]");
    }
    return complete;
}

QString CGSMDevice::readsmsfromsim(int index)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "readsmsfromsim()\n");
    CSyncLock lock(m_commandLock);
    if (isoutgoingsetup()) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "at command send rejected during MO call setup\n");
        return QString();
    }
    QString line;
    const bool got = execute_get(line, Format("AT+CMGR=%d", index) + m_suffix, SmsReadTimeoutMs);
    TraceMessage(g_traceGsmSession, TRACE_INFO, "b=%d, '%s'\n", got ? 1 : 0, line);
    if (!got) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #1\n");
        return QString();
    }
    QString key;
    QString rest;
    if (!splitline(line, key, rest)) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #2\n");
        return QString();
    }
    QString body;
    if (!readline(body, SmsReadTimeoutMs)) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #3\n");
        return QString();
    }
    const QString result = rest + QStringLiteral("\r\n") + body;
    QString final;
    readline(final, SmsFinalTimeoutMs);
    return result;
}
