#include "contactlist/widgets/SkinableContactList.h"

#include "contactlist/ContactListModel.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/FlatPhoneBoxCtrl.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "platform/gui/SkinButton.h"
#include "platform/gui/SkinRepository.h"
#include "platform/gui/SkinScrollList.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "tests/contactlist/ContactListTestData.h"
#include "tests/support/MessageCapture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

constexpr int ViewControlId = 1022;
constexpr quint32 WithCheckBoxes = ContactListCheckBoxes | ContactListFullRowSelect;
constexpr int LoadTimeoutMs = 10000;

class ContactListWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = NewTempFolder(QStringLiteral("list-window"));
        people = TestCardsFrom(QStringLiteral("contactlist/people.txt"));
        ASSERT_EQ(people.size(), 21u);
        for (const TestCard& card : people)
            ASSERT_TRUE(WriteCard(folder, card));
        cacheFile = folder + QStringLiteral(".cache");
        top = std::make_unique<QWidget>();
        top->resize(240, 300);
        auto capture = std::make_unique<MessageCapture>();
        boxes = capture->boxes;
        CAppMessages::Instance().SetMessageHandler(std::move(capture));
    }

    void TearDown() override
    {
        list.reset();
        top.reset();
        CAppMessages::Instance().SetMessageHandler(nullptr);
        EXPECT_EQ(CContactListModel::InstanceCount(), 0);
        EXPECT_TRUE(CContactListModel::AllFilteredLists().empty());
    }

    // Creates the window as the phone book view does; the first load runs.
    // The rows stay under Qt's model checker through every load and tick.
    void StartList(quint32 extendedStyle = WithCheckBoxes, int filter = 0xFFF)
    {
        list = std::make_unique<CSkinableContactList>(folder);
        ASSERT_NE(list->Create(top.get(), QRect(0, 150, 240, 121), ViewControlId, ContactListDefaultWindowStyle,
                               ContactListDefaultListStyle, extendedStyle, cacheFile, filter, true, true),
                  0);
        rowsChecker = std::make_unique<QAbstractItemModelTester>(&Flat().Rows(),
                                                                 QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    // ... and shows it once that load has ended.
    void CreateList(quint32 extendedStyle = WithCheckBoxes, int filter = 0xFFF)
    {
        StartList(extendedStyle, filter);
        top->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top.get()));
        ASSERT_TRUE(CContactListModel::WaitForLoad(LoadTimeoutMs));
        QCoreApplication::processEvents();
    }

    CSkinableFlatContactList& Flat() const { return *list->ListControl(); }

    int RowOf(const QString& name) const
    {
        for (int row = 0; row < Flat().RowCount(); ++row)
            if (NameAt(row) == name)
                return row;
        return -1;
    }
    QString NameAt(int row) const { return Flat().Rows().index(row).data().toString(); }
    QString TagAt(int row) const { return Flat().Rows().index(row).data(CContactRowsModel::TagRole).toString(); }
    // What the list hands on as chosen: the name and its default number.
    QString Selected() const
    {
        QString name, number;
        list->GetSelected(name, number);
        return name + u'|' + number;
    }
    QString Checked(bool withNames) const
    {
        QString checked;
        list->GetChecked(checked, withNames);
        return checked;
    }

    QRect RowRect(int row) const { return Flat().visualRect(Flat().Rows().index(row)); }
    // A point of `row` in the list's viewport: at its left (name, check
    // box) or at its right end (the tag).
    QPoint LeftOf(int row) const { return RowRect(row).center() - QPoint(90, 0); }
    QPoint RightOf(int row) const { return QPoint(Flat().viewport()->width() - 4, LeftOf(row).y()); }
    void Tap(const QPoint& at) { QTest::mouseClick(Flat().viewport(), Qt::LeftButton, {}, at); }
    // How many pixels from x = `left` to `right` in `rows` of the list are as `wanted`.
    int PixelsIn(int left, int right, QRect rows, const std::function<bool(QColor)>& wanted) const
    {
        const QImage image = Flat().viewport()->grab().toImage();
        int count = 0;
        for (int x = left; x <= right; ++x)
            for (int y = rows.top(); y <= rows.bottom(); ++y)
                count += wanted(image.pixelColor(x, y)) ? 1 : 0;
        return count;
    }

    std::vector<TestCard> people;
    QString folder;
    QString cacheFile;
    std::unique_ptr<QWidget> top;
    std::unique_ptr<CSkinableContactList> list;
    std::unique_ptr<QAbstractItemModelTester> rowsChecker;
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
};

}  // namespace

