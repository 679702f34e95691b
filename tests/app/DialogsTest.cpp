// The dialogs driven as a user drives them: the connection dialog over the
// registry's port lists, the entry and options dialogs with what their OK
// keeps or refuses, and the two between Contacts and the phone books.

#include "app/AppSettings.h"
#include "app/DeviceWorker.h"
#include "app/dialogs/AboutDlg.h"
#include "app/dialogs/AddContactDlg.h"
#include "app/dialogs/AddToPhoneBookDlg.h"
#include "app/dialogs/ConnectionDlg.h"
#include "app/dialogs/ModifyDlg.h"
#include "app/dialogs/NameEditor.h"
#include "app/dialogs/OptionsDlg.h"
#include "platform/contacts/ContactFieldTable.h"
#include "platform/contacts/ContactsStore.h"
#include "support/MessageBoxTypes.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>

namespace {

// The sizes the dialogs are typed against: SIM names 14 and numbers 20,
// phone names 30 and numbers 40.
CAppSettings DialogTestSizes()
{
    CAppSettings settings;
    std::tie(settings.SIMNameSize, settings.SIMNumberSize, settings.PhoneNameSize, settings.PhoneNumberSize) =
        std::tuple(14, 20, 30, 40);
    return settings;
}

// A dialog fits a 1280 x 800 screen and is no smaller than its contents.
void ExpectFitsTheScreen(QDialog& dialog)
{
    dialog.show();
    const std::string name = dialog.objectName().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return dialog.size().expandedTo(dialog.minimumSizeHint()) == dialog.size(); })) << name;
    EXPECT_LE(dialog.width(), 1280) << name;
    EXPECT_LE(dialog.height(), 800) << name;
}

class ConnectionDlgTest : public ::testing::Test {
protected:
    void SetUp() override { ReplaceRegistry(QStringLiteral("app/machine-registry.ini")); }
};

// The modems are offered in the order of their ports, the multiplexer's
// own ports left out; the stored connection is shown chosen even when it
// is not found (then offered before Simulate); OK keeps the choice, Cancel
// keeps what was stored.
TEST_F(ConnectionDlgTest, OffersThePortsAndKeepsTheChoice)
{
    const QStringList offered = {"None", "Phone Cable", "Renamed Internal", "Acme-Phone", "Card Modem", "Mervix Extra", "Simulate"};
    // The choice nullptr is Cancel.
    const struct {
        const char* stored; const char* storedPort; const char* choose; const char* port; const char* name; int speed;
    } cases[] = {
        {"None", "", "Phone Cable", "/dev/ttyACM0", "Phone Cable", 9600},
        {"Old Modem", "/dev/ttyUSB7", "Old Modem", "/dev/ttyUSB7", "Old Modem", 9600},
        {"Simulate", "99", "None", "", "None", 9600},
        {"Phone Cable", "/dev/ttyACM0", "None", "", "None", 9600},
        {"Phone Cable", "/dev/ttyACM0", nullptr, "/dev/ttyACM0", "Phone Cable", 57600},
        {"None", "", "Renamed Internal", "COM10:", "Renamed Internal", 9600},
        {"None", "", "Acme-Phone", "COM2:", "Acme-Phone", 9600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " -> " << (c.choose ? c.choose : "Cancel"));
        const QString stored = QString::fromLatin1(c.stored);
        CConnectionDlg dialog;
        dialog.m_TapiDevice = stored;
        dialog.m_ComPort = QString::fromLatin1(c.storedPort);
        dialog.m_Speed = c.speed;
        dialog.m_bVirtualPort = true;
        dialog.m_Prompt = QStringLiteral("Where is the GSM device?");
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.PromptLabel()->text(), dialog.m_Prompt);
        EXPECT_EQ(dialog.ConnectionList()->currentText(), stored);
        ExpectFitsTheScreen(dialog);
        EXPECT_EQ(ComboItems(*dialog.ConnectionList()), offered.contains(stored) ? offered : offered.mid(0, 6) << stored << "Simulate");
        if (c.choose) {
            dialog.ConnectionList()->setCurrentIndex(dialog.ConnectionList()->findText(QString::fromLatin1(c.choose)));
            QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        } else {
            dialog.ConnectionList()->setCurrentIndex(0);
            dialog.BaudList()->setCurrentIndex(0);
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        }
        EXPECT_EQ(dialog.result(), c.choose ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog.m_ComPort, QString::fromLatin1(c.port));
        EXPECT_EQ(dialog.m_TapiDevice, QString::fromLatin1(c.name));
        EXPECT_EQ(dialog.m_Speed, c.speed);
        // The stored connection's virtual flag goes with it; the built-in port is virtual.
        EXPECT_EQ(dialog.m_bVirtualPort, !c.choose || qstrcmp(c.choose, c.stored) == 0 || c.port == QLatin1String("COM10:"));
    }
}

