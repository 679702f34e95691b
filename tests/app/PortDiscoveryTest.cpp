// The serial ports offered for a connection: the registry's port lists as
// the port list reads them, and the machine's own ports found in sysfs and
// udev and published into those lists.

#include "gsmcore/link/PortList.h"
#include "platform/serial/SystemSerialPorts.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"

namespace {

struct ActiveDriver {
    QString subkey, name, pnpId, driverKey;
    bool unimodemSubkey;
    int deviceType;  // -1: none stored
    QString friendlyName;
    int virtualPort;  // -1: none stored
};

void AddActiveDriver(const ActiveDriver& d)
{
    const QString active = QStringLiteral("Drivers\\Active\\") + d.subkey;
    SetRegistryString(active, QStringLiteral("Name"), d.name);
    if (!d.pnpId.isEmpty())
        SetRegistryString(active, QStringLiteral("PnpId"), d.pnpId);
    SetRegistryString(active, QStringLiteral("Key"), d.driverKey);
    const QString ref = d.unimodemSubkey ? d.driverKey + QStringLiteral("\\Unimodem") : d.driverKey;
    if (d.deviceType >= 0)
        SetRegistryNumber(ref, QStringLiteral("DeviceType"), static_cast<quint32>(d.deviceType));
    else
        SetRegistryString(ref, QStringLiteral("Other"), QStringLiteral("x"));
    if (!d.friendlyName.isEmpty())
        SetRegistryString(ref, QStringLiteral("FriendlyName"), d.friendlyName);
    if (d.virtualPort >= 0)
        SetRegistryNumber(ref, QStringLiteral("VirtualPort"), static_cast<quint32>(d.virtualPort));
}

// A machine's registry: the active drivers that are modems and the modems
// set up by hand, merged by port and sorted by it.
TEST(PortListTest, DiscoversModemsOfEveryKindInPortOrder)
{
    ResetRegistry();
    const ActiveDriver drivers[] = {
        // A PC-card serial driver whose Unimodem type is 0 counts as a PC-card modem.
        {"01", "COM3:", "", "Drivers\\PCMCIA\\Serial", true, 0, "Card Modem", 0},
        // Without a Unimodem subkey the driver key itself is read.
        {"02", "COM10:", "", "Drivers\\BuiltIn\\Serial10", false, 2, "Internal", 1},
        // No friendly name: the PnpId without its last five characters.
        {"03", "COM2:", "Acme-Phone-1234", "Drivers\\USB\\Acme", true, 1, "", -1},
        // Not a modem.
        {"04", "COM1:", "", "Drivers\\BuiltIn\\Serial1", true, 0, "Serial Cable", 0},
        // No friendly name and no PnpId.
        {"05", "COM4:", "", "Drivers\\USB\\Nameless", true, 1, "", 0},
        // No device type at all.
        {"06", "COM5:", "", "Drivers\\USB\\Typeless", true, -1, "Typeless", 0},
    };
    for (const ActiveDriver& d : drivers)
        AddActiveDriver(d);
    // Same port and type as COM10: renames it; another port is added.
    AddExternalModem(QStringLiteral("A"), 2, QStringLiteral("com10:"), QStringLiteral("Renamed Internal"));
    AddExternalModem(QStringLiteral("B"), 1, QStringLiteral("/dev/rfcomm0"), QStringLiteral("Bluetooth Phone"));
    AddExternalModem(QStringLiteral("C"), 7, QStringLiteral("COM8:"), QStringLiteral("Fax"));

    CPortList list;
    ASSERT_TRUE(list.Discover());
    EXPECT_EQ(list.Ports(), (QStringList{"/dev/rfcomm0", "COM10:", "COM2:", "COM3:"}));
    EXPECT_EQ(list.Names(), (QStringList{"Bluetooth Phone", "Renamed Internal", "Acme-Phone", "Card Modem"}));
    EXPECT_EQ(list.VirtualFlags(), QByteArray("\0\1\0\0", 4));
    EXPECT_EQ(list.GetPortForName(QStringLiteral("Card Modem")), QStringLiteral("COM3:"));
    EXPECT_TRUE(list.GetPortForName(QStringLiteral("card modem")).isEmpty());
}

// The multiplexer's key gives its port and no name; port numbers and
// display names come from the names alone.
TEST(PortListTest, MervixPortNumbersAndDisplayNames)
{
    ResetRegistry();
    CPortList list;
    QString name = QStringLiteral("old");
    QString port = QStringLiteral("old");
    EXPECT_FALSE(list.ReadMervixPort(name, port));
    SetRegistryString(QStringLiteral("Software\\Orvanta\\Veldro"), QStringLiteral("Port"), QStringLiteral("MUX3:"));
    EXPECT_TRUE(list.ReadMervixPort(name, port));
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(port, QStringLiteral("MUX3:"));
    struct Case { const char* port; int number; };
    const Case cases[] = {{"COM3:", 3}, {"COM0:", 0}, {"COMX:", -2}, {"COM10:", -1}, {"", -1}, {"/dev/ttyUSB0", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(CPortList::GetPortNumber(QString::fromLatin1(c.port)), c.number) << c.port;
    EXPECT_EQ(CPortList::MakeDisplayName(QStringLiteral("Mervix_Extra_Port")), QStringLiteral("Mervix Extra Port"));
}

// The ports found with their names, then published: a modem set up by
// hand survives, publishing again replaces and never doubles, and the
// ports live in memory, not in the registry file.
TEST(SystemSerialPortsTest, FindsPortsWithTheirNamesAndPublishesThem)
{
    ResetRegistry();
    AddExternalModem(QStringLiteral("Sim"), 1, QStringLiteral("/dev/pts/7"), QStringLiteral("Simulator"));
    // A small /sys/class/tty and /run/udev/data as a machine with a USB
    // modem, a CDC phone without udev, a UART-less legacy port, a board's
    // UART that ModemManager claims, a platform port and a console show them.
    const QString root = TestDataPath(QStringLiteral("serial"));
    auto ports = FindSystemSerialPorts(root + QStringLiteral("/class/tty"), root + QStringLiteral("/udev"));
    const struct { const char* kernelName; const char* friendlyName; bool modem; } expected[] = {
        {"ttyACM0", "Nokia 6310i (ttyACM0)", true},  // no udev: the name tells
        {"ttyAMA0", "SIM800 (ttyAMA0)", true},
        {"ttyS0", "ttyS0", false},
        {"ttyS1", "ttyS1", true},
        {"ttyUSB0", "Huawei Technologies Co., Ltd. E1750 HSPA Modem (ttyUSB0)", true},
        {"ttyUSB9", "ttyUSB9", false},  // on a platform bus, whatever its name
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].kernelName, QString::fromLatin1(expected[i].kernelName));
        EXPECT_EQ(ports[i].device, QStringLiteral("/dev/") + QString::fromLatin1(expected[i].kernelName));
        EXPECT_EQ(ports[i].friendlyName, QString::fromUtf8(expected[i].friendlyName));
        EXPECT_EQ(ports[i].modem, expected[i].modem) << expected[i].kernelName;
    }

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
    ResetRegistry();
}

}  // namespace
