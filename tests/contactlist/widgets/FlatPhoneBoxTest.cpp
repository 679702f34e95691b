#include "contactlist/widgets/FlatPhoneBoxCtrl.h"

#include <QFont>
#include <QImage>
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
        listWindow = std::make_unique<QWidget>(top.get());
        listWindow->setGeometry(0, 100, 240, 121);
        owner = std::make_unique<QWidget>(listWindow.get());
        owner->setGeometry(0, 0, 227, 103);
        top->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top.get()));
        box = std::make_unique<MFCFlatPhoneBoxCtrl>();
        QFont font;
        font.setPixelSize(14);
        box->setFont(font);
        ASSERT_TRUE(box->Create(owner.get(), 25002, true));
        box->AddLine(QStringLiteral("+46 70 111"), QStringLiteral("Mobile"), QStringLiteral("m"));
        box->AddLine(QStringLiteral("08-222"), QStringLiteral("Work"), QStringLiteral("w"));
        box->AddLine(QStringLiteral("kim@example.org"), QStringLiteral("E-mail"), QStringLiteral("e"));
        box->SetSelectedLine(0);
    }

    void TearDown() override
    {
        box.reset();
        owner.reset();
        listWindow.reset();
        top.reset();
    }

    // Opens the box below a row whose bottom is `ownerY` in the owner.
    void OpenAt(int ownerY) { box->ShowAt(owner->mapToGlobal(QPoint(0, ownerY)).y()); }

    QPoint MiddleOfLine(int line) const
    {
        return QPoint(30, 1 + line * box->LineHeight() + box->LineHeight() / 2);
    }

    std::unique_ptr<QWidget> top;
    std::unique_ptr<QWidget> listWindow;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<MFCFlatPhoneBoxCtrl> box;
};

}  // namespace

TEST_F(PhoneBoxTest, OpensBelowTheRowAtTheRightOfTheListWindow)
{
    EXPECT_EQ(box->parentWidget(), top.get());  // with the box flag: the top-level window
    OpenAt(20);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), box.get());
    EXPECT_TRUE(box->hasFocus());
    // 14 pixels is not a small font: labels only, 110 wide.
    EXPECT_FALSE(box->IsSmallFont());
    EXPECT_EQ(box->NumberColumnWidth(), 0);
    EXPECT_EQ(box->LabelColumnWidth(), 110);
    EXPECT_EQ(box->geometry(), QRect(235 - (15 + 110 + 2), 120, 15 + 110 + 2, 3 * box->LineHeight() + 2));
}

TEST_F(PhoneBoxTest, ABoxThatWouldLeaveTheWindowOpensAboveItsPosition)
{
    const int rowBottom = 190;  // 290 in the window: three lines do not fit below
    OpenAt(rowBottom);
    const int height = 3 * box->LineHeight() + 2;
    EXPECT_EQ(box->geometry().top(), 100 + rowBottom - height);
    box->Close();

    // Near the top of a short window it goes no higher than 0.
    top->resize(300, 40);
    listWindow->setGeometry(0, 0, 240, 40);
    OpenAt(20);
    EXPECT_EQ(box->geometry().top(), 0);
}

TEST_F(PhoneBoxTest, ArrowKeysWrapAndEnterPicksTheHotLine)
{
    OpenAt(0);
    QSignalSpy picked(box.get(), &MFCFlatPhoneBoxCtrl::Picked);
    struct Step {
        Qt::Key key;
        int hotLine;
    };
    const Step steps[] = {
        {Qt::Key_Up, 2},    // no hot line: up goes to the last
        {Qt::Key_Up, 1},    {Qt::Key_Down, 2},
        {Qt::Key_Down, 0},  // down on the last wraps to the first
        {Qt::Key_Down, 1},
    };
    for (const Step& step : steps) {
        QTest::keyClick(box.get(), step.key);
        EXPECT_EQ(box->HotLine(), step.hotLine);
    }
    EXPECT_EQ(picked.count(), 0);
    QTest::keyClick(box.get(), Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_NE(QWidget::mouseGrabber(), box.get());
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.front().front().toInt(), 25002);
    EXPECT_EQ(box->SelectedLine(), 1);
    EXPECT_EQ(box->SelectedTag(), QStringLiteral("w"));
}