// The rate list shows the stored rate; OK takes only a rate the serial
// port can be set to, and says so for another.
TEST_F(ConnectionDlgTest, BaudRatesAreTheSettableOnes)
{
    RecordedMessages messages;
    const QStringList standard = {"2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"};
    // A rate typed, then OK: the rate taken, or 0 when refused.
    const struct { int stored; int selectedRow; QStringList rates; const char* typed; int taken; } cases[] = {
        {9600, 2, standard, "57600", 57600},
        {115200, 6, standard, "fast", 0},
        // Shown as stored, though OK will not take it.
        {14400, 3, QStringList{"2400", "4800", "9600", "14400"} + standard.mid(3), "14400", 0},
        // The prefix search takes "1" for the first rate after the first entry.
        {1, 3, standard, "921600", 921600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        messages.Clear();
        CConnectionDlg dialog;
        dialog.m_Speed = c.stored;
        dialog.OnInitDialog();
        EXPECT_EQ(ComboItems(*dialog.BaudList()), c.rates);
        EXPECT_EQ(dialog.BaudList()->currentIndex(), c.selectedRow);
        dialog.BaudList()->lineEdit()->selectAll();
        QTest::keyClicks(dialog.BaudList()->lineEdit(), QString::fromLatin1(c.typed));
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.taken != 0);
        EXPECT_EQ(dialog.m_Speed, c.taken ? c.taken : c.stored);
        EXPECT_EQ(messages.Texts().size(), c.taken ? 0 : 1);
        EXPECT_EQ(messages.Texts().value(0).startsWith(QStringLiteral("The serial port cannot run")), !c.taken);
    }
}

// Either of the registry's port lists missing: said once, and only None
// and the stored Simulate are offered.
TEST_F(ConnectionDlgTest, FailedDiscoveryIsReportedOnce)
{
    for (const bool activeDrivers : {false, true}) {
        ResetRegistry();
        if (activeDrivers)
            SetRegistryString(QStringLiteral("Drivers\\Active\\01"), QStringLiteral("Name"), QStringLiteral("COM3:"));
        RecordedMessages messages;
        CConnectionDlg dialog;
        dialog.m_ComPort = QStringLiteral("99");
        dialog.m_TapiDevice = QStringLiteral("Simulate");
        dialog.OnInitDialog();
        EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Failed to identify available modem ports.")});
        EXPECT_EQ(ComboItems(*dialog.ConnectionList()), (QStringList{"None", "Simulate"}));
        EXPECT_EQ(dialog.ConnectionList()->currentText(), QStringLiteral("None"));
    }
}

TEST(ModifyDlg, OpeningChoosesTheMemoryAndItsTypingLimits)
{
    const struct {
        const char* what; int memory; bool sim, phone, fixed, simChecked, simEnabled, phoneEnabled; int nameLimit;
    } cases[] = {
        {"fixed SIM entry", 1, true, true, true, true, false, false, 14},
        {"phone only", 1, false, true, false, false, false, true, 30},
        {"new, both", 1, true, true, false, true, true, true, 14},
        {"phone entry", 0, true, true, true, false, false, false, 30},
    };
    const CAppSettings settings = DialogTestSizes();
    for (const auto& c : cases) {
        CModifyDlg dialog(settings);
        dialog.m_nMemory = c.memory;
        dialog.m_bSimAvailable = c.sim;
        dialog.m_bPhoneAvailable = c.phone;
        dialog.m_bMemoryFixed = c.fixed;
        dialog.OnInitDialog();
        ExpectFitsTheScreen(dialog);
        EXPECT_EQ(dialog.SimOption()->isChecked(), c.simChecked) << c.what;
        EXPECT_EQ(dialog.PhoneOption()->isChecked(), !c.simChecked) << c.what;
        EXPECT_EQ(dialog.SimOption()->isEnabled(), c.simEnabled) << c.what;
        EXPECT_EQ(dialog.PhoneOption()->isEnabled(), c.phoneEnabled) << c.what;
        QTest::keyClicks(dialog.NameEdit(), QStringLiteral("A").repeated(50));
        EXPECT_EQ(dialog.NameEdit()->text().size(), c.nameLimit) << c.what;
    }
}

