// The program's start: its command line, its settings in the registry
// file, and the start as main() does it, in-process.

#include "app/AppSettings.h"
#include "app/MainFrame.h"
#include "app/PhoneBookApp.h"
#include "app/PhoneBookView.h"
#include "app/StartOptions.h"
#include "platform/serial/SystemSerialPorts.h"
#include "support/Registry.h"
#include "support/RegistryStore.h"
#include "support/Trace.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QFile>
#include <QLockFile>

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace {

TEST(StartOptionsTest, CommandLines)
{
    const auto rows = TestDataRows(QStringLiteral("app/start-options.txt"));
    ASSERT_EQ(rows.size(), 11);
    for (const auto& row : rows) {
        QStringList arguments = QString::fromUtf8(row[0]).split(u' ', Qt::SkipEmptyParts);
        std::replace(arguments.begin(), arguments.end(), QStringLiteral("\"\""), QString());
        const StartOptions o = ParseStartOptions(arguments);
        const QString given = !o.error.isEmpty() ? QStringLiteral("error")
                                                 : QStringLiteral("demo=%1 port=%2 speed=%3 screenshot=%4")
                                                       .arg(QString::number(o.demo), o.hasPort ? o.port : QStringLiteral("-"),
                                                            QString::number(o.speed), o.screenshot);
        EXPECT_EQ(given, QString::fromUtf8(row[1])) << row[0].constData();
    }
}

TEST(AppSettingsTest, SaveThenLoadKeepsEveryValueAndADamagedKeyWhatItCan)
{
    ResetRegistry();
    EXPECT_FALSE(CAppSettings().Load());  // and makes the key
    EXPECT_EQ(CRegistry().Open(HKEY_LOCAL_MACHINE, kAppKey), ERROR_SUCCESS);

    auto fields = [](CAppSettings& s) {
        return std::tie(s.ComPort, s.TapiDevice, s.VirtualPort, s.Speed, s.ShowSim, s.ShowPhone, s.ShowContacts,
                        s.UseDefault, s.SIMNameSize, s.SIMNumberSize, s.PhoneNameSize, s.PhoneNumberSize);
    };
    CAppSettings written, read;
    fields(written) = std::tuple(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("Huawei E1750 (ttyUSB0)"), true, 115200,
                                 false, true, false, false, 14, 40, 18, 32);
    ASSERT_TRUE(written.Save());
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(fields(read), fields(written));

    // Without VirtualPort the key still loads; without Speed it does not,
    // but what is there is still read.
    CRegistry key(HKEY_LOCAL_MACHINE, kAppKey);
    key.DeleteValue(QStringLiteral("VirtualPort"));
    EXPECT_TRUE(read.Load());
    key.DeleteValue(QStringLiteral("Speed"));
    CAppSettings partial;
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(partial.ComPort, written.ComPort);
    EXPECT_EQ(partial.Speed, 9600);

    // A View flag is on only when stored as 1, the virtual port whenever it is not 0.
    const struct { quint32 stored; bool showSim, virtualPort; } cases[] = {
        {0, false, false}, {1, true, true}, {2, false, true}, {0xFFFFFFFF, false, true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CAppSettings().Save());
        SetRegistryNumber(kAppKey, QStringLiteral("ShowSim"), c.stored);
        SetRegistryNumber(kAppKey, QStringLiteral("VirtualPort"), c.stored);
        CAppSettings flags;
        EXPECT_TRUE(flags.Load());
        EXPECT_EQ(flags.ShowSim, c.showSim) << c.stored;
        EXPECT_EQ(flags.VirtualPort, c.virtualPort) << c.stored;
    }
}

// Another program holds the registry file: a View toggle's save and the
// window's place saved on closing return while it still holds it, reads
// go on meanwhile, and both land once the file is free.
TEST(AppSettingsTest, SaveDoesNotWaitForAnotherProgramsLock)
{
    ResetRegistry();
    ASSERT_TRUE(CAppSettings().Save());
    QLockFile other(CRegistryStore::Instance().Path() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));

    CAppSettings changed;
    changed.ShowSim = false;
    changed.Speed = 57600;
    EXPECT_TRUE(changed.Save());
    EXPECT_TRUE(CAppSettings::SaveWindowPlacement(QStringLiteral("10,20,800,600")));
    EXPECT_EQ(CAppSettings::PendingSaves(), 2);
    CAppSettings meanwhile;
    meanwhile.Load();
    EXPECT_TRUE(meanwhile.ShowSim);

    other.unlock();
    ASSERT_TRUE(CAppSettings::WaitForPendingSaves(120000));
    CAppSettings read;
    ASSERT_TRUE(read.Load());
    EXPECT_FALSE(read.ShowSim);
    EXPECT_EQ(read.Speed, 57600);
    EXPECT_EQ(CAppSettings::LoadWindowPlacement(), QStringLiteral("10,20,800,600"));
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
}

TEST(StartUpTest, ScreenshotWithTracingOnAnswersItsOwnBoxes)
{
    ResetRegistry();
    SetRegistryNumber(kAppKey + QStringLiteral("\\Trace"), QStringLiteral("GsmSession"), 5);
    // A fresh account: no documents folder yet.
    const QByteArray home = qgetenv("HOME");
    const QString freshHome = NewTempFolder(QStringLiteral("fresh-home"));
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
}

}  // namespace
