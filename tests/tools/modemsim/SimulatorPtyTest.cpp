// The simulator over a real pseudo-terminal, as a serial program sees it:
// echo, combined commands, phone books, messages, faults and the device
// vanishing.

#include "tests/tools/modemsim/PtyClient.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

#include <chrono>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

class SimulatorPty : public ::testing::Test {
protected:
    void SetUp() override { startWith(ModemSimulator::Options {}); }

    void startWith(const ModemSimulator::Options& options)
    {
        client.close();
        sim = std::make_unique<ModemSimulator>(options);
        ASSERT_TRUE(sim->start());
        ASSERT_TRUE(client.open(sim->devicePath())) << sim->devicePath().toStdString();
    }

    std::unique_ptr<ModemSimulator> sim;
    PtyClient client;
};

TEST_F(SimulatorPty, EchoesTheCommandThenAnswers)
{
    struct Case {
        QByteArray command;
        QByteArray expected;
    };
    const Case cases[] = {
        {"&FV1E1", "AT&FV1E1\r\r\nOK\r\n"},
        {"+CSQ", "AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\n"},
        {"E0", "ATE0\r\r\nOK\r\n"},
        {"+CPAS", "\r\n+CPAS: 0\r\n\r\nOK\r\n"},
        {"V0", "0\r"},
        {"E1V1", "\r\nOK\r\n"},
        {"+CGMM", "AT+CGMM\r\r\nTessaly Simulated Modem\r\n\r\nOK\r\n"},
        {"+UNKNOWN", "AT+UNKNOWN\r\r\nERROR\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(client.write("AT" + c.command + "\r\n"));
        const QByteArray last = c.expected.endsWith("0\r") ? QByteArray("0\r") : c.expected.right(4);
        EXPECT_EQ(client.readUntil(last, 2000), c.expected) << c.command.constData();
    }
}

TEST_F(SimulatorPty, StartsWithTheChosenSettings)
{
    ModemSimulator::Options options;
    options.echo = false;
    options.verbose = false;
    options.model = QStringLiteral("Nokia 6310");
    startWith(options);
    client.write("AT+CGMM\r\n");
    EXPECT_EQ(client.readUntil("\n0\r", 2000), QByteArray("Nokia 6310\r\n0\r"));
    client.write("AT&FE1V1\r\n");
    EXPECT_EQ(client.readUntil("OK\r\n", 2000), QByteArray("\r\nOK\r\n"));
}

TEST_F(SimulatorPty, ReadsWritesAndDeletesPhoneBookEntries)
{
    ASSERT_EQ(sim->fillPhoneBook(QStringLiteral("SM"), 3, 42), 3);
    const auto filled = sim->entries(QStringLiteral("SM"));

    QByteArray expected = "AT+CPBR=1,250\r";
    for (const auto& entry : filled)
        expected += "\r\n+CPBR: " + QByteArray::number(entry.index) + ",\"" + entry.number + "\","
                    + QByteArray::number(entry.type) + ",\"" + entry.name + "\"\r\n";
    expected += "\r\nOK\r\n";
    EXPECT_EQ(client.exchange("+CPBR=1,250"), expected);

    const QByteArray atName("J\0hn", 4);  // "J@hn" in the GSM alphabet
    EXPECT_EQ(client.exchange("+CPBW=10,\"+441234\",145,\"" + atName + "\""),
              "AT+CPBW=10,\"+441234\",145,\"" + atName + "\"\r\r\nOK\r\n");
    EXPECT_EQ(sim->entries(QStringLiteral("SM")).back().name, atName);
    EXPECT_EQ(client.exchange("+CPBR=10"),
              "AT+CPBR=10\r\r\n+CPBR: 10,\"+441234\",145,\"" + atName + "\"\r\n\r\nOK\r\n");
    EXPECT_EQ(client.exchange("+CPBW=10"), QByteArray("AT+CPBW=10\r\r\nOK\r\n"));
    EXPECT_EQ(client.exchange("+CPBR=10"), QByteArray("AT+CPBR=10\r\r\n+CME ERROR: 22\r\n"));
}

TEST_F(SimulatorPty, SelectsStoragesAndReportsTheirLimits)
{
    ASSERT_TRUE(sim->setPhoneBookLimits(QStringLiteral("ME"), QStringLiteral("(1-500),32,24")));
    EXPECT_FALSE(sim->setPhoneBookLimits(QStringLiteral("XX"), QStringLiteral("(1-500),32,24")));
    EXPECT_FALSE(sim->setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-500)")));
    sim->fillPhoneBook(QStringLiteral("ME"), 7, 1);
    EXPECT_EQ(client.exchange("E0;+CPBS=\"ME\";+CPBS?"), QByteArray("ATE0;+CPBS=\"ME\";+CPBS?\r\r\n+CPBS: \"ME\",7,500\r\n\r\nOK\r\n"));
    EXPECT_EQ(client.exchange("+CPBR=?;+CSCS=\"IRA\""), QByteArray("\r\n+CPBR: (1-500),32,24\r\n\r\nOK\r\n"));
    EXPECT_EQ(sim->selectedStorage(), QStringLiteral("ME"));
    EXPECT_EQ(sim->selectedCharacterSet(), QStringLiteral("IRA"));
}

TEST_F(SimulatorPty, SubmitsPduAndTextMessagesAfterThePrompt)
{
    const QByteArray pdu = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";
    struct Case {
        QByteArray command;
        QByteArray body;  // with its Ctrl-Z or ESC
        QByteArray reply;
    };
    const Case cases[] = {
        {"AT+CMGS=23\r\n", pdu + '\x1a', pdu + "\x1a\r\n+CMGS: 1\r\n\r\nOK\r\n"},
        {"AT+CMGS=20\r", pdu + '\x1a', pdu + "\x1a\r\n+CMS ERROR: 304\r\n"},
        {"AT+CMGS=23\r", "00\x1b", "\r\nOK\r\n"},  // ESC: not sent
        {"AT+CMGF=1;+CMGS=\"+46701234567\"\r", "See you at 8\x1a", "See you at 8\x1a\r\n+CMGS: 2\r\n\r\nOK\r\n"},
    };
    for (const Case& c : cases) {
        client.write(c.command);
        EXPECT_EQ(client.readUntil("> ", 2000), c.command.trimmed() + "\r\r\n> ");
        client.write(c.body);
        EXPECT_EQ(client.readUntil(c.reply.right(4), 2000), c.reply) << c.command.constData();
    }
    const auto sent = sim->submittedMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_FALSE(sent[0].textMode);
    EXPECT_EQ(sent[0].pdu, pdu);
    EXPECT_TRUE(sent[1].textMode);
    EXPECT_EQ(sent[1].number, QByteArray("+46701234567"));
    EXPECT_EQ(sent[1].text, QByteArray("See you at 8"));
}

TEST_F(SimulatorPty, FaultsChangeWhatArrives)
{
    sim->setDropEcho(true);
    EXPECT_EQ(client.exchange("+CSQ"), QByteArray("\r\n+CSQ: 15,99\r\n\r\nOK\r\n"));

    sim->clearFaults();
    sim->setSilent(true);
    client.write("AT+CSQ\r\n");
    EXPECT_EQ(client.readUntil("\n", 300), QByteArray("AT+CSQ\r"));  // nothing but the echo

    sim->clearFaults();
    sim->setCmeErrorFor(QStringLiteral("+CPBS"), 10);
    EXPECT_EQ(client.exchange("+CPBS?"), QByteArray("AT+CPBS?\r\r\n+CME ERROR: 10\r\n"));
    EXPECT_EQ(client.exchange("+CSQ"), QByteArray("AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\n"));

    // Inside a reply: after its first line, a code goes in and the rest is dropped.
    sim->clearFaults();
    ModemSimulator::ReplyFault fault;
    fault.afterLines = 1;
    fault.insert = "\r\nRING\r\n";
    fault.cut = true;
    sim->setReplyFault(QStringLiteral("+csq"), fault);
    client.write("AT+CSQ\r\n");
    EXPECT_EQ(client.readUntil("RING\r\n", 2000), QByteArray("AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nRING\r\n"));
    EXPECT_EQ(client.readUntil("\n", 300), QByteArray());  // no OK

    sim->clearFaults();
    EXPECT_EQ(client.exchange("+CPBS?"), QByteArray("AT+CPBS?\r\r\n+CPBS: \"SM\",0,250\r\n\r\nOK\r\n"));
}

TEST_F(SimulatorPty, DelaysTheReplyButNotTheEcho)
{
    // The delay is long so that a busy machine cannot blur echo and reply.
    sim->setReplyDelayMs(1500);
    const auto start = Clock::now();
    client.write("AT\r\n");
    EXPECT_EQ(client.readUntil("\r", 2000), QByteArray("AT\r"));
    const auto echoAfter = Clock::now() - start;
    EXPECT_EQ(client.readUntil("OK\r\n", 4000), QByteArray("\r\nOK\r\n"));
    const auto replyAfter = Clock::now() - start;
    EXPECT_LT(echoAfter, std::chrono::milliseconds(1000));
    EXPECT_GE(replyAfter, std::chrono::milliseconds(1490));
}

TEST_F(SimulatorPty, SendsUnsolicitedCodesAndGarbageBetweenCommands)
{
    EXPECT_EQ(client.exchange("+CLIP=1;+CREG=1"), QByteArray("AT+CLIP=1;+CREG=1\r\r\nOK\r\n"));
    sim->sendUnsolicited("\r\n+CMTI: \"SM\",3\r\n");
    EXPECT_EQ(client.readUntil(",3\r\n", 2000), QByteArray("\r\n+CMTI: \"SM\",3\r\n"));
    sim->ring("+46701234567");
    EXPECT_EQ(client.readUntil("145\r\n", 2000), QByteArray("\r\nRING\r\n\r\n+CLIP: \"+46701234567\",145\r\n"));
    sim->setRegistration(5);
    EXPECT_EQ(client.readUntil("5\r\n", 2000), QByteArray("\r\n+CREG: 5\r\n"));
    EXPECT_EQ(client.exchange("A"), QByteArray("ATA\r\r\nOK\r\n"));
    sim->remoteHangUp();
    EXPECT_EQ(client.readUntil("CARRIER\r\n", 2000), QByteArray("\r\nNO CARRIER\r\n"));

    sim->sendGarbage(64, 9);
    EXPECT_EQ(client.readCount(64, 2000), ModemSimulator::garbageBytes(64, 9));
    EXPECT_NE(ModemSimulator::garbageBytes(64, 9), ModemSimulator::garbageBytes(64, 10));

    StoredMessage message;
    message.pdu = "07916407058099F9040B916407281553F80000112101414000000AE8329BFD4697D9EC37";
    EXPECT_EQ(sim->deliverMessage(message), 1);
    EXPECT_EQ(client.readUntil(",1\r\n", 2000), QByteArray("\r\n+CMTI: \"SM\",1\r\n"));
    EXPECT_EQ(client.exchange("+CMGR=1"), "AT+CMGR=1\r\r\n+CMGR: 0,,28\r\n\r\n" + message.pdu + "\r\n\r\nOK\r\n");
}

TEST_F(SimulatorPty, VanishingHangsUpTheSlave)
{
    EXPECT_EQ(client.exchange("+CSQ"), QByteArray("AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\n"));
    sim->vanish();
    const short events = client.pollEvents(1000);
    EXPECT_TRUE(events & POLLHUP) << events;
    char byte = 0;
    const ssize_t got = ::read(client.fd(), &byte, 1);
    EXPECT_LE(got, 0);
    EXPECT_LT(::write(client.fd(), "AT\r", 3), 0);
    EXPECT_FALSE(sim->isRunning());
    sim->vanish();  // twice is harmless
    sim->stop();
}

TEST_F(SimulatorPty, StopsAtOnceWhileOutputIsBlocked)
{
    // Nobody reads: the pty fills up and the simulator's writes would block.
    sim->setBaud(300);
    sim->sendGarbage(100000, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = Clock::now();
    sim->stop();
    // Draining 100000 bytes at 300 baud would take an hour.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
}

TEST_F(SimulatorPty, PacesTheOutputToTheBaudRate)
{
    // 1200 bytes at 9600 baud take 1.25 s on the wire. Timing is measured in
    // the benchmarks; here only a generous sanity band.
    sim->setBaud(9600);
    const auto start = Clock::now();
    sim->sendUnsolicited(QByteArray(1200, 'x'));
    const QByteArray got = client.readCount(1200, 8000);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(got.size(), 1200);
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 6.0);
}

TEST_F(SimulatorPty, RecordsEveryCommandLine)
{
    client.write("AT\r\nAT+CSQ\r\nA/");
    ASSERT_TRUE(sim->waitForCommandCount(3, 2000));
    EXPECT_EQ(sim->receivedCommands(), (QStringList {"AT", "AT+CSQ", "A/"}));
    sim->clearReceivedCommands();
    EXPECT_TRUE(sim->receivedCommands().isEmpty());
    EXPECT_FALSE(sim->waitForCommandCount(1, 50));
}

TEST(ModemSimulatorLifecycle, StartsStopsAndRestartsEveryPort)
{
    ModemSimulator sim{ModemSimulator::Options{.ports = 2}};
    EXPECT_FALSE(sim.isRunning());
    ASSERT_TRUE(sim.start());
    EXPECT_TRUE(sim.start());  // already running
    const QString first = sim.devicePath();
    EXPECT_TRUE(first.startsWith(QStringLiteral("/dev/pts/")));
    sim.stop();
    sim.stop();
    ASSERT_TRUE(sim.start());
    PtyClient client, second;
    ASSERT_TRUE(client.open(sim.devicePath()));
    ASSERT_TRUE(second.open(sim.devicePath(1)));
    // Each port its own settings; the call is the modem's, its codes come on the first port.
    EXPECT_EQ(second.exchange("E0D123;"), QByteArray("ATE0D123;\r\r\nOK\r\n"));
    EXPECT_EQ(client.exchange(""), QByteArray("AT\r\r\nOK\r\n"));
    sim.remoteHangUp();
    EXPECT_EQ(client.readUntil("CARRIER\r\n", 2000), QByteArray("\r\nNO CARRIER\r\n"));
    EXPECT_EQ(second.exchange("+CLCC"), QByteArray("\r\nOK\r\n"));
}

}  // namespace
