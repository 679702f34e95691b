#include "gsmcore/link/PortList.h"
#include "platform/serial/SystemSerialPorts.h"
#include "tests/TestEnvironment.h"
#include "tests/app/AppTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A small /sys/class/tty and /run/udev/data as a machine with a USB modem,
// a CDC phone without udev, a UART-less legacy port and a pty shows them.
QString MakeFakeSystem()
{
    const QString root = TestTempDir() + QStringLiteral("/fake-sys");
    QDir(root).removeRecursively();
    const QString tty = root + QStringLiteral("/class/tty");
    WriteFile(tty + QStringLiteral("/ttyUSB0/dev"), "188:0\n");
    QDir().mkpath(tty + QStringLiteral("/ttyUSB0/device"));
    WriteFile(root + QStringLiteral("/udev/c188:0"),
              "S:serial/by-id/usb-Huawei\nE:ID_VENDOR=Huawei_Technologies\nE:ID_MODEL=E1750\n"
              "E:ID_MODEL_FROM_DATABASE=E1750 HSPA Modem\nE:ID_VENDOR_FROM_DATABASE=Huawei Technologies Co., Ltd.\n");
    WriteFile(tty + QStringLiteral("/ttyACM0/dev"), "166:0\n");
    WriteFile(tty + QStringLiteral("/ttyACM0/usbif/product"), "Nokia 6310i\n");
    QDir().mkpath(tty + QStringLiteral("/ttyACM0/usbif/device"));
    QFile::link(tty + QStringLiteral("/ttyACM0/usbif/device"), tty + QStringLiteral("/ttyACM0/device"));
    WriteFile(tty + QStringLiteral("/ttyS0/dev"), "4:64\n");
    WriteFile(tty + QStringLiteral("/ttyS0/type"), "0\n");
    QDir().mkpath(tty + QStringLiteral("/ttyS0/device"));
    WriteFile(tty + QStringLiteral("/ttyS1/type"), "4\n");
    QDir().mkpath(tty + QStringLiteral("/ttyS1/device"));
    WriteFile(tty + QStringLiteral("/tty1/dev"), "4:1\n");  // a console: no device
    return root;
}

TEST(SystemSerialPortsTest, FindsPortsWithTheirNames)
{
    const QString root = MakeFakeSystem();
    const auto ports = FindSystemSerialPorts(root + QStringLiteral("/class/tty"), root + QStringLiteral("/udev"));
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[0].device, QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(ports[0].friendlyName, QStringLiteral("Nokia 6310i (ttyACM0)"));
    EXPECT_TRUE(ports[0].modem);
    EXPECT_EQ(ports[1].kernelName, QStringLiteral("ttyS0"));
    EXPECT_FALSE(ports[1].modem);
    EXPECT_EQ(ports[2].kernelName, QStringLiteral("ttyS1"));
    EXPECT_TRUE(ports[2].modem);
    EXPECT_EQ(ports[3].friendlyName, QStringLiteral("Huawei Technologies Co., Ltd. E1750 HSPA Modem (ttyUSB0)"));
    EXPECT_TRUE(ports[3].modem);
}

TEST(SystemSerialPortsTest, PublishedPortsAreDiscovered)
{
    ResetRegistry();
    // A modem set up by hand survives publishing.
    SetRegistryNumber(QStringLiteral("ExtModems\\Sim"), QStringLiteral("DeviceType"), 1);
    SetRegistryString(QStringLiteral("ExtModems\\Sim"), QStringLiteral("Port"), QStringLiteral("/dev/pts/7"));
    SetRegistryString(QStringLiteral("ExtModems\\Sim"), QStringLiteral("FriendlyName"), QStringLiteral("Simulator"));
    const QString root = MakeFakeSystem();
    auto ports = FindSystemSerialPorts(root + QStringLiteral("/class/tty"), root + QStringLiteral("/udev"));
    ASSERT_TRUE(PublishSerialPorts(ports));
    // Publishing again replaces, never doubles.
    ports.pop_back();
    ASSERT_TRUE(PublishSerialPorts(ports));

    CPortList list;
    ASSERT_TRUE(list.Discover());
    EXPECT_EQ(list.Ports(), (QStringList{"/dev/pts/7", "/dev/ttyACM0", "/dev/ttyS1"}));
    EXPECT_EQ(list.Names()[0], QStringLiteral("Simulator"));
}

}  // namespace
