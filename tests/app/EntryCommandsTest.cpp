// The commands on entries in the window, against the modem simulator over
// a pty: what the user is asked and told, what the list and the counters
// show afterwards, and what the device's phone books hold.

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EntryCommands.h"
#include "app/EntryListModel.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "app/dialogs/ModifyDlg.h"
#include "app/dialogs/OptionsDlg.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "support/MessageBoxTypes.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

const QString SM = QStringLiteral("SM");
const QString ME = QStringLiteral("ME");
using Names = std::map<int, QByteArray>;

class EntryCommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(modem.start());
    }

    // A phone with SIM (1-10) and phone memory (1-3) holding `sim` and
    // `phone`, in a new window.
    void Start(const Names& sim, const Names& phone, bool showPhone = true)
    {
        frame.reset();
        modem.clearPhoneBook(SM);
        modem.clearPhoneBook(ME);
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
        ASSERT_TRUE(OpenWindow());
        boxes.Clear();
    }
    Names Book(const QString& storage) const
    {
        Names names;
        for (const auto& e : modem.entries(storage))
            names[e.index] = e.name;
        return names;
    }

    RecordedMessages boxes;
    ModemSimulator modem;
};

TEST_F(EntryCommandsTest, MoveToPhoneGoesOnPastAFullMemoryAndStopsAtAFailure)
{
    const Names onePhone{{1, "Ph"}};
    const Names fullPhone{{1, "Ph"}, {2, "Qu"}, {3, "Ro"}};
    const struct {
        const char* what;
        Names startPhone;
        const char* fault;
        const char* message;  // the last box; a refused command is also reported by the store, first
        Names sim, phone;
        const char* phoneCounter;
    } cases[] = {
        // Two fit, the third finds the phone memory full.
        {"full", onePhone, "", "Error: SIM/Phone is out of memory", {{3, "Cy"}}, {{1, "Ph"}, {2, "Al"}, {3, "Bo"}}, "Phone: 3/3"},
        // Full from the start: one box for all three.
        {"all full", fullPhone, "", "3 entries were not moved: the phone memory is full.", {{1, "Al"}, {2, "Bo"}, {3, "Cy"}},
         fullPhone, "Phone: 3/3"},
        // The second write is refused: the first has moved.
        {"add refused", onePhone, "+CPBW=3,", "Failed to add contact", {{2, "Bo"}, {3, "Cy"}}, {{1, "Ph"}, {2, "Al"}}, "Phone: 2/3"},
        {"delete refused", onePhone, "+CPBW=1", "Could not delete contact", {{1, "Al"}, {2, "Bo"}, {3, "Cy"}},
         {{1, "Ph"}, {2, "Al"}}, "Phone: 1/3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        modem.clearFaults();
        ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}}, c.startPhone, false));
        ASSERT_EQ(Shown(), (QStringList{"Al", "Bo", "Cy"}));  // phone entries hidden
        if (*c.fault)
            modem.setCmeErrorFor(QString::fromLatin1(c.fault), 3);
        Select({"Al", "Bo", "Cy"});
        ASSERT_TRUE(Command(ID_EDIT_MOVETOPHONE));
        EXPECT_EQ(boxes.Texts().size(), *c.fault ? 2 : 1);
        EXPECT_EQ(boxes.Texts().value(boxes.Texts().size() - 1), QString::fromLatin1(c.message));
        EXPECT_EQ(Book(SM), c.sim);
        EXPECT_EQ(Book(ME), c.phone);
        EXPECT_EQ(View()->PhoneCounter()->text(), QString::fromLatin1(c.phoneCounter));
        // Only SIM entries are shown: those the device still holds there
        // (after a failed delete the entry is on both memories).
        QStringList stillSim;
        for (const auto& [index, name] : c.sim)
            stillSim << QString::fromLatin1(name);
        EXPECT_EQ(Shown(), stillSim);
        // The list the user worked in keeps the focus and its selection.
        EXPECT_EQ(frame->focusWidget(), View()->EntryList());
        EXPECT_EQ(View()->IsCommandEnabled(ID_EDIT_MODIFY), !stillSim.isEmpty());
    }
}

