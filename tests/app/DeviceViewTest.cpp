// The window against the modem simulator over a real pseudo-terminal:
// identification, storage detection, reading, a port that does not
// answer, Disconnect, and a GUI that keeps running during a slow read.

#include "app/CommandIds.h"
#include "app/EntryListModel.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "app/dialogs/ConnectionDlg.h"
#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/RegistryStore.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

class DeviceViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRegistryWithoutPorts();
    }
    void TearDown() override { m_frame.reset(); }

    void Start(QStringList answers = {})
    {
        m_frame = std::make_unique<CMainFrame>(FreshContactsFolder());
        QObject::connect(m_frame->View(), &CPhoneBookView::ConnectionFinished, [this] { ++m_finished; });
        AnswerConnectionDialogs(*m_frame->View(), answers, m_prompts);
        m_frame->show();
    }
    bool WaitForConnection(int timeoutMs = 30000)
    {
        const int before = m_finished;
        return WaitUntil([&] { return m_finished > before || m_finished > 0; }, timeoutMs);
    }
    CPhoneBookView* View() { return m_frame->View(); }
    // A known phone with a full SIM of 250 entries, paced at `baud`, stored
    // as the connection to use.
    void StartPacedSim(ModemSimulator& modem, int baud)
    {
        ASSERT_TRUE(modem.setDeviceType(1));
        ASSERT_TRUE(modem.start());
        ASSERT_TRUE(modem.setPhoneBookLimits(QStringLiteral("SM"), 1, 250, 20, 14));
        ASSERT_EQ(modem.fillPhoneBook(QStringLiteral("SM"), 250, 3), 250);
        modem.setBaud(baud);
        StoreConnection(modem.devicePath(), QStringLiteral("Paced"), baud);
    }

    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_prompts;
    int m_finished = 0;
};

TEST_F(DeviceViewTest, UnknownModemIsReadAfterStorageDetection)
{
    RecordedMessages messages;
    ModemSimulator modem;
    modem.setModel(QStringLiteral("Acme Unknown 3000"));
    ASSERT_TRUE(modem.start());
    ASSERT_TRUE(modem.setPhoneBookLimits(QStringLiteral("SM"), 1, 30, 20, 14));
    ASSERT_TRUE(modem.setPhoneBookLimits(QStringLiteral("ME"), 1, 50, 32, 18));
    modem.fillPhoneBook(QStringLiteral("SM"), 5, 7);
    modem.fillPhoneBook(QStringLiteral("ME"), 3, 8);
    StoreConnection(modem.devicePath(), QStringLiteral("Simulator"));

    Start();
    ASSERT_TRUE(WaitForConnection());
    EXPECT_TRUE(m_prompts.isEmpty());
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(QLatin1Char('|')).toStdString();
    const QStringList sent = modem.receivedCommands();
    EXPECT_TRUE(sent.contains(QStringLiteral("AT&FV1E1")));
    EXPECT_TRUE(sent.contains(QStringLiteral("AT+CPBS=?")));  // not identified: storages asked for
    EXPECT_EQ(View()->EntryModel()->rowCount(), 8);
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 5/30"));
    EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 3/50"));
    EXPECT_EQ(View()->Settings().ReportedSIMNameSize, 14);
    EXPECT_EQ(View()->Settings().ReportedPhoneNumberSize, 32);
    EXPECT_EQ(View()->Settings().SIMNameSize, 14);  // reported sizes trusted
    EXPECT_TRUE(View()->IsDeviceOpen());
    EXPECT_FALSE(m_frame->Action(ID_FILE_CONNECT)->isEnabled());
    EXPECT_TRUE(m_frame->Action(ID_FILE_DISCONNECT)->isEnabled());

    // Disconnect empties the list and the counters.
    m_finished = 0;
    m_frame->Action(ID_FILE_DISCONNECT)->trigger();
    ASSERT_TRUE(WaitForConnection());
    EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
    EXPECT_TRUE(View()->Entries().empty());
    EXPECT_FALSE(View()->IsDeviceOpen());
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 0/0"));
    EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 0/0"));
    EXPECT_TRUE(m_frame->Action(ID_FILE_CONNECT)->isEnabled());
    EXPECT_FALSE(m_frame->Action(ID_FILE_DISCONNECT)->isEnabled());
}

