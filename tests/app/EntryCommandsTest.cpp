// The commands on entries in the window, against the modem simulator over
// a pty: what the user is asked and told, what the list and the counters
// show afterwards, and what the device's phone books hold.

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EntryCommands.h"
#include "app/EntryListModel.h"
#include "app/GuiMessageHandler.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "app/dialogs/AddToPhoneBookDlg.h"
#include "app/dialogs/ModifyDlg.h"
#include "app/dialogs/OptionsDlg.h"
#include "support/MessageBoxTypes.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

const QString SM = QStringLiteral("SM");
const QString ME = QStringLiteral("ME");


class EntryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRegistryWithoutPorts();
        ASSERT_TRUE(modem.start());
    }
    void TearDown() override { frame.reset(); }

    // A phone with SIM (1-10) and phone memory (1-3) holding `sim` and `phone`.
    void Start(const std::map<int, QByteArray>& sim, const std::map<int, QByteArray>& phone, bool showPhone = true)
    {
        ASSERT_TRUE(modem.setDeviceType(8));
        ASSERT_TRUE(modem.setPhoneBookLimits(SM, QStringLiteral("(1-10),40,18")));
        ASSERT_TRUE(modem.setPhoneBookLimits(ME, QStringLiteral("(1-3),40,18")));
        for (const auto& [index, name] : sim)
            modem.writeEntry(SM, index, "070" + QByteArray::number(index), name);
        for (const auto& [index, name] : phone)
            modem.writeEntry(ME, index, "080" + QByteArray::number(index), name);
        CAppSettings settings;
        settings.ComPort = modem.devicePath();
        settings.TapiDevice = QStringLiteral("Simulator");
        settings.Speed = 115200;
        settings.ShowPhone = showPhone;
        settings.Save();
        Open();
    }
    // Opens the window on the stored connection and waits until it is connected.
    void Open()
    {
        frame = std::make_unique<CMainFrame>(FreshContactsFolder());
        QObject::connect(View(), &CPhoneBookView::ConnectionFinished, [this] { connected = true; });
        frame->show();
        ASSERT_TRUE(WaitUntil([this] { return connected; }, 30000));
        boxes.Clear();
    }
    CPhoneBookView* View() { return frame->View(); }
    // Selects the rows showing these names, as Ctrl+clicks.
    void Select(const QStringList& names)
    {
        CPhoneBookList* list = View()->EntryList();
        list->clearSelection();
        for (int row = 0; row < View()->EntryModel()->rowCount(); ++row) {
            const QModelIndex index = View()->EntryModel()->index(row, 0);
            if (names.contains(index.data().toString()))
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualRect(index).center());
        }
    }
    // Runs a command from its menu and waits until the device work is done.
    bool Command(int id)
    {
        // As the menu opens it enables its commands.
        for (int menu = 0; menu < 3; ++menu)
            emit frame->Menu(menu)->aboutToShow();
        frame->Action(id)->trigger();
        return WaitUntil([this] { return !View()->IsBusy() && !View()->Worker().IsBusy(); }, 20000);
    }
    std::map<int, QByteArray> Book(const QString& storage) const
    {
        std::map<int, QByteArray> names;
        for (const auto& e : modem.entries(storage))
            names[e.index] = e.name;
        return names;
    }
    QStringList Shown()
    {
        QStringList names;
        for (int row = 0; row < View()->EntryModel()->rowCount(); ++row)
            names << View()->EntryModel()->index(row, 0).data().toString();
        return names;
    }

    RecordedMessages boxes;
    ModemSimulator modem;
    std::unique_ptr<CMainFrame> frame;
    bool connected = false;
};

using Names = std::map<int, QByteArray>;

