#include "tools/cli/CurrentCall.h"

#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"

namespace {

constexpr int kCallListTimeoutMs = 5000;

// +CLCC <stat>, 0 to 5.
const char* const kListedStates[] = {"active", "held", "dialing", "alerting", "incoming", "waiting"};

// One "+CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>...]" line;
// false for any other line.
bool ParseCallLine(const QString& line, CurrentCall& call)
{
    if (!line.startsWith(QLatin1String("+CLCC:"), Qt::CaseInsensitive))
        return false;
    const QStringList fields = SplitOutsideQuotes(line.mid(6).trimmed());
    bool ok = false;
    const int stat = fields.value(2).trimmed().toInt(&ok);
    if (fields.size() < 5 || !ok || stat < 0 || stat > 5)
        return false;
    call.state = QString::fromLatin1(kListedStates[stat]);
    call.direction = fields.value(1).trimmed() == QLatin1String("1") ? QStringLiteral("incoming") : QStringLiteral("outgoing");
    call.number = Unquote(fields.value(5).trimmed());
    if (fields.value(6).trimmed() == QLatin1String("145") && !call.number.isEmpty() && !call.number.startsWith(QLatin1Char('+')))
        call.number.prepend(QLatin1Char('+'));
    return true;
}

// What the link's state machine knows; it cannot tell dialling from alerting.
CurrentCall CallFromState(const CGSMDevice& device)
{
    CurrentCall call;
    const bool outgoing = device.GetCallDirection() == CGSMDevice::DIRECTION_OUTGOING;
    switch (device.GetState()) {
    case CGSMDevice::STATE_CALLSETUP:
        call.state = outgoing ? QStringLiteral("dialing") : QStringLiteral("incoming");
        call.direction = outgoing ? QStringLiteral("outgoing") : QStringLiteral("incoming");
        call.number = outgoing ? device.GetDialledNumber() : device.GetCallerNumber();
        break;
    case CGSMDevice::STATE_ACTIVE: call.state = QStringLiteral("active"); break;
    case CGSMDevice::STATE_BUSY: call.state = QStringLiteral("busy"); break;
    case CGSMDevice::STATE_UNAVAILABLE: call.state = QStringLiteral("unavailable"); break;
    default: break;
    }
    return call;
}

}  // namespace

CurrentCall CallFromList(const QStringList& lines)
{
    CurrentCall first;
    bool found = false;
    for (const QString& line : lines) {
        CurrentCall call;
        if (!ParseCallLine(line, call))
            continue;
        if (call.state == QLatin1String("active"))
            return call;
        if (!found)
            first = call;
        found = true;
    }
    return first;
}

bool ReadCurrentCall(CGSMDevice& device, CurrentCall& call, QString& error)
{
    // While our own dial is being set up the link refuses ordinary
    // commands; a question that skips that guard still gets the one call.
    // Its OK is left unread: many devices answer a dial with a bare OK, so
    // the link may take this one for the far end's answer.
    if (device.GetState() == CGSMDevice::STATE_CALLSETUP && device.GetCallDirection() == CGSMDevice::DIRECTION_OUTGOING) {
        const QString answer = device.execute_question(QStringLiteral("+CLCC"), QString(), kCallListTimeoutMs, true, false);
        call = answer.isEmpty() ? CallFromState(device) : CallFromList({QStringLiteral("+CLCC: ") + answer});
        return true;
    }
    QStringList lines;
    switch (device.execute_genericNew(lines, QStringLiteral("+CLCC"), kCallListTimeoutMs, QStringLiteral("OK"))) {
    case 1: call = CallFromList(lines); return true;
    case 0:
        if (device.querystate() && device.GetState() != CGSMDevice::STATE_DEVICELOST) {
            call = CallFromState(device);
            return true;
        }
        break;
    default: break;
    }
    error = QStringLiteral("the device does not tell its call state");
    return false;
}

QJsonObject CallJson(const CurrentCall& call, const QString& name)
{
    QJsonObject json{{QStringLiteral("state"), call.state}};
    if (!call.direction.isEmpty())
        json[QStringLiteral("direction")] = call.direction;
    if (!call.number.isEmpty())
        json[QStringLiteral("number")] = call.number;
    if (!name.isEmpty())
        json[QStringLiteral("name")] = name;
    return json;
}

QString CallText(const CurrentCall& call, const QString& name)
{
    QStringList words{call.state, call.direction, call.number};
    if (!name.isEmpty())
        words << QStringLiteral("(%1)").arg(name);
    words.removeAll(QString());
    return words.join(QLatin1Char(' '));
}