TEST_F(PhoneBoxTest, MouseAndEscapePickOrCloseAsTheUserMeant)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        bool stillOpen;
        const char* picked;  // nullptr: no pick
    };
    const Case cases[] = {
        {"press and lift on a line", [&] {
             QTest::mousePress(box.get(), Qt::LeftButton, {}, MiddleOfLine(2));
             EXPECT_EQ(box->HotLine(), 2);
             EXPECT_TRUE(box->isVisible());
             QTest::mouseRelease(box.get(), Qt::LeftButton, {}, MiddleOfLine(2));
         }, false, "e"},
        {"lift on another line", [&] {
             QTest::mousePress(box.get(), Qt::LeftButton, {}, MiddleOfLine(1));
             QTest::mouseRelease(box.get(), Qt::LeftButton, {}, MiddleOfLine(2));
         }, true, nullptr},
        // The box holds the mouse: a press on the window elsewhere reaches it.
        {"tap outside", [&] {
             QTest::mousePress(top.get(), Qt::LeftButton, {}, QPoint(5, 5));
             QTest::mouseRelease(top.get(), Qt::LeftButton, {}, QPoint(5, 5));
         }, false, nullptr},
        {"escape", [&] { QTest::keyClick(box.get(), Qt::Key_Escape); }, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box->Close();
        box->SetSelectedLine(0);
        OpenAt(0);
        QSignalSpy picked(box.get(), &MFCFlatPhoneBoxCtrl::Picked);
        c.act();
        EXPECT_EQ(box->isVisible(), c.stillOpen);
        EXPECT_EQ(picked.count(), c.picked ? 1 : 0);
        EXPECT_EQ(box->SelectedTag(), QString::fromLatin1(c.picked ? c.picked : "m"));
        if (!c.stillOpen) {
            EXPECT_NE(QWidget::mouseGrabber(), box.get());
        }
    }
}

TEST_F(PhoneBoxTest, AfterClosingClicksElsewhereWorkAgain)
{
    QPushButton button(QStringLiteral("OK"), top.get());
    button.setGeometry(250, 5, 40, 20);
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    struct Case {
        const char* what;
        QWidget* target;
        QPoint at;
    };
    const Case cases[] = {
        {"press elsewhere in the window", top.get(), QPoint(5, 5)},
        {"press on the button itself", &button, QPoint(5, 5)},
        {"press on the box's frame, off every line", box.get(), QPoint(30, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenAt(0);
        QTest::mouseClick(c.target, Qt::LeftButton, {}, c.at);
        EXPECT_FALSE(box->isVisible());
        clicked.clear();
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(clicked.count(), 1) << "the next click is not swallowed";
    }
}

TEST_F(PhoneBoxTest, TheSelectedLineCarriesTheDotAndTheHotLineIsHighlighted)
{
    box->SetSelectedLine(1);
    box->SetSelectedLine(3);  // not a line: ignored
    EXPECT_EQ(box->SelectedLine(), 1);
    OpenAt(0);
    QTest::keyClick(box.get(), Qt::Key_Down);  // hot line 0
    const QImage image = box->grab().toImage();
    const QColor highlight = box->palette().color(QPalette::Highlight);
    const QColor text = box->palette().color(QPalette::Text);
    const int lineHeight = box->LineHeight();
    auto middle = [&](int line) { return 1 + line * lineHeight + lineHeight / 2; };
    EXPECT_EQ(image.pixelColor(100, middle(0)), highlight);
    EXPECT_NE(image.pixelColor(100, middle(1)), highlight);
    EXPECT_EQ(image.pixelColor(7, middle(1)), text) << "the dot";
    EXPECT_NE(image.pixelColor(7, middle(2)), text);
}

TEST_F(PhoneBoxTest, EmptyBoxAndOutOfRangeQueries)
{
    box->DeleteAllItems();
    EXPECT_EQ(box->LineCount(), 0);
    EXPECT_TRUE(box->SelectedTag().isEmpty());
    EXPECT_TRUE(box->LineAt(5).tag.isEmpty());
    OpenAt(0);
    QTest::keyClick(box.get(), Qt::Key_Up);
    EXPECT_EQ(box->HotLine(), -1);
    EXPECT_EQ(box->LineAtY(10), -1);
}
