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

TEST(GuiMessageHandlerTest, WorkerBoxIsShownOnTheGuiThreadAndAnswered)
{
    std::atomic<bool> onGui{false};
    CGuiMessageHandler handler([&onGui](const QString& text, unsigned type) {
        onGui = QThread::currentThread() == QCoreApplication::instance()->thread();
        EXPECT_EQ(text, QStringLiteral("Delete entry?"));
        EXPECT_EQ(type, unsigned(MB_YESNO | MB_ICONQUESTION));
        return int(IDNO);
    });
    std::atomic<int> answer{0};
    std::thread worker([&] { answer = handler.ShowMessage(QStringLiteral("Delete entry?"), MB_YESNO | MB_ICONQUESTION, QString()); });
    EXPECT_TRUE(WaitUntil([&] { return answer.load() != 0; }));
    worker.join();
    EXPECT_EQ(answer.load(), IDNO);
    EXPECT_TRUE(onGui.load());
}

TEST(GuiMessageHandlerTest, StandardBoxesMapTypesToButtons)
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
    for (const Case& c : cases) {
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(20, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            icon = box->icon();
            box->button(c.press)->click();
        });
        EXPECT_EQ(CGuiMessageHandler::ShowStandardBox(QStringLiteral("text"), c.type), c.answer) << c.type;
        EXPECT_EQ(caption, QStringLiteral("Tessaly"));
        EXPECT_EQ(icon, c.icon) << c.type;
    }
}

}  // namespace
