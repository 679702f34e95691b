// The unsolicited result codes of the device: call progress, caller
// number, incoming messages and network registration.

#include "gsmcore/link/GSMDevice.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/ReplyLine.h"
#include "gsmcore/link/SyncLock.h"
#include "gsmcore/link/UnsolicitedCodes.h"
#include "support/Format.h"
#include "support/StringHelpers.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <chrono>
#include <thread>

namespace {

constexpr int BodyAttempts = 5;
constexpr int BodyRetryMs = 200;
constexpr int SmsReadTimeoutMs = 5000;

}  // namespace

unsigned CGSMDevice::quirks() const
{
    return DeviceQuirksOf(m_pref ? m_pref->m_DeviceType.load() : 0);
}

bool CGSMDevice::checkunsolicitedcodes(const QString& line)
{
    if (line.isEmpty())
        return false;  // only line ends: never queued, nothing to route
    CAtExchange::Take take = CAtExchange::Take::Unsolicited;
    bool duringCommand = false;
    {
        std::lock_guard lock(m_exchangeLock);
        duringCommand = m_exchange.active();
        if (duringCommand) {
            take = m_exchange.feed(line, lastlineoverlong());
            if (take != CAtExchange::Take::Unsolicited)
                m_exchangeChanged.notify_all();
        }
    }
    if (take != CAtExchange::Take::Unsolicited)
        return true;
    // While a command runs nothing but its reply goes to it.
    const bool consumed = route(line);
    if (!consumed && duringCommand && !line.isEmpty())
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring received line (%s), we're waiting for something else\n",
                     line);
    return consumed || duringCommand;
}

bool CGSMDevice::followcall(const CCallEvent& event)
{
    const CCallStep step = NextCallState(m_call, event, quirks());
    m_call = step.next;
    for (const QString& trace : step.traces)
        TraceMessage(g_traceGsmSession, TRACE_INFO, "%s", trace);
    if (step.stateEvent)
        statechange();
    if (step.numberEvent)
        numberchange();
    return step.consumed;
}

void CGSMDevice::onregistration(const QString& rest, bool gprs)
{
    const int value = RegistrationStatus(rest);
    std::lock_guard network(gprs ? m_gprsLock : m_networkLock);
    NETWORKSTATE& stored = gprs ? m_gprsState : m_networkState;
    TraceMessage(g_traceGsmSession, TRACE_INFO,
                 gprs ? "Network registration +CGREG code: %d. Old code: %d\n"
                      : "Network registration +CREG code: %d. Old code: %d\n",
                 value, static_cast<int>(stored));
    // Roaming is reported every time: the user may want to hear it again.
    if (value != stored || (!gprs && value == NETWORK_ROAMING)) {
        stored = static_cast<NETWORKSTATE>(value);
        (gprs ? m_gprsChanged : m_networkChanged) = true;
    }
}

bool CGSMDevice::route(const QString& line)
{
    if (!m_events.hassink())
        return false;
    const UnsolicitedCode code = ClassifyUnsolicited(line);
    if (code == UnsolicitedCode::None)
        return false;
    std::lock_guard stateLock(m_stateLock);
    TraceMessage(g_traceGsmSession, TRACE_INFO, "unsolicited check of '%s'\n", line);
    TraceMessage(g_traceGsmSession, TRACE_TIME, "unsolicited: %d ms\n", commandelapsed());
    QString key;
    QString rest;
    splitline(line, key, rest);
    switch (code) {
    case UnsolicitedCode::None:
        return false;
    case UnsolicitedCode::Call:
        return followcall({CCallEvent::Line, line, {}});
    case UnsolicitedCode::MessageIndex: {
        const QStringList fields = SplitAt(rest, QLatin1Char(','));
        if (fields.size() != 2) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to interpret +cmti, split()\n");
            return true;
        }
        const int index = ReplyNumber(fields[1], 0);
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Incoming SMS, memory index=%d\n", index);
        newsms(Format("#%s#%d", fields[0], index));
        return true;
    }
    case UnsolicitedCode::Message:
    case UnsolicitedCode::Report: {
        const bool report = code == UnsolicitedCode::Report;
        QString text;
        readmessagebody(rest, report, text);
        if (report)
            newsmsreport(text);
        else
            newsms(text);
        return true;
    }
    case UnsolicitedCode::Registration:
    case UnsolicitedCode::GprsRegistration:
        onregistration(rest, code == UnsolicitedCode::GprsRegistration);
        return true;
    case UnsolicitedCode::Indicator:
    case UnsolicitedCode::Supplementary:
    case UnsolicitedCode::Maker:
        return true;  // traced above; nothing here follows them
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
        const bool emptyLineFirst = quirks() & DeviceQuirk::EmptyLineBeforeBody;
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
                    if (!report && emptyLineFirst && lineNumber == 0 && !skippedEmpty) {
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
    QStringList lines;
    const bool got = execute_generic(lines, Format("+CMGR=%d", index), SmsReadTimeoutMs, QStringLiteral("OK"));
    TraceMessage(g_traceGsmSession, TRACE_INFO, "b=%d, '%s'\n", got ? 1 : 0, lines.value(0));
    if (!got || lines.isEmpty()) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #1\n");
        return QString();
    }
    QString key;
    QString rest;
    if (!splitline(lines[0], key, rest)) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #2\n");
        return QString();
    }
    if (lines.size() < 2) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to read SMS from SIM card, leaving #3\n");
        return QString();
    }
    return rest + QStringLiteral("\r\n") + lines[1];
}
