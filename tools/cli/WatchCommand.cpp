// tessaly-cli watch: follows the device's unsolicited result codes and
// prints one line per incoming call, ended call, new message and change
// of network registration, with the caller's or sender's name from the
// user's Contacts, until SIGINT or SIGTERM (exit 0) or until the device
// goes away (exit 1).

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/ContactNames.h"
#include "tools/cli/CurrentCall.h"
#include "tools/cli/EventInbox.h"
#include "tools/cli/StoredMessages.h"

#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

enum EventCode : unsigned { kStateEvent = 1, kNumberEvent, kMessageEvent, kReportEvent, kDataStateEvent };

constexpr int kSetupTimeoutMs = 5000;
// How often registration and the device's presence are looked at.
constexpr int kPollMs = 200;
// A ring whose caller number has not come by then is shown without one.
constexpr auto kCallerNumberWait = std::chrono::milliseconds(1500);
// How often the device is asked for its call state: calls placed or
// answered elsewhere (another port of the device, the handset) are
// reported by no unsolicited code.
constexpr auto kCallStateQuery = std::chrono::milliseconds(1000);

// SIGINT and SIGTERM become readable on a descriptor while watching,
// whichever thread of the process the kernel hands them to.
class StopSignals {
public:
    StopSignals()
    {
        s_fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        struct sigaction action {};
        action.sa_handler = &StopSignals::Caught;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previousInt);
        sigaction(SIGTERM, &action, &m_previousTerm);
    }
    ~StopSignals()
    {
        sigaction(SIGINT, &m_previousInt, nullptr);
        sigaction(SIGTERM, &m_previousTerm, nullptr);
        if (s_fd >= 0)
            ::close(s_fd);
        s_fd = -1;
    }
    int Descriptor() const { return s_fd; }

private:
    static void Caught(int)
    {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(s_fd, &one, sizeof(one));
    }

    static inline volatile sig_atomic_t s_fd = -1;
    struct sigaction m_previousInt {};
    struct sigaction m_previousTerm {};
};

// A device that does not answer keeps the connection busy for a long
// while; a stop signal meanwhile cancels it and ends the watch at once.
// The exit status of the connection, or nothing when it was stopped.
std::optional<int> ConnectUnlessStopped(CliContext& context, CPhoneBookConnection& connection, int stopDescriptor)
{
    connection.SetSleep([stopDescriptor](int ms) {
        pollfd stop = {stopDescriptor, POLLIN, 0};
        ::poll(&stop, 1, ms);
    });
    const int done = ::eventfd(0, EFD_CLOEXEC);
    if (done < 0)
        return context.Connect(connection);
    int status = 0;
    bool stopped = false;
    std::thread connecting([&] {
        status = context.Connect(connection);
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(done, &one, sizeof(one));
    });
    pollfd fds[2] = {{stopDescriptor, POLLIN, 0}, {done, POLLIN, 0}};
    while (!(fds[1].revents & POLLIN)) {
        if (::poll(fds, 2, kPollMs) > 0 && (fds[0].revents & POLLIN) && !stopped) {
            stopped = true;
            connection.CancelDeviceWork();
            fds[0].events = 0;
        }
    }
    connecting.join();
    ::close(done);
    if (!stopped)
        return status;
    context.err.clear();  // what the cancelled connection said is no news
    return std::nullopt;
}

class Watcher {
public:
    Watcher(CliContext& context, CGSMDevice& device) : m_context(context), m_device(device) {}

    void Handle(const CDeviceEvent& event)
    {
        switch (event.wParam) {
        case kStateEvent: StateChanged(static_cast<int>(event.lParam)); break;
        case kNumberEvent:
            if (m_inCall && !m_ringShown)
                Ring(m_device.GetCallerNumber());
            break;
        case kMessageEvent: MessageArrived(event.text); break;
        default: break;
        }
    }

