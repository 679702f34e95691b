// The program's start: its command line, and the start as main() does it,
// in-process: a start with nothing changed leaves the registry file as it
// was, and a screenshot run never waits for a person, even when tracing
// asks to be noticed.

#include "app/MainFrame.h"
#include "app/PhoneBookApp.h"
#include "app/PhoneBookView.h"
#include "app/StartOptions.h"
#include "platform/serial/SystemSerialPorts.h"
#include "support/Trace.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

namespace {

TEST(StartOptionsTest, CommandLines)
{
    const struct {
        QStringList arguments; bool demo, hasPort; const char* port; int speed; const char* screenshot; bool error;
    } cases[] = {
        {{}, false, false, "", 0, "", false},
        {{"--demo"}, true, false, "", 0, "", false},
        {{"--port", "/dev/ttyUSB0", "--speed", "115200"}, false, true, "/dev/ttyUSB0", 115200, "", false},
        {{"--port", "99"}, false, true, "99", 0, "", false},
        {{"--demo", "--screenshot", "shot.png"}, true, false, "", 0, "shot.png", false},
        {{"--port"}, false, false, "", 0, "", true},
        {{"--speed", "fast"}, false, false, "", 0, "", true},
        {{"--speed", "-9600"}, false, false, "", 0, "", true},
        {{"--screenshot", ""}, false, false, "", 0, "", true},
        {{"--colour"}, false, false, "", 0, "", true},
        {{"stray"}, false, false, "", 0, "", true},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        const std::string line = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(!options.error.isEmpty(), c.error) << line;
        if (c.error)
            continue;
        EXPECT_EQ(options.demo, c.demo) << line;
        EXPECT_EQ(options.hasPort, c.hasPort) << line;
        EXPECT_EQ(options.port, QString::fromLatin1(c.port)) << line;
        EXPECT_EQ(options.speed, c.speed) << line;
        EXPECT_EQ(options.screenshot, QString::fromLatin1(c.screenshot)) << line;
    }
}

TEST(StartUpTest, StartsWithNothingChangedLeaveTheRegistryAsItWas)
{
    ResetRegistry();
    StoreConnection(QStringLiteral("99"), QStringLiteral("Simulate"));
    QByteArray after[3];
    for (QByteArray& bytes : after) {
        CPhoneBookApp app;
        ASSERT_TRUE(app.InitInstance(StartOptions{}, NewTempFolder(QStringLiteral("contacts"))));
        PublishSerialPorts(FindSystemSerialPorts());
        int finished = 0;
        QObject::connect(app.MainFrame()->View(), &CPhoneBookView::ConnectionFinished, [&] { ++finished; });
        ASSERT_TRUE(WaitUntil([&] { return finished > 0; }));
        app.MainFrame()->close();
        bytes = RegistryBytes();
    }
    // The first run may leave the window's place; after that nothing moves.
    EXPECT_EQ(after[2], after[1]);
    EXPECT_FALSE(after[2].contains("Drivers"));
    ResetRegistry();
}

TEST(StartUpTest, ScreenshotWithTracingOnAnswersItsOwnBoxes)
{
    ResetRegistry();
    SetRegistryNumber(kAppKey + QStringLiteral("\\Trace"), QStringLiteral("GsmSession"), 5);
    // A fresh account: no documents folder yet.
    const QByteArray home = qgetenv("HOME");
    const QString freshHome = TestTempDir() + QStringLiteral("/fresh-home");
    QDir(freshHome).removeRecursively();
    QDir().mkpath(freshHome);
    setenv("HOME", QFile::encodeName(freshHome).constData(), 1);

    ModemSimulator modem;
    ASSERT_TRUE(modem.setDeviceType(1));
    ASSERT_TRUE(modem.start());
    modem.fillPhoneBook(QStringLiteral("SM"), 3, 4);
    const StartOptions options = ParseStartOptions({"--port", modem.devicePath(), "--speed", "115200", "--screenshot",
                                                    TestTempDir() + QStringLiteral("/shot.png")});
    int result = -1;
    {
        CPhoneBookApp app;
        QObject::connect(&app, &CPhoneBookApp::ScreenshotDone, [&](int r) { result = r; });
        ASSERT_TRUE(app.InitInstance(options, NewTempFolder(QStringLiteral("contacts"))));
        EXPECT_TRUE(WaitUntil([&] { return result >= 0; }, 60000)) << "waited for somebody to answer";
    }
    setenv("HOME", home.constData(), 1);
    CTraceManager::Instance().SetHandler(nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(QFile::exists(options.screenshot));

    // Tracing went to the fresh account's documents folder it made.
    QFile trace(freshHome + QStringLiteral("/Documents/corvanedebug.txt"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_TRUE(trace.readLine().startsWith("Log created "));
    EXPECT_FALSE(trace.readLine().isEmpty());
    ResetRegistry();
}

}  // namespace
