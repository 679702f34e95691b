// The window with the simulated stores: what the user sees after the
// first start, sorting, the View toggles, the layout and the menus.

#include "app/CommandIds.h"
#include "app/EntryListModel.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "app/dialogs/ConnectionDlg.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "support/MessageBoxTypes.h"
#include "support/Registry.h"
#include "support/TranslationTable.h"
#include "tests/app/AppTestSupport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTimer>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kKey = QStringLiteral("Software\\Orvanta\\Tessaly");

class PhoneBookViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRegistryWithoutPorts();
        CTranslationTable::Clear();
    }
    void TearDown() override
    {
        m_frame.reset();
        CTranslationTable::Clear();
    }

    CPhoneBookView* View() { return m_frame->View(); }
    QString Cell(int row, int column)
    {
        return View()->EntryModel()->index(row, column).data().toString();
    }
    // The handheld's screen: the layout's own numbers hold there.
    void ResizeToHandheld()
    {
        m_frame->resize(CPhoneBookView::DefaultWidth, CPhoneBookView::DefaultHeight + m_frame->menuBar()->height());
        ASSERT_TRUE(WaitUntil([this] { return View()->size() == QSize(240, 271); }));
    }
    CPhoneBookList* List() { return View()->EntryList(); }
    bool ColumnsFill()
    {
        return List()->columnWidth(0) + List()->columnWidth(1) == List()->viewport()->width();
    }
    void CountFinishedConnections()
    {
        QObject::connect(m_frame->View(), &CPhoneBookView::ConnectionFinished, [this] { ++m_finished; });
    }

    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_prompts;
    int m_finished = 0;
};

// Start() must count from the first finish; hook the counter in first.
#define START(...)                                                                  \
    do {                                                                            \
        m_frame.reset();                                                            \
        m_finished = 0;                                                             \
        StartWithCounter(__VA_ARGS__);                                              \
    } while (0)

class ViewTest : public PhoneBookViewTest {
protected:
    void StartWithCounter(QStringList answers)
    {
        m_frame = std::make_unique<CMainFrame>(FreshContactsFolder());
        CountFinishedConnections();
        AnswerConnectionDialogs(*m_frame->View(), answers, m_prompts);
        m_frame->show();
        ASSERT_TRUE(WaitUntil([this] { return m_finished > 0; })) << "no connection";
    }
};

TEST_F(ViewTest, FirstStartCancelledShowsOnlyContacts)
{
    {
        // Nothing read yet: the counters say nothing.
        CMainFrame unshown(FreshContactsFolder());
        EXPECT_TRUE(unshown.View()->SimCounter()->text().isEmpty());
        EXPECT_TRUE(unshown.View()->PhoneCounter()->text().isEmpty());
    }
    START(QStringList{});
    EXPECT_EQ(m_prompts, QStringList{QStringLiteral("Where is the GSM device?")});
    EXPECT_EQ(View()->Connection().GetSimStore(), nullptr);
    EXPECT_FALSE(View()->IsDeviceOpen());
    EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
    EXPECT_TRUE(View()->ContactsList()->isVisible());
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 0/0"));
    // Nothing was chosen, so nothing was saved.
    CRegistry key(HKEY_LOCAL_MACHINE, kKey);
    QString port;
    EXPECT_NE(key.QueryString(QStringLiteral("ComPort"), port), ERROR_SUCCESS);
}

TEST_F(ViewTest, SimulateShowsBothMemories)
{
    START(QStringList{QStringLiteral("Simulate")});
    EXPECT_EQ(View()->EntryModel()->rowCount(), 32);
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 16/30"));
    EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: 16/30"));
    EXPECT_FALSE(View()->Popup().IsVisible());
    // Ascending by name, case ignored.
    for (int row = 1; row < 32; ++row)
        EXPECT_LE(QString::compare(Cell(row - 1, 0), Cell(row, 0), Qt::CaseInsensitive), 0) << row;
    // The choice was saved; simulated sizes are recorded.
    CAppSettings stored;
    stored.Load();
    EXPECT_EQ(stored.ComPort, QStringLiteral("99"));
    EXPECT_EQ(stored.TapiDevice, QStringLiteral("Simulate"));
    EXPECT_EQ(View()->Settings().SIMNameSize, 16);
    // Simulated: Connect stays on, Disconnect off.
    EXPECT_TRUE(m_frame->Action(ID_FILE_CONNECT)->isEnabled());
    EXPECT_FALSE(m_frame->Action(ID_FILE_DISCONNECT)->isEnabled());
}

