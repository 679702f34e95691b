// tessaly-cli call: places, answers and ends voice calls and tells the
// current call, through the link's own call commands and call state.

#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/ContactNames.h"
#include "tools/cli/CurrentCall.h"
#include "tools/cli/EventInbox.h"

#include <QDeadlineTimer>

namespace {

// A far end that never picks up is given up by the network within a
// minute; this only guards against a device that says nothing at all.
constexpr int kDialAnswerMs = 90000;
constexpr int kLineWaitMs = 100;
constexpr int kAnswerMs = 10000;
constexpr int kHangUpMs = 5000;

// Final results a device may give a dial instead of taking it, in words.
struct DialRefusal {
    const char* result;
    const char* words;
};
const DialRefusal kDialRefusals[] = {
    {"BUSY", "the line is busy"},
    {"NO CARRIER", "no connection could be made (NO CARRIER)"},
    {"NO ANSWER", "no answer"},
    {"NO DIALTONE", "no network to dial on (NO DIALTONE)"},
};

// Why a dial failed, from a line the device sent after it; empty when the
// line says nothing about the dial.
QString DialFailure(const QString& line)
{
    for (const DialRefusal& refusal : kDialRefusals)
        if (line.compare(QLatin1String(refusal.result), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(refusal.words);
    if (line == QLatin1String("ERROR") || line.startsWith(QLatin1String("+CME ERROR")))
        return QStringLiteral("the device refused to dial (%1)").arg(line);
    return QString();
}

// The first character the number check refuses (where it stands), asked
// of the check itself so that the rule stays in one place; -1 for none.
qsizetype RefusedCharacter(const QString& number)
{
    for (qsizetype i = 0; i < number.size(); ++i)
        if (!IsWritableNumber(number.left(i + 1)) && !IsWritableNumber(QLatin1Char('0') + number[i]))
            return i;
    return -1;
}

class CallCommand {
public:
    explicit CallCommand(CliContext& context) : m_context(context) {}

    int Run()
    {
        const QString action = m_context.args.Word(1);
        if (action == QLatin1String("dial"))
            return Dial();
        if (action == QLatin1String("answer"))
            return Answer();
        if (action == QLatin1String("hangup"))
            return HangUp();
        if (action == QLatin1String("status"))
            return Status();
        return m_context.Fail(QStringLiteral("call needs dial NUMBER, answer, hangup or status"), 2);
    }

private:
    int Open()
    {
        m_connection.SetEventSink([this](const CDeviceEvent& event) { m_inbox.Post(event); });
        if (const int status = m_context.Connect(m_connection))
            return status;
        m_device = m_connection.GetDevicePtr();
        if (!m_device)
            return m_context.Fail(QStringLiteral("calls need a device, not the simulated phone books"));
        return 0;
    }

    // Opens the device and reads its call; 0, or the exit status.
    int OpenAndRead(CurrentCall& call)
    {
        if (const int status = Open())
            return status;
        return Read(call) ? 0 : 1;
    }

    bool Read(CurrentCall& call)
    {
        QString error;
        if (ReadCurrentCall(*m_device, call, error))
            return true;
        m_context.Fail(error);
        return false;
    }

    void PrintCall(const CurrentCall& call)
    {
        const QString name = ContactNames().NameFor(call.number);
        if (m_context.Json())
            m_context.PrintJson(QJsonDocument(CallJson(call, name)));
        else
            m_context.Print(CallText(call, name));
    }

    int Dial()
    {
        const QString given = m_context.args.Word(2);
        if (given.isEmpty())
            return m_context.Fail(QStringLiteral("call dial needs a NUMBER"), 2);
        if (const qsizetype at = RefusedCharacter(given); at >= 0)
            return m_context.Fail(QStringLiteral("cannot dial %1: '%2' (character %3) is not allowed in a number; nothing was dialled")
                                      .arg(given, given.mid(at, 1))
                                      .arg(at + 1));
        // What a phone book write would store is what is dialled.
        const QString number = FilterNumber(given);
        if (number.isEmpty() || !IsWritableNumber(given))
            return m_context.Fail(QStringLiteral("cannot dial %1: it holds no digits; nothing was dialled").arg(given));
        if (const int status = Open())
            return status;
        m_inbox.Take();  // what happened before the dial says nothing about it
        if (!m_device->execute_call(number, CGSMDevice::CALLTYPE_VOICE, false))
            return m_context.Fail(QStringLiteral("the device did not take the dial command"));

        // The device answers the dial with a final result (OK, or why not)
        // that reaches us as a line or, for most types, as a change of the
        // link's call state. The changes are taken as events: a quick BUSY
        // can be told before the dial's own change to call set-up.
        const QDeadlineTimer deadline(kDialAnswerMs);
        while (!deadline.hasExpired()) {
            for (const CDeviceEvent& event : m_inbox.Take()) {
                if (event.wParam != CPhoneBookConnection::EventState)
                    continue;
                switch (event.lParam) {
                case CGSMDevice::STATE_ACTIVE: return PrintDialled(number, QStringLiteral("active"));
                case CGSMDevice::STATE_BUSY: return m_context.Fail(DialFailure(QStringLiteral("BUSY")));
                case CGSMDevice::STATE_IDLE: return m_context.Fail(DialFailure(QStringLiteral("NO CARRIER")));
                case CGSMDevice::STATE_DEVICELOST: return m_context.Fail(QStringLiteral("the device has gone"));
                default: break;
                }
            }
            if (!m_device->isrunning())
                return m_context.Fail(QStringLiteral("the device has gone"));
            QString line;
            if (!m_device->readline(line, kLineWaitMs))
                continue;
            if (line == QLatin1String("OK")) {
                CurrentCall call;
                if (!Read(call))
                    return 1;
                return PrintDialled(number, call.state == QLatin1String("idle") ? QStringLiteral("dialing") : call.state);
            }
            const QString failure = DialFailure(line);
            if (!failure.isEmpty())
                return m_context.Fail(failure);
        }
        return m_context.Fail(QStringLiteral("the device said nothing about the call within %1 s").arg(kDialAnswerMs / 1000));
    }

    int PrintDialled(const QString& number, const QString& state)
    {
        if (m_context.Json())
            m_context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("state"), state}, {QStringLiteral("number"), number}}));
        else
            m_context.Print(QStringLiteral("%1 %2").arg(state, number));
        return 0;
    }

    int Answer()
    {
        CurrentCall call;
        if (const int status = OpenAndRead(call))
            return status;
        if (call.state != QLatin1String("incoming"))
            return m_context.Fail(QStringLiteral("no incoming call"));
        if (!m_device->execute_set(QStringLiteral("A"), kAnswerMs))
            return m_context.Fail(QStringLiteral("the device did not answer the call"));
        if (!Read(call))
            return 1;
        PrintCall(call);
        return 0;
    }

    // ATH first, as the link ends calls; a device that keeps a voice call
    // after it (ATH for data calls only) is asked with +CHUP.
    int HangUp()
    {
        CurrentCall call;
        if (const int status = OpenAndRead(call))
            return status;
        if (call.state == QLatin1String("idle")) {
            m_context.Print(QStringLiteral("No call to end."));
            return 0;
        }
        m_device->execute_hangup();
        if (!Read(call))
            return 1;
        if (call.state != QLatin1String("idle")) {
            m_device->execute_set(QStringLiteral("+CHUP"), kHangUpMs);
            if (!Read(call))
                return 1;
        }
        if (call.state != QLatin1String("idle"))
            return m_context.Fail(QStringLiteral("the device kept the call (%1)").arg(call.state));
        m_context.Print(QStringLiteral("Call ended."));
        return 0;
    }

    int Status()
    {
        CurrentCall call;
        if (const int status = OpenAndRead(call))
            return status;
        PrintCall(call);
        return 0;
    }

    CliContext& m_context;
    // Made before the connection, so it outlives the thread that posts to it.
    EventInbox m_inbox;
    CPhoneBookConnection m_connection;
    Ptr<CGSMDevice> m_device;
};

}  // namespace

int RunCall(CliContext& context)
{
    return CallCommand(context).Run();
}