TEST_F(EntryCommandsTest, DeleteAsksOnceAndKeepsWhatTheDeviceRefused)
{
    ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}, {4, "Di"}}, {}));
    Select({"Di"});
    boxes.SetAnswers({IDNO});
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts(), QStringList{"Are you sure you want to delete Di"});
    EXPECT_EQ(Book(SM).size(), 4u);

    boxes.Clear();
    modem.setCmeErrorFor(QStringLiteral("+CPBW=2"), 3);
    Select({"Al", "Bo", "Cy"});
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts().value(0), QStringLiteral("Are you sure you want to delete all selected items"));
    EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Failed to delete!"));
    EXPECT_EQ(Shown(), (QStringList{"Bo", "Cy", "Di"}));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 3/10"));
    EXPECT_EQ(Book(SM), (Names{{2, "Bo"}, {3, "Cy"}, {4, "Di"}}));
}

// Typed as a user does: Ctrl+N, the name first, Tab to the number, Enter.
TEST_F(EntryCommandsTest, NewAndModifyWriteThroughTheDialog)
{
    ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}}, {{1, "P1"}, {2, "P2"}, {3, "P3"}}));
    const char* name = "";
    const char* number = "";
    QStringList titles;
    bool phoneOffered = true;
    View()->EntryCommands().SetDialogRunner([&](QDialog& d) {
        auto& dialog = static_cast<CModifyDlg&>(d);
        titles << dialog.windowTitle();
        phoneOffered = dialog.PhoneOption()->isEnabled();
        // The keys go where the dialog's focus is, as they do once it is active.
        dialog.show();
        EXPECT_EQ(dialog.focusWidget(), dialog.NameEdit());
        dialog.NameEdit()->selectAll();
        QTest::keyClicks(dialog.focusWidget(), QString::fromLatin1(name));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        dialog.NumberEdit()->selectAll();
        QTest::keyClicks(dialog.focusWidget(), QString::fromLatin1(number));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        return dialog.result();
    });
    ASSERT_TRUE(Activate());
    // No name, then no number: nothing; then both.
    for (const auto& [n, nr, stored] : {std::tuple{"", "0701", 1u}, {"Neo", "", 1u}, {"Neo", "+46 70-1", 2u}}) {
        name = n;
        number = nr;
        QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(boxes.Texts(), QStringList{}) << n;
        EXPECT_EQ(Book(SM).size(), stored) << n;
    }
    EXPECT_EQ(titles.value(0), QStringLiteral("New Contact"));
    EXPECT_FALSE(phoneOffered);  // the phone memory is full
    EXPECT_EQ(modem.entries(SM)[1].number, QByteArray("+46701"));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 2/10"));

    // Enter on a row modifies it; over several rows each dialog says
    // which it is, and Cancel ends the series.
    titles.clear();
    name = "Neon";
    number = "0702";
    Select({"Neo"});
    QTest::keyClick(View()->EntryList(), Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Book(SM), (Names{{1, "Al"}, {2, "Neon"}}));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Neon")));
    EXPECT_EQ(titles, QStringList{"Modify Contact"});
    titles.clear();
    View()->EntryCommands().SetDialogRunner([&](QDialog& dialog) {
        titles << dialog.windowTitle();
        return int(QDialog::Rejected);
    });
    Select({"Al", "Neon", "P1"});
    ASSERT_TRUE(Command(ID_EDIT_MODIFY));
    EXPECT_EQ(titles, QStringList{"Modify Contact (1 of 3)"});
}

