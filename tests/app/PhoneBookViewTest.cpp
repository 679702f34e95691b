// The window with the simulated stores: what the user sees after the
// first start, sorting, the View toggles, the layout, the menus and the
// keys; and the entry model's edits of single rows.

#include "app/CommandIds.h"
#include "app/EntryListModel.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/FlatPhoneBoxCtrl.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "support/TranslationTable.h"
#include "tests/app/AppTestSupport.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

const QStringList Simulate{QStringLiteral("Simulate")};

class PhoneBookViewTest : public WindowTest {
protected:
    QString Cell(int row, int column) const { return View()->EntryModel()->index(row, column).data().toString(); }
    CPhoneBookList* List() const { return View()->EntryList(); }
    QPoint OnRow(int row) const { return List()->visualRect(View()->EntryModel()->index(row, 0)).center(); }
    void ClickHeader(int column)
    {
        QHeaderView* header = List()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    }
    // Every row against the next, by name or number, case ignored.
    bool Sorted(int column, bool ascending) const
    {
        for (int row = 1; row < View()->EntryModel()->rowCount(); ++row) {
            const int order = QString::compare(Cell(row - 1, column), Cell(row, column), Qt::CaseInsensitive);
            if (ascending ? order > 0 : order < 0)
                return false;
        }
        return true;
    }
    // The handheld's screen: the layout's own numbers hold there.
    void ResizeToHandheld()
    {
        frame->resize(CPhoneBookView::DefaultWidth, CPhoneBookView::DefaultHeight + frame->menuBar()->height());
        ASSERT_TRUE(WaitUntil([this] { return View()->size() == QSize(240, 271); }));
    }
    bool ColumnsFill() const { return List()->columnWidth(0) + List()->columnWidth(1) == List()->viewport()->width(); }
};

// A first start cancelled shows only Contacts and saves nothing; then
// Simulate is chosen, kept through a cancelled GSM Device, and used
// without asking at the next start, with the View toggles as left.
TEST_F(PhoneBookViewTest, FirstStartAndSimulate)
{
    MakeWindow({QString(), QStringLiteral("Simulate")});
    EXPECT_TRUE(View()->SimCounter()->text().isEmpty());  // nothing read yet
    ASSERT_TRUE(ShowWindow());
    EXPECT_FALSE(View()->IsDeviceOpen());
    EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
    EXPECT_TRUE(View()->ContactsList()->isVisible());
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 0/0"));
    CAppSettings stored;
    stored.Load();
    EXPECT_TRUE(stored.ComPort.isEmpty());

    for (int run = 0; run < 2; ++run) {  // chosen, then cancelled
        frame->OnCommand(ID_FILE_GSMDEVICE);
        ASSERT_TRUE(WaitForConnection());
        EXPECT_EQ(prompts, QStringList(2 + run, QStringLiteral("Where is the GSM device?")));
        EXPECT_EQ(View()->EntryModel()->rowCount(), 32);
        EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 16/30"));
        EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 16/30"));
        EXPECT_EQ(View()->EffectivePort(), QStringLiteral("99"));
    }
    EXPECT_FALSE(View()->Popup().IsVisible());
    EXPECT_TRUE(Sorted(0, true));
    EXPECT_EQ(View()->Settings().SIMNameSize, 16);

    frame->Action(ID_VIEW_SIM)->trigger();
    ASSERT_TRUE(OpenWindow());
    EXPECT_TRUE(prompts.isEmpty());
    EXPECT_FALSE(frame->Action(ID_VIEW_SIM)->isChecked());
    EXPECT_TRUE(frame->Action(ID_VIEW_PHONE)->isChecked());
    // Only phone entries: row 0 is the first phone entry in array order.
    ASSERT_EQ(View()->EntryModel()->rowCount(), 16);
    const auto& entries = View()->Entries();
    const auto firstPhone = std::find_if(entries.begin(), entries.end(), [](auto& e) { return e->m_MemoryType == MEMORY_PHONE; });
    EXPECT_EQ(View()->RowToEntry(0), int(firstPhone - entries.begin()));
    EXPECT_EQ(Cell(0, 0), (*firstPhone)->m_Name);
}

