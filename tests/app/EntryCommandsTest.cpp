// The commands on entries in the window, against the modem simulator over
// a pty: what the user is asked and told, what the list and the counters
// show afterwards, and what the device's phone books hold.

#include "app/CommandIds.h"
#include "app/EntryCommands.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <map>

namespace {

const QString SM = QStringLiteral("SM");
const QString ME = QStringLiteral("ME");
using Names = std::map<int, QString>;

class EntryCommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(modem.start());
    }
    // A phone of `deviceType` with SIM (1-10) and phone memory (1-3)
    // holding `sim` and `phone`, in a new window.
    void Start(const Names& sim, const Names& phone, int deviceType = 8)
    {
        frame.reset();
        ASSERT_TRUE(modem.setDeviceType(deviceType));
        for (const auto& [storage, limits, entries] : {std::tuple{SM, "(1-10),40,18", &sim}, {ME, "(1-3),40,18", &phone}}) {
            modem.clearPhoneBook(storage);
            // A SIM-only device has no phone memory to set.
            ASSERT_TRUE(modem.setPhoneBookLimits(storage, QString::fromLatin1(limits)) || entries->empty());
            for (const auto& [index, name] : *entries)
                ASSERT_TRUE(modem.writeEntryText(storage, index, "0" + QByteArray::number(index), name));
        }
        StoreConnection(modem.devicePath(), QStringLiteral("Simulator"));
        ASSERT_TRUE(OpenWindow());
        boxes.Clear();
    }
    Names Book(const QString& storage) const
    {
        Names names;
        for (const auto& e : modem.entries(storage))
            names[e.index] = e.text;
        return names;
    }
    // Answers New and Modify with `name` and `number`, Autodetect with a
    // whole run, and any other dialog with OK, counting them.
    void AnswerDialogs(const QString& name, const QString& number)
    {
        View()->EntryCommands().SetDialogRunner([this, name, number](QDialog& d) {
            ++dialogs;
            if (auto* options = dynamic_cast<COptionsDlg*>(&d)) {
                QTest::mouseClick(options->AutodetectButton(), Qt::LeftButton);
                EXPECT_TRUE(WaitUntil([&] { return !options->IsDetecting(); }, 60000));
                return int(QDialog::Rejected);
            }
            if (auto* entry = dynamic_cast<CModifyDlg*>(&d)) {
                entry->NameEdit()->setText(name);
                entry->NumberEdit()->setText(number);
            }
            d.accept();
            return d.result();
        });
    }

    RecordedMessages boxes;
    ModemSimulator modem;
    int dialogs = 0;
};

TEST_F(EntryCommandsTest, MoveToPhoneGoesOnPastAFullMemoryAndStopsAtAFailure)
{
    const Names onePhone{{1, "Ph"}};
    const Names fullPhone{{1, "Ph"}, {2, "Qu"}, {3, "Ro"}};
    // The last box; a refused command is also reported by the store, first.
    const struct {
        const char* what; Names startPhone; const char* fault; const char* message; Names sim, phone; int phoneCount;
    } cases[] = {
        // Two fit, the third finds the phone memory full.
        {"full", onePhone, "", "Error: SIM/Phone is out of memory", {{3, "Cy"}}, {{1, "Ph"}, {2, "Al"}, {3, "Bo"}}, 3},
        // Full from the start: one box for all three.
        {"all full", fullPhone, "", "3 entries were not moved: the phone memory is full.", {{1, "Al"}, {2, "Bo"}, {3, "Cy"}},
         fullPhone, 3},
        // The second write is refused: the first has moved.
        {"add refused", onePhone, "+CPBW=3,", "Failed to add contact", {{2, "Bo"}, {3, "Cy"}}, {{1, "Ph"}, {2, "Al"}}, 2},
        // Written, but the delete is refused: on both memories, listed once.
        {"delete refused", onePhone, "+CPBW=1", "Could not delete contact", {{1, "Al"}, {2, "Bo"}, {3, "Cy"}},
         {{1, "Ph"}, {2, "Al"}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        modem.clearFaults();
        ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}}, c.startPhone));
        frame->Action(ID_VIEW_PHONE)->trigger();
        if (*c.fault)
            modem.setCmeErrorFor(QString::fromLatin1(c.fault), 3);
        Select({"Al", "Bo", "Cy"});
        ASSERT_TRUE(Command(ID_EDIT_MOVETOPHONE));
        EXPECT_EQ(boxes.Texts().size(), *c.fault ? 2 : 1);
        EXPECT_EQ(boxes.Texts().value(boxes.Texts().size() - 1), QString::fromLatin1(c.message));
        EXPECT_EQ(Book(SM), c.sim);
        EXPECT_EQ(Book(ME), c.phone);
        EXPECT_EQ(View()->PhoneCounter()->text(), QStringLiteral("Phone: %1/3").arg(c.phoneCount));
        // Only SIM entries are shown: those the device still holds there.
        QStringList stillSim;
        for (const auto& entry : c.sim)
            stillSim << entry.second;
        EXPECT_EQ(Shown(), stillSim);
        // The list the user worked in keeps the focus and its selection.
        EXPECT_EQ(frame->focusWidget(), View()->EntryList());
        EXPECT_EQ(View()->IsCommandEnabled(ID_EDIT_MODIFY), !stillSim.isEmpty());
    }
}