// Names in other scripts through the window: read exactly, typed into New
// and Modify within the room their script leaves in the SIM's 18 bytes,
// moved exactly; a phone without UCS2 refuses them naming the characters.
TEST_F(EntryCommandsTest, NamesInEveryScriptThroughTheWindow)
{
    QString typed, shown;
    const auto held = [this](const QString& storage) {
        std::map<int, QString> texts;
        for (const auto& e : modem.entries(storage))
            texts[e.index] = e.text;
        return texts;
    };
    for (const bool ucs2 : {true, false}) {
        SCOPED_TRACE(ucs2 ? "UCS2" : "GSM only");
        modem.setOffersUcs2(ucs2);
        ASSERT_NO_FATAL_FAILURE(Start({}, {}));
        ASSERT_TRUE(modem.writeEntryText(SM, 1, "0701", u"Дмитрий"_qs));
        ASSERT_TRUE(Command(ID_VIEW_REFRESH));
        EXPECT_EQ(Shown(), QStringList{ucs2 ? u"Дмитрий"_qs : u"???????"_qs});
        View()->EntryCommands().SetDialogRunner([&](QDialog& d) {
            auto& dialog = static_cast<CModifyDlg&>(d);
            dialog.show();
            dialog.NameEdit()->selectAll();
            // Typed a character at a time, as a keyboard of that script types.
            for (const QChar ch : typed)
                QTest::sendKeyEvent(QTest::KeyAction::Click, dialog.NameEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
            shown = dialog.NameEdit()->text();
            if (dialog.NumberEdit()->text().isEmpty())
                dialog.NumberEdit()->setText(QStringLiteral("0702"));
            QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
            return dialog.result();
        });
        typed = u"Αθηνά Παπαδοπούλου"_qs;
        ASSERT_TRUE(Command(ID_EDIT_NEW));
        EXPECT_EQ(shown, u"Αθηνά Πα"_qs);  // 8 characters fill 18 bytes in UCS2
        if (!ucs2) {
            ASSERT_EQ(boxes.Texts().size(), 1);
            EXPECT_TRUE(boxes.Texts()[0].contains(QStringLiteral("cannot store Αθηνάα in a name"))) << boxes.Texts()[0].toStdString();
            EXPECT_EQ(held(SM).size(), 1u);
            continue;
        }
        EXPECT_EQ(boxes.Texts(), QStringList{});
        typed = u"王小明 [€]"_qs;
        Select({u"Дмитрий"_qs});
        ASSERT_TRUE(Command(ID_EDIT_MODIFY));
        EXPECT_EQ(held(SM), (std::map<int, QString>{{1, u"王小明 [€]"_qs}, {2, u"Αθηνά Πα"_qs}}));
        Select({u"王小明 [€]"_qs});
        ASSERT_TRUE(Command(ID_EDIT_MOVETOPHONE));
        EXPECT_EQ(held(SM), (std::map<int, QString>{{2, u"Αθηνά Πα"_qs}}));
        EXPECT_EQ(held(ME), (std::map<int, QString>{{1, u"王小明 [€]"_qs}}));
        EXPECT_TRUE(Shown().contains(u"王小明 [€]"_qs));
    }
}

// A SIM read cut after location 5: locations beyond it may hold entries
// nobody has seen, so no command writes there until a Refresh; a location
// the read saw empty is written. With no room anywhere, New says so
// before any typing.
TEST_F(EntryCommandsTest, AfterAnIncompleteReadNothingIsWrittenBeyondIt)
{
    const QString refresh = QStringLiteral("The SIM was not read to its end: a Refresh (F5) is needed before writing to it.");
    const Names full{{1, "Al"}, {2, "Bo"}, {3, "Cy"}, {4, "Di"}, {5, "Ed"}, {8, "Fy"}};
    Names gap = full;
    gap.erase(4);
    Names written = gap;
    written[4] = "Neo";
    Names whole;
    for (int index = 1; index <= 10; ++index)
        whole[index] = "X" + QByteArray::number(index);
    const Names phone{{1, "P1"}, {2, "P2"}, {3, "P3"}};
    const struct {
        const char* what;
        int command;
        Names sim, simAfter;
        QStringList boxes;  // after Autodetect's question
        int dialogs;
    } cases[] = {
        {"New, the whole SIM read and full", ID_EDIT_NEW, whole, whole, {"Error: SIM is out of memory"}, 0},
        {"New, location 4 seen empty", ID_EDIT_NEW, gap, written, {}, 1},
        {"New", ID_EDIT_NEW, full, full, {refresh}, 0},
        {"Move to SIM", ID_EDIT_MOVETOSIM, full, full, {refresh}, 0},
        {"Add to SIM/Phone", ID_TRANSFER_ADDTOSIMPHONE, full, full, {refresh}, 1},
        {"Autodetect", ID_FILE_OPTIONS, full, full, {refresh}, 1},
    };
    int dialogs = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModemSimulator::ReplyFault cut;
        cut.afterLines = int(std::count_if(c.sim.begin(), c.sim.end(), [](const auto& e) { return e.first <= 5; }));
        cut.insert = "+CME ERROR: 100\r\n";
        cut.cut = true;
        modem.clearFaults();
        if (c.sim != whole)
            modem.setReplyFault(QStringLiteral("+CPBR=1,10"), cut);
        ASSERT_NO_FATAL_FAILURE(Start(c.sim, phone));
        dialogs = 0;
        View()->EntryCommands().SetDialogRunner([&dialogs](QDialog& d) {
            ++dialogs;
            if (auto* options = dynamic_cast<COptionsDlg*>(&d)) {
                bool done = false;
                QObject::connect(options, &COptionsDlg::AutodetectFinished, [&] { done = true; });
                QTest::mouseClick(options->AutodetectButton(), Qt::LeftButton);
                EXPECT_TRUE(WaitUntil([&] { return done; }, 60000));
                return int(QDialog::Rejected);
            }
            if (auto* entry = dynamic_cast<CModifyDlg*>(&d)) {
                entry->NameEdit()->setText(QStringLiteral("Neo"));
                entry->NumberEdit()->setText(QStringLiteral("0701"));
            }
            d.accept();
            return d.result();
        });
        if (c.command == ID_EDIT_MOVETOSIM)
            Select({"P1", "P2"});
        if (c.command == ID_TRANSFER_ADDTOSIMPHONE) {
            ASSERT_NO_FATAL_FAILURE(ChooseCard(QStringLiteral("shared-uid-home.vcf")));
        }
        ASSERT_TRUE(View()->IsCommandEnabled(c.command));
        ASSERT_TRUE(Command(c.command));
        EXPECT_EQ(boxes.Texts().mid(c.command == ID_FILE_OPTIONS ? 1 : 0), c.boxes);
        EXPECT_EQ(Book(SM), c.simAfter);
        EXPECT_EQ(Book(ME), phone);
        EXPECT_EQ(dialogs, c.dialogs);
    }

    // F5 reads the whole SIM; the next free location is known again.
    modem.clearFaults();
    ASSERT_TRUE(Activate());
    QTest::keyClick(frame.get(), Qt::Key_F5);
    ASSERT_TRUE(WaitUntil([this] { return Shown().contains(QStringLiteral("Fy")) && !View()->IsBusy(); }));
    boxes.Clear();
    View()->EntryList()->setFocus();
    ASSERT_TRUE(Command(ID_EDIT_NEW));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    EXPECT_EQ(Book(SM).at(6), QByteArray("Neo"));
}