TEST(ModifyDlg, OkAsksAboutLongTextsAndRefusesBadNumbers)
{
    const QString name25 = QStringLiteral("Abcdefghijklmnopqrstuvwxy"), name14 = name25.left(14);
    const QString ones25 = QStringLiteral("1").repeated(25);
    const struct {
        const char* what; QString number; QList<int> answers; bool accepted; QString name, numberAfter; int boxes;
    } cases[] = {
        {"cut name", "123", {IDYES}, true, name14, "123", 1},
        {"keep name", "123", {IDNO}, false, name25, "123", 1},
        {"both long, no to the number", ones25, {IDYES, IDNO}, false, name14, ones25, 2},
        {"both cut", ones25, {IDYES, IDYES}, true, name14, ones25.left(20), 2},
        {"bad number", "abc", {}, false, name25, "abc", 1},
    };
    const CAppSettings settings = DialogTestSizes();
    for (const auto& c : cases) {
        RecordedMessages answers;
        answers.SetAnswers(c.answers);
        CModifyDlg dialog(settings);
        dialog.m_Name = name25;  // longer than the limit: text already there is not cut
        dialog.m_Number = c.number;
        dialog.m_nMemory = 1;
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.NameEdit()->text(), name25) << c.what;
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.what;
        EXPECT_EQ(dialog.NameEdit()->text(), c.name) << c.what;
        EXPECT_EQ(dialog.NumberEdit()->text(), c.numberAfter) << c.what;
        ASSERT_EQ(answers.Texts().size(), c.boxes) << c.what;
        if (c.name == name14) {
            EXPECT_EQ(answers.Texts()[0], "The name you have entered is too long. Do you wish to use " + name14 + " instead?");
        }
        if (c.accepted) {
            EXPECT_EQ(dialog.m_Name, c.name);
            EXPECT_EQ(dialog.m_nMemory, 0);  // SIM on return
        }
    }
}

// Where Tab goes from `from`: the next widget that takes the focus by Tab.
QWidget* NextTabStop(QWidget* from)
{
    QWidget* next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

// Trusted sizes come from what the stores reported; own values are
// range-checked before anything is kept.
TEST(OptionsDlg, OkKeepsTrustedOrCheckedSizes)
{
    // What is typed into the SIM name edit, and the sizes kept on OK.
    const struct {
        const char* what; bool trust; const char* simName; bool accepted; int simNameSize, simNumberSize, phoneNameSize;
    } cases[] = {
        {"trusted", true, "99", true, 14, 40, 18},
        {"own values", false, "30", true, 30, 20, 20},
        {"out of range", false, "401", false, 20, 20, 20},
        {"not a number", false, "x", false, 20, 20, 20},
    };
    ResetRegistry();
    CDeviceWorker worker;
    for (const auto& c : cases) {
        RecordedMessages messages;
        CAppSettings settings;
        settings.UseDefault = false;
        std::tie(settings.ReportedSIMNameSize, settings.ReportedSIMNumberSize, settings.ReportedPhoneNameSize,
                 settings.ReportedPhoneNumberSize) = std::tuple(14, 40, 18, 32);
        COptionsDlg dialog(settings, worker);
        dialog.m_SimNameSize = dialog.m_SimNumberSize = dialog.m_PhoneNameSize = dialog.m_PhoneNumberSize = 20;
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.SimReported()->text(), QStringLiteral("SIM: name: 14, number: 40 chars")) << c.what;
        QTest::mouseClick(c.trust ? dialog.TrustOption() : dialog.OwnOption(), Qt::LeftButton);
        // Trusted sizes are not typed: the edits take nothing then. Tab
        // goes from Autodetect through the sizes to OK.
        EXPECT_EQ(dialog.SizeEdit(0)->isEnabled(), !c.trust) << c.what;
        if (!c.trust) {
            EXPECT_EQ(NextTabStop(dialog.AutodetectButton()), dialog.SizeEdit(0));
            EXPECT_EQ(NextTabStop(dialog.SizeEdit(3)), dialog.OkButton());
        }
        dialog.SizeEdit(0)->selectAll();
        QTest::keyClicks(dialog.SizeEdit(0), QString::fromLatin1(c.simName));
        // A name size is bytes of the SIM's field: its label says what that holds in UCS2.
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        const int typed = dialog.SizeEdit(0)->text().toInt();
        EXPECT_TRUE(labels.contains(QStringLiteral("characters of the GSM alphabet, %1 in other scripts (UCS2)").arg(qMax(0, (typed - 1) / 2))))
            << c.what << ": " << labels.join(u'|').toStdString();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.what;
        EXPECT_EQ(messages.Texts().size(), c.accepted ? 0 : 1) << c.what;
        ExpectFitsTheScreen(dialog);
        if (!c.accepted)
            continue;
        EXPECT_EQ(settings.UseDefault, c.trust) << c.what;
        EXPECT_EQ(settings.SIMNameSize, c.simNameSize) << c.what;
        EXPECT_EQ(settings.SIMNumberSize, c.simNumberSize) << c.what;
        EXPECT_EQ(settings.PhoneNameSize, c.phoneNameSize) << c.what;
    }
}

