#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/phonebook/CharacterSetDefaultModified.h"
#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"
#include "tests/gsmcore/link/TraceRecorder.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

namespace {

class SmsSendingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        ASSERT_TRUE(m_sim.start());
        m_pref.m_Port = m_sim.devicePath();
        m_pref.m_ServiceCentre = QStringLiteral("+46705008999");
    }
    void TearDown() override { m_device.release(); }
    void Open()
    {
        m_device = CGSMDevice::create(&m_pref);
        ASSERT_TRUE(m_device);
        ASSERT_TRUE(m_device->init());
        m_device->setechotimeout(1500);
    }

    ModemSimulator m_sim;
    CGSMCorePref m_pref;
    Ptr<CGSMDevice> m_device;
};

TEST_F(SmsSendingTest, PduModeBuildsTheSubmitAndChecksOutWithTheDevice)
{
    Open();
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("+46701234567"), QStringLiteral("hi")));
    const auto sent = m_sim.submittedMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0].textMode);
    EXPECT_EQ(sent[0].pdu, QByteArray("07916407058099F911000B916407214365F70000FF02E834"));
    EXPECT_EQ(sent[0].tpduLength, 16);
}

TEST_F(SmsSendingTest, TextModeSendsTheNumberAndTheConvertedText)
{
    m_pref.m_SmsMode = 1;
    Open();
    m_device->execute_set(QStringLiteral("+CMGF=1"), 2000);
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("0701234567"), QStringLiteral("Hej @ home")));
    auto sent = m_sim.submittedMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].textMode);
    EXPECT_EQ(sent[0].number, QByteArray("0701234567"));
    EXPECT_EQ(sent[0].text, QByteArray("Hej \0 home", 10));  // "@" is GSM code 0

    // Device type 11 converts with the modified alphabet.
    m_pref.m_DeviceType = 11;
    const QString text = QStringLiteral("\u00e4\u00f6");
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("0701234567"), text));
    sent = m_sim.submittedMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(QString::fromLatin1(sent[1].text), CCharacterSetDefaultModified().ConvertFromUnicode(text));
}

TEST_F(SmsSendingTest, RefusalsAndFailures)
{
    Open();
    EXPECT_FALSE(m_device->execute_sms(QString(), QStringLiteral("no number")));
    EXPECT_TRUE(m_sim.receivedCommands().isEmpty() || !m_sim.receivedCommands().last().startsWith(QStringLiteral("AT+CMGS")));

    m_device->SetState(CGSMDevice::STATE_IDLE);
    ASSERT_TRUE(m_device->execute_call(QStringLiteral("0701234567"), CGSMDevice::CALLTYPE_VOICE, false));
    const int before = int(m_sim.receivedCommands().size());
    EXPECT_FALSE(m_device->execute_sms(QStringLiteral("0701234567"), QStringLiteral("during a call")));
    EXPECT_EQ(int(m_sim.receivedCommands().size()), before);
    EXPECT_TRUE(TraceRecorder::Contains(QStringLiteral("at command send rejected during MO call setup\n")));
}

}  // namespace
