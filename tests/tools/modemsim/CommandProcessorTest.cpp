// The command layer of the simulated modem, driven line by line without a
// terminal: what each command answers, in verbose and numeric mode, the
// phone books within their limits, and how faults and errors are reported.

#include "tools/modemsim/AtInputFramer.h"
#include "tools/modemsim/ModemCommandProcessor.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

struct Exchange {
    QByteArray line;   // as the terminal sends it, without the CR
    QByteArray reply;  // everything after the echo
};

void RunDialogue(ModemCommandProcessor& modem, const std::vector<Exchange>& dialogue)
{
    for (const Exchange& step : dialogue)
        EXPECT_EQ(modem.handleLine(step.line).reply, step.reply) << step.line.constData();
}

TEST(ModemCommandProcessor, AnswersTheConnectionSequenceAndStatus)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->write(1, "+46701234567", std::nullopt, "Anna");
    RunDialogue(modem, {
                           {"AT&FV1E1", "\r\nOK\r\n"},
                           {"AT+CGMM", "\r\nTessaly Simulated Modem\r\n\r\nOK\r\n"},
                           {"AT+CPBS=?", "\r\n+CPBS: (\"SM\",\"ME\")\r\n\r\nOK\r\n"},
                           {"AT+CSCS=\"GSM\"", "\r\nOK\r\n"},
                           {"AT+CPBS=\"SM\"", "\r\nOK\r\n"},
                           {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n"},
                           {"AT+CPBS?", "\r\n+CPBS: \"SM\",1,250\r\n\r\nOK\r\n"},
                           {"AT+CPBR=1,250", "\r\n+CPBR: 1,\"+46701234567\",145,\"Anna\"\r\n\r\nOK\r\n"},
                       });
    modem.identity().model = QStringLiteral("Siemens\nWireless Pack\nV1");
    RunDialogue(modem, {
                           {"AT+CGMM", "\r\nSiemens\r\n\r\nWireless Pack\r\n\r\nV1\r\n\r\nOK\r\n"},
                           {"AT+CGSN", "\r\n351234567890120\r\n\r\nOK\r\n"},
                           {"AT+CPAS", "\r\n+CPAS: 0\r\n\r\nOK\r\n"},
                           {"AT+CSQ", "\r\n+CSQ: 15,99\r\n\r\nOK\r\n"},
                           {"AT+CIND?", "\r\n+CIND: 0,1,0\r\n\r\nOK\r\n"},
                           {"AT+CIND=?",
                            "\r\n+CIND: (\"call\",(0,1)),(\"service\",(0,1)),(\"call_setup\",(0-3))\r\n\r\nOK\r\n"},
                           {"AT+CREG?", "\r\n+CREG: 0,1\r\n\r\nOK\r\n"},
                           {"AT+CREG=1", "\r\nOK\r\n"},
                           {"AT+CREG?", "\r\n+CREG: 1,1\r\n\r\nOK\r\n"},
                           {"AT+CMGF?", "\r\n+CMGF: 0\r\n\r\nOK\r\n"},
                           {"AT+CMGF=1", "\r\nOK\r\n"},
                           {"AT+CMGF=2", "\r\nERROR\r\n"},
                           {"AT+CLCK=\"CS\",0", "\r\nOK\r\n"},
                           {"AT+CKPD=\"E\",0,0", "\r\nOK\r\n"},
                           {"AT+CKPD=E", "\r\nERROR\r\n"},
                           {"AT+CSCS=\"UCS2\"", "\r\nOK\r\n"},
                           {"AT+CSCS?", "\r\n+CSCS: \"UCS2\"\r\n\r\nOK\r\n"},
                           {"AT+CSCS=\"KLINGON\"", "\r\nERROR\r\n"},
                           {"AT+NOPE", "\r\nERROR\r\n"},
                           {"ATJ", "\r\nERROR\r\n"},
                           {"ATE99999999999", "\r\nERROR\r\n"},
                           {"ATS7?", "\r\n050\r\n\r\nOK\r\n"},
                           {"ATS0=0", "\r\nOK\r\n"},
                           {"hello", ""},  // no "AT": not for the modem
                           {"", ""},
                           {"AT+CSCS=\"GSM\";+CPBS=\"ME\";+CPBS?", "\r\n+CPBS: \"ME\",0,250\r\n\r\nOK\r\n"},
                           // The first failure ends the line; what follows does not run.
                           {"AT+CPBS=\"SM\";+BAD;+CPBS=\"ME\"", "\r\nERROR\r\n"},
                           {"AT+CPBS?", "\r\n+CPBS: \"SM\",1,250\r\n\r\nOK\r\n"},
                           {"AT E1 V1", "\r\nOK\r\n"},
                       });
    EXPECT_EQ(modem.handleLine("AT+CSQ", true).reply, QByteArray("\r\nERROR\r\n"));  // overflowed line
}