QMap<QString, QString> Numbers(int count)
{
    static const char* tags[] = {"w", "m", "h", "h2", "c", "a", "w2"};
    QMap<QString, QString> numbers;
    for (int i = 0; i < count; ++i)
        numbers[QString::fromLatin1(tags[i])] = QStringLiteral("+46 70-%1").arg(i);
    return numbers;
}

TEST(AddToPhoneBookDlg, RowsPagesAndTicks)
{
    CAppSettings settings = DialogTestSizes();
    RecordedMessages answers;

    CAddToPhoneBookDlg two(settings);
    two.Fill(QStringLiteral("Anna Bergqvist"), Numbers(2));  // 14 characters
    two.OnInitDialog();
    EXPECT_EQ(two.NameEdit(0)->text(), QStringLiteral("Anna Bergq(m)"));  // cut to 10 before the tag
    EXPECT_EQ(two.NameEdit(1)->text(), QStringLiteral("Anna Bergq(w)"));
    EXPECT_EQ(two.NumberEdit(0)->text(), QStringLiteral("+46701"));
    EXPECT_FALSE(two.TickBox(0)->isChecked());
    QTest::mouseClick(two.PhoneOption(), Qt::LeftButton);
    EXPECT_EQ(two.NameEdit(0)->text(), QStringLiteral("Anna Bergqvist(m)"));
    QTest::mouseClick(two.ReverseBox(), Qt::LeftButton);
    EXPECT_EQ(two.NameEdit(0)->text(), QStringLiteral("Bergqvist, Anna(m)"));

    // An edit survives Check all; OK with nothing ticked asks first.
    two.NameEdit(1)->clear();
    QTest::keyClicks(two.NameEdit(1), QStringLiteral("Office"));
    QTest::mouseClick(two.ClearAllButton(), Qt::LeftButton);
    answers.SetAnswers({IDNO});
    QTest::mouseClick(two.OkButton(), Qt::LeftButton);
    EXPECT_EQ(answers.Texts(), QStringList{"No contacts were selected. Continue?"});
    EXPECT_NE(two.result(), QDialog::Accepted);
    QTest::mouseClick(two.CheckAllButton(), Qt::LeftButton);
    EXPECT_EQ(two.NameEdit(1)->text(), QStringLiteral("Office"));
    QTest::mouseClick(two.OkButton(), Qt::LeftButton);
    EXPECT_EQ(two.result(), QDialog::Accepted);
    EXPECT_FALSE(two.m_bSimChosen);
    EXPECT_TRUE(two.Rows()[1].ticked);

    // A pause and a wait stay; a letter is named and nothing is accepted.
    CAddToPhoneBookDlg office(settings);
    office.Fill(QStringLiteral("Ed"), {{QStringLiteral("m"), QStringLiteral("555-CALL")},
                                       {QStringLiteral("w"), QStringLiteral("08-12 34 P5 W6")}});
    office.OnInitDialog();
    EXPECT_EQ(office.NumberEdit(1)->text(), QStringLiteral("081234p5w6"));
    QTest::mouseClick(office.CheckAllButton(), Qt::LeftButton);
    QTest::mouseClick(office.OkButton(), Qt::LeftButton);
    EXPECT_NE(office.result(), QDialog::Accepted);
    EXPECT_TRUE(answers.Texts().last().contains(QStringLiteral("it holds \"C\""))) << answers.Texts().last().toStdString();

    // Seven numbers take two pages.
    CAddToPhoneBookDlg seven(settings);
    seven.Fill(QStringLiteral("Cy"), Numbers(7));
    seven.OnInitDialog();
    ExpectFitsTheScreen(seven);
    for (const int page : {0, 1}) {
        EXPECT_EQ(seven.Page(), page);
        EXPECT_EQ(seven.PreviousButton()->isEnabled(), page == 1);
        EXPECT_EQ(seven.NextButton()->isEnabled(), page == 0);
        QTest::mouseClick(seven.NextButton(), Qt::LeftButton);
    }
    EXPECT_FALSE(seven.NameEdit(1)->text().isEmpty());
    EXPECT_TRUE(seven.NameEdit(2)->text().isEmpty());
}