// The Delete key or the command; the list keeps the focus.
TEST_F(EntryCommandsTest, DeleteAsksOnceAndKeepsWhatTheDeviceRefused)
{
    ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}, {2, "Bo"}, {3, "Cy"}, {4, "Di"}}, {}));
    Select({"Di"});
    boxes.SetAnswers({IDNO});
    QTest::keyClick(View()->EntryList(), Qt::Key_Delete);
    ASSERT_TRUE(WaitIdle());
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
    EXPECT_EQ(frame->focusWidget(), View()->EntryList());
}

// Typed as a user does: Ctrl+N, the name first, Tab to the number, Enter;
// in other scripts a character at a time, within the room their script
// leaves in the SIM's 18 bytes. A phone without UCS2 shows such names as it
// sends them and refuses new ones, naming the characters.
TEST_F(EntryCommandsTest, NewAndModifyWriteWhatIsTyped)
{
    modem.setOffersUcs2(true);
    ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}, {2, u"Дмитрий"_qs}}, {{1, "P1"}, {2, "P2"}, {3, "P3"}}));
    QString name, number;
    QStringList titles;
    bool phoneOffered = true, cancel = false;
    auto typeIn = [&](QDialog& d) {
        auto& dialog = static_cast<CModifyDlg&>(d);
        titles << dialog.windowTitle();
        phoneOffered = dialog.PhoneOption()->isEnabled();
        // The keys go where the dialog's focus is, as they do once it is active.
        dialog.show();
        EXPECT_EQ(dialog.focusWidget(), dialog.NameEdit());
        dialog.NameEdit()->selectAll();
        for (const QChar ch : name)
            QTest::sendKeyEvent(QTest::KeyAction::Click, dialog.focusWidget(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        dialog.NumberEdit()->selectAll();
        QTest::keyClicks(dialog.focusWidget(), number);
        QTest::keyClick(dialog.focusWidget(), cancel ? Qt::Key_Escape : Qt::Key_Return);
        return dialog.result();
    };
    View()->EntryCommands().SetDialogRunner(typeIn);
    const struct { const char* name; const char* number; Names sim; } typed[] = {
        {"", "0701", {{1, "Al"}, {2, u"Дмитрий"_qs}}},     // no name: nothing
        {"Neo", "", {{1, "Al"}, {2, u"Дмитрий"_qs}}},      // no number: nothing
        {"Neo", "+46 70-1", {{1, "Al"}, {2, u"Дмитрий"_qs}, {3, "Neo"}}},
        {"Αθηνά Παπαδοπούλου", "0702", {{1, "Al"}, {2, u"Дмитрий"_qs}, {3, "Neo"}, {4, u"Αθηνά Πα"_qs}}},
    };
    for (const auto& t : typed) {
        name = QString::fromUtf8(t.name);
        number = QString::fromLatin1(t.number);
        ASSERT_TRUE(Activate());
        QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(boxes.Texts(), QStringList{}) << t.name;
        EXPECT_EQ(Book(SM), t.sim) << t.name;
    }
    EXPECT_EQ(titles.value(0), QStringLiteral("New Contact"));
    EXPECT_FALSE(phoneOffered);  // the phone memory is full
    EXPECT_EQ(modem.entries(SM)[2].number, QByteArray("+46701"));
    EXPECT_EQ(View()->SimCounter()->text(), QStringLiteral("Sim: 4/10"));

    // Enter on a row modifies it; over several rows each dialog says
    // which it is, and Escape ends the series.
    titles.clear();
    name = u"王小明 [€]"_qs;
    Select({u"Дмитрий"_qs});
    QTest::keyClick(View()->EntryList(), Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Book(SM)[2], name);
    EXPECT_TRUE(Shown().contains(name));
    EXPECT_EQ(titles, QStringList{"Modify Contact"});
    titles.clear();
    cancel = true;
    Select({"Al", "Neo", "P1"});
    ASSERT_TRUE(Command(ID_EDIT_MODIFY));
    EXPECT_EQ(titles, QStringList{"Modify Contact (1 of 3)"});
    EXPECT_EQ(Book(SM)[1], QStringLiteral("Al"));

    modem.setOffersUcs2(false);
    ASSERT_NO_FATAL_FAILURE(Start({{1, u"Дмитрий"_qs}}, {}));
    EXPECT_EQ(Shown(), QStringList{u"???????"_qs});
    View()->EntryCommands().SetDialogRunner(typeIn);
    cancel = false;
    name = u"Αθηνάα"_qs;
    ASSERT_TRUE(Command(ID_EDIT_NEW));
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains(QStringLiteral("cannot store Αθηνάα in a name"))) << boxes.Texts()[0].toStdString();
    EXPECT_EQ(Book(SM).size(), 1u);
}

