#include "contactlist/widgets/FlatPhoneBoxCtrl.h"

#include <QFont>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A top-level window with the list window (240 wide) at its top and a
// stand-in for the flat list inside it, as the Contacts list lays out.
class PhoneBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        top = std::make_unique<QWidget>();
        top->resize(300, 300);
        listWindow = new QWidget(top.get());
        listWindow->setGeometry(0, 100, 240, 121);
        owner = new QWidget(listWindow);
        owner->setGeometry(0, 0, 227, 103);
        top->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top.get()));
        box = std::make_unique<MFCFlatPhoneBoxCtrl>();
        QFont font;
        font.setPixelSize(14);
        box->setFont(font);
        ASSERT_TRUE(box->Create(owner, 25002, true));
        box->AddLine(QStringLiteral("+46 70 111"), QStringLiteral("Mobile"), QStringLiteral("m"));
        box->AddLine(QStringLiteral("08-222"), QStringLiteral("Work"), QStringLiteral("w"));
        box->AddLine(QStringLiteral("kim@example.org"), QStringLiteral("E-mail"), QStringLiteral("e"));
        box->SetSelectedLine(0);
    }
    // Opens the box below a row whose bottom is `ownerY` in the owner.
    void OpenAt(int ownerY) { box->ShowAt(owner->mapToGlobal(QPoint(0, ownerY)).y()); }
    QPoint MiddleOfLine(int line) const { return QPoint(30, 1 + line * box->LineHeight() + box->LineHeight() / 2); }

    std::unique_ptr<QWidget> top;
    QWidget* listWindow = nullptr;  // owned by `top`
    QWidget* owner = nullptr;
    std::unique_ptr<MFCFlatPhoneBoxCtrl> box;
};

}  // namespace

// Below the row at the right of the list window; above it when it would
// leave the window, but never above the window's top.
TEST_F(PhoneBoxTest, OpensBelowTheRowAtTheRightOfTheListWindow)
{
    const int height = 3 * box->LineHeight() + 2;
    const struct { int windowHeight, rowBottom, top; } cases[] = {
        {300, 20, 120},
        {300, 190, 100 + 190 - height},  // 290 in the window: three lines do not fit below
        {40, 20, 0},
    };
    for (const auto& c : cases) {
        box->Close();
        top->resize(300, c.windowHeight);
        listWindow->setGeometry(0, c.windowHeight < 100 ? 0 : 100, 240, std::min(121, c.windowHeight));
        OpenAt(c.rowBottom);
        ASSERT_TRUE(box->isVisible());
        EXPECT_EQ(QWidget::mouseGrabber(), box.get());
        EXPECT_TRUE(box->hasFocus());
        // 14 pixels is not a small font: labels only, 110 wide.
        EXPECT_FALSE(box->IsSmallFont());
        EXPECT_EQ(box->NumberColumnWidth(), 0);
        EXPECT_EQ(box->geometry(), QRect(235 - (15 + 110 + 2), c.top, 15 + 110 + 2, height)) << c.rowBottom;
    }
}

// Each way of closing the box picks only what the user meant, lets the
// mouse go, and leaves the next click elsewhere working.
TEST_F(PhoneBoxTest, MouseAndEscapePickOrCloseAsTheUserMeant)
{
    QPushButton button(QStringLiteral("OK"), top.get());
    button.setGeometry(250, 5, 40, 20);
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    auto press = [](QWidget* target, QPoint at, QPoint liftAt) {
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseRelease(target, Qt::LeftButton, {}, liftAt);
    };
    const struct { const char* what; std::function<void()> act; bool stillOpen; const char* picked; } cases[] = {
        {"press and lift on a line", [&] { press(box.get(), MiddleOfLine(2), MiddleOfLine(2)); }, false, "e"},
        {"lift on another line", [&] { press(box.get(), MiddleOfLine(1), MiddleOfLine(2)); }, true, nullptr},
        // The box holds the mouse: a press on the window elsewhere reaches it.
        {"tap elsewhere in the window", [&] { press(top.get(), QPoint(5, 5), QPoint(5, 5)); }, false, nullptr},
        {"tap on the button itself", [&] { press(&button, QPoint(5, 5), QPoint(5, 5)); }, false, nullptr},
        {"tap on the box's frame, off every line", [&] { press(box.get(), QPoint(30, 0), QPoint(30, 0)); }, false, nullptr},
        {"escape", [&] { QTest::keyClick(box.get(), Qt::Key_Escape); }, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        box->Close();
        box->SetSelectedLine(0);
        OpenAt(0);
        QSignalSpy picked(box.get(), &MFCFlatPhoneBoxCtrl::Picked);
        c.act();
        EXPECT_EQ(box->isVisible(), c.stillOpen);
        EXPECT_EQ(picked.count(), c.picked ? 1 : 0);
        EXPECT_EQ(box->SelectedTag(), QString::fromLatin1(c.picked ? c.picked : "m"));
        if (c.stillOpen)
            continue;
        EXPECT_NE(QWidget::mouseGrabber(), box.get());
        clicked.clear();
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(clicked.count(), 1) << "the next click is not swallowed";
    }
}
