#include "app/AppSettings.h"
#include "support/RegistryStore.h"
#include "support/Registry.h"
#include "tests/app/AppTestSupport.h"

#include <QLockFile>

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Orvanta\\Tessaly");

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRegistry(); }
};

TEST_F(AppSettingsTest, EmptyRegistryNeedsDefaults)
{
    CAppSettings settings;
    EXPECT_FALSE(settings.Load());
    settings.ApplyDefaults();
    EXPECT_TRUE(settings.ShowSim);
    EXPECT_TRUE(settings.ShowPhone);
    EXPECT_TRUE(settings.ShowContacts);
    EXPECT_TRUE(settings.UseDefault);
    EXPECT_EQ(settings.SIMNameSize, 20);
    EXPECT_EQ(settings.PhoneNumberSize, 20);
    EXPECT_EQ(settings.Speed, 9600);
    EXPECT_TRUE(settings.ComPort.isEmpty());
    EXPECT_EQ(settings.TapiDevice, QStringLiteral("None"));
    // Load made the key.
    CRegistry key;
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);
}

TEST_F(AppSettingsTest, SaveThenLoadKeepsEveryValue)
{
    CAppSettings written;
    written.ComPort = QStringLiteral("/dev/ttyUSB0");
    written.TapiDevice = QStringLiteral("Huawei E1750 (ttyUSB0)");
    written.VirtualPort = true;
    written.Speed = 115200;
    written.ShowSim = false;
    written.ShowContacts = false;
    written.UseDefault = false;
    written.SIMNameSize = 14;
    written.SIMNumberSize = 40;
    written.PhoneNameSize = 18;
    written.PhoneNumberSize = 32;
    ASSERT_TRUE(written.Save());

    CAppSettings read;
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(read.ComPort, written.ComPort);
    EXPECT_EQ(read.TapiDevice, written.TapiDevice);
    EXPECT_TRUE(read.VirtualPort);
    EXPECT_EQ(read.Speed, 115200);
    EXPECT_FALSE(read.ShowSim);
    EXPECT_TRUE(read.ShowPhone);
    EXPECT_FALSE(read.ShowContacts);
    EXPECT_FALSE(read.UseDefault);
    EXPECT_EQ(read.SIMNameSize, 14);
    EXPECT_EQ(read.SIMNumberSize, 40);
    EXPECT_EQ(read.PhoneNameSize, 18);
    EXPECT_EQ(read.PhoneNumberSize, 32);
}

TEST_F(AppSettingsTest, FlagsAreTrueOnlyWhenStoredAsOne)
{
    struct Case {
        quint32 stored;
        bool showSim;
        bool virtualPort;
    };
    const Case cases[] = {{0, false, false}, {1, true, true}, {2, false, true}, {0xFFFFFFFF, false, true}};
    for (const Case& c : cases) {
        CAppSettings settings;
        ASSERT_TRUE(settings.Save());
        SetRegistryNumber(kKey, QStringLiteral("ShowSim"), c.stored);
        SetRegistryNumber(kKey, QStringLiteral("VirtualPort"), c.stored);
        CAppSettings read;
        EXPECT_TRUE(read.Load());
        EXPECT_EQ(read.ShowSim, c.showSim) << c.stored;
        EXPECT_EQ(read.VirtualPort, c.virtualPort) << c.stored;
    }
}

TEST_F(AppSettingsTest, MissingVirtualPortAloneKeepsTheStoredValues)
{
    CAppSettings written;
    written.ComPort = QStringLiteral("99");
    written.Speed = 19200;
    ASSERT_TRUE(written.Save());
    CRegistry key(HKEY_LOCAL_MACHINE, kKey);
    key.DeleteValue(QStringLiteral("VirtualPort"));

    CAppSettings read;
    EXPECT_TRUE(read.Load());
    EXPECT_EQ(read.ComPort, QStringLiteral("99"));
    EXPECT_EQ(read.Speed, 19200);

    key.DeleteValue(QStringLiteral("Speed"));
    CAppSettings partial;
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(partial.ComPort, QStringLiteral("99"));  // what was there is still read
    EXPECT_EQ(partial.Speed, 9600);
}

// Another program holds the registry file: a View toggle's save and the
// window's place saved on closing return while it still holds it, reads
// go on meanwhile, and both land once the file is free.
TEST_F(AppSettingsTest, SaveDoesNotWaitForAnotherProgramsLock)
{
    CAppSettings first;
    ASSERT_TRUE(first.Save());
    QLockFile other(CRegistryStore::Instance().Path() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));

    CAppSettings changed;
    changed.ShowSim = false;
    changed.Speed = 57600;
    EXPECT_TRUE(changed.Save());
    EXPECT_TRUE(CAppSettings::SaveWindowPlacement(QStringLiteral("10,20,800,600")));
    EXPECT_EQ(CAppSettings::PendingSaves(), 2);
    CAppSettings meanwhile;
    meanwhile.Load();
    EXPECT_TRUE(meanwhile.ShowSim);

    other.unlock();
    ASSERT_TRUE(CAppSettings::WaitForPendingSaves(120000));
    CAppSettings read;
    ASSERT_TRUE(read.Load());
    EXPECT_FALSE(read.ShowSim);
    EXPECT_EQ(read.Speed, 57600);
    EXPECT_EQ(CAppSettings::LoadWindowPlacement(), QStringLiteral("10,20,800,600"));
}

}  // namespace