// At the handheld's size the layout keeps its own numbers through the
// View toggles, with and without a scroll bar, and the counts stay. The
// user selects an entry and sorts by the header: the selection stays on
// that entry through sorts and View toggles, with both models under the
// checker; a new connection sorts by name ascending again. At the desktop
// size a long international number and a long name are drawn whole.
TEST_F(PhoneBookViewTest, SortsAndViewTogglesKeepTheSelectionAndTheLayout)
{
    ASSERT_TRUE(OpenWindow(Simulate));
    EXPECT_EQ(frame->size(), frame->DefaultSize());
    EXPECT_EQ(View()->size(), QSize(480, 542));
    ResizeToHandheld();
    EXPECT_EQ(List()->geometry(), QRect(0, 0, 240, 130));
    EXPECT_EQ(View()->ContactsList()->geometry(), QRect(0, 150, 240, 121));
    using Mode = QAbstractItemModelTester::FailureReportingMode;
    QAbstractItemModelTester entries(View()->EntryModel(), Mode::Fatal);
    QAbstractItemModelTester contacts(&View()->ContactsList()->ListControl()->Rows(), Mode::Fatal);
    int row = 3;  // a phone entry a few rows down, still in sight
    while (row > 0 && View()->EntryModel()->index(row, 0).data(Qt::UserRole).toInt() != MEMORY_PHONE)
        --row;
    const QString name = Cell(row, 0);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, OnRow(row));
    auto selectedName = [this] {
        const QModelIndexList rows = List()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().data().toString() : QString();
    };

    // A header clicked (-1 none) or a command triggered (0 none); the
    // selection holds until the phone's rows go.
    const struct { int header; int command; bool byName, ascending; int rows; bool scrollBar, selected; } steps[] = {
        {-1, 0, true, true, 32, true, true}, {1, 0, false, true, 32, true, true}, {1, 0, false, false, 32, true, true},
        {-1, ID_VIEW_SIM, false, false, 16, true, true}, {-1, ID_VIEW_SIM, false, false, 32, true, true},
        {-1, ID_VIEW_CONTACTS, false, false, 32, true, true}, {-1, ID_VIEW_CONTACTS, false, false, 32, true, true},
        {0, 0, true, true, 32, true, true}, {-1, ID_VIEW_SIM, true, true, 16, true, true},
        {-1, ID_VIEW_PHONE, true, true, 0, false, false}, {-1, ID_VIEW_SIM, true, true, 16, true, false},
        {-1, ID_VIEW_PHONE, true, true, 32, true, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s.header << ' ' << s.command << ' ' << s.rows);
        if (s.header >= 0)
            ClickHeader(s.header);
        if (s.command)
            frame->Action(s.command)->trigger();
        EXPECT_EQ(View()->SortByName(), s.byName);
        EXPECT_EQ(View()->SortAscending(), s.ascending);
        EXPECT_TRUE(Sorted(s.byName ? 0 : 1, s.ascending));
        EXPECT_EQ(View()->EntryModel()->rowCount(), s.rows);
        EXPECT_TRUE(!s.selected || selectedName() == name) << selectedName().toStdString();
        ASSERT_TRUE(WaitUntil([&] { return List()->verticalScrollBar()->isVisible() == s.scrollBar && ColumnsFill(); }));
        EXPECT_EQ(List()->columnWidth(0), 127);
        EXPECT_EQ(List()->viewport()->width(), s.scrollBar ? 240 - List()->verticalScrollBar()->width() : 240);
        EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 16/30"));
    }

    frame->Action(ID_VIEW_CONTACTS)->trigger();
    EXPECT_FALSE(View()->ContactsList()->isVisible());
    EXPECT_FALSE(View()->ContactsCaption()->isVisible());
    EXPECT_EQ(List()->height(), 250);
    EXPECT_EQ(View()->SimCounter()->geometry().topLeft(), QPoint(20, 252));
    EXPECT_EQ(View()->PhoneCounter()->geometry().left(), 130);
    CAppSettings stored;
    stored.Load();
    EXPECT_FALSE(stored.ShowContacts);
    frame->Action(ID_VIEW_CONTACTS)->trigger();
    EXPECT_TRUE(View()->ContactsList()->isVisible());
    EXPECT_EQ(List()->height(), 130);
    EXPECT_EQ(View()->SimCounter()->geometry().left(), 70);

    // Connect again: ascending by name, while the flags stay as they were.
    ClickHeader(1);
    ClickHeader(1);
    frame->OnCommand(ID_FILE_CONNECT);
    ASSERT_TRUE(WaitForConnection());
    EXPECT_TRUE(Sorted(0, true));
    EXPECT_FALSE(View()->SortByName());
    EXPECT_FALSE(View()->SortAscending());
    ClickHeader(1);  // the next click: ascending by number
    EXPECT_TRUE(View()->SortAscending());
    EXPECT_TRUE(Sorted(1, true));

    const QString longName = QStringLiteral("Wolfeschlegelstein M");  // 20 characters
    const QString number = QStringLiteral("+447871234567890");       // 15 digits
    const int added = View()->EntryModel()->AppendEntry(std::make_unique<CExtractorContact>(longName, number, 17, MEMORY_PHONE));
    const QModelIndex shown = View()->EntryModel()->index(View()->EntryModel()->EntryToRow(added), 0);
    frame->resize(frame->DefaultSize());
    ASSERT_TRUE(WaitUntil([&] { return View()->width() == 480 && ColumnsFill(); }));
    EXPECT_EQ(List()->ShownText(shown), longName);
    EXPECT_EQ(List()->ShownText(shown.siblingAtColumn(1)), number);
    EXPECT_GT(List()->columnWidth(0), 127);
    EXPECT_GT(List()->height(), 130);
    EXPECT_EQ(View()->ContactsList()->geometry().bottom(), View()->height() - 1);
}