// Every contact sorted, with its default tag painted blue, in a window
// styled by the skin repository until the repository goes.
TEST_F(ContactListWindowTest, ShowsEveryContactSortedWithItsDefaultTag)
{
    auto repository = std::make_unique<CSkinRepository>();
    repository->SetStyleSheet(QStringLiteral("QPushButton[skinComponent=\"AddressBook\"] { color: rgb(1, 2, 3); }"));
    CreateList();
    EXPECT_EQ(repository->ComponentCount(), 1);
    EXPECT_TRUE(list->styleSheet().contains(QStringLiteral("rgb(1, 2, 3)")));
    ASSERT_EQ(Flat().RowCount(), int(people.size()));
    EXPECT_EQ(NameAt(0), QStringLiteral("Adam Ek"));
    EXPECT_EQ(NameAt(1), QStringLiteral("anna Berg"));  // case does not count
    EXPECT_EQ(NameAt(Flat().RowCount() - 1), QStringLiteral("Zoe Strand"));
    // Work comes first, then the kinds in their order.
    for (const auto& [name, tag] : {std::pair{"anna Berg", "w"}, {"Erik Sund", "h"}, {"Eva Alm", "e"}})
        EXPECT_EQ(TagAt(RowOf(QString::fromLatin1(name))), QString::fromLatin1(tag)) << name;
    EXPECT_EQ(Flat().GetItemAt(Flat().RowCount()), nullptr);
    EXPECT_EQ(Flat().GetItemAt(-1), nullptr);
    EXPECT_EQ(Flat().width(), 240 - 13);

    // The tag is painted blue at the right end of the row, the name not.
    const QRect row = RowRect(0);
    auto blue = [](QColor color) { return color == QColor(0, 0, 255); };
    EXPECT_GT(PixelsIn(row.right() - 20, row.right(), row, blue), 3) << "the tag 'm' of Adam Ek";
    EXPECT_EQ(PixelsIn(20, 99, row, blue), 0) << "names are not blue";
    repository.reset();  // unloads the window, which must not call back
    list.reset();
}

// Repeated presses step through a button's letters; the scroll bar follows
// and drives the list.
TEST_F(ContactListWindowTest, LetterButtonsAndTheScrollBarMoveThroughTheList)
{
    CreateList();
    const struct { int button; const char* focused; } presses[] = {
        {1, "Carl Ek"}, {1, "David Ros"}, {1, "Erik Sund"},  // c, d, e
        {1, "Carl Ek"},     // a fourth press: c again
        {0, "Adam Ek"},     // another button: its first press, the top
        {0, "Adam Ek"}, {0, "Bertil Ny"},  // a, b
        {8, "Yngve Falk"},  // x: nothing at x, the first after it
        {8, "Yngve Falk"}, {8, "Zoe Strand"},  // y, z
    };
    const quint32 lastTop = quint32(Flat().RowCount()) - Flat().GetPageSize();
    for (const auto& press : presses) {
        SCOPED_TRACE(press.focused);
        QTest::mouseClick(list->LetterButton(press.button), Qt::LeftButton);
        const int row = Flat().currentIndex().row();
        EXPECT_EQ(NameAt(row), QString::fromUtf8(press.focused));
        // Brought to the top as far as the list scrolls.
        EXPECT_EQ(Flat().GetScrollIndex(), std::min(quint32(row), lastTop));
        EXPECT_EQ(Flat().SelectedRow(), -1) << "the selection mark goes";
    }

    CSkinScrollList& bar = *list->ScrollBar();
    EXPECT_EQ(bar.maximum(), int(lastTop));
    EXPECT_EQ(bar.pageStep(), int(Flat().GetPageSize()));
    bar.setValue(4);
    EXPECT_EQ(Flat().GetScrollIndex(), 4u);
    Flat().DoScroll(7);
    EXPECT_EQ(bar.value(), 7);
    Flat().DoScroll(1000);  // as far as it goes
    EXPECT_EQ(bar.value(), bar.maximum());
}