    void Tick()
    {
        if (m_inCall && !m_ringShown && std::chrono::steady_clock::now() - m_ringAt > kCallerNumberWait)
            Ring(QString());
        CGSMDevice::NETWORKSTATE state;
        if (m_device.retrievenetworkstate(state) && state != CGSMDevice::NETWORK_NOREPORT)
            Emit(QJsonObject{{QStringLiteral("event"), QStringLiteral("registration")}, {QStringLiteral("status"), int(state)}},
                 QStringLiteral("registration %1").arg(int(state)));
        const auto now = std::chrono::steady_clock::now();
        if (now - m_stateQueriedAt >= kCallStateQuery) {
            m_stateQueriedAt = now;
            m_device.querystate();  // a change comes back as a state event
            TellAlerting();
        }
    }

private:
    void StateChanged(int state)
    {
        if (state == CGSMDevice::STATE_CALLSETUP && !m_inCall
            && m_device.GetCallDirection() == CGSMDevice::DIRECTION_INCOMING) {
            m_inCall = true;
            m_ringShown = false;
            m_ringAt = std::chrono::steady_clock::now();
        } else if (state == CGSMDevice::STATE_IDLE && m_inCall) {
            if (!m_ringShown)
                Ring(QString());
            Emit(QJsonObject{{QStringLiteral("event"), QStringLiteral("call-ended")}}, QStringLiteral("call ended"));
        }
        CallStateChanged(state);
        if (state == CGSMDevice::STATE_IDLE)
            m_inCall = false;
    }

    // The states of a call past its ringing, as the link's state machine
    // reports them.
    void CallStateChanged(int state)
    {
        switch (state) {
        case CGSMDevice::STATE_CALLSETUP:
            if (m_device.GetCallDirection() == CGSMDevice::DIRECTION_OUTGOING)
                TellCallState(QStringLiteral("dialing"), m_device.GetDialledNumber());
            break;
        case CGSMDevice::STATE_ACTIVE: TellCallState(QStringLiteral("active")); break;
        case CGSMDevice::STATE_BUSY: TellCallState(QStringLiteral("ended"), QString(), QStringLiteral("busy")); break;
        case CGSMDevice::STATE_IDLE:
            if (!m_callState.isEmpty())
                TellCallState(QStringLiteral("ended"));
            break;
        default: break;
        }
    }

    // The link cannot tell a dialled call from one ringing at the far end;
    // the device's call list can.
    void TellAlerting()
    {
        if (m_callState != QLatin1String("dialing"))
            return;
        CurrentCall call;
        QString error;
        if (ReadCurrentCall(m_device, call, error) && call.state == QLatin1String("alerting"))
            TellCallState(call.state, call.number);
    }

    void TellCallState(const QString& state, const QString& number = QString(), const QString& reason = QString())
    {
        if (state == m_callState)
            return;
        if (!number.isEmpty())
            m_callNumber = number;
        QJsonObject event{{QStringLiteral("event"), QStringLiteral("call-state")}, {QStringLiteral("state"), state}};
        QString text = QStringLiteral("call ") + state;
        AddParty(event, text, m_callNumber);
        if (!reason.isEmpty()) {
            event[QStringLiteral("reason")] = reason;
            text += QStringLiteral(": ") + reason;
        }
        // The end of a call that rang here has had its line already.
        const bool toldAlready = state == QLatin1String("ended") && m_inCall;
        Emit(event, toldAlready ? QString() : text);
        m_callState = state == QLatin1String("ended") ? QString() : state;
        if (m_callState.isEmpty())
            m_callNumber.clear();
    }

    void Ring(const QString& number)
    {
        m_ringShown = true;
        QJsonObject event{{QStringLiteral("event"), QStringLiteral("ring")}};
        QString text = QStringLiteral("ring");
        AddParty(event, text, number);
        Emit(event, text);
    }

    // The other party of a call, with the contact's name, when known.
    void AddParty(QJsonObject& event, QString& text, const QString& number) const
    {
        if (number.isEmpty())
            return;
        event[QStringLiteral("number")] = number;
        text += QLatin1Char(' ') + number;
        const QString name = m_names.NameFor(number);
        if (!name.isEmpty()) {
            event[QStringLiteral("name")] = name;
            text += QStringLiteral(" (%1)").arg(name);
        }
    }

    // "#"SM"#3" for a message stored at 3 (+CMTI); the message is read
    // from there. A long message waits for its last part.
    void MessageArrived(const QString& indication)
    {
        const qsizetype hash = indication.lastIndexOf(QLatin1Char('#'));
        bool ok = false;
        const int index = hash >= 0 ? indication.mid(hash + 1).toInt(&ok) : 0;
        if (!indication.startsWith(QLatin1Char('#')) || !ok)
            return;  // delivered straight to the terminal: nothing stored to read
        const QString stored = m_device.readsmsfromsim(index);
        if (stored.isEmpty()) {
            m_context.Fail(QStringLiteral("message %1 could not be read").arg(index));
            FlushErrors();
            return;
        }
        ListedPdu pdu;
        pdu.index = index;
        pdu.status = stored.section(QLatin1Char(','), 0, 0).trimmed().toInt();
        pdu.pdu = stored.section(QStringLiteral("\r\n"), 1).trimmed();
        m_pending.push_back(pdu);

        std::vector<ListedPdu> waiting;
        const std::vector<DecodedMessage> messages = DecodeStoredMessages(m_pending);
        for (const DecodedMessage& m : messages) {
            if (m.indexes.size() < m.parts) {
                for (const ListedPdu& p : m_pending)
                    if (m.indexes.contains(p.index))
                        waiting.push_back(p);
                continue;
            }
            PrintMessage(m);
        }
        m_pending = waiting;
    }