TEST_F(DeviceViewTest, DeviceWithoutPhoneMemoryReadsOnlyTheSim)
{
    RecordedMessages messages;
    ModemSimulator modem;
    modem.setModel(QStringLiteral("Acme Unknown 3000"));
    ASSERT_TRUE(modem.start());
    modem.setStorages({QStringLiteral("SM")});
    modem.fillPhoneBook(QStringLiteral("SM"), 4, 11);
    StoreConnection(modem.devicePath(), QStringLiteral("Simulator"));
    Start();
    ASSERT_TRUE(WaitForConnection());
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(View()->EntryModel()->rowCount(), 4);
    EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 0/0"));
    EXPECT_TRUE(View()->Connection().GetPref().m_PhoneStorage.isEmpty());
    // The skipped memory reports no sizes, and they are trusted.
    EXPECT_EQ(View()->Settings().PhoneNameSize, 0);
}

TEST_F(DeviceViewTest, StoreFailuresAreShownOnTheGuiThread)
{
    RecordedMessages messages;
    ModemSimulator modem;
    ASSERT_TRUE(modem.setDeviceType(1));
    ASSERT_TRUE(modem.start());
    modem.fillPhoneBook(QStringLiteral("ME"), 2, 5);
    modem.setCmeErrorFor(QStringLiteral("+CSCS"), 10);
    StoreConnection(modem.devicePath(), QStringLiteral("Simulator"));
    Start();
    ASSERT_TRUE(WaitForConnection());
    const QStringList texts = messages.Texts();
    // The store says why first, then the window what it means.
    EXPECT_TRUE(texts.contains(QStringLiteral("Error initializing connection to the SIM card")))
        << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages.AllOnGuiThread());
    // The connection stands.
    EXPECT_TRUE(View()->IsDeviceOpen());
}

// Cancelling "Cannot find GSM device." leaves the window without a
// device for this run; the stored connection survives a later save, also
// when the port that failed was this run's --port.
TEST_F(DeviceViewTest, PortThatDoesNotAnswerAsksAgainUntilCancel)
{
    const struct {
        const char* overridePort;
        QStringList answers;
        QStringList prompts;
    } cases[] = {
        {"", {"Gone Modem"}, {"Cannot find GSM device.", "Cannot find GSM device."}},
        {"/dev/tessaly-other-port", {}, {"Cannot find GSM device."}},
    };
    for (const auto& c : cases) {
        StoreConnection(QStringLiteral("/dev/tessaly-no-such-port"), QStringLiteral("Gone Modem"));
        m_prompts.clear();
        m_finished = 0;
        m_frame = std::make_unique<CMainFrame>(FreshContactsFolder());
        QObject::connect(View(), &CPhoneBookView::ConnectionFinished, [this] { ++m_finished; });
        AnswerConnectionDialogs(*View(), c.answers, m_prompts);
        if (*c.overridePort)
            View()->SetConnectionOverride(QString::fromLatin1(c.overridePort), 0);
        m_frame->show();
        ASSERT_TRUE(WaitForConnection());
        EXPECT_EQ(m_prompts, c.prompts);
        EXPECT_TRUE(View()->EffectivePort().isEmpty());
        EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
        EXPECT_FALSE(View()->IsBusy());
        EXPECT_FALSE(View()->Popup().IsVisible());
        // A View toggle saves the settings: the stored port is written unchanged.
        m_frame->Action(ID_VIEW_SIM)->trigger();
        CAppSettings stored;
        stored.Load();
        EXPECT_EQ(stored.ComPort, QStringLiteral("/dev/tessaly-no-such-port")) << c.overridePort;
        EXPECT_FALSE(stored.ShowSim);
        m_frame.reset();
    }
}