TEST(AddContactDlg, NameEditorAndWhatTheContactGets)
{
    RecordedMessages answers;
    const struct { const char* name; bool useEditor; const char* first; const char* last; const char* suffix; } cases[] = {
        {"Anna Berg", false, "Anna", "Berg", ""},
        {"Solo", false, "Solo", "", ""},
        {"", false, "Unnamed", "", ""},
        {"dr eva maria lind jr phd", true, "Eva", "Lind", "Jr phd"},
    };
    for (const auto& c : cases) {
        const QString folder = NewTempFolder(QStringLiteral("contacts"));
        CAddContactDlg dialog(QString::fromLatin1(c.name), QStringLiteral("0701234"), folder);
        dialog.show();
        if (c.useEditor) {
            dialog.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            QTest::mouseClick(dialog.NameField(), Qt::LeftButton);
            CNameEditor* editor = dialog.NameEditor();
            ASSERT_TRUE(editor->isVisible());
            EXPECT_EQ(editor->Edit(ContactNameParts::Suffix)->text(), QStringLiteral("jr phd"));
            // The editor opens inside its dialog, every part whole.
            ASSERT_TRUE(WaitUntil([&] { return dialog.rect().contains(editor->geometry()); }));
            ExpectFitsTheScreen(dialog);
            for (int part = 0; part < ContactNameParts::Count; ++part) {
                const QLineEdit* edit = editor->Edit(part);
                EXPECT_TRUE(editor->rect().contains(edit->geometry())) << part;
                EXPECT_GE(edit->height(), edit->minimumSizeHint().height()) << part;
            }
            // Leaving each edit makes its first letter upper case; Tab goes
            // through the parts in order, then on to the job title.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            EXPECT_EQ(QApplication::focusWidget(), editor->Edit(ContactNameParts::Title));
            for (int part = 0; part < ContactNameParts::Count; ++part)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), dialog.JobTitleEdit());
            ASSERT_TRUE(WaitUntil([&] { return editor->isHidden(); }, 5000));
            EXPECT_EQ(dialog.NameField()->text(), QStringLiteral("Dr Eva Maria Lind Jr phd"));
        }
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(answers.Texts().value(0), QStringLiteral("Save Contact?"));
        answers.Clear();

        CContactsStore store(folder);
        ASSERT_TRUE(store.LogOn());
        ASSERT_EQ(store.Count(), 1) << c.name;
        const auto item = store.ItemAt(0);
        EXPECT_EQ(item->Property(ContactProperty::FirstName), QString::fromLatin1(c.first)) << c.name;
        EXPECT_EQ(item->Property(ContactProperty::LastName), QString::fromLatin1(c.last)) << c.name;
        EXPECT_EQ(item->Property(ContactProperty::Suffix), QString::fromLatin1(c.suffix)) << c.name;
        EXPECT_EQ(item->Field(FIELD_WORK_TEL), QStringLiteral("0701234")) << c.name;  // "Select tel"
    }
}

TEST(AboutDlg, FitsTheScreen)
{
    CAboutDlg about;
    ExpectFitsTheScreen(about);
}

}  // namespace
