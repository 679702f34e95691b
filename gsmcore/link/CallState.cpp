#include "gsmcore/link/CallState.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/ReplyLine.h"
#include "support/StringHelpers.h"

namespace {

using S = CCallEnums;

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

class Stepper {
public:
    Stepper(const CCallState& now) { step.next = now; }
    CCallState& s() { return step.next; }
    void to(S::STATE state, bool event = true)
    {
        step.next.state = state;
        step.stateEvent = step.stateEvent || event;
    }
    void ended(bool normally)
    {
        to(S::STATE_IDLE);
        step.next.endedNormally = normally;
    }
    void trace(const char* text) { step.traces.append(QString::fromLatin1(text)); }
    CCallStep done(bool consumed)
    {
        step.consumed = consumed;
        return step;
    }
    CCallStep step;
};

CCallStep WholeLine(Stepper& st, const QString& line, unsigned quirks)
{
    CCallState& s = st.s();
    if (Same(line, "OK")) {
        // A plain OK after a dial is the remote answer on most devices.
        if (!s.outgoingsetup() || (quirks & DeviceQuirk::OkIsNotAnswer))
            return st.done(false);
        st.trace("Remote answer detected\n");
        st.to(S::STATE_ACTIVE);
        return st.done(true);
    }
    if (Same(line, "NO CARRIER")) {
        if (s.state == S::STATE_IDLE)
            return st.done(false);
        st.ended(true);
        return st.done(true);
    }
    if (Same(line, "BUSY")) {
        st.to(S::STATE_BUSY);
        return st.done(true);
    }
    if (Same(line, "DELAYED")) {
        st.ended(true);
        return st.done(true);
    }
    if (Same(line, "RING")) {
        if (s.state == S::STATE_CALLSETUP) {
            st.trace("Ignoring unsolicited RING\n");
            return st.done(true);
        }
        s.callType = S::CALLTYPE_VOICE;
        s.callerNumberReceived = false;
        s.direction = S::DIRECTION_INCOMING;
        st.to(S::STATE_CALLSETUP);
        return st.done(false);  // a ring also reaches whoever reads lines
    }
    return st.done(false);
}

CCallStep Coded(Stepper& st, const QString& key, const QString& rest)
{
    CCallState& s = st.s();
    const QStringList fields = SplitAt(rest, QLatin1Char(','));
    const bool outgoingSetup = s.outgoingsetup();
    if (Same(key, "+CRING")) {
        if (s.state == S::STATE_CALLSETUP) {
            st.trace("Ignoring unsolicited RING\n");
            return st.done(true);
        }
        s.callerNumberReceived = false;
        s.direction = S::DIRECTION_INCOMING;
        const QString type = TrimText(rest);
        if (Same(type, "VOICE")) {
            s.callType = S::CALLTYPE_VOICE;
            st.to(S::STATE_CALLSETUP);
        } else if (Same(type, "FAX") || Same(type, "ALT VOICE/FAX") || Same(type, "ALT FAX/VOICE")) {
            s.callType = S::CALLTYPE_DATA;
            st.to(S::STATE_CALLSETUP);
        } else {
            st.to(S::STATE_CALLSETUP, false);
            st.trace("Unknown calltype\n");
        }
        return st.done(true);
    }
    if (Same(key, "+CLIP")) {
        if (s.state == S::STATE_CALLSETUP && s.callerNumberReceived) {
            st.trace("Ignoring unsolicited +CLIP\n");
            return st.done(true);
        }
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        s.callerNumber = comma > 0 ? CallerNumber(rest.left(comma),
                                                  ReplyNumber(rest.mid(comma + 1).section(QLatin1Char(','), 0, 0)))
                                   : QString();
        s.callerNumberReceived = true;
        st.step.traces.append(QStringLiteral("Incoming call, number '%1'\n").arg(s.callerNumber));
        if (s.state == S::STATE_IDLE) {
            s.direction = S::DIRECTION_INCOMING;
            st.to(S::STATE_CALLSETUP);
        }
        st.step.numberEvent = true;
        return st.done(true);
    }
    if (Same(key, "+COLP")) {
        st.trace("Remote answer detected\n");
        if (s.state == S::STATE_CALLSETUP)
            st.to(S::STATE_ACTIVE);
        return st.done(true);
    }
    if (Same(key, "*ECAV")) {
        if (fields.size() < 3 || ReplyNumber(fields[2]) != 1)
            return st.done(true);
        const int status = ReplyNumber(fields[1]);
        if (status == 1 && s.state == S::STATE_IDLE) {
            s.dialledNumber = fields.size() >= 7 ? CallerNumber(fields[5], ReplyNumber(fields[6])) : QString();
            s.direction = S::DIRECTION_OUTGOING;
            st.to(S::STATE_CALLSETUP);
        } else if (status == 3 && outgoingSetup) {
            st.to(S::STATE_ACTIVE);
        } else if (status == 7 && outgoingSetup) {
            st.to(S::STATE_BUSY);
        } else if (status == 0) {
            if (s.direction == S::DIRECTION_OUTGOING && s.state == S::STATE_ACTIVE)
                st.ended(true);
            else if (s.direction == S::DIRECTION_OUTGOING && s.state == S::STATE_CALLSETUP)
                st.ended(false);
            else if (s.direction == S::DIRECTION_INCOMING && s.state == S::STATE_CALLSETUP && fields.size() >= 5 &&
                     ReplyNumber(fields[4]) == 17)
                st.ended(false);
        } else if (status == 6 && s.direction == S::DIRECTION_INCOMING && s.state == S::STATE_CALLSETUP &&
                   fields.size() < 4) {
            s.callerNumber.clear();
            st.step.numberEvent = true;
        }
        return st.done(true);
    }
    if (Same(key, "_OCSC")) {
        if (fields.size() >= 5 && ReplyNumber(fields[3]) == 0 && ReplyNumber(fields[2]) == 0 && outgoingSetup)
            st.to(S::STATE_ACTIVE);
        return st.done(true);
    }
    if (Same(key, "%CPI")) {
        if (fields.size() < 4 || ReplyNumber(fields[0]) != 1)
            return st.done(true);
        const int type = ReplyNumber(fields[1]);
        if (type == 6 && outgoingSetup) {
            st.to(S::STATE_ACTIVE);
        } else if (type == 1 && s.direction == S::DIRECTION_OUTGOING) {
            if (s.state == S::STATE_CALLSETUP)
                st.to(S::STATE_BUSY);
            else if (s.state == S::STATE_ACTIVE)
                st.ended(true);
        }
        return st.done(true);
    }
    return st.done(false);
}

void Indicators(Stepper& st, const QString& answer)
{
    CCallState& s = st.s();
    const QStringList fields = SplitAt(answer, QLatin1Char(','));
    if (fields.size() != 3)
        return;
    const int call = ReplyNumber(fields[0]);
    const int callSetup = ReplyNumber(fields[2]);
    if (callSetup == 1)
        return;  // incoming set-up: the unsolicited codes follow it
    if (callSetup == 2 || callSetup == 3) {
        if (s.state == S::STATE_IDLE) {
            s.direction = S::DIRECTION_OUTGOING;
            st.to(S::STATE_CALLSETUP);
        }
    } else if (call == 1) {
        if (s.state != S::STATE_ACTIVE)
            st.to(S::STATE_ACTIVE);
    } else if (s.state != S::STATE_IDLE) {
        st.ended(true);
    }
}

void ActivityStatus(Stepper& st, const QString& answer)
{
    const CCallState& s = st.s();
    const bool outgoingSetup = s.outgoingsetup();
    switch (ReplyNumber(answer)) {
    case 0:  // ready
        if (s.state != S::STATE_IDLE && !outgoingSetup)
            st.ended(true);
        break;
    case 3:  // ringing: the unsolicited codes tell more
        break;
    case 4:  // call in progress
        if (s.state != S::STATE_ACTIVE && !outgoingSetup)
            st.to(S::STATE_ACTIVE);
        break;
    default:
        if (s.state != S::STATE_UNAVAILABLE)
            st.to(S::STATE_UNAVAILABLE);
        break;
    }
}

}  // namespace

CCallStep NextCallState(const CCallState& now, const CCallEvent& event, unsigned quirks)
{
    Stepper st(now);
    switch (event.kind) {
    case CCallEvent::Line: {
        QString key;
        QString rest;
        if (!SplitReplyLine(event.text, key, rest))
            return WholeLine(st, event.text, quirks);
        return Coded(st, key, rest);
    }
    case CCallEvent::Dialled:
        st.s().callType = event.callType;
        st.s().direction = S::DIRECTION_OUTGOING;
        st.to(S::STATE_CALLSETUP);
        break;
    case CCallEvent::HungUp:
        st.ended(false);
        break;
    case CCallEvent::ActivityStatus:
        ActivityStatus(st, event.text);
        break;
    case CCallEvent::Indicators:
        Indicators(st, event.text);
        break;
    case CCallEvent::DataEnded:
        st.s().state = S::STATE_IDLE;
        st.s().direction = S::DIRECTION_INCOMING;
        break;
    }
    return st.done(false);
}