// A SIM read cut after location 5: locations beyond it may hold entries
// nobody has seen, so no command writes there until a Refresh; a location
// the read saw empty is written. With no room anywhere, New says so
// before any typing.
TEST_F(EntryCommandsTest, AfterAnIncompleteReadNothingIsWrittenBeyondIt)
{
    const QString refresh = QStringLiteral("The SIM was not read to its end: a Refresh (F5) is needed before writing to it.");
    const Names full{{1, "Al"}, {2, "Bo"}, {3, "Cy"}, {4, "Di"}, {5, "Ed"}, {8, "Fy"}};
    Names gap = full, whole;
    gap.erase(4);
    Names gapNeo = gap, gapIda = gap;
    gapNeo[4] = QStringLiteral("Neo");
    gapIda[4] = QStringLiteral("Ida Wik(m)");
    for (int index = 1; index <= 10; ++index)
        whole[index] = QStringLiteral("X%1").arg(index);
    const Names phone{{1, "P1"}, {2, "P2"}, {3, "P3"}};
    // The boxes are those after Autodetect's question.
    const struct { const char* what; int command; Names sim, simAfter; QStringList boxes; int dialogs; } cases[] = {
        {"New, the whole SIM read and full", ID_EDIT_NEW, whole, whole, {"Error: SIM is out of memory"}, 0},
        {"New, location 4 seen empty", ID_EDIT_NEW, gap, gapNeo, {}, 1},
        // Its one number comes ticked, tagged with its kind.
        {"Add to SIM/Phone, location 4 seen empty", ID_TRANSFER_ADDTOSIMPHONE, gap, gapIda, {}, 1},
        {"New", ID_EDIT_NEW, full, full, {refresh}, 0},
        {"Move to SIM", ID_EDIT_MOVETOSIM, full, full, {refresh}, 0},
        {"Add to SIM/Phone", ID_TRANSFER_ADDTOSIMPHONE, full, full, {refresh}, 1},
        {"Autodetect", ID_FILE_OPTIONS, full, full, {refresh}, 1},
    };
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
        AnswerDialogs(QStringLiteral("Neo"), QStringLiteral("0701"));
        if (c.command == ID_EDIT_MOVETOSIM)
            Select({"P1", "P2"});
        if (c.command == ID_TRANSFER_ADDTOSIMPHONE) {
            ASSERT_NO_FATAL_FAILURE(ChooseCard(QStringLiteral("shared-uid-home.vcf")));
        }
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
    EXPECT_EQ(Book(SM)[6], QStringLiteral("Neo"));
}

