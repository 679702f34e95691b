#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/GSMDevice.h"
#include "tests/gsmcore/link/TestPty.h"
#include "tests/gsmcore/link/TraceRecorder.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using std::chrono::milliseconds;

constexpr unsigned kMessage = 0x8001;
constexpr unsigned kStateCode = 1, kNumberCode = 2, kSmsCode = 3, kReportCode = 4, kDataCode = 5;

class EventLog {
public:
    DeviceEventSink sink()
    {
        return [this](const CDeviceEvent& event) {
            std::lock_guard lock(m_lock);
            m_events.push_back(event);
        };
    }
    std::vector<CDeviceEvent> of(unsigned code) const
    {
        std::lock_guard lock(m_lock);
        std::vector<CDeviceEvent> found;
        std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(found),
                     [code](const CDeviceEvent& event) { return event.wParam == code; });
        return found;
    }
    bool empty() const
    {
        std::lock_guard lock(m_lock);
        return m_events.empty();
    }
    bool waitfor(unsigned code, size_t count = 1, int timeoutMs = 2000) const
    {
        for (int waited = 0; waited < timeoutMs && of(code).size() < count; waited += 10)
            std::this_thread::sleep_for(milliseconds(10));
        return of(code).size() >= count;
    }

private:
    mutable std::mutex m_lock;
    std::vector<CDeviceEvent> m_events;
};

// A multiplexed port driver played by the test.
class FakePortDriver : public CPortDriver {
public:
    bool control(quint32 code, const QByteArray& input, QByteArray& output) override
    {
        std::lock_guard lock(m_lock);
        if (code == IOCTL_PORT_STATUS && input.size() == 4)
            ports.push_back(qFromLittleEndian<quint32>(input.constData()));
        output = QByteArray(4, '\0');
        return code != IOCTL_PORT_STATUS;  // no port answers
    }
    quint32 takeevents() override { return pending.exchange(0); }
    void setwakeup(std::function<void()> wake) override
    {
        std::lock_guard lock(m_lock);
        m_wake = std::move(wake);
    }
    void raisedisconnect()
    {
        pending.fetch_or(EV_DISCONNECT);
        std::lock_guard lock(m_lock);
        if (m_wake)
            m_wake();
    }

    std::mutex m_lock;
    std::vector<quint32> ports;
    std::atomic<quint32> pending {0};
    std::function<void()> m_wake;
};

class UnsolicitedCodesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        ASSERT_TRUE(m_pty.isopen());
        m_pref.m_Port = m_pty.slavepath();
    }
    void TearDown() override { m_device.release(); }

    void Open(bool withSink, std::unique_ptr<CPortDriver> driver = nullptr)
    {
        m_device = CGSMDevice::create(&m_pref);
        if (driver)
            m_device->setportdriver(std::move(driver));
        const bool opened = withSink ? m_device->init(m_log.sink(), kMessage, kStateCode, kNumberCode, kSmsCode,
                                                      kReportCode, kDataCode)
                                     : m_device->init();
        ASSERT_TRUE(opened);
    }

    QString NextLine(int timeoutMs = 1000)
    {
        QString line;
        return m_device->readline(line, timeoutMs) ? line : QString();
    }

    TestPty m_pty;
    CGSMCorePref m_pref;
    EventLog m_log;
    Ptr<CGSMDevice> m_device;
};


TEST_F(UnsolicitedCodesTest, WithoutASinkEveryLineIsQueuedAndTheStateStays)
{
    Open(false);
    ASSERT_TRUE(m_pty.send("RING\r\n+CMTI: \"SM\",3\r\n"));
    EXPECT_EQ(NextLine(), "RING");
    EXPECT_EQ(NextLine(), "+CMTI: \"SM\",3");
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
}

