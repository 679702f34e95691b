// The options dialog's OK: trusted sizes come from what the stores
// reported, own values are range-checked before anything is kept.

#include "app/AppSettings.h"
#include "app/DeviceWorker.h"
#include "app/dialogs/OptionsDlg.h"
#include "support/MessageBoxTypes.h"
#include "tests/app/AppTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Where Tab goes from `from`: the next widget that takes the focus by Tab.
QWidget* NextTabStop(QWidget* from)
{
    QWidget* next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

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
    RecordedMessages messages;
    CDeviceWorker worker;
    for (const auto& c : cases) {
        CAppSettings settings;
        settings.UseDefault = false;
        settings.ReportedSIMNameSize = 14;
        settings.ReportedSIMNumberSize = 40;
        settings.ReportedPhoneNameSize = 18;
        settings.ReportedPhoneNumberSize = 32;
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
        // Autodetect says what it does to the device before it starts.
        messages.SetAnswers({IDNO});
        QTest::mouseClick(dialog.AutodetectButton(), Qt::LeftButton);
        EXPECT_EQ(messages.Texts().value(messages.Texts().size() - 1),
                  QStringLiteral("WARNING: This may take several minutes. Continue?\nAutodetect writes test entries to a "
                                 "free location of the SIM and of the phone memory and deletes them again."));
        const int boxesBefore = int(messages.Texts().size());
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.what;
        EXPECT_EQ(int(messages.Texts().size()) - boxesBefore, c.accepted ? 0 : 1) << c.what;
        if (!c.accepted)
            continue;
        EXPECT_EQ(settings.UseDefault, c.trust) << c.what;
        EXPECT_EQ(settings.SIMNameSize, c.simNameSize) << c.what;
        EXPECT_EQ(settings.SIMNumberSize, c.simNumberSize) << c.what;
        EXPECT_EQ(settings.PhoneNameSize, c.phoneNameSize) << c.what;
    }
}

}  // namespace
