#include "gsmcore/link/PortList.h"
#include "support/RegistryStore.h"
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
              "S:serial/by-id/usb-Huawei\nE:ID_BUS=usb\nE:ID_VENDOR=Huawei_Technologies\nE:ID_MODEL=E1750\n"
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
    // A board's UART that ModemManager claims, and a platform port it does not.
    WriteFile(tty + QStringLiteral("/ttyAMA0/dev"), "204:64\n");
    QDir().mkpath(tty + QStringLiteral("/ttyAMA0/device"));
    WriteFile(root + QStringLiteral("/udev/c204:64"), "E:ID_MM_CANDIDATE=1\nE:ID_MODEL=SIM800\n");
    QDir().mkpath(root + QStringLiteral("/bus/platform"));
    QDir().mkpath(tty + QStringLiteral("/ttyUSB9/device"));
    QFile::link(root + QStringLiteral("/bus/platform"), tty + QStringLiteral("/ttyUSB9/device/subsystem"));
    WriteFile(tty + QStringLiteral("/tty1/dev"), "4:1\n");  // a console: no device
    return root;
}

// The ports found with their names, then published: a modem set up by
// hand survives, publishing again replaces and never doubles, and the
// ports live in memory, not in the registry file.
TEST(SystemSerialPortsTest, FindsPortsWithTheirNamesAndPublishesThem)
{
    ResetRegistry();
    SetRegistryNumber(QStringLiteral("ExtModems\\Sim"), QStringLiteral("DeviceType"), 1);
    SetRegistryString(QStringLiteral("ExtModems\\Sim"), QStringLiteral("Port"), QStringLiteral("/dev/pts/7"));
    SetRegistryString(QStringLiteral("ExtModems\\Sim"), QStringLiteral("FriendlyName"), QStringLiteral("Simulator"));
    const QString root = MakeFakeSystem();
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

    QFile file(CRegistryStore::Instance().Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    PublishSerialPorts(ports);
    ports.pop_back();
    ports.pop_back();
    PublishSerialPorts(ports);

    CPortList list;
    ASSERT_TRUE(list.Discover());
    EXPECT_EQ(list.Ports(), (QStringList{"/dev/pts/7", "/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS1"}));
    EXPECT_EQ(list.Names()[0], QStringLiteral("Simulator"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    ResetRegistry();
}

}  // namespace