TEST(ModemCommandProcessor, FollowsEchoAndResultFormatAndRepeats)
{
    ModemCommandProcessor modem;
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = {
        {"ATE1", "ATE1\r", "\r\nOK\r\n"},
        {"ATE0", "ATE0\r", "\r\nOK\r\n"},  // echoed before it takes effect
        {"AT", "", "\r\nOK\r\n"},
        {"ATV0", "", "0\r"},
        {"AT+CSQ", "", "+CSQ: 15,99\r\n0\r"},
        {"AT+BAD", "", "4\r"},
        {"AT+CPBR=999", "", "+CME ERROR: 21\r"},
        {"ATV1E1", "", "\r\nOK\r\n"},
        {"AT&FV0", "AT&FV0\r", "0\r"},
        {"ATZ", "ATZ\r", "\r\nOK\r\n"},  // back to the power-on settings
        {"ATQ1", "ATQ1\r", ""},
        {"AT+CSQ", "AT+CSQ\r", "\r\n+CSQ: 15,99\r\n"},
        {"ATQ0E0", "ATQ0E0\r", "\r\nOK\r\n"},
    };
    for (const auto& [line, echo, reply] : cases) {
        const auto outcome = modem.handleLine(line);
        EXPECT_EQ(outcome.echo, echo) << line.constData();
        EXPECT_EQ(outcome.reply, reply) << line.constData();
    }
    modem.handleLine("ATE1");
    const auto repeated = modem.repeatLastLine();
    EXPECT_EQ(repeated.echo, QByteArray("A/"));
    EXPECT_EQ(repeated.reply, QByteArray("\r\nOK\r\n"));
    EXPECT_EQ(ModemCommandProcessor().repeatLastLine().reply, QByteArray());  // nothing to repeat yet
}

TEST(ModemCommandProcessor, ReportsErrorsAfterCmeeAndInjected)
{
    ModemCommandProcessor modem;
    RunDialogue(modem, {
                           {"AT+CPBR=7", "\r\n+CME ERROR: 22\r\n"},
                           {"AT+CMEE=2", "\r\nOK\r\n"},
                           {"AT+CPBR=7", "\r\n+CME ERROR: not found\r\n"},
                           {"AT+CMEE=0", "\r\nOK\r\n"},
                           {"AT+CPBR=7", "\r\nERROR\r\n"},
                           {"AT+CMEE?", "\r\n+CMEE: 0\r\n\r\nOK\r\n"},
                       });
    // Injected errors hit their command only, whatever +CMEE says.
    modem.setCmeErrorFor("+CSCS", 4);
    modem.setCmeErrorFor("AT+cpbs=\"me\"", 10);
    RunDialogue(modem, {
                           {"AT+CSCS=\"GSM\"", "\r\n+CME ERROR: 4\r\n"},
                           {"AT+CSCS?", "\r\n+CME ERROR: 4\r\n"},
                           {"AT+CPBS=\"SM\"", "\r\nOK\r\n"},
                           {"AT+CPBS=\"ME\"", "\r\n+CME ERROR: 10\r\n"},
                           {"AT+CSQ;+CSCS?", "\r\n+CSQ: 15,99\r\n\r\n+CME ERROR: 4\r\n"},
                           {"AT+CMEE=0;+CSCS?", "\r\n+CME ERROR: 4\r\n"},  // whatever +CMEE says
                       });
    modem.setCmeErrorFor("+CSCS", -1);
    RunDialogue(modem, {{"AT+CSCS?", "\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n"}});
    modem.clearCmeErrors();
    RunDialogue(modem, {{"AT+CPBS=\"ME\"", "\r\nOK\r\n"}});
}

