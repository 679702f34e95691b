#include "app/dialogs/ConnectionDlg.h"
#include "tests/app/AppTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void AddExternalModem(const QString& subkey, const QString& port, const QString& name)
{
    const QString key = QStringLiteral("ExtModems\\") + subkey;
    SetRegistryNumber(key, QStringLiteral("DeviceType"), 1);
    SetRegistryString(key, QStringLiteral("Port"), port);
    SetRegistryString(key, QStringLiteral("FriendlyName"), name);
}

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
        SetRegistryString(QStringLiteral("Drivers\\Active"), QStringLiteral("Placeholder"), QStringLiteral(""));
        AddExternalModem(QStringLiteral("1"), QStringLiteral("MUX1:"), QStringLiteral("Mervix Phone"));
        AddExternalModem(QStringLiteral("2"), QStringLiteral("MUX2:"), QStringLiteral("mervix data"));
        AddExternalModem(QStringLiteral("3"), QStringLiteral("MUX3:"), QStringLiteral("Mervix Extra"));
        AddExternalModem(QStringLiteral("4"), QStringLiteral("/dev/ttyACM0"), QStringLiteral("Phone Cable"));
    }
};

TEST_F(ConnectionDlgTest, ListsPortsWithoutTheMultiplexersOwn)
{
    CConnectionDlg dialog;
    dialog.m_Prompt = QStringLiteral("Where is the GSM device?");
    dialog.OnInitDialog();
    EXPECT_EQ(Items(*dialog.ConnectionList()),
              (QStringList{"None", "Phone Cable", "Mervix Extra", "Simulate"}));
    EXPECT_EQ(dialog.ConnectionList()->currentText(), QStringLiteral("None"));
    EXPECT_EQ(dialog.PromptLabel()->text(), QStringLiteral("Where is the GSM device?"));
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("OK"));

    dialog.ConnectionList()->setCurrentIndex(1);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_ComPort, QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(dialog.m_TapiDevice, QStringLiteral("Phone Cable"));
    EXPECT_EQ(dialog.m_Speed, 9600);
}

TEST_F(ConnectionDlgTest, StoredConnectionNotFoundIsKept)
{
    CConnectionDlg dialog;
    dialog.m_ComPort = QStringLiteral("/dev/ttyUSB7");
    dialog.m_TapiDevice = QStringLiteral("Old Modem");
    dialog.m_bVirtualPort = true;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.ConnectionList()->currentText(), QStringLiteral("Old Modem"));
    dialog.accept();
    EXPECT_EQ(dialog.m_ComPort, QStringLiteral("/dev/ttyUSB7"));
    EXPECT_TRUE(dialog.m_bVirtualPort);
}

TEST_F(ConnectionDlgTest, SimulateAndNone)
{
    struct Case {
        const char* stored;
        const char* storedPort;
        const char* choose;
        const char* port;
        const char* name;
    };
    const Case cases[] = {
        {"Simulate", "99", "Simulate", "99", "Simulate"},
        {"None", "", "Simulate", "99", "Simulate"},
        {"Simulate", "99", "None", "", "None"},
        {"Phone Cable", "/dev/ttyACM0", "None", "", "None"},
    };
    for (const Case& c : cases) {
        CConnectionDlg dialog;
        dialog.m_TapiDevice = QString::fromLatin1(c.stored);
        dialog.m_ComPort = QString::fromLatin1(c.storedPort);
        dialog.m_bVirtualPort = true;
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.ConnectionList()->currentText(), QString::fromLatin1(c.stored));
        EXPECT_EQ(Items(*dialog.ConnectionList()).count(QStringLiteral("Simulate")), 1);
        dialog.ConnectionList()->setCurrentIndex(dialog.ConnectionList()->findText(QString::fromLatin1(c.choose)));
        dialog.accept();
        EXPECT_EQ(dialog.m_ComPort, QString::fromLatin1(c.port)) << c.stored << " -> " << c.choose;
        EXPECT_EQ(dialog.m_TapiDevice, QString::fromLatin1(c.name));
        EXPECT_FALSE(dialog.m_bVirtualPort);
    }
}

TEST_F(ConnectionDlgTest, BaudRateListTakesTheStoredRate)
{
    struct Case {
        int stored;
        int selectedRow;
        QStringList rates;
    };
    const QStringList standard = {"2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"};
    const Case cases[] = {
        {9600, 2, standard},
        {115200, 6, standard},
        // Shown as stored, though OK will not take it.
        {14400, 3, QStringList{"2400", "4800", "9600", "14400"} + standard.mid(3)},
        // The prefix search takes "1" for the first rate after the first entry.
        {1, 3, standard},
    };
    for (const Case& c : cases) {
        CConnectionDlg dialog;
        dialog.m_Speed = c.stored;
        dialog.OnInitDialog();
        EXPECT_EQ(Items(*dialog.BaudList()), c.rates) << c.stored;
        EXPECT_EQ(dialog.BaudList()->currentIndex(), c.selectedRow) << c.stored;
    }
}

// OK takes only a rate the serial port can be set to.
TEST_F(ConnectionDlgTest, OkTakesOnlySettableRates)
{
    RecordedMessages messages;
    const struct {
        const char* typed;
        bool accepted;
    } cases[] = {{"14400", false}, {"fast", false}, {"57600", true}};
    for (const auto& c : cases) {
        messages.Clear();
        CConnectionDlg dialog;
        dialog.m_Speed = 9600;
        dialog.OnInitDialog();
        dialog.BaudList()->lineEdit()->selectAll();
        QTest::keyClicks(dialog.BaudList()->lineEdit(), QString::fromLatin1(c.typed));
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dialog.m_Speed, c.accepted ? 57600 : 9600) << c.typed;
        EXPECT_EQ(messages.Texts().size(), c.accepted ? 0 : 1) << c.typed;
        if (!c.accepted) {
            EXPECT_TRUE(messages.Texts().value(0).startsWith(QStringLiteral("The serial port cannot run"))) << c.typed;
        }
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

TEST_F(ConnectionDlgTest, CancelLeavesTheFields)
{
    CConnectionDlg dialog;
    dialog.m_ComPort = QStringLiteral("/dev/ttyACM0");
    dialog.m_TapiDevice = QStringLiteral("Phone Cable");
    dialog.m_Speed = 57600;
    dialog.OnInitDialog();
    dialog.ConnectionList()->setCurrentIndex(0);
    dialog.BaudList()->setCurrentIndex(0);
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.m_ComPort, QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(dialog.m_Speed, 57600);
}

}  // namespace