// The user selects an entry, sorts by number and hides the SIM: the
// selection stays on that entry, with both models under the checker.
TEST_F(ViewTest, SelectionFollowsTheEntryThroughSortAndToggles)
{
    START(QStringList{QStringLiteral("Simulate")});
    using Mode = QAbstractItemModelTester::FailureReportingMode;
    QAbstractItemModelTester entries(View()->EntryModel(), Mode::Fatal);
    QAbstractItemModelTester contacts(&View()->ContactsList()->ListControl()->Rows(), Mode::Fatal);
    CPhoneBookList* list = View()->EntryList();
    int row = 3;  // a phone entry a few rows down, still in sight
    while (row > 0 && View()->EntryModel()->index(row, 0).data(Qt::UserRole).toInt() != MEMORY_PHONE)
        --row;
    ASSERT_EQ(View()->EntryModel()->index(row, 0).data(Qt::UserRole).toInt(), int(MEMORY_PHONE));
    const QString name = Cell(row, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(View()->EntryModel()->index(row, 0)).center());
    auto selectedName = [list] {
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().data().toString() : QString();
    };
    ASSERT_EQ(selectedName(), name);

    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(selectedName(), name);
    EXPECT_EQ(list->currentIndex().data().toString(), name);
    m_frame->Action(ID_VIEW_SIM)->trigger();
    EXPECT_EQ(View()->EntryModel()->rowCount(), 16);
    EXPECT_EQ(selectedName(), name);
    m_frame->Action(ID_VIEW_SIM)->trigger();
    EXPECT_EQ(selectedName(), name);
    m_frame->Action(ID_VIEW_CONTACTS)->trigger();
    m_frame->Action(ID_VIEW_CONTACTS)->trigger();
    EXPECT_EQ(selectedName(), name);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(10, header->height() / 2));
    EXPECT_EQ(selectedName(), name);
}

TEST_F(ViewTest, StoredSimulationConnectsWithoutAsking)
{
    CAppSettings settings;
    settings.ComPort = QStringLiteral("99");
    settings.TapiDevice = QStringLiteral("Simulate");
    settings.ShowSim = false;
    settings.Save();
    START(QStringList{});
    EXPECT_TRUE(m_prompts.isEmpty());
    EXPECT_FALSE(m_frame->Action(ID_VIEW_SIM)->isChecked());
    EXPECT_TRUE(m_frame->Action(ID_VIEW_PHONE)->isChecked());
    // Only phone entries: row 0 is the first phone entry in array order.
    ASSERT_EQ(View()->EntryModel()->rowCount(), 16);
    const auto& entries = View()->Entries();
    size_t firstPhone = 0;
    while (entries[firstPhone]->m_MemoryType != MEMORY_PHONE)
        ++firstPhone;
    EXPECT_EQ(View()->RowToEntry(0), int(firstPhone));
    EXPECT_EQ(Cell(0, 0), entries[firstPhone]->m_Name);
    EXPECT_EQ(View()->EntryModel()->index(0, 0).data(Qt::UserRole).toInt(), int(MEMORY_PHONE));
}

