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

    auto fields = [](CAppSettings& s) {
        return std::tie(s.ComPort, s.TapiDevice, s.VirtualPort, s.Speed, s.ShowSim, s.ShowPhone, s.ShowContacts,
                        s.UseDefault, s.SIMNameSize, s.SIMNumberSize, s.PhoneNameSize, s.PhoneNumberSize);
    };
    CAppSettings written, read;
    fields(written) = std::tuple(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("Huawei E1750 (ttyUSB0)"), true, 115200,
                                 false, true, false, false, 14, 40, 18, 32);
    ASSERT_TRUE(written.Save());
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(fields(read), fields(written));

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
