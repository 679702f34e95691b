#include "gsmcore/link/PortList.h"
#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct ActiveDriver {
    QString subkey;
    QString name;
    QString pnpId;
    QString driverKey;
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

void AddExternalModem(const QString& subkey, int type, const QString& port, const QString& name)
{
    const QString key = QStringLiteral("ExtModems\\") + subkey;
    SetRegistryNumber(key, QStringLiteral("DeviceType"), static_cast<quint32>(type));
    SetRegistryString(key, QStringLiteral("Port"), port);
    SetRegistryString(key, QStringLiteral("FriendlyName"), name);
}

class PortListTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRegistry(); }
};

TEST_F(PortListTest, DiscoversModemsOfEveryKindInPortOrder)
{
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

TEST_F(PortListTest, MissingBaseKeysFailAndKeepTheList)
{
    CPortList list;
    EXPECT_FALSE(list.Discover());
    EXPECT_TRUE(list.IsDiscovered());
    EXPECT_EQ(list.Count(), 0);

    AddActiveDriver({"01", "COM3:", "", "Drivers\\USB\\Phone", true, 1, "Phone", 0});
    EXPECT_FALSE(list.Discover());  // no "ExtModems"
    EXPECT_EQ(list.Count(), 0);

    // The multiplexer's key gives its port, and no name.
    QString name = QStringLiteral("old");
    QString port = QStringLiteral("old");
    EXPECT_FALSE(list.ReadMervixPort(name, port));
    SetRegistryString(QStringLiteral("Software\\Orvanta\\Veldro"), QStringLiteral("Port"), QStringLiteral("MUX3:"));
    EXPECT_TRUE(list.ReadMervixPort(name, port));
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(port, QStringLiteral("MUX3:"));
}

TEST(PortNameTest, NumbersAndDisplayNames)
{
    struct Case { const char* port; int number; };
    const Case cases[] = {{"COM3:", 3}, {"COM0:", 0}, {"COMX:", -2}, {"COM10:", -1}, {"", -1}, {"/dev/ttyUSB0", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(CPortList::GetPortNumber(QString::fromLatin1(c.port)), c.number) << c.port;
    EXPECT_EQ(CPortList::MakeDisplayName(QStringLiteral("Mervix_Extra_Port")), QStringLiteral("Mervix Extra Port"));
}

}  // namespace