TEST_F(EntryCommandsTest, MoveToPhoneGoesOnPastAFullMemoryAndStopsAtAFailure)
{
    const struct {
        const char* what;
        const char* fault;
        QStringList messages;
        Names sim, phone;
        const char* phoneCounter;
    } cases[] = {
        // Two fit, the third finds the phone memory full.
        {"full", "", {"Error: SIM/Phone is out of memory"}, {{3, "Cy"}}, {{1, "Ph"}, {2, "Al"}, {3, "Bo"}}, "Phone: 3/3"},
        // The second write is refused: the first has moved.
        {"add refused", "+CPBW=3,", {"Failed to add contact"}, {{2, "Bo"}, {3, "Cy"}}, {{1, "Ph"}, {2, "Al"}}, "Phone: 2/3"},
        {"delete refused", "+CPBW=1", {"Could not delete contact"}, {{1, "Al"}, {2, "Bo"}, {3, "Cy"}},
         {{1, "Ph"}, {2, "Al"}}, "Phone: 1/3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frame.reset();
        connected = false;
        modem.clearFaults();
        modem.clearPhoneBook(SM);
        modem.clearPhoneBook(ME);
        Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}}, {{1, "Ph"}}, false);
        ASSERT_EQ(Shown(), (QStringList{"Al", "Bo", "Cy"}));  // phone entries hidden
        if (*c.fault)
            modem.setCmeErrorFor(QString::fromLatin1(c.fault), 3);
        Select({"Al", "Bo", "Cy"});
        ASSERT_TRUE(View()->IsCommandEnabled(ID_EDIT_MOVETOPHONE));
        ASSERT_TRUE(Command(ID_EDIT_MOVETOPHONE));
        // A refused command is also reported by the store itself, first.
        ASSERT_FALSE(boxes.Texts().isEmpty());
        EXPECT_EQ(boxes.Texts().last(), c.messages.last());
        EXPECT_EQ(Book(SM), c.sim);
        EXPECT_EQ(Book(ME), c.phone);
        EXPECT_EQ(View()->PhoneCounter()->text(), QString::fromLatin1(c.phoneCounter));
        // Only SIM entries are shown: those the device still holds there
        // (after a failed delete the entry is on both memories).
        QStringList stillSim;
        for (const auto& [index, name] : c.sim)
            stillSim << QString::fromLatin1(name);
        EXPECT_EQ(Shown(), stillSim);
    }
}

TEST_F(EntryCommandsTest, DeleteAsksOnceAndKeepsWhatTheDeviceRefused)
{
    Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}, {4, "Di"}}, {});
    Select({"Di"});
    boxes.SetAnswers({IDNO});
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts(), QStringList{"Are you sure you want to delete Di"});
    EXPECT_EQ(Book(SM).size(), 4u);

    boxes.Clear();
    modem.setCmeErrorFor(QStringLiteral("+CPBW=2"), 3);
    Select({"Al", "Bo", "Cy"});
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    const QStringList texts = boxes.Texts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts.first(), QStringLiteral("Are you sure you want to delete all selected items"));
    EXPECT_EQ(texts.last(), QStringLiteral("Failed to delete!"));
    EXPECT_EQ(Shown(), (QStringList{"Bo", "Cy", "Di"}));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 3/10"));
    EXPECT_EQ(Book(SM), (Names{{2, "Bo"}, {3, "Cy"}, {4, "Di"}}));
}

TEST_F(EntryCommandsTest, NewAndModifyWriteThroughTheDialog)
{
    Start({{1, "Al"}}, {{1, "P1"}, {2, "P2"}, {3, "P3"}});
    struct Fill {
        const char* name;
        const char* number;
        bool phone;
    };
    Fill fill{};
    View()->EntryCommands().SetDialogRunner([&fill](QDialog& d) {
        auto& dialog = static_cast<CModifyDlg&>(d);
        dialog.NameEdit()->clear();
        dialog.NumberEdit()->clear();
        QTest::keyClicks(dialog.NameEdit(), QString::fromLatin1(fill.name));
        QTest::keyClicks(dialog.NumberEdit(), QString::fromLatin1(fill.number));
        if (fill.phone)
            QTest::mouseClick(dialog.PhoneOption(), Qt::LeftButton);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    const struct {
        Fill fill;
        QStringList messages;
        size_t simEntries;
    } cases[] = {
        {{"", "0701", false}, {}, 1},                                        // no name: nothing
        {{"Neo", "", false}, {}, 1},                                         // no number: nothing
        {{"Neo", "0701", true}, {"Error: Phone is out of memory"}, 1},       // phone full
        {{"Neo", "+46 70-1", false}, {}, 2},
    };
    for (const auto& c : cases) {
        boxes.Clear();
        fill = c.fill;
        ASSERT_TRUE(Command(ID_EDIT_NEW));
        EXPECT_EQ(boxes.Texts(), c.messages) << c.fill.name;
        EXPECT_EQ(Book(SM).size(), c.simEntries) << c.fill.name;
    }
    EXPECT_EQ(modem.entries(SM)[1].number, QByteArray("+46701"));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Neo")));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 2/10"));

    fill = {"Neon", "0702", false};
    Select({"Neo"});
    ASSERT_TRUE(Command(ID_EDIT_MODIFY));
    EXPECT_EQ(Book(SM), (Names{{1, "Al"}, {2, "Neon"}}));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Neon")));
}

