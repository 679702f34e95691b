// The simulator over a real pseudo-terminal, as a serial program sees it:
// faults, garbage between commands, the device vanishing, several ports.
// What each command answers and echoes is in the command layer's own
// tables; a message's prompt over the terminal is the GSM device's tests'.

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
    void SetUp() override
    {
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(client.open(sim.devicePath())) << sim.devicePath().toStdString();
    }

    ModemSimulator sim;
    PtyClient client;
};

TEST_F(SimulatorPty, FaultsChangeWhatArrives)
{
    sim.setDropEcho(true);
    EXPECT_EQ(client.exchange("+CSQ"), QByteArray("\r\n+CSQ: 15,99\r\n\r\nOK\r\n"));

    // Silent: nothing but the echo comes before the next command's answer.
    sim.clearFaults();
    sim.setSilent(true);
    client.write("AT+CSQ\r\n");
    EXPECT_EQ(client.readUntil("\r"), QByteArray("AT+CSQ\r"));
    sim.clearFaults();
    EXPECT_EQ(client.exchange(""), QByteArray("AT\r\r\nOK\r\n"));

    // Inside a reply: after its first line, a code goes in and the rest is dropped.
    ModemSimulator::ReplyFault fault;
    fault.afterLines = 1;
    fault.insert = "\r\nRING\r\n";
    fault.cut = true;
    sim.setReplyFault(QStringLiteral("+csq"), fault);
    client.write("AT+CSQ\r\n");
    EXPECT_EQ(client.readUntil("RING\r\n"), QByteArray("AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nRING\r\n"));
    sim.clearFaults();
    EXPECT_EQ(client.exchange(""), QByteArray("AT\r\r\nOK\r\n"));  // no OK of the cut reply before it

    // A delayed reply, but not a delayed echo.
    sim.setReplyDelayMs(100);
    const auto start = Clock::now();
    client.write("AT\r\n");
    EXPECT_EQ(client.readUntil("\r"), QByteArray("AT\r"));
    EXPECT_EQ(client.readUntil("OK\r\n"), QByteArray("\r\nOK\r\n"));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(90));
}

// Garbage as it is announced; then the device goes: the slave is hung up.
TEST_F(SimulatorPty, SendsGarbageThenVanishes)
{
    const QByteArray garbage = ModemSimulator::garbageBytes(64, 9);
    EXPECT_NE(garbage, ModemSimulator::garbageBytes(64, 10));
    sim.sendGarbage(64, 9);
    EXPECT_EQ(client.readUntil(garbage.right(8)), garbage);

    sim.vanish();
    pollfd p {client.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char byte = 0;
    EXPECT_LE(::read(client.fd(), &byte, 1), 0);
    EXPECT_LT(::write(client.fd(), "AT\r", 3), 0);
    EXPECT_FALSE(sim.isRunning());
    sim.vanish();  // twice is harmless
    sim.stop();
}

TEST(ModemSimulatorLifecycle, StartsStopsAndRestartsEveryPortAndStopsAtOnceWhileOutputIsBlocked)
{
    ModemSimulator sim{ModemSimulator::Options{.ports = 2}};
    EXPECT_FALSE(sim.isRunning());
    ASSERT_TRUE(sim.start());
    EXPECT_TRUE(sim.start());  // already running
    EXPECT_TRUE(sim.devicePath().startsWith(QStringLiteral("/dev/pts/")));
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
    EXPECT_EQ(client.readUntil("CARRIER\r\n"), QByteArray("\r\nNO CARRIER\r\n"));
    EXPECT_EQ(second.exchange("+CLCC"), QByteArray("\r\nOK\r\n"));
    // Every command line of every port is recorded, a repeat too.
    ASSERT_TRUE(client.write("A/"));
    EXPECT_EQ(client.readUntil("OK\r\n"), QByteArray("A/\r\nOK\r\n"));
    EXPECT_EQ(sim.receivedCommands(), (QStringList{"ATE0D123;", "AT", "AT+CLCC", "A/"}));

    // Nobody reads: the pty fills up; draining it at 300 baud would take an hour.
    sim.setBaud(300);
    sim.sendGarbage(100000, 3);
    const auto start = Clock::now();
    sim.stop();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
}

}  // namespace
