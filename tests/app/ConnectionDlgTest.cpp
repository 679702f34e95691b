// The connection dialog over the registry's port lists: what it offers,
// what OK keeps and Cancel leaves, and the baud rates it takes.

#include "app/dialogs/ConnectionDlg.h"
#include "tests/app/AppTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

class ConnectionDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRegistry();
        SetRegistryString(QStringLiteral("Drivers\\Active"), QStringLiteral("Placeholder"), QString());
        const char* modems[][2] = {{"MUX1:", "Mervix Phone"}, {"MUX2:", "mervix data"}, {"MUX3:", "Mervix Extra"},
                                   {"/dev/ttyACM0", "Phone Cable"}};
        for (int i = 0; i < 4; ++i) {
            const QString key = QStringLiteral("ExtModems\\%1").arg(i);
            SetRegistryNumber(key, QStringLiteral("DeviceType"), 1);
            SetRegistryString(key, QStringLiteral("Port"), QString::fromLatin1(modems[i][0]));
            SetRegistryString(key, QStringLiteral("FriendlyName"), QString::fromLatin1(modems[i][1]));
        }
    }
};

// The multiplexer's own ports are not offered; the stored connection is
// shown chosen even when it is not found; OK keeps the choice, Cancel
// keeps what was stored.
TEST_F(ConnectionDlgTest, OffersThePortsAndKeepsTheChoice)
{
    CConnectionDlg fresh;
    fresh.OnInitDialog();
    EXPECT_EQ(Items(*fresh.ConnectionList()), (QStringList{"None", "Phone Cable", "Mervix Extra", "Simulate"}));
    // The choice nullptr is Cancel.
    const struct {
        const char* stored; const char* storedPort; const char* choose; const char* port; const char* name; int speed;
    } cases[] = {
        {"None", "", "Phone Cable", "/dev/ttyACM0", "Phone Cable", 9600},
        {"Old Modem", "/dev/ttyUSB7", "Old Modem", "/dev/ttyUSB7", "Old Modem", 9600},
        {"None", "", "Simulate", "99", "Simulate", 9600},
        {"Simulate", "99", "None", "", "None", 9600},
        {"Phone Cable", "/dev/ttyACM0", "None", "", "None", 9600},
        {"Phone Cable", "/dev/ttyACM0", nullptr, "/dev/ttyACM0", "Phone Cable", 57600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " -> " << (c.choose ? c.choose : "Cancel"));
        CConnectionDlg dialog;
        dialog.m_TapiDevice = QString::fromLatin1(c.stored);
        dialog.m_ComPort = QString::fromLatin1(c.storedPort);
        dialog.m_Speed = c.speed;
        dialog.m_bVirtualPort = true;
        dialog.m_Prompt = QStringLiteral("Where is the GSM device?");
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.PromptLabel()->text(), dialog.m_Prompt);
        EXPECT_EQ(dialog.ConnectionList()->currentText(), QString::fromLatin1(c.stored));
        EXPECT_EQ(Items(*dialog.ConnectionList()).count(QStringLiteral("Simulate")), 1);
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
        // The stored connection's virtual flag goes with it only.
        EXPECT_EQ(dialog.m_bVirtualPort, !c.choose || qstrcmp(c.choose, c.stored) == 0);
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
        EXPECT_EQ(Items(*dialog.BaudList()), c.rates);
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

TEST_F(ConnectionDlgTest, FailedDiscoveryIsReportedOnce)
{
    ResetRegistry();
    RecordedMessages messages;
    CConnectionDlg dialog;
    dialog.m_ComPort = QStringLiteral("99");
    dialog.m_TapiDevice = QStringLiteral("Simulate");
    dialog.OnInitDialog();
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Failed to identify available modem ports.")});
    EXPECT_EQ(Items(*dialog.ConnectionList()), (QStringList{"None", "Simulate"}));
    EXPECT_EQ(dialog.ConnectionList()->currentText(), QStringLiteral("None"));
}

}  // namespace