TEST_F(ViewTest, HeaderClicksSortAndANewConnectionResets)
{
    START(QStringList{QStringLiteral("Simulate")});
    QHeaderView* header = View()->EntryList()->header();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };
    clickHeader(1);  // by number, ascending
    EXPECT_FALSE(View()->SortByName());
    EXPECT_TRUE(View()->SortAscending());
    for (int row = 1; row < 32; ++row)
        EXPECT_LE(QString::compare(Cell(row - 1, 1), Cell(row, 1), Qt::CaseInsensitive), 0);
    clickHeader(1);  // descending
    EXPECT_FALSE(View()->SortAscending());
    for (int row = 1; row < 32; ++row)
        EXPECT_GE(QString::compare(Cell(row - 1, 1), Cell(row, 1), Qt::CaseInsensitive), 0);

    // Connect again: ascending by name, while the flags stay.
    m_finished = 0;
    m_frame->OnCommand(ID_FILE_CONNECT);
    ASSERT_TRUE(WaitUntil([this] { return m_finished > 0; }));
    for (int row = 1; row < 32; ++row)
        EXPECT_LE(QString::compare(Cell(row - 1, 0), Cell(row, 0), Qt::CaseInsensitive), 0);
    EXPECT_FALSE(View()->SortByName());
    EXPECT_FALSE(View()->SortAscending());
    clickHeader(1);  // the next click: ascending by number
    EXPECT_TRUE(View()->SortAscending());
    EXPECT_LE(QString::compare(Cell(0, 1), Cell(31, 1), Qt::CaseInsensitive), 0);
    clickHeader(0);  // switching column starts ascending
    EXPECT_TRUE(View()->SortByName());
    EXPECT_TRUE(View()->SortAscending());
}

TEST_F(ViewTest, ViewTogglesFilterAndLayOut)
{
    START(QStringList{QStringLiteral("Simulate")});
    ResizeToHandheld();
    EXPECT_EQ(View()->EntryList()->geometry(), QRect(0, 0, 240, 130));
    EXPECT_EQ(View()->ContactsList()->geometry(), QRect(0, 150, 240, 121));

    m_frame->Action(ID_VIEW_SIM)->trigger();
    EXPECT_FALSE(m_frame->Action(ID_VIEW_SIM)->isChecked());
    EXPECT_EQ(View()->EntryModel()->rowCount(), 16);
    m_frame->Action(ID_VIEW_PHONE)->trigger();
    EXPECT_EQ(View()->EntryModel()->rowCount(), 0);
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 16/30"));  // counts stay
    CAppSettings stored;
    stored.Load();
    EXPECT_FALSE(stored.ShowSim);
    EXPECT_FALSE(stored.ShowPhone);

    m_frame->Action(ID_VIEW_CONTACTS)->trigger();
    EXPECT_FALSE(View()->ContactsList()->isVisible());
    EXPECT_FALSE(View()->ContactsCaption()->isVisible());
    EXPECT_EQ(View()->EntryList()->height(), 250);
    EXPECT_EQ(View()->SimCounter()->geometry().topLeft(), QPoint(20, 252));
    EXPECT_EQ(View()->PhoneCounter()->geometry().left(), 130);

    m_frame->Action(ID_VIEW_CONTACTS)->trigger();
    EXPECT_TRUE(View()->ContactsList()->isVisible());
    EXPECT_EQ(View()->EntryList()->height(), 130);
    EXPECT_EQ(View()->SimCounter()->geometry().left(), 70);
    stored.Load();
    EXPECT_TRUE(stored.ShowContacts);

    // A bigger window stretches the layout.
    m_frame->resize(480, 600);
    ASSERT_TRUE(WaitUntil([this] { return View()->width() == 480; }));
    EXPECT_GT(View()->EntryList()->height(), 130);
    EXPECT_EQ(View()->ContactsList()->geometry().bottom(), View()->height() - 1);
}

// The handheld's widths at its size, with and without a scroll bar; at
// the desktop size a long international number and a long name are
// drawn whole.
TEST_F(ViewTest, ColumnsKeepTheirSharesAndShowWholeNumbers)
{
    START(QStringList{QStringLiteral("Simulate")});
    EXPECT_EQ(m_frame->size(), m_frame->DefaultSize());
    EXPECT_EQ(View()->size(), QSize(480, 542));
    ResizeToHandheld();
    struct Case {
        int command;  // View toggle before the check; 0 none
        bool scrollBar;
    };
    const Case cases[] = {{0, true}, {ID_VIEW_SIM, true}, {ID_VIEW_PHONE, false}, {ID_VIEW_SIM, true}, {ID_VIEW_PHONE, true}};
    for (const Case& c : cases) {
        if (c.command)
            m_frame->Action(c.command)->trigger();
        ASSERT_TRUE(WaitUntil([&] { return List()->verticalScrollBar()->isVisible() == c.scrollBar && ColumnsFill(); }))
            << c.command;
        EXPECT_EQ(List()->columnWidth(0), 127) << c.command;
        EXPECT_EQ(List()->viewport()->width(), c.scrollBar ? 240 - List()->verticalScrollBar()->width() : 240);
    }

    const QString name = QStringLiteral("Wolfeschlegelstein M");  // 20 characters
    const QString number = QStringLiteral("+447871234567890");   // 15 digits
    auto entry = std::make_unique<CExtractorContact>(name, number, 17, MEMORY_SIM);
    const int added = View()->EntryModel()->InsertSorted(std::move(entry), true, true);
    const QModelIndex row = View()->EntryModel()->index(View()->EntryModel()->EntryToRow(added), 0);
    m_frame->resize(m_frame->DefaultSize());
    ASSERT_TRUE(WaitUntil([&] { return View()->width() == 480 && ColumnsFill(); }));
    EXPECT_EQ(List()->ShownText(row), name);
    EXPECT_EQ(List()->ShownText(row.siblingAtColumn(1)), number);
    EXPECT_GT(List()->columnWidth(0), 127);
}