TEST_F(PhoneBookViewTest, MenusAndKeysReachTheCommandsByTheirRules)
{
    // A language file translates the menus and the counters.
    CTranslationTable::LoadFromBytes(QByteArray("View\tVisa\r\nSim: %d/%d\tSIM: %d/%d\r\n"));
    ASSERT_TRUE(OpenWindow(Simulate));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("SIM: 16/30"));
    const QStringList titles = {"&File", "&Edit", "&Transfer", "&Visa"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(frame->Menu(i)->title(), titles[i]);
    const struct { int command; const char* label; bool enabled; } items[] = {
        {ID_FILE_GSMDEVICE, "GSM Device", true}, {ID_FILE_OPTIONS, "Options...", true},
        {ID_FILE_CONNECT, "Connect", true}, {ID_FILE_DISCONNECT, "Disconnect", false},
        {ID_HELP, "Help", true}, {ID_APP_ABOUT, "About", true}, {ID_APP_EXIT, "Exit", true},
        // Nothing is selected yet.
        {ID_EDIT_NEW, "New...", true}, {ID_EDIT_DELETE, "Delete", false}, {ID_EDIT_MODIFY, "Modify...", false},
        {ID_EDIT_MOVETOPHONE, "Move to Phone", false}, {ID_EDIT_MOVETOSIM, "Move to SIM", false},
        {ID_TRANSFER_ADDTOSIMPHONE, "Add to SIM/Phone", false},
        {ID_TRANSFER_ADDTOCONTACTS, "Add to Contacts...", false},
        {ID_TRANSFER_ALLTOCONTACTS, "Transfer all to Contacts", true},
        {ID_VIEW_SIM, "SIM", true}, {ID_VIEW_PHONE, "Phone", true}, {ID_VIEW_CONTACTS, "Contacts", true},
    };
    for (const auto& item : items) {
        QAction* action = frame->Action(item.command);
        ASSERT_NE(action, nullptr) << item.command;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.label));
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.label;
    }

    // The entry list's menu, opened by a long press with the left button
    // and by the right button: per-memory options, enabled once the row
    // under the pointer is selected; a short click opens none.
    // A menu's items as the user sees them, greyed ones marked.
    auto menuItems = [](const QMenu& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions())
            texts << action->text() + (action->isEnabled() || action->isSeparator() ? "" : " (off)");
        return texts;
    };
    QStringList shown;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shown = menuItems(*menu);
            menu->close();
        }
    });
    closer.start();
    auto rowMenu = [this](int row) {
        const bool sim = View()->EntryModel()->index(row, 0).data(Qt::UserRole).toInt() == MEMORY_SIM;
        return QStringList{"Delete", "Modify...", "", sim ? "Move to Phone" : "Move to SIM", "Add to Contacts..."};
    };
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, OnRow(2));
    EXPECT_TRUE(WaitUntil([&] { return !shown.isEmpty(); }));
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, OnRow(2));
    EXPECT_EQ(shown, rowMenu(2));
    EXPECT_EQ(List()->LastTapPoint(), OnRow(2));
    shown.clear();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, OnRow(0), List()->viewport()->mapToGlobal(OnRow(0)));
    QApplication::sendEvent(List()->viewport(), &rightClick);
    EXPECT_EQ(shown, rowMenu(0));
    EXPECT_EQ(List()->selectionModel()->selectedRows(), QModelIndexList{View()->EntryModel()->index(0, 0)});
    EXPECT_EQ(List()->BuildContextMenu(QPoint(-1, -1)), nullptr);
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, OnRow(1));
    EXPECT_TRUE(List()->LongPressPending());
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, OnRow(1));
    EXPECT_FALSE(List()->LongPressPending());
    closer.stop();

    // The Contacts list's menu has its Delete and Add to SIM/Phone, greyed
    // while no contact is chosen.
    CSkinableFlatContactList* contacts = View()->ContactsList()->ListControl();
    contacts->OpenContextMenu(contacts->mapToGlobal(QPoint(5, 5)));
    ASSERT_NE(contacts->ContextMenu(), nullptr);
    EXPECT_EQ(menuItems(*contacts->ContextMenu()), (QStringList{"Refresh list", "Delete (off)", "Add to SIM/Phone (off)"}));
    EXPECT_EQ(contacts->ContextMenu()->actions().value(1)->data().toInt(), int(ID_EDIT_DELETE));
    contacts->ContextMenu()->close();

    // The keys a desktop user tries first: F10 and Alt+letter for the
    // menus, Escape out of a contact's phone box back to the Contacts
    // list, and F1 for the help in a window of its own.
    ASSERT_TRUE(Activate());
    QTest::keyClick(frame.get(), Qt::Key_F10);
    EXPECT_EQ(frame->menuBar()->activeAction(), frame->Menu(0)->menuAction());
    QTest::keyClick(frame->menuBar(), Qt::Key_Escape);
    QTest::keyClick(frame.get(), Qt::Key_V, Qt::AltModifier);  // the translated View
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activePopupWidget() == frame->Menu(3); }));
    QTest::keyClick(frame->Menu(3), Qt::Key_Escape);
    QTest::keyClick(frame->menuBar(), Qt::Key_Escape);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activePopupWidget() == nullptr; }));

    // Keys go through the window to whatever has the focus.
    ASSERT_NO_FATAL_FAILURE(ChooseCard(QStringLiteral("shared-uid-home.vcf")));
    ASSERT_EQ(frame->focusWidget(), contacts);
    QTest::keyClick(frame->windowHandle(), Qt::Key_Return);
    ASSERT_TRUE(contacts->PhoneBox()->isVisible());
    EXPECT_EQ(frame->focusWidget(), contacts->PhoneBox());
    QTest::keyClick(frame->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(contacts->PhoneBox()->isVisible());
    EXPECT_EQ(frame->focusWidget(), contacts);

    QTest::keyClick(frame.get(), Qt::Key_F1);
    ASSERT_TRUE(WaitUntil([&] { return frame->HelpWindow() != nullptr; }));
    EXPECT_TRUE(frame->HelpWindow()->isVisible());
    EXPECT_TRUE(frame->HelpWindow()->Browser()->source().path().endsWith(QStringLiteral("help/index.html")));
    EXPECT_FALSE(frame->HelpWindow()->Browser()->toPlainText().isEmpty());
}

