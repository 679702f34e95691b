// The modify entry dialog as the user sees it: which memory it opens on,
// what can be changed, and the questions OK asks about long texts.

#include "app/AppSettings.h"
#include "app/dialogs/ModifyDlg.h"
#include "support/MessageBoxTypes.h"
#include "tests/app/AppTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

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
    const QString name25 = QStringLiteral("Abcdefghijklmnopqrstuvwxy");
    const struct {
        const char* what; QString number; QList<int> answers; bool accepted; QString name, numberAfter; int boxes;
    } cases[] = {
        {"cut name", QStringLiteral("123"), {IDYES}, true, name25.left(14), QStringLiteral("123"), 1},
        {"keep name", QStringLiteral("123"), {IDNO}, false, name25, QStringLiteral("123"), 1},
        {"both long, no to the number", QStringLiteral("1").repeated(25), {IDYES, IDNO}, false, name25.left(14),
         QStringLiteral("1").repeated(25), 2},
        {"both cut", QStringLiteral("1").repeated(25), {IDYES, IDYES}, true, name25.left(14),
         QStringLiteral("1").repeated(20), 2},
        {"bad number", QStringLiteral("abc"), {}, false, name25, QStringLiteral("abc"), 1},
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
        if (c.name == name25.left(14)) {
            EXPECT_EQ(answers.Texts()[0], QStringLiteral("The name you have entered is too long. Do you wish to use "
                                                       "Abcdefghijklmn instead?"));
        }
        if (c.accepted) {
            EXPECT_EQ(dialog.m_Name, c.name);
            EXPECT_EQ(dialog.m_nMemory, 0);  // SIM on return
        }
    }
}

}  // namespace