TEST_F(ViewTest, MenusHaveTheirCommandsEnabledByTheirRules)
{
    START(QStringList{QStringLiteral("Simulate")});
    // Alt and the first letter open each menu.
    const QStringList titles = {"&File", "&Edit", "&Transfer", "&View"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_frame->Menu(i)->title(), titles[i]);
    struct Item {
        int command;
        const char* label;
        bool enabled;
    };
    const Item items[] = {
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
    for (const Item& item : items) {
        QAction* action = m_frame->Action(item.command);
        ASSERT_NE(action, nullptr) << item.command;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.label));
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.label;
    }

    // The entry list's context menu: per-memory options, enabled once the
    // row under the pointer is selected.
    CPhoneBookList* list = View()->EntryList();
    const QPoint onRow = list->visualRect(View()->EntryModel()->index(0, 0)).center();
    std::unique_ptr<QMenu> menu(list->BuildContextMenu(onRow));
    ASSERT_TRUE(menu);
    const bool sim = View()->EntryModel()->index(0, 0).data(Qt::UserRole).toInt() == MEMORY_SIM;
    QStringList labels;
    for (QAction* action : menu->actions()) {
        labels << action->text();
        EXPECT_TRUE(action->isEnabled() || action->isSeparator()) << action->text().toStdString();
    }
    EXPECT_EQ(labels, (QStringList{"Delete", "Modify...", "", sim ? "Move to Phone" : "Move to SIM", "Add to Contacts..."}));
    EXPECT_TRUE(list->selectionModel()->isRowSelected(0, QModelIndex()));
    EXPECT_EQ(list->BuildContextMenu(QPoint(-1, -1)), nullptr);

    // The Contacts list's menu has its Delete and Add to SIM/Phone, greyed
    // while no contact is chosen.
    CSkinableFlatContactList* contacts = View()->ContactsList()->ListControl();
    contacts->OpenContextMenu(contacts->mapToGlobal(QPoint(5, 5)));
    ASSERT_NE(contacts->ContextMenu(), nullptr);
    const QList<QAction*> contactActions = contacts->ContextMenu()->actions();
    ASSERT_EQ(contactActions.size(), 3);
    EXPECT_EQ(contactActions[1]->text(), QStringLiteral("Delete"));
    EXPECT_EQ(contactActions[1]->data().toInt(), int(ID_EDIT_DELETE));
    EXPECT_FALSE(contactActions[1]->isEnabled());
    EXPECT_EQ(contactActions[2]->text(), QStringLiteral("Add to SIM/Phone"));
    EXPECT_FALSE(contactActions[2]->isEnabled());
    contacts->ContextMenu()->close();
}

TEST_F(ViewTest, LanguageFileTranslatesTheMenuLabel)
{
    CTranslationTable::LoadFromBytes(QByteArray("View\tVisa\r\nSim: %d/%d\tSIM: %d/%d\r\n"));
    START(QStringList{QStringLiteral("Simulate")});
    EXPECT_EQ(m_frame->Menu(3)->title(), QStringLiteral("&Visa"));
    EXPECT_EQ(m_frame->Action(ID_VIEW_SIM)->data().toInt(), int(ID_VIEW_SIM));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("SIM: 16/30"));
}