TEST_F(UnsolicitedCodesTest, RingAndNoCarrierFollowTheCallAndStillReachTheQueueWhenIdle)
{
    Open(true);
    ASSERT_TRUE(m_pty.send("RING\r\n"));
    EXPECT_EQ(NextLine(), "RING");
    ASSERT_TRUE(m_log.waitfor(kStateCode));
    const CDeviceEvent event = m_log.of(kStateCode).front();
    EXPECT_EQ(event.message, kMessage);
    EXPECT_EQ(event.lParam, CGSMDevice::STATE_CALLSETUP);
    EXPECT_EQ(m_device->GetCallDirection(), CGSMDevice::DIRECTION_INCOMING);
    ASSERT_TRUE(m_pty.send("RING\r\n"));  // a second ring while ringing is consumed
    EXPECT_EQ(NextLine(300), QString());
    EXPECT_TRUE(TraceRecorder::Contains("Ignoring unsolicited RING\n"));

    m_device->SetState(CGSMDevice::STATE_IDLE);
    ASSERT_TRUE(m_pty.send("NO CARRIER\r\n"));
    EXPECT_EQ(NextLine(), "NO CARRIER");
    m_device->SetState(CGSMDevice::STATE_ACTIVE);
    ASSERT_TRUE(m_pty.send("NO CARRIER\r\n"));
    for (int i = 0; i < 200 && m_device->GetState() != CGSMDevice::STATE_IDLE; ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    EXPECT_TRUE(m_device->GetCallEndedNormally());
}

TEST_F(UnsolicitedCodesTest, RegistrationReportsSetTheChangedFlag)
{
    Open(true);
    CGSMDevice::NETWORKSTATE state;
    EXPECT_FALSE(m_device->retrievenetworkstate(state));
    EXPECT_EQ(state, CGSMDevice::NETWORK_NOREPORT);
    const struct {
        const char* line;
        bool changed;
        int state;
    } steps[] = {
        {"+CREG: 1\r\n", true, 1},  {"+CREG: 1\r\n", false, 1}, {"+CREG: 0,5\r\n", true, 5},
        {"+CREG: 5\r\n", true, 5},  {"+CREG: 2,1,\"00C3\",\"1A2B\"\r\n", true, 1},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(m_pty.send(step.line));
        std::this_thread::sleep_for(milliseconds(150));
        EXPECT_EQ(m_device->retrievenetworkstate(state), step.changed) << step.line;
        EXPECT_EQ(state, step.state) << step.line;
    }
    EXPECT_TRUE(m_log.empty());
}

TEST_F(UnsolicitedCodesTest, NewMessagesArePostedWithTheirIndexOrBody)
{
    Open(true);
    ASSERT_TRUE(m_pty.send("+CMTI: \"SM\",3\r\n+CMTI: garbage\r\n"));
    ASSERT_TRUE(m_log.waitfor(kSmsCode));
    EXPECT_EQ(m_log.of(kSmsCode).back().text, "#\"SM\"#3");
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(TraceRecorder::Contains("Failed to interpret +cmti, split()\n"));
    EXPECT_EQ(NextLine(100), QString());

    ASSERT_TRUE(m_pty.send("+CMT: ,24\r\n07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07\r\n"));
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 2));
    EXPECT_EQ(m_log.of(kSmsCode).back().text,
              ",24\r\n07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07");

    m_pref.m_SmsMode = 1;  // text mode: a header without the length field brings no body
    ASSERT_TRUE(m_pty.send("+CMT: \"+31612345678\",,\"02/11/26,09:15:00+04\"\r\nOK\r\n"));
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 3));
    EXPECT_EQ(m_log.of(kSmsCode).back().text, "\"+31612345678\",,\"02/11/26,09:15:00+04\"");
    EXPECT_EQ(NextLine(), "OK");

    // With the length field, a body that stops short is delivered marked.
    ASSERT_TRUE(m_pty.send("+CMT: \"+3161\",,\"02/11/26,09:15:00+04\",145,4,0,0,\"+3165\",145,40\r\nfirst line\r\n"));
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 4, 4000));
    const QString text = m_log.of(kSmsCode).back().text;
    EXPECT_TRUE(text.contains("\r\nfirst line"));
    EXPECT_TRUE(text.endsWith("[The SMS is truncated, all rows are not received.]"));
    EXPECT_TRUE(TraceRecorder::Contains("Incoming SMS, getoneline returned false\n"));
}

TEST_F(UnsolicitedCodesTest, PortDriverControlCodes)
{
    Open(false);  // the default driver refuses every code
    EXPECT_EQ(m_device->GetActivePort(), -1);
    EXPECT_FALSE(m_device->IsPortSuspended());
    EXPECT_FALSE(m_device->SetPortOwnerName(QStringLiteral("Tessaly")));
    EXPECT_TRUE(m_device->GetPortOwnerName(1).isEmpty());
    EXPECT_FALSE(m_device->RegNotify(true, 0, 0));
    m_device.release();

    auto driver = std::make_unique<FakePortDriver>();
    FakePortDriver* fake = driver.get();
    Open(false, std::move(driver));
    EXPECT_EQ(m_device->GetActivePort(), -1);
    EXPECT_EQ(fake->ports, (std::vector<quint32> {1, 2, 3, 4}));
    EXPECT_TRUE(m_device->SetPortOwnerName(QStringLiteral("Tessaly")));
}

TEST_F(UnsolicitedCodesTest, DriverDisconnectReleasesTheReaderAndEndsTheDataState)
{
    auto driver = std::make_unique<FakePortDriver>();
    FakePortDriver* fake = driver.get();
    Open(true, std::move(driver));
    m_device->SetState(CGSMDevice::STATE_ACTIVE);
    std::thread raiser([fake] {
        std::this_thread::sleep_for(milliseconds(100));
        fake->raisedisconnect();
    });
    QString line;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_device->readline(line, 10000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000));
    raiser.join();
    ASSERT_TRUE(m_log.waitfor(kDataCode));
    EXPECT_EQ(m_log.of(kDataCode).front().lParam, 0);
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    EXPECT_TRUE(TraceRecorder::Contains("EV_DISC detected\n"));
}

}  // namespace
