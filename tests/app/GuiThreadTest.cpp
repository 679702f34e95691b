// What keeps device work off the GUI thread and shows it there: the
// worker's queue and the boxes a worker asks for.

#include "app/DeviceWorker.h"
#include "app/GuiMessageHandler.h"
#include "support/MessageBoxTypes.h"
#include "tests/ModalDialogs.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(DeviceWorkerTest, OperationsRunOneAtATimeInOrderOffTheGuiThread)
{
    CDeviceWorker worker;
    std::vector<int> order, completions;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false}, onGui{false};
    auto queue = [&](int count) {
        for (int i = 0; i < count; ++i) {
            worker.Run(
                [&, i] {
                    overlapped = overlapped || running.fetch_add(1) != 0;
                    onGui = onGui || QThread::currentThread() == QCoreApplication::instance()->thread();
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    order.push_back(i);
                    running.fetch_sub(1);
                },
                [&, i] { completions.push_back(i); });
        }
    };
    queue(5);
    EXPECT_TRUE(worker.IsBusy());
    ASSERT_TRUE(WaitUntil([&] { return !worker.IsBusy(); }, 5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(completions, order);

    // Stop runs everything queued before it, on the worker and in order
    // (a disconnect queued at shut-down included), then refuses more; the
    // completions of a stopped worker are dropped with their owner.
    order.clear();
    completions.clear();
    queue(3);
    EXPECT_TRUE(worker.Stop(5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(overlapped.load());
    EXPECT_FALSE(onGui.load());
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(worker.Run([] {}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(completions.empty());
}

// Each type of box a worker thread asks for is shown on the GUI thread
// with the application's caption, its icon and its buttons, and the button
// pressed is the worker's answer.
TEST(GuiMessageHandlerTest, WorkerBoxesAreShownOnTheGuiThreadAndAnswered)
{
    struct Case { unsigned type; QMessageBox::StandardButton press; int answer; QMessageBox::Icon icon; };
    const Case cases[] = {
        {MB_OK, QMessageBox::Ok, IDOK, QMessageBox::NoIcon},
        {MB_OK | MB_ICONSTOP, QMessageBox::Ok, IDOK, QMessageBox::Critical},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question},
        {MB_YESNO | MB_ICONEXCLAMATION, QMessageBox::Yes, IDYES, QMessageBox::Warning},
        {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Information},
        {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY, QMessageBox::NoIcon},
    };
    CAppMessages::Instance().m_Caption = QStringLiteral("Tessaly");
    const ExpectModalDialogs answeredHere;
    CGuiMessageHandler handler;
    for (const Case& c : cases) {
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