TEST(ModemCommandProcessor, FollowsTheCallStateAndRegistration)
{
    ModemCommandProcessor modem;
    RunDialogue(modem, {
                           {"AT+CLCC", "\r\nOK\r\n"},
                           {"ATD0701234567;", "\r\nOK\r\n"},
                           {"AT+CPAS", "\r\n+CPAS: 4\r\n\r\nOK\r\n"},
                           {"AT+CIND?", "\r\n+CIND: 1,1,0\r\n\r\nOK\r\n"},
                           {"AT+CLCC", "\r\n+CLCC: 1,0,0,0,0,\"0701234567\",129\r\n\r\nOK\r\n"},
                           {"ATD0701234567;", "\r\nERROR\r\n"},  // one call at a time
                           {"ATH", "\r\nOK\r\n"},
                           {"AT+CPAS", "\r\n+CPAS: 0\r\n\r\nOK\r\n"},
                           {"ATD0701234567", "\r\nNO CARRIER\r\n"},  // no data calls
                           {"ATD", "\r\nERROR\r\n"},
                           {"ATA", "\r\nNO CARRIER\r\n"},
                           {"AT+CLIP=1", "\r\nOK\r\n"},
                       });
    EXPECT_EQ(modem.incomingCall("+46701234567"), QByteArray("\r\nRING\r\n\r\n+CLIP: \"+46701234567\",145\r\n"));
    EXPECT_EQ(modem.callState(), CallState::Ringing);
    RunDialogue(modem, {{"AT+CPAS", "\r\n+CPAS: 3\r\n\r\nOK\r\n"},
                        {"AT+CLCC", "\r\n+CLCC: 1,1,4,0,0,\"+46701234567\",145\r\n\r\nOK\r\n"},
                        {"ATA", "\r\nOK\r\n"}});
    EXPECT_EQ(modem.remoteHangUp(), QByteArray("\r\nNO CARRIER\r\n"));
    EXPECT_EQ(modem.remoteHangUp(), QByteArray());

    // Registration is reported only when asked for.
    EXPECT_EQ(modem.setRegistration(5), QByteArray());
    modem.handleLine("AT+CREG=1;+CGREG=1");
    EXPECT_EQ(modem.setRegistration(5), QByteArray());  // unchanged
    EXPECT_EQ(modem.setRegistration(2), QByteArray("\r\n+CREG: 2\r\n"));
    EXPECT_EQ(modem.setGprsRegistration(0), QByteArray("\r\n+CGREG: 0\r\n"));
    modem.handleLine("ATV0");
    EXPECT_EQ(modem.setRegistration(1), QByteArray("+CREG: 1\r\n"));
}

