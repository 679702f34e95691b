// The window against the modem simulator over a real pseudo-terminal, and
// beneath it the device worker and the boxes a worker asks for.

#include "app/CommandIds.h"
#include "app/DeviceWorker.h"
#include "app/EntryListModel.h"
#include "app/GuiMessageHandler.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "app/ProgressPopup.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/MessageBoxTypes.h"
#include "tests/ModalDialogs.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const QString SM = QStringLiteral("SM");
const QString ME = QStringLiteral("ME");

using DeviceViewTest = WindowTest;

// What the window reads from devices of each kind, then Disconnect.
TEST_F(DeviceViewTest, ReadsWhatTheDeviceHasAndDisconnectEmptiesTheList)
{
    // A type of -1 is a model nobody knows, whose storages are asked for.
    // Reported sizes are trusted; a memory not read reports none.
    const struct {
        const char* what; int type; bool phoneMemory; const char* fault;
        int rows; const char* sim; const char* phone; const char* box; int simNameSize, phoneNumberSize;
    } cases[] = {
        {"unknown model", -1, true, "", 8, "Sim: 5/30", "Phone: 3/50", "", 14, 32},
        {"SIM only", -1, false, "", 5, "Sim: 5/30", "Phone: 0/0", "", 14, 0},
        // The store says why; the connection stands.
        {"store refuses the character set", 1, true, "+CSCS", 0, "Sim: 0/0", "Phone: 0/0",
         "Error initializing connection to the SIM card", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedMessages boxes;
        ModemSimulator modem;
        if (c.type < 0)
            modem.setModel(QStringLiteral("Acme Unknown 3000"));
        else
            ASSERT_TRUE(modem.setDeviceType(c.type));
        ASSERT_TRUE(modem.start());
        ASSERT_TRUE(modem.setPhoneBookLimits(SM, 1, 30, 20, 14));
        ASSERT_TRUE(modem.setPhoneBookLimits(ME, 1, 50, 32, 18));
        modem.fillPhoneBook(SM, 5, 7);
        modem.fillPhoneBook(ME, 3, 8);
        if (!c.phoneMemory)
            modem.setStorages({SM});
        if (*c.fault)
            modem.setCmeErrorFor(QString::fromLatin1(c.fault), 10);
        StoreConnection(modem.devicePath(), QStringLiteral("Simulator"));
        ASSERT_TRUE(OpenWindow());
        EXPECT_TRUE(prompts.isEmpty());
        EXPECT_EQ(boxes.Texts().contains(QString::fromLatin1(c.box)), *c.box != 0) << boxes.Texts().join('|').toStdString();
        EXPECT_EQ(boxes.Texts().isEmpty(), *c.box == 0);
        EXPECT_TRUE(boxes.AllOnGuiThread());
        EXPECT_EQ(modem.receivedCommands().contains(QStringLiteral("AT+CPBS=?")), c.type < 0);
        EXPECT_EQ(View()->EntryModel()->rowCount(), c.rows);
        EXPECT_EQ(View()->SimCounter()->text(), QString::fromLatin1(c.sim));
        EXPECT_EQ(View()->PhoneCounter()->text(), QString::fromLatin1(c.phone));
        EXPECT_EQ(View()->Settings().SIMNameSize, c.simNameSize);
        EXPECT_EQ(View()->Settings().PhoneNumberSize, c.phoneNumberSize);
        EXPECT_TRUE(View()->IsDeviceOpen());
        EXPECT_TRUE(View()->EntryList()->isEnabled());
        EXPECT_FALSE(frame->Action(ID_FILE_CONNECT)->isEnabled());

        frame->Action(ID_FILE_DISCONNECT)->trigger();
        ASSERT_TRUE(WaitForConnection());
        EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
        EXPECT_TRUE(View()->Entries().empty());
        EXPECT_FALSE(View()->IsDeviceOpen());
        EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 0/0"));
        EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 0/0"));
        EXPECT_TRUE(frame->Action(ID_FILE_CONNECT)->isEnabled());
        EXPECT_FALSE(frame->Action(ID_FILE_DISCONNECT)->isEnabled());
    }
}

// "Cannot find GSM device." for a port that is not there, for this run's
// --port, and for a modem that answers nothing (tried twice); cancelling
// leaves the window without a device for this run, and the stored
// connection survives a later save.
TEST_F(DeviceViewTest, PortThatDoesNotAnswerAsksAgainUntilCancel)
{
    ModemSimulator silent;
    ASSERT_TRUE(silent.start());
    silent.setSilent(true);
    silent.setDropEcho(true);
    const struct { QString stored; const char* overridePort; QStringList answers; int prompts; } cases[] = {
        {QStringLiteral("/dev/tessaly-no-such-port"), "", {"Gone Modem"}, 2},
        {QStringLiteral("/dev/tessaly-no-such-port"), "/dev/tessaly-other-port", {}, 1},
        {silent.devicePath(), "", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString() + c.overridePort);
        StoreConnection(c.stored, QStringLiteral("Gone Modem"));
        MakeWindow(c.answers);
        if (*c.overridePort)
            View()->SetConnectionOverride(QString::fromLatin1(c.overridePort), 0);
        ASSERT_TRUE(ShowWindow(60000));
        EXPECT_EQ(prompts, QStringList(c.prompts, QStringLiteral("Cannot find GSM device.")));
        EXPECT_FALSE(View()->IsDeviceOpen());
        EXPECT_TRUE(View()->EffectivePort().isEmpty());
        EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
        EXPECT_FALSE(View()->IsBusy());
        EXPECT_FALSE(View()->Popup().IsVisible());
        // A View toggle saves the settings: the stored port is written unchanged.
        frame->Action(ID_VIEW_SIM)->trigger();
        CAppSettings stored;
        stored.Load();
        EXPECT_EQ(stored.ComPort, c.stored);
        EXPECT_FALSE(stored.ShowSim);
    }
    EXPECT_EQ(silent.receivedCommands().count(QStringLiteral("AT&FV1E1")), 2);
}

// Closing the window in each of the user's ways while a whole SIM is
// being read, and while the connection pauses before trying a store's
// size again: the work is given up, not waited for. Meanwhile the GUI
// thread keeps running: the event loop turns many times while the read
// command is being answered, and the popup blinks, saying what is read.
TEST_F(DeviceViewTest, ClosingDuringDeviceWorkCancelsIt)
{
    // With a pause the store's size fails: 3 s before the next try.
    const struct { const char* way; bool pause; } cases[] = {{"window", false}, {"Exit", false}, {"Ctrl+Q", false}, {"window", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.way << c.pause);
        RecordedMessages boxes;
        ModemSimulator modem;
        ASSERT_TRUE(modem.setDeviceType(1));
        ASSERT_TRUE(modem.start());
        if (c.pause) {
            modem.setCmeErrorFor(QStringLiteral("+CPBR"), 10);
        } else {  // a full SIM of 250 entries: about 45 s on this line
            ASSERT_TRUE(modem.setPhoneBookLimits(SM, 1, 250, 20, 14));
            ASSERT_EQ(modem.fillPhoneBook(SM, 250, 3), 250);
            modem.setBaud(2400);
        }
        StoreConnection(modem.devicePath(), QStringLiteral("Paced"), 2400);
        const QString busyWith = c.pause ? QStringLiteral("AT+CPBR=?") : QStringLiteral("AT+CPBR=1,250");
        MakeWindow();
        frame->show();
        int turns = 0;
        QList<int> phases;
        ASSERT_TRUE(WaitUntil([&] {
            if (!modem.receivedCommands().contains(busyWith))
                return false;
            if (auto* popup = View()->Popup().Window(); popup && !phases.contains(popup->Phase()))
                phases << popup->Phase();
            return c.pause || (++turns >= 20 && phases.size() >= 2);
        }, 30000));
        ASSERT_TRUE(View()->IsBusy());
        if (const CProgressPopupWindow* popup = View()->Popup().Window(); !c.pause) {
            EXPECT_EQ(popup->Text(), QStringLiteral("Reading phone numbers\nfrom SIM memory."));
            EXPECT_GE(popup->height(), 2 * popup->fontMetrics().height());  // both lines fit
            EXPECT_EQ(popup->BlinkTimerIntervalMs(), CProgressPopupWindow::BlinkIntervalMs);
        }
        EXPECT_FALSE(View()->EntryList()->isEnabled());
        for (const int always : {ID_APP_EXIT, ID_HELP, ID_APP_ABOUT})
            EXPECT_TRUE(frame->Action(always)->isEnabled()) << always;

        // A device error before the close is the user's to see (the failing
        // size is refused at once); none may come after it.
        const QStringList shownBeforeClose = boxes.Texts();
        QElapsedTimer clock;
        clock.start();
        if (qstrcmp(c.way, "window") == 0) {
            frame->close();
        } else if (qstrcmp(c.way, "Exit") == 0) {
            frame->Action(ID_APP_EXIT)->trigger();
        } else {
            EXPECT_TRUE(Activate());
            QTest::keyClick(frame.get(), Qt::Key_Q, Qt::ControlModifier);
        }
        EXPECT_TRUE(WaitUntil([&] { return !frame->isVisible(); }, 2000));
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_FALSE(View()->Worker().IsRunning());
        EXPECT_FALSE(View()->Connection().IsDeviceOpen());
        frame.reset();
        // What the cut read and the lost device would say is traced only.
        QCoreApplication::processEvents();
        EXPECT_EQ(boxes.Texts(), shownBeforeClose) << boxes.Texts().join('|').toStdString();
    }
}

// --demo and --port: the connection of this run is the dialog's choice;
// Cancel and OK keep it, and nothing of it reaches the registry.
TEST_F(DeviceViewTest, ConnectionOfThisRunSurvivesTheDialog)
{
    ModemSimulator modem;
    ASSERT_TRUE(modem.setDeviceType(1));
    ASSERT_TRUE(modem.start());
    modem.fillPhoneBook(SM, 6, 2);
    modem.fillPhoneBook(ME, 4, 3);
    // A name given by the command line, or none: found from the port.
    const struct { const char* name; int speed; } cases[] = {{"Demo modem", 115200}, {"", 57600}};
    for (const auto& c : cases) {
        const QString shownName = *c.name ? QString::fromLatin1(c.name) : modem.devicePath();
        MakeWindow({QString(), shownName});  // Cancel, then OK on what is chosen
        View()->SetConnectionOverride(modem.devicePath(), c.speed, QString::fromLatin1(c.name));
        ASSERT_TRUE(ShowWindow());
        ASSERT_EQ(View()->EntryModel()->rowCount(), 10);
        const QByteArray before = RegistryBytes();
        EXPECT_FALSE(before.contains(modem.devicePath().toUtf8()));
        for (int run = 0; run < 2; ++run) {
            frame->Action(ID_FILE_GSMDEVICE)->trigger();
            ASSERT_TRUE(WaitForConnection());
            EXPECT_EQ(offered.value(run).count(QStringLiteral("None")), 1);
            EXPECT_EQ(offered.value(run).count(shownName), 1);
            EXPECT_EQ(chosen.value(run), shownName);
            EXPECT_TRUE(View()->IsDeviceOpen());
            EXPECT_EQ(View()->EntryModel()->rowCount(), 10);
            EXPECT_EQ(View()->Connection().GetSpeed(), c.speed);
        }
        EXPECT_EQ(RegistryBytes(), before) << c.name;
    }
}

// Stop runs everything queued before it one at a time, in order and off
// the GUI thread (a disconnect queued at shut-down included), then refuses
// more; the completions of a stopped worker are dropped with their owner.
TEST(DeviceWorkerTest, StopRunsWhatIsQueuedInOrderOffTheGuiThreadAndDropsTheCompletions)
{
    CDeviceWorker worker;
    std::vector<int> order;
    std::atomic<int> running{0}, completions{0};
    std::atomic<bool> overlapped{false}, onGui{false};
    for (int i = 0; i < 3; ++i) {
        worker.Run(
            [&, i] {
                overlapped = overlapped || running.fetch_add(1) != 0;
                onGui = onGui || QThread::currentThread() == QCoreApplication::instance()->thread();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                order.push_back(i);
                running.fetch_sub(1);
            },
            [&] { ++completions; });
    }
    EXPECT_TRUE(worker.Stop(5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(overlapped.load());
    EXPECT_FALSE(onGui.load());
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(worker.Run([] {}));
    QCoreApplication::processEvents();
    EXPECT_EQ(completions.load(), 0);
}

// Each type of box a worker thread asks for is shown on the GUI thread
// with the application's caption, its icon and its buttons, and the button
// pressed is the worker's answer.
TEST(GuiMessageHandlerTest, WorkerBoxesAreShownOnTheGuiThreadAndAnswered)
{
    const struct { unsigned type; QMessageBox::StandardButton press; int answer; QMessageBox::Icon icon; } cases[] = {
        {MB_OK, QMessageBox::Ok, IDOK, QMessageBox::NoIcon},
        {MB_OK | MB_ICONSTOP, QMessageBox::Ok, IDOK, QMessageBox::Critical},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question},
        {MB_YESNO | MB_ICONEXCLAMATION, QMessageBox::Yes, IDYES, QMessageBox::Warning},
        {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Information},
        {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY, QMessageBox::NoIcon},
    };
    CAppMessages::Instance().m_Caption = QStringLiteral("Tessaly");
    CGuiMessageHandler::SetShuttingDown(false);  // a window closed before silenced the boxes
    const ExpectModalDialogs answeredHere;
    CGuiMessageHandler handler;
    for (const auto& c : cases) {
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool onGui = false;
        QTimer presser;
        presser.setInterval(10);
        QObject::connect(&presser, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                onGui = box->thread() == QCoreApplication::instance()->thread();
                caption = box->windowTitle();
                icon = box->icon();
                box->button(c.press)->click();
            }
        });
        presser.start();
        std::atomic<int> answer{0};
        std::thread worker([&] { answer = handler.ShowMessage(QStringLiteral("text"), c.type, QString()); });
        EXPECT_TRUE(WaitUntil([&] { return answer.load() != 0; }));
        worker.join();
        EXPECT_EQ(answer.load(), c.answer) << c.type;
        EXPECT_TRUE(onGui) << c.type;
        EXPECT_EQ(caption, QStringLiteral("Tessaly"));
        EXPECT_EQ(icon, c.icon) << c.type;
    }
}

}  // namespace
