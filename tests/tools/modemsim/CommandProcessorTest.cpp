// The command layer of the simulated modem, driven line by line without a
// terminal: what each command answers, in verbose and numeric mode, the
// phone books within their limits, and how faults and errors are reported.

#include "tests/TestEnvironment.h"
#include "tools/modemsim/AtInputFramer.h"
#include "tools/modemsim/ModemCommandProcessor.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

// Runs the rows of `dialogue` in tests/data/modemsim/dialogues.txt.
void RunDialogue(ModemCommandProcessor& modem, const QByteArray& dialogue)
{
    static const auto rows = TestDataRows(QStringLiteral("modemsim/dialogues.txt"));
    int steps = 0;
    for (const auto& row : rows) {
        if (row[0] != dialogue)
            continue;
        ++steps;
        const auto outcome = modem.handleLine(row[1]);
        SCOPED_TRACE((dialogue + ": " + row[1]).toStdString());
        EXPECT_EQ(outcome.reply.toStdString(), row[2].toStdString());
        EXPECT_EQ(outcome.echo.toStdString(), row.value(3, outcome.echo).toStdString());
    }
    EXPECT_GT(steps, 0) << dialogue.constData();
}

TEST(ModemCommandProcessor, AnswersStatusEchoAndErrorsAsTheDialoguesSay)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->write(1, "+46701234567", std::nullopt, "Anna");
    RunDialogue(modem, "connection");
    modem.identity().model = QStringLiteral("Siemens\nWireless Pack\nV1");
    RunDialogue(modem, "status");
    EXPECT_EQ(modem.handleLine("AT+CSQ", true).reply, QByteArray("\r\nERROR\r\n"));  // overflowed line

    ModemCommandProcessor echo;
    RunDialogue(echo, "echo");
    echo.handleLine("ATE1");
    const auto repeated = echo.repeatLastLine();
    EXPECT_EQ(std::pair(repeated.echo, repeated.reply), std::pair(QByteArray("A/"), QByteArray("\r\nOK\r\n")));
    EXPECT_EQ(ModemCommandProcessor().repeatLastLine().reply, QByteArray());  // nothing to repeat yet

    ModemCommandProcessor errors;
    RunDialogue(errors, "cmee");
    errors.setCmeErrorFor("+CSCS", 4);
    errors.setCmeErrorFor("AT+cpbs=\"me\"", 10);
    RunDialogue(errors, "injected");
    errors.setCmeErrorFor("+CSCS", -1);
    EXPECT_EQ(errors.handleLine("AT+CSCS?").reply, QByteArray("\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n"));
    errors.clearCmeErrors();
    EXPECT_EQ(errors.handleLine("AT+CPBS=\"ME\"").reply, QByteArray("\r\nOK\r\n"));
}

TEST(ModemCommandProcessor, FollowsTheCallStateAndRegistration)
{
    ModemCommandProcessor modem;
    RunDialogue(modem, "call");
    EXPECT_EQ(modem.incomingCall("+46701234567"), QByteArray("\r\nRING\r\n\r\n+CLIP: \"+46701234567\",145\r\n"));
    EXPECT_EQ(modem.callState(), CallState::Ringing);
    RunDialogue(modem, "ringing");
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
    ASSERT_EQ(modem.storeMessage({.pdu = "07916407058099F9040B916407281553F80000" "11210141400000" "0AE8329BFD4697D9EC37",
                                  .sender = "+46708251358", .timestamp = "11/12/10,14:04:00+00", .text = "hellohello"}),
              1);
    RunDialogue(modem, "stored");
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

    RunDialogue(modem, "not sent");

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
    EXPECT_EQ(modem.handleLine("AT+CMGS=123").reply, QByteArray("\r\n+CMS ERROR: 305\r\n"));
}

// Writes within the SIM's limits; single locations and ranges of the SIM,
// the phone memory apart from it.
TEST(SimPhoneBook, WritesWithinItsLimitsAndReadsRangesApartPerStorage)
{
    ModemCommandProcessor writes;
    writes.phoneBook("SM")->setLimits({1, 10, 20, 14});
    RunDialogue(writes, "write");

    ModemCommandProcessor modem;
    modem.phoneBook("SM")->write(3, "0701", std::nullopt, "C");
    modem.phoneBook("SM")->write(250, "+4670", std::nullopt, "Last");
    modem.phoneBook("ME")->setLimits({1, 3, 32, 24});
    modem.phoneBook("ME")->write(1, "1", std::nullopt, "a");
    RunDialogue(modem, "ranges");
    modem.quirks().emptyLocationAnswersOk = true;
    EXPECT_EQ(modem.handleLine("AT+CPBR=4").reply, QByteArray("\r\nOK\r\n"));
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