TEST_F(ViewTest, GsmDeviceCancelledAtOnceKeepsTheConnection)
{
    START(QStringList{QStringLiteral("Simulate")});
    m_finished = 0;
    m_prompts.clear();
    View()->SetDialogRunner([this](CConnectionDlg& dialog) {
        m_prompts << dialog.PromptLabel()->text();
        return int(QDialog::Rejected);
    });
    m_frame->OnCommand(ID_FILE_GSMDEVICE);
    ASSERT_TRUE(WaitUntil([this] { return m_finished > 0; }));
    EXPECT_EQ(m_prompts, QStringList{QStringLiteral("Where is the GSM device?")});
    EXPECT_EQ(View()->EntryModel()->rowCount(), 32);
    EXPECT_NE(View()->Connection().GetSimStore(), nullptr);
    EXPECT_EQ(View()->EffectivePort(), QStringLiteral("99"));
}

// The keys a desktop user tries first: F10 and Alt+letter for the menus,
// Delete with its question, F1 for the help in a window of its own.
TEST_F(ViewTest, KeyboardReachesMenusDeleteAndHelp)
{
    START(QStringList{QStringLiteral("Simulate")});
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    QTest::keyClick(m_frame.get(), Qt::Key_F10);
    EXPECT_EQ(m_frame->menuBar()->activeAction(), m_frame->Menu(0)->menuAction());
    QTest::keyClick(m_frame->menuBar(), Qt::Key_Escape);
    QTest::keyClick(m_frame.get(), Qt::Key_E, Qt::AltModifier);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activePopupWidget() == m_frame->Menu(1); }));
    QTest::keyClick(m_frame->Menu(1), Qt::Key_Escape);
    QTest::keyClick(m_frame->menuBar(), Qt::Key_Escape);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activePopupWidget() == nullptr; }));

    EXPECT_EQ(m_frame->Action(ID_HELP)->shortcut(), QKeySequence(Qt::Key_F1));
    QTest::keyClick(m_frame.get(), Qt::Key_F1);
    ASSERT_TRUE(WaitUntil([&] { return m_frame->HelpWindow() != nullptr; }, 2000));
    EXPECT_TRUE(m_frame->HelpWindow()->isVisible());
    EXPECT_TRUE(m_frame->HelpWindow()->Browser()->source().path().endsWith(QStringLiteral("help/index.html")));
    EXPECT_FALSE(m_frame->HelpWindow()->Browser()->toPlainText().isEmpty());


    RecordedMessages boxes;
    const QString first = Cell(0, 0);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualRect(View()->EntryModel()->index(0, 0)).center());
    for (const int answer : {IDNO, IDYES}) {
        boxes.Clear();
        boxes.SetAnswers({answer});
        QTest::keyClick(List(), Qt::Key_Delete);
        ASSERT_TRUE(WaitUntil([&] { return !View()->IsBusy() && !View()->Worker().IsBusy(); }));
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Are you sure you want to delete ") + first});
        EXPECT_EQ(View()->EntryModel()->rowCount(), answer == IDYES ? 31 : 32);
        EXPECT_EQ(m_frame->focusWidget(), List());
    }
}

}  // namespace

namespace {

// A long press with the left button opens the row's menu, as the right
// button does.
TEST_F(ViewTest, LongPressOpensTheRowMenu)
{
    START(QStringList{QStringLiteral("Simulate")});
    CPhoneBookList* list = View()->EntryList();
    const QPoint onRow = list->visualRect(View()->EntryModel()->index(2, 0)).center();
    QStringList shown;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                shown << action->text();
            menu->close();
        }
    });
    closer.start();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, onRow);
    EXPECT_TRUE(WaitUntil([&] { return !shown.isEmpty(); }, 3000));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, onRow);
    EXPECT_TRUE(shown.contains(QStringLiteral("Delete")));
    EXPECT_EQ(list->LastTapPoint(), onRow);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, QModelIndex()));

    // A short click opens nothing.
    shown.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRow);
    WaitUntil([] { return false; }, CPhoneBookList::LongPressMs + 200);
    EXPECT_TRUE(shown.isEmpty());
}

}  // namespace