// A tap on the name selects the contact and tells the parent; so do the
// arrow and paging keys and typing the start of a name.
TEST_F(ContactListWindowTest, ATapOrAKeySelectsAndNotifiesTheParent)
{
    CreateList();
    QSignalSpy clicked(list.get(), &CSkinableContactList::Clicked);
    const int row = RowOf(QStringLiteral("Bertil Ny"));
    Tap(LeftOf(row));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.front().front().toInt(), ViewControlId);
    EXPECT_EQ(Selected(), QStringLiteral("Bertil Ny|+46 70 100 00 03"));
    EXPECT_EQ(list->GetSelectedOID(), Flat().GetItemAt(row)->oid);
    EXPECT_EQ(Flat().SelectedRow(), row);
    EXPECT_FALSE(Flat().PhoneBox()->isVisible()) << "a tap on the name only selects";

    const struct { const char* keys; Qt::Key key; const char* selected; int clicks; } steps[] = {
        {"", Qt::Key_Down, "Carl Ek|08-200 00 04", 2},
        {"", Qt::Key_End, "Zoe Strand|+46 70 100 00 21", 3},
        {"ma", Qt::Key_unknown, "Maria Ulf|+46 70 100 00 14", 4},  // a stays on Maria
    };
    for (const auto& step : steps) {
        if (*step.keys)
            QTest::keyClicks(&Flat(), QString::fromLatin1(step.keys));
        else
            QTest::keyClick(&Flat(), step.key);
        EXPECT_EQ(Selected(), QString::fromLatin1(step.selected));
        EXPECT_EQ(clicked.count(), step.clicks);
    }
}

TEST_F(ContactListWindowTest, CheckBoxesTickOnTheLeftAndGetCheckedListsThem)
{
    CreateList();
    const int anna = RowOf(QStringLiteral("anna Berg"));
    const int carl = RowOf(QStringLiteral("Carl Ek"));
    Tap(LeftOf(anna));
    Tap(LeftOf(carl));
    EXPECT_EQ(Checked(true), QStringLiteral("anna Berg (08-200 00 02); Carl Ek (08-200 00 04)"));
    EXPECT_EQ(Checked(false), QStringLiteral("08-200 00 02; 08-200 00 04"));

    // The cross is drawn in the box of a ticked row only.
    auto darkInBox = [&](int row) {
        const QRect rect = RowRect(row).adjusted(0, 4, 0, -5);
        return PixelsIn(rect.left() + 4, rect.left() + 11, rect, [](QColor color) { return color.lightness() < 128; });
    };
    EXPECT_GT(darkInBox(carl), 4);
    EXPECT_EQ(darkInBox(RowOf(QStringLiteral("Bertil Ny"))), 0);

    Tap(LeftOf(anna));  // a second tap takes the tick away
    EXPECT_EQ(Checked(false), QStringLiteral("08-200 00 04"));
    list->ClearChecks();
    EXPECT_TRUE(Checked(true).isEmpty());

    // Without check boxes a tap ticks nothing.
    list.reset();
    CreateList(ContactListFullRowSelect);
    Tap(LeftOf(0));
    EXPECT_FALSE(Flat().IsChecked(0));
    EXPECT_FALSE(Flat().Rows().index(0).data(Qt::CheckStateRole).isValid());
    EXPECT_TRUE(Checked(true).isEmpty());
}

