// The serial ports offered for a connection: the machine's own ports found
// in sysfs and udev and published into the registry's port lists, and the
// port list's helpers.

#include "gsmcore/link/PortList.h"
#include "platform/serial/SystemSerialPorts.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"

namespace {

// A port by its exact name; the multiplexer's key gives its port and no
// name; port numbers and display names come from the names alone. What
// the port list finds is the connection dialog's test.
TEST(PortListTest, NamesMervixPortAndPortNumbers)
{
    ReplaceRegistry(QStringLiteral("app/modem-set-up-by-hand.ini"));
    CPortList list;
    EXPECT_EQ(list.GetPortForName(QStringLiteral("Simulator")), QStringLiteral("/dev/pts/7"));
    EXPECT_TRUE(list.GetPortForName(QStringLiteral("simulator")).isEmpty());
    QString name = QStringLiteral("old"), port = name;
    EXPECT_FALSE(list.ReadMervixPort(name, port));
    SetRegistryString(QStringLiteral("Software\\Orvanta\\Veldro"), QStringLiteral("Port"), QStringLiteral("MUX3:"));
    EXPECT_TRUE(list.ReadMervixPort(name, port));
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(port, QStringLiteral("MUX3:"));
    const struct { const char* port; int number; } cases[] = {
        {"COM3:", 3}, {"COM0:", 0}, {"COMX:", -2}, {"COM10:", -1}, {"", -1}, {"/dev/ttyUSB0", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CPortList::GetPortNumber(QString::fromLatin1(c.port)), c.number) << c.port;
    EXPECT_EQ(CPortList::MakeDisplayName(QStringLiteral("Mervix_Extra_Port")), QStringLiteral("Mervix Extra Port"));
}

// The ports found with their names, then published: a modem set up by
// hand survives, publishing again replaces and never doubles, and the
// ports live in memory, not in the registry file.
TEST(SystemSerialPortsTest, FindsPortsWithTheirNamesAndPublishesThem)
{
    ReplaceRegistry(QStringLiteral("app/modem-set-up-by-hand.ini"));
    // A small /sys/class/tty and /run/udev/data as a machine with a USB
    // modem, a CDC phone without udev, a UART-less legacy port, a board's
    // UART that ModemManager claims, a platform port and a console show them.
    const QString root = TestDataPath(QStringLiteral("serial"));
    auto ports = FindSystemSerialPorts(root + QStringLiteral("/class/tty"), root + QStringLiteral("/udev"));
    QStringList found;
    for (const auto& port : ports)
        found << port.kernelName + u'|' + port.device + u'|' + port.friendlyName + (port.modem ? "|modem" : "");
    // A CDC phone without udev is a modem by its name; a port on a platform
    // bus is none, whatever its name.
    EXPECT_EQ(found, (QStringList{"ttyACM0|/dev/ttyACM0|Nokia 6310i (ttyACM0)|modem", "ttyAMA0|/dev/ttyAMA0|SIM800 (ttyAMA0)|modem",
                                  "ttyS0|/dev/ttyS0|ttyS0", "ttyS1|/dev/ttyS1|ttyS1|modem",
                                  "ttyUSB0|/dev/ttyUSB0|Huawei Technologies Co., Ltd. E1750 HSPA Modem (ttyUSB0)|modem",
                                  "ttyUSB9|/dev/ttyUSB9|ttyUSB9"}));

    const QByteArray before = RegistryBytes();
    PublishSerialPorts(ports);
    ports.pop_back();
    ports.pop_back();
    PublishSerialPorts(ports);

    CPortList list;
    ASSERT_TRUE(list.Discover());
    EXPECT_EQ(list.Ports(), (QStringList{"/dev/pts/7", "/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS1"}));
    EXPECT_EQ(list.Names()[0], QStringLiteral("Simulator"));
    EXPECT_EQ(RegistryBytes(), before);
}

}  // namespace