TEST(ModemCommandProcessor, ReadsStoredAndSubmitsMessagesInPduAndTextMode)
{
    ModemCommandProcessor modem;
    const StoredMessage message{.pdu = "07916407058099F9040B916407281553F80000" "11210141400000" "0AE8329BFD4697D9EC37",
                                .sender = "+46708251358", .timestamp = "11/12/10,14:04:00+00", .text = "hellohello"};
    ASSERT_EQ(modem.storeMessage(message), 1);
    RunDialogue(modem, {
                           {"AT+CMGR=1", "\r\n+CMGR: 0,,28\r\n\r\n" + message.pdu + "\r\n\r\nOK\r\n"},
                           {"AT+CMGR=1", "\r\n+CMGR: 1,,28\r\n\r\n" + message.pdu + "\r\n\r\nOK\r\n"},
                           {"AT+CMGF=1", "\r\nOK\r\n"},
                           {"AT+CMGR=1",
                            "\r\n+CMGR: \"REC READ\",\"+46708251358\",,\"11/12/10,14:04:00+00\"\r\n\r\nhellohello\r\n\r\nOK\r\n"},
                           {"AT+CMGR=2", "\r\n+CMS ERROR: 321\r\n"},
                           {"AT+CMGD=1", "\r\nOK\r\n"},
                           {"AT+CMGR=1", "\r\n+CMS ERROR: 321\r\n"},
                           {"AT+CMGD=99", "\r\n+CMS ERROR: 321\r\n"},
                           {"AT+CMGF=0", "\r\nOK\r\n"},
                       });
    EXPECT_EQ(modem.newMessageIndication(3), QByteArray("\r\n+CMTI: \"SM\",3\r\n"));

    const QByteArray pdu = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = {
        {"AT+CMGS=23", pdu, "\r\n+CMGS: 1\r\n\r\nOK\r\n"},
        {"AT+CMGS=22", pdu, "\r\n+CMS ERROR: 304\r\n"},
        {"AT+CMGS=23", "07916407058099F9" + pdu.mid(2), "\r\n+CMGS: 2\r\n\r\nOK\r\n"},
    };
    for (const auto& [command, body, reply] : cases) {
        const auto prompt = modem.handleLine(command);
        EXPECT_TRUE(prompt.awaitMessageBody);
        EXPECT_EQ(prompt.reply, QByteArray("\r\n> "));
        const auto outcome = modem.handleMessageBody(body);
        EXPECT_EQ(outcome.echo, body + '\x1a');
        EXPECT_EQ(outcome.reply, reply) << command.constData();
    }
    ASSERT_EQ(modem.submittedMessages().size(), 2u);
    EXPECT_EQ(modem.submittedMessages()[0].pdu, pdu);
    EXPECT_EQ(modem.submittedMessages()[0].tpduLength, 23);
    EXPECT_EQ(modem.submittedMessages()[1].reference, 2);

    RunDialogue(modem, {{"AT+CMGS=0", "\r\n+CMS ERROR: 304\r\n"},
                        {"AT+CMGS=\"0701234567\"", "\r\n+CMS ERROR: 304\r\n"},
                        {"AT+CMGS=23;+CSQ", "\r\nERROR\r\n"}});

    // Text mode: a line break stays inside the message; ESC sends nothing.
    modem.handleLine("AT+CMGF=1");
    EXPECT_TRUE(modem.handleLine("AT+CMGS=\"+46701234567\"").awaitMessageBody);
    const auto lineBreak = modem.handleMessageLineBreak();
    EXPECT_FALSE(lineBreak.awaitMessageBody);  // still inside the same message
    EXPECT_EQ(lineBreak.reply, QByteArray("\n> "));
    EXPECT_EQ(modem.handleMessageBody("Hello\rworld").reply, QByteArray("\r\n+CMGS: 3\r\n\r\nOK\r\n"));
    ASSERT_EQ(modem.submittedMessages().size(), 3u);
    EXPECT_TRUE(modem.submittedMessages()[2].textMode);
    EXPECT_EQ(modem.submittedMessages()[2].number, QByteArray("+46701234567"));
    EXPECT_EQ(modem.submittedMessages()[2].text, QByteArray("Hello\rworld"));
    modem.handleLine("AT+CMGS=\"123\"");
    EXPECT_EQ(modem.handleMessageCancelled().reply, QByteArray("\r\nOK\r\n"));
    EXPECT_EQ(modem.submittedMessages().size(), 3u);
    RunDialogue(modem, {{"AT+CMGS=123", "\r\n+CMS ERROR: 305\r\n"}});
}

