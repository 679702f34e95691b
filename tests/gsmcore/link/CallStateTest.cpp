// The call state's transitions as one table: state, event and quirks in;
// the next state and what it raises out.

#include "gsmcore/link/CallState.h"
#include "gsmcore/link/DeviceModels.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using S = CCallEnums;

// The names tests/data/link/call-transitions.txt gives the states and
// events, in the order of their values.
const QByteArrayList kStates = {"idle", "setup", "active", "busy", "unavailable"};
const QByteArrayList kKinds = {"line", "dialled", "hung-up", "status", "indicators", "data-ended"};

TEST(CallState, Transitions)
{
    const auto rows = TestDataRows(QStringLiteral("link/call-transitions.txt"));
    ASSERT_GE(rows.size(), 40);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        const QByteArrayList flags = row.value(5).split(' ');
        CCallState now;
        now.state = S::STATE(kStates.indexOf(row[0]));
        now.direction = row[1] == "out" ? S::DIRECTION_OUTGOING : S::DIRECTION_INCOMING;
        const CCallEvent event {CCallEvent::Kind(kKinds.indexOf(row[2])), QString::fromLatin1(row[3]), S::CALLTYPE_VOICE};
        const CCallStep step = NextCallState(now, event, flags.contains("ok-is-not-answer") ? unsigned(DeviceQuirk::OkIsNotAnswer) : 0u);
        EXPECT_EQ(step.next.state, kStates.indexOf(row[4]));
        EXPECT_EQ(step.stateEvent, flags.contains("event"));
        EXPECT_EQ(step.consumed, flags.contains("consumed"));
        if (row[4] == "idle" && row[0] != "idle") {
            EXPECT_EQ(step.next.endedNormally, !flags.contains("abnormal"));
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
