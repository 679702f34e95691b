// The call state's transitions as one table: state, event and quirks in;
// the next state and what it raises out.

#include "gsmcore/link/CallState.h"
#include "gsmcore/link/DeviceModels.h"

#include <gtest/gtest.h>

namespace {

using S = CCallEnums;
constexpr auto In = S::DIRECTION_INCOMING;
constexpr auto Out = S::DIRECTION_OUTGOING;

struct Transition {
    S::STATE from;
    S::DIRECTION direction;
    CCallEvent::Kind kind;
    const char* text;
    unsigned quirks;
    S::STATE to;
    bool stateEvent;
    bool consumed;
    bool endedNormally = true;
};

const Transition kTransitions[] = {
    // Incoming calls.
    {S::STATE_IDLE, In, CCallEvent::Line, "RING", 0, S::STATE_CALLSETUP, true, false},
    {S::STATE_CALLSETUP, In, CCallEvent::Line, "RING", 0, S::STATE_CALLSETUP, false, true},
    {S::STATE_ACTIVE, In, CCallEvent::Line, "RING", 0, S::STATE_CALLSETUP, true, false},
    {S::STATE_IDLE, In, CCallEvent::Line, "+CRING: VOICE", 0, S::STATE_CALLSETUP, true, true},
    {S::STATE_IDLE, In, CCallEvent::Line, "+CRING: FAX", 0, S::STATE_CALLSETUP, true, true},
    {S::STATE_IDLE, In, CCallEvent::Line, "+CRING: GPRS", 0, S::STATE_CALLSETUP, false, true},
    {S::STATE_IDLE, In, CCallEvent::Line, "+CLIP: \"0612\",129", 0, S::STATE_CALLSETUP, true, true},
    {S::STATE_CALLSETUP, In, CCallEvent::Line, "*ECAV: 1,0,1,8,17", 0, S::STATE_IDLE, true, true, false},
    // Outgoing calls.
    {S::STATE_IDLE, In, CCallEvent::Dialled, "", 0, S::STATE_CALLSETUP, true, false},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "OK", 0, S::STATE_ACTIVE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "OK", DeviceQuirk::OkIsNotAnswer, S::STATE_CALLSETUP, false, false},
    {S::STATE_IDLE, In, CCallEvent::Line, "OK", 0, S::STATE_IDLE, false, false},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "+COLP: \"0612\",129", 0, S::STATE_ACTIVE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "*ECAV: 1,3,1", 0, S::STATE_ACTIVE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "*ECAV: 1,7,1", 0, S::STATE_BUSY, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "*ECAV: 1,0,1", 0, S::STATE_IDLE, true, true, false},
    {S::STATE_ACTIVE, Out, CCallEvent::Line, "*ECAV: 1,0,1", 0, S::STATE_IDLE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "*ECAV: 1,3,2", 0, S::STATE_CALLSETUP, false, true},
    {S::STATE_IDLE, In, CCallEvent::Line, "*ECAV: 1,1,1,8,0,\"0612\",129", 0, S::STATE_CALLSETUP, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "%CPI: 1,6,0,1", 0, S::STATE_ACTIVE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "%CPI: 1,1,0,1", 0, S::STATE_BUSY, true, true},
    {S::STATE_ACTIVE, Out, CCallEvent::Line, "%CPI: 1,1,0,1", 0, S::STATE_IDLE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "_OCSC: 1,2,0,0,5", 0, S::STATE_ACTIVE, true, true},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "_OCSC: 1,2", 0, S::STATE_CALLSETUP, false, true},
    // Ends.
    {S::STATE_IDLE, In, CCallEvent::Line, "BUSY", 0, S::STATE_BUSY, true, true},
    {S::STATE_ACTIVE, In, CCallEvent::Line, "NO CARRIER", 0, S::STATE_IDLE, true, true},
    {S::STATE_IDLE, In, CCallEvent::Line, "NO CARRIER", 0, S::STATE_IDLE, false, false},
    {S::STATE_CALLSETUP, Out, CCallEvent::Line, "DELAYED", 0, S::STATE_IDLE, true, true},
    {S::STATE_ACTIVE, Out, CCallEvent::HungUp, "", 0, S::STATE_IDLE, true, false, false},
    {S::STATE_ACTIVE, Out, CCallEvent::DataEnded, "", 0, S::STATE_IDLE, false, false},
    // Answers of the state query.
    {S::STATE_ACTIVE, In, CCallEvent::ActivityStatus, "0", 0, S::STATE_IDLE, true, false},
    {S::STATE_CALLSETUP, Out, CCallEvent::ActivityStatus, "0", 0, S::STATE_CALLSETUP, false, false},
    {S::STATE_CALLSETUP, In, CCallEvent::ActivityStatus, "3", 0, S::STATE_CALLSETUP, false, false},
    {S::STATE_IDLE, In, CCallEvent::ActivityStatus, "4", 0, S::STATE_ACTIVE, true, false},
    {S::STATE_IDLE, In, CCallEvent::ActivityStatus, "2", 0, S::STATE_UNAVAILABLE, true, false},
    {S::STATE_IDLE, In, CCallEvent::Indicators, "0,0,2", 0, S::STATE_CALLSETUP, true, false},
    {S::STATE_IDLE, In, CCallEvent::Indicators, "1,0,0", 0, S::STATE_ACTIVE, true, false},
    {S::STATE_ACTIVE, In, CCallEvent::Indicators, "0,0,0", 0, S::STATE_IDLE, true, false},
    {S::STATE_ACTIVE, In, CCallEvent::Indicators, "0,0,1", 0, S::STATE_ACTIVE, false, false},
    {S::STATE_ACTIVE, In, CCallEvent::Indicators, "0,0", 0, S::STATE_ACTIVE, false, false},
};