TEST_F(EntryCommandsTest, AutodetectProbesTheSimOfASimOnlyDevice)
{
    modem.setStorages({SM});
    ASSERT_TRUE(modem.setDeviceType(6));  // SIM only
    ASSERT_TRUE(modem.setPhoneBookLimits(SM, QStringLiteral("(1-10),40,18")));
    ASSERT_TRUE(modem.setAcceptedNameLength(SM, 14));
    modem.writeEntry(SM, 1, "0701", "Al");
    StoreConnection(modem.devicePath(), QStringLiteral("Simulator"), 9600);
    ASSERT_TRUE(OpenWindow());

    // Last: a device that takes the first trial, then is gone. The trial
    // entry it keeps is named, not passed over with "Autodetect done!".
    enum Run { No, Yes, DeviceGone };
    for (const Run run : {No, Yes, DeviceGone}) {
        boxes.Clear();
        boxes.SetAnswers({run == No ? IDNO : IDYES});
        modem.clearReceivedCommands();
        modem.setReplyDelayMs(run == DeviceGone ? 50 : 0);
        QString shownName;
        View()->EntryCommands().SetDialogRunner([&](QDialog& d) {
            auto& dialog = static_cast<COptionsDlg&>(d);
            bool done = false;
            QObject::connect(&dialog, &COptionsDlg::AutodetectFinished, [&] { done = true; });
            QTest::mouseClick(dialog.AutodetectButton(), Qt::LeftButton);
            if (run == DeviceGone) {
                EXPECT_TRUE(WaitUntil([&] { return dialog.SizeEdit(0)->text() == QLatin1String("10"); }));
                modem.vanish();
            }
            if (run != No) {
                EXPECT_TRUE(WaitUntil([&] { return done; }, 60000));
                EXPECT_TRUE(dialog.OwnOption()->isChecked());
            }
            shownName = dialog.SizeEdit(0)->text();
            return int(QDialog::Rejected);
        });
        ASSERT_TRUE(Command(ID_FILE_OPTIONS));
        const QString sent = modem.receivedCommands().join(' ');
        if (run == No) {
            EXPECT_EQ(shownName, QStringLiteral("18"));
            EXPECT_FALSE(sent.contains(QLatin1String("CPBW")));
        } else if (run == Yes) {
            EXPECT_EQ(shownName, QStringLiteral("14"));
            EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Autodetect done!"));
            EXPECT_FALSE(sent.contains(QLatin1String("\"ME\"")));
            EXPECT_EQ(Book(SM), (Names{{1, "Al"}}));  // the trial entry is gone
        } else {
            EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Autodetect could not delete its test entry at SIM location 2. "
                                                           "Delete it there after a Refresh."));
            EXPECT_EQ(Book(SM).count(2), 1u);
        }
    }
}