// A tap on the tag opens the phone box; a picked line becomes the default
// number and ticks the contact. Enter opens it from the keyboard, the
// arrows pick and Enter takes.
TEST_F(ContactListWindowTest, ThePhoneBoxChangesTheDefaultNumber)
{
    CreateList();
    QSignalSpy clicked(list.get(), &CSkinableContactList::Clicked);
    const int anna = RowOf(QStringLiteral("anna Berg"));
    Tap(RightOf(anna));
    MFCFlatPhoneBoxCtrl* box = Flat().PhoneBox();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->parentWidget(), top.get());
    EXPECT_FALSE(Flat().IsChecked(anna)) << "a tap on the tag does not tick";
    // Work, mobile and e-mail in type order; the dot on the default (work).
    ASSERT_EQ(box->LineCount(), 3);
    EXPECT_EQ(box->LineAt(0).tag + box->LineAt(1).tag + box->LineAt(2).tag, QStringLiteral("wme"));
    EXPECT_EQ(box->SelectedLine(), 0);
    EXPECT_EQ(box->geometry().right() + 1, 235);

    const QPoint mobile(30, 1 + box->LineHeight() + box->LineHeight() / 2);
    QTest::mousePress(box, Qt::LeftButton, {}, mobile);
    QTest::mouseRelease(box, Qt::LeftButton, {}, mobile);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(TagAt(anna), QStringLiteral("m"));
    EXPECT_EQ(Selected(), QStringLiteral("anna Berg|+46 70 100 00 02"));
    EXPECT_EQ(clicked.count(), 2);  // the tap and the pick
    EXPECT_EQ(Checked(true), QStringLiteral("anna Berg (+46 70 100 00 02)")) << "a picked number ticks its contact";

    // The hot line is still the line tapped last; the arrows wrap round.
    QTest::keyClick(&Flat(), Qt::Key_Return);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->SelectedLine(), 1);
    EXPECT_EQ(box->HotLine(), 1);
    for (const auto& [key, hotLine] : {std::pair{Qt::Key_Down, 2}, {Qt::Key_Down, 0}, {Qt::Key_Up, 2}}) {
        QTest::keyClick(box, key);
        EXPECT_EQ(box->HotLine(), hotLine);
    }
    // The dot marks the default line, the highlight the hot one.
    const QImage image = box->grab().toImage();
    auto pixel = [&](int x, int line) { return image.pixelColor(x, 1 + line * box->LineHeight() + box->LineHeight() / 2); };
    EXPECT_EQ(pixel(100, 2), box->palette().color(QPalette::Highlight));
    EXPECT_NE(pixel(100, 1), box->palette().color(QPalette::Highlight));
    EXPECT_EQ(pixel(7, 1), box->palette().color(QPalette::Text)) << "the dot";
    EXPECT_NE(pixel(7, 0), box->palette().color(QPalette::Text));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(TagAt(anna), QStringLiteral("e"));
    EXPECT_EQ(Selected(), QStringLiteral("anna Berg|anna@example.org"));
}

TEST_F(ContactListWindowTest, ASmallerFontGivesMoreRowsAndNumbersInThePhoneBoxAndHidingClosesIt)
{
    CreateList();
    // A hot line chosen in the normal font does not carry over.
    MFCFlatPhoneBoxCtrl* box = Flat().PhoneBox();
    Tap(RightOf(RowOf(QStringLiteral("anna Berg"))));
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_GE(box->HotLine(), 0);
    QTest::keyClick(box, Qt::Key_Escape);
    ASSERT_FALSE(box->isVisible());
    const quint32 rowsBefore = Flat().GetPageSize();
    const quint32 heightBefore = Flat().GetItemSize();
    QFont small(QStringLiteral("Tahoma"));
    small.setPixelSize(10);
    Flat().ChangeFont(small);
    EXPECT_LT(Flat().GetItemSize(), heightBefore);
    EXPECT_GE(Flat().GetPageSize(), rowsBefore);
    EXPECT_EQ(list->ScrollBar()->pageStep(), int(Flat().GetPageSize()));
    Tap(RightOf(RowOf(QStringLiteral("anna Berg"))));
    ASSERT_TRUE(box->isVisible());
    EXPECT_TRUE(box->IsSmallFont());
    EXPECT_EQ(box->NumberColumnWidth(), 100);
    EXPECT_EQ(box->HotLine(), -1);
    QTest::keyClick(box, Qt::Key_Up);  // no hot line: up goes to the last
    EXPECT_EQ(box->HotLine(), box->LineCount() - 1);

    // Hiding the window closes the box and lets the mouse go.
    list->ShowWindow(false);
    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_NE(QWidget::mouseGrabber(), box);
}

