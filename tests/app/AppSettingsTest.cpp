// The settings in the registry file: defaults, a round trip, what a
// damaged or partial key gives, and saves that never wait for a lock.

#include "app/AppSettings.h"
#include "support/Registry.h"
#include "support/RegistryStore.h"
#include "tests/app/AppTestSupport.h"

#include <QLockFile>

#include <tuple>

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRegistry(); }
};

TEST_F(AppSettingsTest, SaveThenLoadKeepsEveryValueAndAPartialKeyWhatItHas)
{
    EXPECT_FALSE(CAppSettings().Load());  // and makes the key
    EXPECT_EQ(CRegistry().Open(HKEY_LOCAL_MACHINE, kAppKey), ERROR_SUCCESS);

    CAppSettings written;
    written.ComPort = QStringLiteral("/dev/ttyUSB0");
    written.TapiDevice = QStringLiteral("Huawei E1750 (ttyUSB0)");
    written.VirtualPort = true;
    written.Speed = 115200;
    written.ShowSim = written.ShowContacts = written.UseDefault = false;
    written.SIMNameSize = 14;
    written.SIMNumberSize = 40;
    written.PhoneNameSize = 18;
    written.PhoneNumberSize = 32;
    ASSERT_TRUE(written.Save());
    CAppSettings read;
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(std::tie(read.ComPort, read.TapiDevice, read.VirtualPort, read.Speed, read.ShowSim, read.ShowPhone,
                       read.ShowContacts, read.UseDefault),
              std::tie(written.ComPort, written.TapiDevice, written.VirtualPort, written.Speed, written.ShowSim,
                       written.ShowPhone, written.ShowContacts, written.UseDefault));
    EXPECT_EQ(std::tie(read.SIMNameSize, read.SIMNumberSize, read.PhoneNameSize, read.PhoneNumberSize),
              std::tie(written.SIMNameSize, written.SIMNumberSize, written.PhoneNameSize, written.PhoneNumberSize));

    // Without VirtualPort the key still loads; without Speed it does not,
    // but what is there is still read.
    CRegistry key(HKEY_LOCAL_MACHINE, kAppKey);
    key.DeleteValue(QStringLiteral("VirtualPort"));
    EXPECT_TRUE(read.Load());
    key.DeleteValue(QStringLiteral("Speed"));
    CAppSettings partial;
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(partial.ComPort, written.ComPort);
    EXPECT_EQ(partial.Speed, 9600);
}

TEST_F(AppSettingsTest, FlagsAreTrueOnlyWhenStoredAsOne)
{
    const struct { quint32 stored; bool showSim, virtualPort; } cases[] = {
        {0, false, false}, {1, true, true}, {2, false, true}, {0xFFFFFFFF, false, true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CAppSettings().Save());
        SetRegistryNumber(kAppKey, QStringLiteral("ShowSim"), c.stored);
        SetRegistryNumber(kAppKey, QStringLiteral("VirtualPort"), c.stored);
        CAppSettings read;
        EXPECT_TRUE(read.Load());
        EXPECT_EQ(read.ShowSim, c.showSim) << c.stored;
        EXPECT_EQ(read.VirtualPort, c.virtualPort) << c.stored;
    }
}

// Another program holds the registry file: a View toggle's save and the
// window's place saved on closing return while it still holds it, reads
// go on meanwhile, and both land once the file is free.
TEST_F(AppSettingsTest, SaveDoesNotWaitForAnotherProgramsLock)
{
    ASSERT_TRUE(CAppSettings().Save());
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