TEST(SimPhoneBook, WritesWithinItsLimits)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->setLimits({1, 10, 20, 14});
    // GSM alphabet names: 0x00 is "@", 0x08 "ò", 0x1b the escape, 0x0a a
    // line feed. They come back byte for byte.
    const QByteArray gsmName("a\0b\x08\x1b\x0a\x7f!", 8);
    RunDialogue(modem, {
        {"AT+CPBW=1,\"+46701234567\",145,\"Anna Berg\"", "\r\nOK\r\n"},
        {"AT+CPBW=2,\"0701234567\",129,\"Per\"", "\r\nOK\r\n"},
        {"AT+CPBW=0,\"1\",129,\"x\"", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=11,\"1\",129,\"x\"", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=3,\"1\",129,\"fifteen chars!!\"", "\r\n+CME ERROR: 24\r\n"},
        {"AT+CPBW=1,\"1\",129,\"fifteen chars!!\"", "\r\n+CME ERROR: 24\r\n"},  // leaves entry 1 alone
        {"AT+CPBW=3,\"1\",129,\"fourteen chars\"", "\r\nOK\r\n"},
        {"AT+CPBW=4,\"123456789012345678901\",129,\"x\"", "\r\n+CME ERROR: 26\r\n"},
        // The plus is the type of number, not a digit.
        {"AT+CPBW=4,\"+12345678901234567890\",145,\"x\"", "\r\nOK\r\n"},
        {"AT+CPBW=5,\"07-01\",129,\"x\"", "\r\n+CME ERROR: 27\r\n"},
        {"AT+CPBW=5,\"*31#0701p2\",129,\"x\"", "\r\nOK\r\n"},
        {"AT+CPBW=6,\"1\",12,\"x\"", "\r\nERROR\r\n"},
        {"AT+CPBW=6,\"1\",,\"no type\"", "\r\nOK\r\n"},
        {"AT+CPBW=7,\"+4612\",145,\"" + gsmName + "\"", "\r\nOK\r\n"},
        {"AT+CPBW=x,\"1\",129,\"x\"", "\r\nERROR\r\n"},
        {"AT+CPBW=6", "\r\nOK\r\n"},     // delete
        {"AT+CPBW=6", "\r\nOK\r\n"},     // deleting an empty location is fine
        {"AT+CPBW=99", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=?", "\r\n+CPBW: (1-10),20,(129,145),14\r\n\r\nOK\r\n"},
        {"AT+CPBR=?", "\r\n+CPBR: (1-10),20,14\r\n\r\nOK\r\n"},
        {"AT+CPBR=1,10", "\r\n+CPBR: 1,\"+46701234567\",145,\"Anna Berg\"\r\n"
                         "\r\n+CPBR: 2,\"0701234567\",129,\"Per\"\r\n"
                         "\r\n+CPBR: 3,\"1\",129,\"fourteen chars\"\r\n"
                         "\r\n+CPBR: 4,\"+12345678901234567890\",145,\"x\"\r\n"
                         "\r\n+CPBR: 5,\"*31#0701p2\",129,\"x\"\r\n"
                         "\r\n+CPBR: 7,\"+4612\",145,\"" + gsmName + "\"\r\n"
                         "\r\nOK\r\n"},
    });
}