TEST_F(EntryCommandsTest, AutodetectProbesTheSimOfASimOnlyDevice)
{
    modem.setStorages({SM});
    ASSERT_TRUE(modem.setDeviceType(6));  // SIM only
    ASSERT_TRUE(modem.setPhoneBookLimits(SM, QStringLiteral("(1-10),40,18")));
    ASSERT_TRUE(modem.setAcceptedNameLength(SM, 14));
    modem.writeEntry(SM, 1, "0701", "Al");
    StoreConnection(modem.devicePath(), QStringLiteral("Simulator"), 9600);
    ASSERT_NO_FATAL_FAILURE(Open());

    for (const int answer : {IDNO, IDYES}) {
        boxes.Clear();
        boxes.SetAnswers({answer});
        modem.clearReceivedCommands();
        QString shownName;
        View()->EntryCommands().SetDialogRunner([&](QDialog& d) {
            auto& dialog = static_cast<COptionsDlg&>(d);
            bool finished = false;
            QObject::connect(&dialog, &COptionsDlg::AutodetectFinished, [&] { finished = true; });
            QTest::mouseClick(dialog.AutodetectButton(), Qt::LeftButton);
            if (answer == IDYES) {
                EXPECT_TRUE(dialog.IsDetecting());
                EXPECT_TRUE(WaitUntil([&] { return finished; }, 20000));
                EXPECT_TRUE(dialog.OwnOption()->isChecked());
            }
            shownName = dialog.SizeEdit(0)->text();
            return int(QDialog::Rejected);
        });
        ASSERT_TRUE(Command(ID_FILE_OPTIONS));
        const QStringList sent = modem.receivedCommands();
        if (answer == IDNO) {
            EXPECT_EQ(shownName, QStringLiteral("18"));
            EXPECT_FALSE(sent.join(' ').contains(QLatin1String("CPBW")));
            continue;
        }
        EXPECT_EQ(shownName, QStringLiteral("14"));
        EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Autodetect done!"));
        EXPECT_FALSE(sent.join(' ').contains(QLatin1String("\"ME\"")));
        EXPECT_EQ(Book(SM), (Names{{1, "Al"}}));  // the trial entry is gone
    }
}

TEST_F(EntryCommandsTest, TransferAllToContactsThenBackToTheSimAndDeleteTheContact)
{
    Start({{1, "First  Last"}, {2, "Solo"}}, {});
    for (const char* summary : {"2 copied, 0 already in Contacts", "0 copied, 2 already in Contacts"}) {
        boxes.Clear();
        ASSERT_TRUE(Command(ID_TRANSFER_ALLTOCONTACTS));
        EXPECT_EQ(boxes.Texts(), (QStringList{"Are you sure you want to copy all contacts?", summary}));
    }

    // The Contacts list shows them once it has read the folder again.
    CSkinableContactList* contacts = View()->ContactsList();
    CSkinableFlatContactList* flat = contacts->ListControl();
    contacts->RefreshList(true);
    ASSERT_TRUE(WaitUntil([&] { return flat->RowCount() == 2; }, 10000));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    const QPoint first = flat->visualRect(flat->Rows().index(0)).center() - QPoint(90, 0);
    QTest::mouseClick(flat->viewport(), Qt::LeftButton, {}, first);
    ASSERT_NE(contacts->GetSelectedOID(), 0u);

    // Add to SIM/Phone: its one number comes ticked, tagged with its kind.
    View()->EntryCommands().SetDialogRunner([](QDialog& d) {
        auto& dialog = static_cast<CAddToPhoneBookDlg&>(d);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    boxes.Clear();
    ASSERT_TRUE(Command(ID_TRANSFER_ADDTOSIMPHONE));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    EXPECT_EQ(Book(SM), (Names{{1, "First  Last"}, {2, "Solo"}, {3, "First Last(w)"}}));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 3/10"));

    // Delete with the Contacts list in focus deletes the contact.
    QTest::mouseClick(flat->viewport(), Qt::LeftButton, {}, first);
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts().value(0), QStringLiteral("Are you sure you want to delete First Last"));
    EXPECT_TRUE(WaitUntil([&] { return flat->RowCount() == 1; }, 10000));
    EXPECT_EQ(Book(SM).size(), 3u);
}

}  // namespace