TEST_F(DeviceViewTest, SilentModemIsNotFound)
{
    ModemSimulator modem;
    ASSERT_TRUE(modem.start());
    modem.setSilent(true);
    modem.setDropEcho(true);
    StoreConnection(modem.devicePath(), QStringLiteral("Silent"));
    Start();
    ASSERT_TRUE(WaitForConnection(60000));
    EXPECT_EQ(m_prompts, QStringList{QStringLiteral("Cannot find GSM device.")});
    EXPECT_FALSE(View()->IsDeviceOpen());
    EXPECT_EQ(modem.receivedCommands().count(QStringLiteral("AT&FV1E1")), 2);  // tried twice without an echo
}

TEST_F(DeviceViewTest, GuiKeepsRunningDuringAPacedRead)
{
    ModemSimulator modem;
    ASSERT_NO_FATAL_FAILURE(StartPacedSim(modem, 19200));

    // A GUI thread that waits for the device misses the ticks of a 10 ms
    // timer for as long as each exchange takes: one long gap for a whole
    // read, or a gap per command. A machine busy with other work delays a
    // thread now and then, so a few late ticks are allowed, never many and
    // never a long one.
    qint64 longestGap = 0;
    int lateTicks = 0;
    QString worstMoment;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const bool busy = m_frame && View()->IsBusy();
        if (busy && sinceTick.isValid()) {
            const qint64 gap = sinceTick.elapsed();
            if (gap > 50)
                ++lateTicks;
            if (gap > longestGap) {
                longestGap = gap;
                worstMoment = View()->Popup().Text();
            }
        }
        if (busy)
            sinceTick.restart();
        else
            sinceTick.invalidate();
    });
    int phasesSeen = 0;
    int lastPhase = -1;
    QTimer watcher;
    watcher.setInterval(50);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* popup = View()->Popup().Window(); popup && popup->isVisible() && popup->Phase() != lastPhase) {
            lastPhase = popup->Phase();
            ++phasesSeen;
        }
    });

    Start();
    ticker.start();
    watcher.start();
    EXPECT_TRUE(WaitUntil([&] { return View()->IsBusy(); }, 2000));
    EXPECT_FALSE(View()->EntryList()->isEnabled());
    ASSERT_TRUE(WaitForConnection(120000));
    ticker.stop();
    watcher.stop();
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 250/250"));
    // Identified by its model: no storage question.
    EXPECT_FALSE(modem.receivedCommands().contains(QStringLiteral("AT+CPBS=?")));
    EXPECT_GE(phasesSeen, 2) << "the popup did not blink";
    EXPECT_TRUE(View()->EntryList()->isEnabled());
    EXPECT_LE(lateTicks, 5) << "GUI thread late " << lateTicks << " times";
    EXPECT_LT(longestGap, 1000) << "GUI thread blocked for " << longestGap << " ms at '"
                                << worstMoment.toStdString() << "'";
}

// Closing the window in each of the user's ways while a whole SIM is
// being read, and while the connection pauses before trying a store's
// size again: the work is given up, not waited for.
TEST_F(DeviceViewTest, ClosingDuringDeviceWorkCancelsIt)
{
    struct Case {
        const char* way;
        bool pause;  // the store's size fails: 3 s before the next try
    };
    const Case cases[] = {{"window", false}, {"Exit", false}, {"Ctrl+Q", false}, {"window", true}};
    for (const Case& c : cases) {
        RecordedMessages messages;
        ModemSimulator modem;
        QString busyWith = QStringLiteral("AT+CPBR=1,250");
        if (c.pause) {
            ASSERT_TRUE(modem.setDeviceType(1));
            ASSERT_TRUE(modem.start());
            modem.setCmeErrorFor(QStringLiteral("+CPBR"), 10);
            StoreConnection(modem.devicePath(), QStringLiteral("Failing"));
            busyWith = QStringLiteral("AT+CPBR=?");
        } else {
            ASSERT_NO_FATAL_FAILURE(StartPacedSim(modem, 2400));  // the SIM alone takes about 45 s on this line
        }
        Start();
        ASSERT_TRUE(WaitUntil([&] { return modem.receivedCommands().contains(busyWith); }, 30000));
        ASSERT_TRUE(View()->IsBusy());
        for (const int always : {ID_APP_EXIT, ID_HELP, ID_APP_ABOUT})
            EXPECT_TRUE(m_frame->Action(always)->isEnabled()) << c.way << always;

        // A device error before the close is the user's to see (the failing
        // size is refused at once); none may come after it.
        const QStringList shownBeforeClose = messages.Texts();
        QElapsedTimer clock;
        clock.start();
        if (qstrcmp(c.way, "window") == 0) {
            m_frame->close();
        } else if (qstrcmp(c.way, "Exit") == 0) {
            m_frame->Action(ID_APP_EXIT)->trigger();
        } else {
            m_frame->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(m_frame.get(), 1000));
            QTest::keyClick(m_frame.get(), Qt::Key_Q, Qt::ControlModifier);
        }
        EXPECT_TRUE(WaitUntil([&] { return !m_frame->isVisible(); }, 2000)) << c.way;
        EXPECT_LT(clock.elapsed(), 2000) << c.way << c.pause;
        EXPECT_FALSE(View()->Worker().IsRunning()) << c.way;
        EXPECT_FALSE(View()->Connection().IsDeviceOpen()) << c.way;
        m_frame.reset();
        // What the cut read and the lost device would say is traced only.
        QCoreApplication::processEvents();
        EXPECT_EQ(messages.Texts(), shownBeforeClose) << c.way << messages.Texts().join('|').toStdString();
    }
}