TEST_F(ContactListWindowTest, ANewCardInTheFolderIsShownAfterTheReload)
{
    CreateList();
    const int before = Flat().RowCount();
    const int tickedRow = RowOf(QStringLiteral("Bertil Ny"));
    Tap(LeftOf(tickedRow));
    Tap(RightOf(tickedRow));
    ASSERT_TRUE(Flat().PhoneBox()->isVisible());
    QSignalSpy changed(list.get(), &CSkinableContactList::ListChanged);
    ASSERT_TRUE(WriteCard(folder, {"u00", "Aaron Ahl", "+46 70 100 00 00"}));
    ASSERT_TRUE(changed.wait(LoadTimeoutMs) && CContactListModel::WaitForLoad(LoadTimeoutMs));
    EXPECT_EQ(Flat().RowCount(), before + 1);
    // The box was Bertil's row's; that row is Aaron's neighbour now.
    EXPECT_FALSE(Flat().PhoneBox()->isVisible());
    EXPECT_EQ(NameAt(0), QStringLiteral("Aaron Ahl"));
    // The tick and the selection stay with Bertil, one row further down.
    EXPECT_TRUE(Flat().IsChecked(tickedRow + 1));
    EXPECT_EQ(NameAt(Flat().SelectedRow()), QStringLiteral("Bertil Ny"));
    QString name;
    EXPECT_TRUE(CSkinableContactList::GetNameFromNumber(QStringLiteral("070-100 00 00"), name));
    EXPECT_EQ(name, QStringLiteral("Aaron Ahl"));
}

// A refresh while a load runs is refused, aloud unless asked silently; the
// context menu's "Refresh list" reloads and is not passed on, while the
// options added to the menu are.
TEST_F(ContactListWindowTest, TheContextMenuForwardsAddedOptionsAndAHoldOpensIt)
{
    StartList();
    // The first load has started and completes only on the event loop.
    ASSERT_TRUE(CSkinableContactList::IsRefreshing());
    EXPECT_FALSE(list->RefreshList(true));
    EXPECT_TRUE(boxes->empty()) << "a silent request shows nothing";
    EXPECT_FALSE(list->RefreshList(false));
    ASSERT_EQ(boxes->size(), 1u);
    EXPECT_EQ(boxes->front().message, QStringLiteral("List is currently refreshing. Try again."));
    EXPECT_EQ(boxes->front().type, unsigned(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes->front().caption, QStringLiteral("    "));
    top->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(top.get()));
    ASSERT_TRUE(CContactListModel::WaitForLoad(LoadTimeoutMs));
    boxes->clear();

    list->AddMenuOption(32776, QStringLiteral("Delete"));
    list->AddMenuOption(0, QString());
    list->AddMenuOption(32777, QStringLiteral("Call"));
    QSignalSpy commands(list.get(), &CSkinableContactList::MenuCommand);
    QTest::mouseClick(Flat().viewport(), Qt::RightButton, {}, LeftOf(2));
    if (!Flat().ContextMenu()) {
        // Platforms that open menus on release send the event themselves.
        QContextMenuEvent event(QContextMenuEvent::Mouse, LeftOf(2), Flat().viewport()->mapToGlobal(LeftOf(2)));
        QCoreApplication::sendEvent(Flat().viewport(), &event);
    }
    QMenu* menu = Flat().ContextMenu();
    ASSERT_NE(menu, nullptr);
    QStringList labels;
    for (const QAction* action : menu->actions())
        labels << action->text();
    EXPECT_EQ(labels, (QStringList{"Refresh list", "Delete", "", "Call"}));
    EXPECT_EQ(Flat().SelectedRow(), 2) << "the menu works on the pressed contact";
    menu->actions()[1]->trigger();
    menu->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.front().front().toInt(), 32776);

    Flat().OpenContextMenu(QPoint(10, 10));
    Flat().ContextMenu()->actions().front()->trigger();
    Flat().ContextMenu()->close();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(CSkinableContactList::IsRefreshing());
    ASSERT_TRUE(CContactListModel::WaitForLoad(LoadTimeoutMs));
    EXPECT_EQ(commands.count(), 1) << "Refresh list is not passed on";
    EXPECT_EQ(Flat().RowCount(), int(people.size()));
    EXPECT_FALSE(Flat().MenuCommand(1404));
    list->RemoveMenuOptions();
    EXPECT_FALSE(Flat().MenuCommand(32776));

    // Pressing and holding opens the menu instead of a tap; the hold's own
    // timer opens it, so the test waits for the menu, not for a time.
    QSignalSpy clicked(list.get(), &CSkinableContactList::Clicked);
    ASSERT_EQ(Flat().ContextMenu(), nullptr);
    QTest::mousePress(Flat().viewport(), Qt::LeftButton, {}, LeftOf(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Flat().ContextMenu() != nullptr; }, LoadTimeoutMs));
    QTest::mouseRelease(Flat().viewport(), Qt::LeftButton, {}, LeftOf(3));
    EXPECT_EQ(clicked.count(), 0) << "the hold is not a tap";
    EXPECT_FALSE(Flat().IsChecked(3));
    Flat().ContextMenu()->close();
    Tap(LeftOf(3));  // a quick tap afterwards is one again
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(Flat().IsChecked(3));
}

