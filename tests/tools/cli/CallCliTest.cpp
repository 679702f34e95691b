// tessaly-cli call against the simulated modem: what the user sees, and
// what the modem did with the call.

#include "tests/tools/cli/CliRun.h"
#include "tools/cli/CurrentCall.h"

namespace {

const char kGiven[] = "+46 70-555 01 01";
const char kDialled[] = "+46705550101";

TEST(CurrentCall, TheCallListAsDevicesSendIt)
{
    // Each call as "state|direction|number".
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "idle||"},
        {{R"(+CLCC: 1,0,2,0,0,"+46701234567",145)"}, "dialing|outgoing|+46701234567"},
        {{R"(+CLCC: 1,0,3,0,0,"46701234567",145)"}, "alerting|outgoing|+46701234567"},
        {{"+CLCC: 1,1,4,0,0"}, "incoming|incoming|"},
        // A held call and the active one: the active one is the call.
        {{R"(+CLCC: 1,1,1,0,0,"0701111111",129)", R"(+CLCC: 2,0,0,0,0,"0702222222",129,"Greta")"},
         "active|outgoing|0702222222"},
        {{"+CLCC: 1,0,9,0,0", "RING", "+CLCC: x"}, "idle||"},
    };
    for (const auto& [lines, expected] : cases) {
        const CurrentCall call = CallFromList(lines);
        EXPECT_EQ(QStringList({call.state, call.direction, call.number}).join(u'|'), expected) << lines.join('|').toStdString();
    }
}

class CallCli : public SimulatedPhoneCli {
protected:
    CliRun Call(const QStringList& arguments) { return Cli(QStringList{"--port", port, "call"} + arguments); }
};

// Type 8 takes OK as "dialled" and asks the call list; type 7 takes OK as
// the far end's answer. The last phone ends voice calls on +CHUP only. A
// dial that goes nowhere says why. Last, an incoming call answered; with
// no call, hang-up and status are in the command line table.
TEST_F(CallCli, DialThenStatusThenHangUpAndAnswer)
{
    ASSERT_TRUE(AddSenderContact());
    const struct {
        int type;
        DialAnswer answer;
        bool needsChup;
        const char* state;  // or why the dial failed
    } cases[] = {
        {8, DialAnswer::Ring, false, "alerting"}, {8, DialAnswer::PickUp, false, "active"},
        {7, DialAnswer::PickUp, true, "active"},  {8, DialAnswer::Busy, false, "the line is busy"},
        {8, DialAnswer::NoCarrier, false, "NO CARRIER"}, {8, DialAnswer::NoAnswer, false, "no answer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        ASSERT_TRUE(simulator.setDeviceType(c.type));
        simulator.setDialAnswer(c.answer);
        simulator.setHangUpKeepsVoiceCall(c.needsChup);
        simulator.clearReceivedCommands();
        CliRun run = Call({"dial", kGiven, "--json"});
        EXPECT_EQ(simulator.receivedCommands().filter("ATD").size(), 1);
        if (run.status == 1) {
            EXPECT_TRUE(run.err.contains(c.state)) << run.err.toStdString();
            EXPECT_EQ(simulator.call().state, CallState::Idle);
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(Json(run), (QJsonObject{{"state", c.state}, {"number", kDialled}}));
        EXPECT_EQ(simulator.call().number, QByteArray(kDialled));

        run = Call({"status", "--json"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(Json(run), (QJsonObject{{"state", c.state}, {"direction", "outgoing"}, {"number", kDialled},
                                          {"name", QStringLiteral("Åsa Öberg")}}));

        simulator.clearReceivedCommands();
        run = Call({"hangup"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("Call ended.\n"));
        EXPECT_EQ(simulator.call().state, CallState::Idle);
        EXPECT_EQ(simulator.receivedCommands().contains("AT+CHUP"), c.needsChup);
    }
    simulator.ring(kDialled);
    const CliRun run = Call({"answer", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), (QJsonObject{{"state", "active"}, {"direction", "incoming"}, {"number", kDialled},
                                      {"name", QStringLiteral("Åsa Öberg")}}));
    EXPECT_EQ(simulator.call().state, CallState::Active);
}

}  // namespace