TEST(CallState, Transitions)
{
    for (const Transition& t : kTransitions) {
        SCOPED_TRACE(testing::Message() << t.from << "/" << t.direction << " " << t.kind << " " << t.text);
        CCallState now;
        now.state = t.from;
        now.direction = t.direction;
        const CCallStep step = NextCallState(now, {t.kind, QString::fromLatin1(t.text), S::CALLTYPE_VOICE}, t.quirks);
        EXPECT_EQ(step.next.state, t.to);
        EXPECT_EQ(step.stateEvent, t.stateEvent);
        EXPECT_EQ(step.consumed, t.consumed);
        if (t.to == S::STATE_IDLE && t.from != S::STATE_IDLE) {
            EXPECT_EQ(step.next.endedNormally, t.endedNormally);
        }
    }
}

TEST(CallState, CallerNumbers)
{
    const struct {
        const char* line;
        const char* number;
        bool numberEvent;
    } cases[] = {
        {"+CLIP: \"0612345678\",129", "0612345678", true},
        {"+CLIP: \"31612345678\",145", "+31612345678", true},
        {"+CLIP: \"+31612345678\",145", "+31612345678", true},
        {"+CLIP: \"0612345678\"", "", true},
        {"*ECAV: 1,1,1,8,0,\"31612\",145", "", false},
    };
    for (const auto& c : cases) {
        const CCallStep step = NextCallState(CCallState {}, {CCallEvent::Line, QString::fromLatin1(c.line), {}}, 0);
        EXPECT_EQ(step.next.callerNumber, QString::fromLatin1(c.number)) << c.line;
        EXPECT_EQ(step.numberEvent, c.numberEvent) << c.line;
    }
    // The dialled number of a monitored call, and a second +CLIP while ringing.
    EXPECT_EQ(NextCallState({}, {CCallEvent::Line, "*ECAV: 1,1,1,8,0,\"31612\",145", {}}, 0).next.dialledNumber,
              "+31612");
    CCallState ringing;
    ringing.state = S::STATE_CALLSETUP;
    ringing.callerNumberReceived = true;
    ringing.callerNumber = "0612";
    const CCallStep second = NextCallState(ringing, {CCallEvent::Line, "+CLIP: \"999\",129", {}}, 0);
    EXPECT_EQ(second.next.callerNumber, "0612");
    EXPECT_TRUE(second.consumed);
    EXPECT_EQ(second.traces, QStringList {"Ignoring unsolicited +CLIP\n"});
}

}  // namespace
