#include "gsmcore/link/GSMCorePref.h"
#include "support/Registry.h"
#include "tests/gsmcore/link/TraceRecorder.h"

#include <gtest/gtest.h>

namespace {

void WipeCoreKey()
{
    CRegistry key;
    if (key.Open(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta\\Tessaly"), KEY_ALL_ACCESS) == ERROR_SUCCESS)
        key.DeleteKey(QStringLiteral("GsmCore"));
}

class GSMCorePrefTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WipeCoreKey();
        TraceRecorder::Start();
    }
    void TearDown() override { WipeCoreKey(); }

    static void SetForceDevice(quint32 type)
    {
        CRegistry device;
        ASSERT_EQ(device.Create(HKEY_LOCAL_MACHINE, CGSMCorePref::GetDefaultDeviceKey()), ERROR_SUCCESS);
        device.SetDWord(QStringLiteral("ForceDevice"), type);
    }
};

TEST_F(GSMCorePrefTest, LoadWithoutKeysKeepsTheDefaultsAndSaveKeepsPortSpeedCentreAndDeviceKey)
{
    CGSMCorePref defaults;
    EXPECT_TRUE(defaults.load());
    EXPECT_TRUE(defaults.m_Port.isEmpty());
    EXPECT_EQ(defaults.m_Speed, 9600);
    EXPECT_EQ(defaults.m_SimStorage, "SM");
    EXPECT_EQ(defaults.m_PhoneStorage, "ME");
    EXPECT_EQ(defaults.m_DeviceKey, "Software\\Orvanta\\Tessaly\\GsmCore\\Devices\\Default");

    CGSMCorePref saved;
    saved.m_Port = QStringLiteral("/dev/ttyUSB1");
    saved.m_Speed = 115200;
    saved.m_ServiceCentre = QStringLiteral("+3161234");
    saved.m_KeystrokePause = 3;  // not written
    saved.m_DeviceType = 8;      // not written
    ASSERT_TRUE(saved.save());
    CGSMCorePref loaded;
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.m_Port, "/dev/ttyUSB1");
    EXPECT_EQ(loaded.m_Speed, 115200);
    EXPECT_EQ(loaded.m_ServiceCentre, "+3161234");
    EXPECT_EQ(loaded.m_DeviceKey, saved.m_DeviceKey);
    EXPECT_EQ(loaded.m_KeystrokePause, 7);
    EXPECT_EQ(loaded.m_DeviceType, 0);
}

TEST_F(GSMCorePrefTest, ValuesWrittenByOthersAreReadAndAMissingDeviceKeyChangesNothing)
{
    CRegistry core;
    ASSERT_EQ(core.Create(HKEY_LOCAL_MACHINE, CGSMCorePref::GetCoreKey()), ERROR_SUCCESS);
    core.SetDWord(QStringLiteral("SMSMode"), 1);
    core.SetDWord(QStringLiteral("KeystrokePause"), 4);
    core.SetDWord(QStringLiteral("KeystrokeTime"), 20);
    core.SetDWord(QStringLiteral("KeystrokeSleep"), 100);
    SetForceDevice(8);
    CGSMCorePref pref;
    pref.load();
    EXPECT_EQ(pref.m_SmsMode, 1);
    EXPECT_EQ(pref.m_KeystrokePause, 4);
    EXPECT_EQ(pref.m_KeystrokeTime, 20);
    EXPECT_EQ(pref.m_KeystrokeSleep, 100);
    EXPECT_EQ(pref.m_DeviceType, 8);
    EXPECT_TRUE(TraceRecorder::Contains("Forced device type to 8\n"));
    SetForceDevice(0);  // zero forces nothing: an earlier type stays
    pref.m_DeviceType = 18;
    pref.load();
    EXPECT_EQ(pref.m_DeviceType, 18);

    core.SetString(QStringLiteral("Device"), QStringLiteral("Software\\Nowhere"));
    pref.m_Port = QStringLiteral("/dev/ttyACM0");
    pref.m_Speed = 57600;
    pref.load();
    EXPECT_EQ(pref.m_DeviceKey, "Software\\Nowhere");
    EXPECT_EQ(pref.m_Port, "/dev/ttyACM0");
    EXPECT_EQ(pref.m_Speed, 57600);
    EXPECT_TRUE(TraceRecorder::Contains("Can't read device info into preference object\n"));
}

}  // namespace