TEST_F(ContactListWindowTest, ASecondWindowSharesTheListsAndTheLastWritesTheCache)
{
    CreateList();
    QFile::remove(cacheFile);
    QSignalSpy changed(list.get(), &CSkinableContactList::ListChanged);
    {
        CSkinableContactList second(folder);
        ASSERT_NE(second.Create(top.get(), QRect(0, 0, 240, 121), 7, ContactListDefaultWindowStyle,
                                ContactListDefaultListStyle, 0, cacheFile, 0x1FF, true, true),
                  0);
        EXPECT_FALSE(CSkinableContactList::IsRefreshing()) << "the second window reads nothing";
        EXPECT_EQ(CContactListModel::InstanceCount(), 2);
        // Its telephone list holds the first window's records: all but Eva's.
        EXPECT_EQ(second.ListControl()->RowCount(), Flat().RowCount() - 1);
        EXPECT_EQ(second.ListControl()->GetItemAt(0), Flat().GetItemAt(0));
        second.ChangeFilter(int(ContactFieldMask(FIELD_EMAIL)));
        ASSERT_EQ(second.ListControl()->RowCount(), 2) << "the e-mail addresses of anna and Eva";
        // anna's default moved to her address; her box shows only what the filter shows.
        EXPECT_EQ(second.ListControl()->Rows().index(0).data(CContactRowsModel::TagRole).toString(), QStringLiteral("e"));
        QTest::keyClick(second.ListControl(), Qt::Key_Home);
        QTest::keyClick(second.ListControl(), Qt::Key_Return);
        EXPECT_EQ(second.ListControl()->PhoneBox()->LineCount(), 1);
        EXPECT_EQ(CContactListModel::AllFilteredLists().size(), 3u);

        // A reload started by the second window reaches the first.
        ASSERT_TRUE(second.RefreshList(false));
        ASSERT_TRUE(CContactListModel::WaitForLoad(LoadTimeoutMs));
        QCoreApplication::processEvents();
        EXPECT_EQ(changed.count(), 1);
    }
    EXPECT_FALSE(QFile::exists(cacheFile)) << "not the last window";
    EXPECT_EQ(CContactListModel::InstanceCount(), 1);
    list.reset();
    EXPECT_TRUE(QFile::exists(cacheFile));

    // The next first window shows the cached contacts, and finds their
    // numbers, until its load brings what the folder holds now.
    ASSERT_TRUE(WriteCard(folder, {"u00", "Aaron Ahl", "+46 70 100 00 00"}));
    StartList();
    EXPECT_EQ(Flat().RowCount(), int(people.size()));
    QString name;
    EXPECT_TRUE(CSkinableContactList::GetNameFromNumber(QStringLiteral("070-100 00 21"), name));
    EXPECT_FALSE(CSkinableContactList::GetNameFromNumber(QStringLiteral("070-100 00 00"), name));
    ASSERT_TRUE(CContactListModel::WaitForLoad(LoadTimeoutMs));
    EXPECT_EQ(Flat().RowCount(), int(people.size()) + 1);
}

TEST_F(ContactListWindowTest, NoContactsMeansAnEmptyListThatStillWorks)
{
    folder = NewTempFolder(QStringLiteral("list-empty"));
    CreateList();
    EXPECT_EQ(Flat().RowCount(), 0);
    QTest::mouseClick(list->LetterButton(2), Qt::LeftButton);
    Tap(QPoint(20, 5));
    QTest::keyClick(&Flat(), Qt::Key_Return);
    EXPECT_FALSE(Flat().PhoneBox()->isVisible());
    EXPECT_TRUE(Checked(true).isEmpty());
    QMap<QString, QString> numbers{{QStringLiteral("x"), QStringLiteral("y")}};
    QString name;
    list->GetSelected(name, numbers);
    EXPECT_TRUE(numbers.isEmpty());
    EXPECT_EQ(Flat().GetItemAt(0), nullptr);
}