    void PrintMessage(const DecodedMessage& m)
    {
        QJsonObject event{{QStringLiteral("event"), QStringLiteral("message")}, {QStringLiteral("index"), m.indexes.first()}};
        if (!m.error.isEmpty()) {
            event[QStringLiteral("error")] = m.error;
            Emit(event, QStringLiteral("message %1 unreadable: %2").arg(m.indexes.first()).arg(m.error));
            return;
        }
        const QString name = m_names.NameFor(m.party);
        event[QStringLiteral("from")] = m.party;
        if (!name.isEmpty())
            event[QStringLiteral("name")] = name;
        event[QStringLiteral("text")] = m.text;
        event[QStringLiteral("timestamp")] = m.timestamp;
        const QString who = name.isEmpty() ? m.party : QStringLiteral("%1 (%2)").arg(name, m.party);
        Emit(event, QStringLiteral("message %1 from %2 at %3: %4").arg(m.indexes.first()).arg(who, m.timestamp, m.text));
    }

    // Lines go out as they happen, not when the command ends.
    // An empty text: nothing in text form.
    void Emit(const QJsonObject& json, const QString& text)
    {
        if (!m_context.Json() && text.isEmpty())
            return;
        const QString line = m_context.Json() ? QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)) : text;
        std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }
    void FlushErrors()
    {
        std::fputs(m_context.err.toLocal8Bit().constData(), stderr);
        m_context.err.clear();
    }

    CliContext& m_context;
    CGSMDevice& m_device;
    const ContactNames m_names;
    bool m_inCall = false;
    bool m_ringShown = false;
    std::chrono::steady_clock::time_point m_ringAt;
    std::chrono::steady_clock::time_point m_stateQueriedAt;
    QString m_callState;  // past its ringing; empty when there is none
    QString m_callNumber;
    std::vector<ListedPdu> m_pending;  // parts of long messages still incomplete
};

}  // namespace

int RunWatch(CliContext& context)
{
    const StopSignals stop;
    if (stop.Descriptor() < 0)
        return context.Fail(QStringLiteral("cannot watch for SIGINT and SIGTERM"));
    // Made before the connection, so it outlives the reader thread that posts to it.
    EventInbox inbox;
    CPhoneBookConnection connection;
    const std::optional<int> connected = ConnectUnlessStopped(context, connection, stop.Descriptor());
    if (!connected)
        return 0;
    if (*connected != 0)
        return *connected;
    Ptr<CGSMDevice> device = connection.GetDevicePtr();
    if (!device)
        return context.Fail(QStringLiteral("watching needs a device, not the simulated phone books"));

    // The device is already running; a second init only names the sink.
    device->init([&inbox](const CDeviceEvent& event) { inbox.Post(event); }, 1, kStateEvent, kNumberEvent,
                 kMessageEvent, kReportEvent, kDataStateEvent);
    static const char* const setup[] = {"+CLIP=1", "+CMGF=0", "+CNMI=2,1,0,0,0", "+CREG=1"};
    for (const char* command : setup) {
        if (!device->execute_set(QString::fromLatin1(command), kSetupTimeoutMs))
            context.err += QStringLiteral("tessaly-cli: the device refused %1; its events will be missing\n")
                               .arg(QString::fromLatin1(command));
    }
    std::fputs(context.err.toLocal8Bit().constData(), stderr);
    context.err.clear();

    Watcher watcher(context, *device);
    pollfd fds[2] = {{stop.Descriptor(), POLLIN, 0}, {inbox.Descriptor(), POLLIN, 0}};
    while (true) {
        const int ready = ::poll(fds, 2, kPollMs);
        if (ready > 0 && (fds[0].revents & POLLIN))
            return 0;
        for (const CDeviceEvent& event : inbox.Take())
            watcher.Handle(event);
        watcher.Tick();
        if (!device->isrunning() || device->GetState() == CGSMDevice::STATE_DEVICELOST)
            return context.Fail(QStringLiteral("the device has gone"));
    }
}
