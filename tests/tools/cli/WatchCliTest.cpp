#include "tests/tools/cli/CliRun.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>

namespace {

// tessaly-cli watch as a user runs it: a process of its own that prints
// as events come and stops on a signal.
class WatchCliTest : public SimulatedPhoneCli {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(SimulatedPhoneCli::SetUp());
        ASSERT_TRUE(AddSenderContact());
    }
    // Starts watching and waits until the device has been sent `command`
    // (any command when empty).
    void StartWatch(const QString& command = QStringLiteral("AT+CREG=1"))
    {
        watch.start(QStringLiteral(TESSALY_CLI_PROGRAM), {"--port", port, "watch", "--json"});
        ASSERT_TRUE(watch.waitForStarted());
        QDeadlineTimer deadline(30000);
        while (!(command.isEmpty() ? !simulator.receivedCommands().isEmpty() : simulator.receivedCommands().contains(command))
               && !deadline.hasExpired())
            QThread::msleep(20);
        ASSERT_FALSE(deadline.hasExpired()) << watch.readAllStandardError().toStdString();
    }
    // The next JSON line of the watch; an empty object when none comes.
    QJsonObject NextEvent()
    {
        QDeadlineTimer deadline(30000);
        while (!watch.canReadLine() && !deadline.hasExpired() && watch.state() == QProcess::Running)
            watch.waitForReadyRead(100);
        if (!watch.canReadLine())
            return {};
        return QJsonDocument::fromJson(watch.readLine()).object();
    }

    QProcess watch;  // killed, if it still runs, when the test ends
};

// Every kind of event, with names, until the device goes.
TEST_F(WatchCliTest, CallsMessagesRegistrationAndCallsOfOtherRunsUntilTheDeviceGoes)
{
    StartWatch();
    simulator.ring("+46705550101");
    simulator.ring("+46705550101");  // a second RING of the same call
    EXPECT_EQ(NextEvent(), (QJsonObject{{"event", "ring"}, {"number", "+46705550101"}, {"name", QStringLiteral("Åsa Öberg")}}));
    simulator.remoteHangUp();
    EXPECT_EQ(NextEvent()["event"].toString(), QStringLiteral("call-ended"));

    const int index = simulator.deliverMessage(Delivered(StoredMessagePdus().value(0)));
    QJsonObject event = NextEvent();
    EXPECT_TRUE(event.take("timestamp").toString().startsWith(QStringLiteral("2026-12-0")));
    EXPECT_EQ(event, (QJsonObject{{"event", "message"}, {"index", index}, {"from", "+46705550101"},
                                  {"name", QStringLiteral("Åsa Öberg")}, {"text", "Hej from Asa"}}));

    // A long message is one event, when its last part has come.
    for (int part = 1; part <= 3; ++part)
        simulator.deliverMessage(Delivered(StoredMessagePdus().value(part)));
    event = NextEvent();
    EXPECT_EQ(event["text"].toString(), QStringLiteral("First part, second part, and the end."));
    EXPECT_FALSE(event.contains(QStringLiteral("name")));

    simulator.setRegistration(5);
    EXPECT_EQ(NextEvent(), (QJsonObject{{"event", "registration"}, {"status", 5}}));

    // A call placed and ended by other runs on the second port.
    simulator.setDialAnswer(DialAnswer::Ring);
    const QString other = simulator.devicePath(1);
    CliRun run = Cli({"--port", other, "call", "dial", "+46705550101"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(NextEvent(), (QJsonObject{{"event", "call-state"}, {"state", "dialing"}}));
    EXPECT_EQ(NextEvent(), (QJsonObject{{"event", "call-state"}, {"state", "alerting"}, {"number", "+46705550101"},
                                        {"name", QStringLiteral("Åsa Öberg")}}));
    simulator.remoteAnswer();
    EXPECT_EQ(NextEvent()["state"], QStringLiteral("active"));
    run = Cli({"--port", other, "call", "hangup"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(NextEvent()["state"], QStringLiteral("ended"));

    // The device going away ends the watch with failure.
    simulator.vanish();
    ASSERT_TRUE(watch.waitForFinished(30000));
    EXPECT_EQ(watch.exitCode(), 1);
    EXPECT_TRUE(watch.readAllStandardError().contains("the device has gone"));
}

// A device that never answers keeps the connection trying for a long
// while; the user's Ctrl+C or a SIGTERM ends it at once, as a success,
// and so does a SIGTERM once it watches.
TEST_F(WatchCliTest, AStopSignalEndsTheWatch)
{
    for (const auto& [signal, silent] : {std::pair{SIGINT, true}, {SIGTERM, true}, {SIGTERM, false}}) {
        simulator.setSilent(silent);
        simulator.clearReceivedCommands();
        StartWatch(silent ? QString() : QStringLiteral("AT+CREG=1"));
        ::kill(static_cast<pid_t>(watch.processId()), signal);
        ASSERT_TRUE(watch.waitForFinished(30000)) << signal;
        EXPECT_EQ(watch.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(watch.exitCode(), 0) << watch.readAllStandardError().toStdString();
    }
}

}  // namespace