// --demo and --port: the connection of this run is the dialog's choice;
// OK keeps it, and nothing of it reaches the registry.
TEST_F(DeviceViewTest, ConnectionOfThisRunSurvivesTheDialog)
{
    ModemSimulator modem;
    ASSERT_TRUE(modem.setDeviceType(1));
    ASSERT_TRUE(modem.start());
    modem.fillPhoneBook(QStringLiteral("SM"), 6, 2);
    modem.fillPhoneBook(QStringLiteral("ME"), 4, 3);
    struct Case {
        const char* name;  // given by the command line; empty: found from the port
        int speed;
    };
    const Case cases[] = {{"Demo modem", 115200}, {"", 57600}};
    for (const Case& c : cases) {
        m_finished = 0;
        m_frame = std::make_unique<CMainFrame>(FreshContactsFolder());
        QObject::connect(View(), &CPhoneBookView::ConnectionFinished, [this] { ++m_finished; });
        View()->SetConnectionOverride(modem.devicePath(), c.speed, QString::fromLatin1(c.name));
        m_frame->show();
        ASSERT_TRUE(WaitForConnection());
        ASSERT_EQ(View()->EntryModel()->rowCount(), 10);
        QFile registry(CRegistryStore::Instance().Path());
        auto contents = [&registry] {
            if (!registry.open(QIODevice::ReadOnly))
                return QByteArray();
            const QByteArray bytes = registry.readAll();
            registry.close();
            return bytes;
        };
        const QByteArray before = contents();

        const QString shownName = c.name[0] ? QString::fromLatin1(c.name) : modem.devicePath();
        for (bool accept : {false, true}) {
            QStringList offered;
            QString selected;
            View()->SetDialogRunner([&](CConnectionDlg& dialog) {
                for (int i = 0; i < dialog.ConnectionList()->count(); ++i)
                    offered << dialog.ConnectionList()->itemText(i);
                selected = dialog.ConnectionList()->currentText();
                if (!accept)
                    return int(QDialog::Rejected);
                dialog.accept();
                return int(QDialog::Accepted);
            });
            m_finished = 0;
            m_frame->Action(ID_FILE_GSMDEVICE)->trigger();
            ASSERT_TRUE(WaitForConnection());
            EXPECT_EQ(offered.count(QStringLiteral("None")), 1);
            EXPECT_EQ(offered.count(shownName), 1);
            EXPECT_EQ(selected, shownName);
            EXPECT_TRUE(View()->IsDeviceOpen());
            EXPECT_EQ(View()->EntryModel()->rowCount(), 10);
            EXPECT_EQ(View()->Connection().GetSpeed(), c.speed);
        }
        EXPECT_EQ(contents(), before) << c.name;
        EXPECT_FALSE(before.contains(modem.devicePath().toUtf8()));
        m_frame.reset();
    }
}

}  // namespace