// The entry model's in-place edits under the model checker: each inserts,
// removes or moves the one row it touches, and persistent indexes stay on
// their entries.
TEST(EntryListModelTest, InPlaceEditsTouchOnlyTheirRow)
{
    auto Entry = [](const char* name, MEMORYTYPE memory) {
        return std::make_unique<CExtractorContact>(QString::fromLatin1(name), QStringLiteral("0301"), 1, memory);
    };
    CEntryListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ExtractorContactArray entries;
    for (const auto& [name, memory] : {std::pair{"dora", MEMORY_SIM}, {"Bert", MEMORY_PHONE}, {"anna", MEMORY_SIM},
                                       {"Carl", MEMORY_PHONE}, {"eve", MEMORY_PHONE}})
        entries.push_back(Entry(name, memory));
    model.SetEntries(std::move(entries));
    model.Sort(true, true);
    model.SetShown(false, true);
    const QPersistentModelIndex eve = model.index(2, 0);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    // A hidden memory's new entry gets no row; a shown one's does.
    model.AppendEntry(Entry("zed", MEMORY_SIM));
    EXPECT_EQ(inserted.count(), 0);
    const int added = model.AppendEntry(Entry("Chris", MEMORY_PHONE));
    EXPECT_EQ(model.Entry(added)->m_Name, QStringLiteral("Chris"));
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "Carl", "eve", "Chris"}));
    EXPECT_EQ(inserted.count(), 1);

    // Moving Carl to the SIM hides his row; back to the phone shows it.
    const int carl = model.RowToEntry(1);
    CExtractorContact moved = *model.Entry(carl);
    moved.m_MemoryType = MEMORY_SIM;
    moved.m_Index = 12;
    model.UpdateEntry(carl, moved);
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "eve", "Chris"}));
    EXPECT_EQ(model.Entry(carl)->m_Index, 12);
    EXPECT_EQ(eve.row(), 1);
    moved.m_MemoryType = MEMORY_PHONE;
    moved.m_Name = QStringLiteral("Carla");
    model.UpdateEntry(carl, moved);
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "Carla", "eve", "Chris"}));

    // Removing gives the entry back and closes the gap.
    std::unique_ptr<CExtractorContact> gone = model.RemoveEntry(model.RowToEntry(0));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->m_Name, QStringLiteral("Bert"));
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Carla", "eve", "Chris"}));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(eve.data().toString(), QStringLiteral("eve"));
    EXPECT_EQ(model.EntryCount(), 6);
    EXPECT_EQ(model.RemoveEntry(6), nullptr);
    EXPECT_EQ(model.RowToEntry(99), 0);  // beyond the last row
    model.SetShown(true, true);
    EXPECT_EQ(model.rowCount(), 6);
}

}  // namespace
