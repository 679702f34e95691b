#include "app/GuiMessageHandler.h"
#include "support/MessageBoxTypes.h"
#include "tests/ModalDialogs.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

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
