// The two dialogs between Contacts and the phone books, driven as a user
// drives them: the rows a contact gives for the SIM or the phone, and the
// contact form that makes a new contact from an entry.

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
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

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
    const QString folder = FreshContactsFolder();
    RecordedMessages answers;
    const struct { const char* name; bool useEditor; const char* first; const char* last; const char* suffix; } cases[] = {
        {"Anna Berg", false, "Anna", "Berg", ""},
        {"Solo", false, "Solo", "", ""},
        {"", false, "Unnamed", "", ""},
        {"dr eva maria lind jr phd", true, "Eva", "Lind", "Jr phd"},
    };
    for (const auto& c : cases) {
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
        bool found = false;
        for (int i = 0; i < store.Count(); ++i) {
            const auto item = store.ItemAt(i);
            if (item->Property(ContactProperty::FirstName) != QLatin1String(c.first))
                continue;
            found = true;
            EXPECT_EQ(item->Property(ContactProperty::LastName), QString::fromLatin1(c.last)) << c.name;
            EXPECT_EQ(item->Property(ContactProperty::Suffix), QString::fromLatin1(c.suffix)) << c.name;
            EXPECT_EQ(item->Field(FIELD_WORK_TEL), QStringLiteral("0701234")) << c.name;  // "Select tel"
        }
        EXPECT_TRUE(found) << c.name;
    }
}

// Every dialog fits a 1280 x 800 screen and is no smaller than its contents.
TEST(Dialogs, FitTheScreen)
{
    ResetRegistryWithoutPorts();
    RecordedMessages answers;
    CAppSettings settings = DialogTestSizes();
    CDeviceWorker worker;
    CAddContactDlg contact(QStringLiteral("Anna Berg"), QStringLiteral("0701"), FreshContactsFolder());
    CAddToPhoneBookDlg toPhoneBook(settings);
    toPhoneBook.Fill(QStringLiteral("Anna Berg"), Numbers(7));
    toPhoneBook.OnInitDialog();
    CModifyDlg modify(settings);
    modify.OnInitDialog();
    COptionsDlg options(settings, worker);
    options.OnInitDialog();
    CConnectionDlg connection;
    connection.m_Prompt = QStringLiteral("Where is the GSM device?");
    connection.OnInitDialog();
    CAboutDlg about;
    QDialog* dialogs[] = {&contact, &toPhoneBook, &modify, &options, &connection, &about};
    for (QDialog* dialog : dialogs) {
        dialog->show();
        if (dialog == &contact)
            contact.OpenNameEditor();
        ASSERT_TRUE(WaitUntil([&] { return dialog->size().expandedTo(dialog->minimumSizeHint()) == dialog->size(); }))
            << dialog->objectName().toStdString();
        EXPECT_LE(dialog->width(), 1280) << dialog->objectName().toStdString();
        EXPECT_LE(dialog->height(), 800) << dialog->objectName().toStdString();
        dialog->hide();
    }
}

}  // namespace