// Single locations and ranges of the SIM; the phone memory apart from it,
// where a write without a location takes the first free one.
TEST(SimPhoneBook, ReadsRangesAndKeepsStoragesApart)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->write(3, "0701", std::nullopt, "C");
    modem.phoneBook("SM")->write(250, "+4670", std::nullopt, "Last");
    modem.phoneBook("ME")->setLimits({1, 3, 32, 24});
    modem.phoneBook("ME")->write(1, "1", std::nullopt, "a");
    RunDialogue(modem, {
        {"AT+CPBR=3", "\r\n+CPBR: 3,\"0701\",129,\"C\"\r\n\r\nOK\r\n"},
        {"AT+CPBR=4", "\r\n+CME ERROR: 22\r\n"},
        {"AT+CPBR=4,249", "\r\nOK\r\n"},  // nothing filled in the range
        {"AT+CPBR=250,250", "\r\n+CPBR: 250,\"+4670\",145,\"Last\"\r\n\r\nOK\r\n"},
        {"AT+CPBR=0", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=1,251", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=5,4", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=\"1\"", "\r\nERROR\r\n"},
        {"AT+CPBR=1,2,3", "\r\nERROR\r\n"},
        {"AT+CPBR", "\r\nERROR\r\n"},
        {"AT+CPBS?", "\r\n+CPBS: \"SM\",2,250\r\n\r\nOK\r\n"},
        {"AT+CPBW=1,\"111\",129,\"sim\"", "\r\nOK\r\n"},
        {"AT+CPBS=\"me\"", "\r\nOK\r\n"},
        {"AT+CPBS?", "\r\n+CPBS: \"ME\",1,3\r\n\r\nOK\r\n"},
        {"AT+CPBR=?", "\r\n+CPBR: (1-3),32,24\r\n\r\nOK\r\n"},
        {"AT+CPBS=\"XX\"", "\r\n+CME ERROR: 3\r\n"},
        {"AT+CPBW=,\"2\",129,\"b\"", "\r\nOK\r\n"},
        {"AT+CPBW=,\"3\",129,\"c\"", "\r\nOK\r\n"},
        {"AT+CPBW=,\"4\",129,\"d\"", "\r\n+CME ERROR: 20\r\n"},
        {"AT+CPBR=1,3", "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n\r\n+CPBR: 2,\"2\",129,\"b\"\r\n"
                        "\r\n+CPBR: 3,\"3\",129,\"c\"\r\n\r\nOK\r\n"},
        {"AT+CPBS=\"SM\";+CPBR=1", "\r\n+CPBR: 1,\"111\",129,\"sim\"\r\n\r\nOK\r\n"},
    });
    modem.quirks().emptyLocationAnswersOk = true;
    RunDialogue(modem, {{"AT+CPBR=4", "\r\nOK\r\n"}});
}

// Line noise and mangled commands must never crash or hang the modem: feed
// it a long deterministic mix of random bytes and pieces of real commands.
TEST(ModemCommandProcessor, SurvivesRandomInput)
{
    const QByteArray pieces[] = {"AT", "+CPBW=", "+CPBR=", "+CMGS=", "\"", ",", ";", "\r", "\n", "\x1a", "\x1b",
                                 "A/", "1", "250", "+CSCS=\"GSM\"", "E0", "V0", "&F", "=?", "?", QByteArray(1, '\0')};
    ModemCommandProcessor modem;
    AtInputFramer framer;
    std::minstd_rand next(12345);
    qsizetype replied = 0;
    for (int i = 0; i < 200000; ++i) {
        const quint32 r = next();
        const QByteArray chunk = (r & 1) ? pieces[(r >> 1) % std::size(pieces)] : QByteArray(1, static_cast<char>(r >> 8));
        for (char byte : chunk) {
            const auto unit = framer.feed(byte);
            if (!unit)
                continue;
            ModemCommandProcessor::Outcome outcome;
            switch (unit->kind) {
            case AtInputFramer::UnitKind::CommandLine: outcome = modem.handleLine(unit->bytes, unit->overflowed); break;
            case AtInputFramer::UnitKind::RepeatLastLine: outcome = modem.repeatLastLine(); break;
            case AtInputFramer::UnitKind::MessageBody:
                outcome = modem.handleMessageBody(unit->bytes, unit->overflowed);
                break;
            case AtInputFramer::UnitKind::MessageCancelled: outcome = modem.handleMessageCancelled(); break;
            case AtInputFramer::UnitKind::MessageLineBreak: outcome = modem.handleMessageLineBreak(); break;
            }
            if (outcome.awaitMessageBody)
                framer.enterMessageBody();
            replied += outcome.reply.size();
        }
    }
    EXPECT_GT(replied, 0);
    // And it still answers properly afterwards.
    framer.reset();
    modem.handleLine("AT&FE0V1");
    EXPECT_EQ(modem.handleLine("AT+CSQ").reply, QByteArray("\r\n+CSQ: 15,99\r\n\r\nOK\r\n"));
}

}  // namespace