TEST_F(EntryCommandsTest, TransferAllToContactsThenBackToTheSimAndDeleteTheContact)
{
    ASSERT_NO_FATAL_FAILURE(Start({{1, "First  Last"}, {2, "Solo"}}, {}));
    for (const char* summary : {"2 copied, 0 already in Contacts", "0 copied, 2 already in Contacts"}) {
        boxes.Clear();
        ASSERT_TRUE(Command(ID_TRANSFER_ALLTOCONTACTS));
        EXPECT_EQ(boxes.Texts(), (QStringList{"Are you sure you want to copy all contacts?", summary}));
    }

    // The Contacts list shows them once it has read the folder again.
    ASSERT_TRUE(ShowContacts(2));
    ClickContact(0);
    ASSERT_NE(View()->ContactsList()->GetSelectedOID(), 0u);

    // Add to SIM/Phone: its one number comes ticked, tagged with its kind.
    View()->EntryCommands().SetDialogRunner([](QDialog& dialog) {
        dialog.accept();
        return dialog.result();
    });
    boxes.Clear();
    ASSERT_TRUE(Command(ID_TRANSFER_ADDTOSIMPHONE));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    EXPECT_EQ(Book(SM), (Names{{1, "First  Last"}, {2, "Solo"}, {3, "First Last(w)"}}));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 3/10"));

    // Delete with the Contacts list in focus deletes the contact.
    ClickContact(0);
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts().value(0), QStringLiteral("Are you sure you want to delete First Last"));
    EXPECT_TRUE(WaitUntil([&] { return View()->ContactsList()->ListControl()->RowCount() == 1; }));
    EXPECT_EQ(Book(SM).size(), 3u);
}

// Two cards share a UID; the pin file goes away between the load and the
// delete, and the chosen card becomes the older file: Delete still removes
// exactly the card the user chose.
TEST_F(EntryCommandsTest, DeleteContactRemovesTheChosenCardWithThePinFileGone)
{
    ASSERT_NO_FATAL_FAILURE(Start({}, {}));
    const QString home = contactsFolder + QStringLiteral("/shared-uid-home.vcf");
    const QString work = contactsFolder + QStringLiteral("/shared-uid-work.vcf");
    auto age = [](const QString& path, int hours) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * hours), QFileDevice::FileModificationTime));
    };
    for (const QString& path : {home, work})
        ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + QFileInfo(path).fileName()), path));
    age(home, 2);
    age(work, 1);
    ASSERT_TRUE(ShowContacts(2));
    ClickContact(1);
    ASSERT_NE(View()->ContactsList()->GetSelectedOID(), 0u);

    ASSERT_TRUE(QFile::remove(contactsFolder + QStringLiteral("/.tessaly-oids")));
    age(work, 3);
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts().value(0), QStringLiteral("Are you sure you want to delete Ida Wik (work)"));
    EXPECT_FALSE(QFile::exists(work));
    EXPECT_TRUE(QFile::exists(home));
}

}  // namespace