// Autodetect on a SIM-only device, answered No, Yes, and Yes on a device
// that takes the first trial and is then gone: the trial entry it keeps
// is named, not passed over with "Autodetect done!".
TEST_F(EntryCommandsTest, AutodetectProbesTheSimOfASimOnlyDevice)
{
    ASSERT_TRUE(modem.setAcceptedNameLength(SM, 14));
    ASSERT_NO_FATAL_FAILURE(Start({{1, "Al"}}, {}, 6));
    const struct { int answer; bool vanish; const char* shownName; const char* last; } runs[] = {
        {IDNO, false, "18", "WARNING: This may take several minutes. Continue?\nAutodetect writes test entries to a free "
                            "location of the SIM and of the phone memory and deletes them again."},
        {IDYES, false, "14", "Autodetect done!"},
        {IDYES, true, nullptr, "Autodetect could not delete its test entry at SIM location 2. Delete it there after a Refresh."},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.last);
        boxes.Clear();
        boxes.SetAnswers({run.answer});
        modem.clearReceivedCommands();
        modem.setReplyDelayMs(run.vanish ? 50 : 0);
        QString shownName;
        View()->EntryCommands().SetDialogRunner([&](QDialog& d) {
            auto& dialog = static_cast<COptionsDlg&>(d);
            QTest::mouseClick(dialog.AutodetectButton(), Qt::LeftButton);
            if (run.vanish) {
                EXPECT_TRUE(WaitUntil([&] { return dialog.SizeEdit(0)->text() == QLatin1String("10"); }));
                modem.vanish();
            }
            EXPECT_TRUE(WaitUntil([&] { return !dialog.IsDetecting(); }, 60000));
            EXPECT_EQ(dialog.OwnOption()->isChecked(), run.answer == IDYES);
            shownName = dialog.SizeEdit(0)->text();
            return int(QDialog::Rejected);
        });
        ASSERT_TRUE(Command(ID_FILE_OPTIONS));
        EXPECT_TRUE(!run.shownName || shownName == QLatin1String(run.shownName)) << shownName.toStdString();
        EXPECT_TRUE(boxes.Texts().value(boxes.Texts().size() - 1).startsWith(QString::fromLatin1(run.last)));
        const QString sent = modem.receivedCommands().join(' ');
        EXPECT_EQ(sent.contains(QLatin1String("CPBW")), run.answer == IDYES);
        EXPECT_FALSE(sent.contains(QLatin1String("\"ME\"")));
        // The trial entry is gone, unless the device went with it.
        EXPECT_EQ(Book(SM).size(), run.vanish ? 2u : 1u);
    }
}

// Transfer all copies each entry once. Delete with the Contacts list in
// focus deletes the contact, not an entry. Two cards share a UID; the pin
// file goes away between the load and the delete, and the chosen card
// becomes the older file: Delete still removes exactly the card the user
// chose.
TEST_F(EntryCommandsTest, TransferAllThenDeleteTheChosenContactWithThePinFileGone)
{
    ASSERT_NO_FATAL_FAILURE(Start({{1, "First  Last"}, {2, "Solo"}}, {}));
    for (const char* summary : {"2 copied, 0 already in Contacts", "0 copied, 2 already in Contacts"}) {
        boxes.Clear();
        ASSERT_TRUE(Command(ID_TRANSFER_ALLTOCONTACTS));
        EXPECT_EQ(boxes.Texts(), (QStringList{"Are you sure you want to copy all contacts?", summary}));
    }
    ASSERT_TRUE(ShowContacts(2));
    EXPECT_EQ(ColumnTexts(View()->ContactsList()->ListControl()->Rows()), (QStringList{"First Last", "Solo"}));

    const QString home = contactsFolder + QStringLiteral("/shared-uid-home.vcf");
    const QString work = contactsFolder + QStringLiteral("/shared-uid-work.vcf");
    auto copyAged = [](const QString& path, int hours) {
        QFile::exists(path) || QFile::copy(TestDataPath(QStringLiteral("contacts") + path.mid(path.lastIndexOf(u'/'))), path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * hours), QFileDevice::FileModificationTime));
    };
    copyAged(home, 2);
    copyAged(work, 1);
    ASSERT_TRUE(ShowContacts(4));
    ClickContact(2);
    ASSERT_NE(View()->ContactsList()->GetSelectedOID(), 0u);

    ASSERT_TRUE(QFile::remove(contactsFolder + QStringLiteral("/.tessaly-oids")));
    copyAged(work, 3);
    boxes.Clear();
    ASSERT_TRUE(Command(ID_EDIT_DELETE));
    EXPECT_EQ(boxes.Texts().value(0), QStringLiteral("Are you sure you want to delete Ida Wik (work)"));
    EXPECT_FALSE(QFile::exists(work));
    EXPECT_TRUE(QFile::exists(home));
    EXPECT_TRUE(WaitUntil([&] { return View()->ContactsList()->ListControl()->RowCount() == 3; }));
    EXPECT_EQ(Book(SM).size(), 2u);
}

}  // namespace
