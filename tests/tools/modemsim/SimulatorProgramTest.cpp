// The tessaly-modemsim program: its options, and a run as a child process
// that prints its device, answers, and saves its state when its input closes.

#include "tests/TestEnvironment.h"
#include "tests/tools/modemsim/PtyClient.h"
#include "tools/modemsim/SimulatorCommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <tuple>

#include <gtest/gtest.h>

namespace {

// Parses the options as the program is given them, after its name.
std::optional<SimulatorCommandLine> Parse(const QStringList& options, QString* error)
{
    return ParseSimulatorCommandLine(QStringList{QStringLiteral("tessaly-modemsim")} + options, error);
}

TEST(SimulatorCommandLine, ParsesItsOptions)
{
    QString error;
    const auto line = Parse({"--link", "/tmp/x", "--model=Nokia 6310\\nline two", "--baud", "9600", "--fill-sim", "20",
                             "--fill-phone=5", "--seed", "77", "--sim-limits", "(1-100),20,14", "--state", "s.json",
                             "--device-type", "8", "--no-echo", "--delay-ms", "40", "--cme-error", "+CPBR=22", "--cme-error",
                             "+CSCS=\"GSM\"=4", "--numeric", "--cmee", "2", "--empty-read-ok", "--no-stdin", "--silent",
                             "--ports", "2", "--dial-answer", "busy"}, &error);
    ASSERT_TRUE(line) << error.toStdString();
    const ModemSimulator::Options& o = line->options;
    EXPECT_EQ(std::tuple(line->link, line->model, o.baud, line->fillSim, line->fillPhone, line->seed, line->simLimits),
              std::tuple(u"/tmp/x"_qs, std::optional(u"Nokia 6310\nline two"_qs), 9600, 20, 5, quint64(77), u"(1-100),20,14"_qs));
    EXPECT_EQ(std::tuple(line->stateFile, line->deviceType, line->noEcho, line->silent, line->delayMs, o.verbose, o.cmee),
              std::tuple(u"s.json"_qs, std::optional(8), true, true, 40, false, 2));
    EXPECT_EQ(std::tuple(o.emptyLocationAnswersOk, line->watchStdin, o.ports, line->dialAnswer),
              std::tuple(true, false, 2, DialAnswer::Busy));
    EXPECT_EQ(line->cmeErrors, (std::vector<std::pair<QString, int>>{{"+CPBR", 22}, {"+CSCS=\"GSM\"", 4}}));
}

TEST(SimulatorCommandLine, RefusesBadOptions)
{
    for (const QStringList& args : std::vector<QStringList>{
             {"--baud"}, {"--baud", "fast"}, {"--baud", "-1"}, {"--device-type", "22"}, {"--sim-limits", "1-250"},
             {"--cme-error", "+CPBR"}, {"--cme-error", "=3"}, {"--cmee", "3"}, {"--frobnicate"}, {"--seed", "x"},
             {"--link", ""}, {"--ports", "0"}, {"--dial-answer", "maybe"}}) {
        QString error;
        EXPECT_FALSE(Parse(args, &error)) << args.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_TRUE(Parse({"--help"}, &error).value().help);
}

TEST(SimulatorCommandLine, AppliesToASimulator)
{
    QString error;
    auto line = Parse({"--device-type", "8", "--fill-sim", "5", "--fill-phone", "4", "--phone-limits", "(1-10),20,10"}, &error);
    ASSERT_TRUE(line);
    ModemSimulator sim;
    ASSERT_TRUE(ApplySimulatorCommandLine(*line, sim, &error)) << error.toStdString();
    EXPECT_EQ(sim.model(), QStringLiteral("Nokia 6310"));
    EXPECT_EQ(sim.entries(QStringLiteral("SM")).size(), 5u);
    EXPECT_EQ(sim.entries(QStringLiteral("ME")).size(), 4u);
    EXPECT_NE(sim.entries(QStringLiteral("SM")).front().name + sim.entries(QStringLiteral("SM")).front().number,
              sim.entries(QStringLiteral("ME")).front().name + sim.entries(QStringLiteral("ME")).front().number);

    // What the command line says wins over a saved state.
    const QString state = QDir(TestTempDir()).filePath(QStringLiteral("apply-state.json"));
    ModemSimulator saved;
    saved.setPowerOnSettings(true, true, 0);
    saved.setModel(QStringLiteral("Saved Model"));
    ASSERT_TRUE(saved.saveState(state));
    line = Parse({"--numeric", "--model", "Given", "--state", state}, &error);
    ASSERT_TRUE(line) << error.toStdString();
    ModemSimulator restored;
    ASSERT_TRUE(ApplySimulatorCommandLine(*line, restored, &error)) << error.toStdString();
    EXPECT_EQ(restored.model(), QStringLiteral("Given"));
    EXPECT_FALSE(restored.currentOptions().verbose);
    EXPECT_EQ(restored.currentOptions().cmee, 0);  // not given: the saved value

    // A SIM-only card has no phone memory to fill.
    line = Parse({"--device-type", "18", "--fill-phone", "4"}, &error);
    ModemSimulator card;
    EXPECT_FALSE(ApplySimulatorCommandLine(*line, card, &error));
}

TEST(SimulatorProgram, RunsUntilItsInputClosesOrASigtermAndExplainsBadOptions)
{
    const QString state = QDir(TestTempDir()).filePath(QStringLiteral("program-state.json"));
    const QString link = QDir(TestTempDir()).filePath(QStringLiteral("modem-link"));
    QFile::remove(state);
    QProcess program;
    program.start(QStringLiteral(TESSALY_MODEMSIM_PROGRAM), {"--fill-sim", "3", "--state", state, "--link", link, "--device-type", "8"});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(program.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(program.readLine()).trimmed();
    EXPECT_TRUE(path.startsWith(QStringLiteral("/dev/pts/"))) << path.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), path);

    PtyClient client;
    ASSERT_TRUE(client.open(link));
    EXPECT_EQ(client.exchange("+CGMM"), QByteArray("AT+CGMM\r\r\nNokia 6310\r\n\r\nOK\r\n"));
    EXPECT_EQ(client.exchange("+CPBW=9,\"112\",129,\"SOS\""), QByteArray("AT+CPBW=9,\"112\",129,\"SOS\"\r\r\nOK\r\n"));

    program.closeWriteChannel();
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(link));

    ModemSimulator reloaded;
    ASSERT_TRUE(reloaded.loadState(state));
    const auto entries = reloaded.entries(QStringLiteral("SM"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries.back().name, QByteArray("SOS"));

    // Not watching its input, it runs until a SIGTERM.
    program.start(QStringLiteral(TESSALY_MODEMSIM_PROGRAM), {"--no-stdin"});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(program.waitForReadyRead(5000));
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    program.start(QStringLiteral(TESSALY_MODEMSIM_PROGRAM), {"--baud", "fast"});
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("--baud"));
}

}  // namespace
