// The device over the simulator on a real pty: commands and their
// replies, the call and registration state, unsolicited codes and their
// events, identification, messages, and a link that fails under a command.

#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/GSMDevice.h"
#include "tests/gsmcore/link/TraceRecorder.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Echo time-out of these tests: long enough for a loaded machine, short
// enough that a dropped echo costs little.
constexpr quint16 kTestEchoMs = 1500;
constexpr unsigned kMessage = 0x8001;
constexpr unsigned kStateCode = 1, kNumberCode = 2, kSmsCode = 3, kReportCode = 4, kDataCode = 5;

// The events a device posted; they arrive on its delivery thread.
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
    bool waitfor(unsigned code, size_t count = 1, int timeoutMs = 3000) const
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

class GSMDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        ASSERT_TRUE(m_sim.start());
        m_pref.m_Port = m_sim.devicePath();
    }
    void TearDown() override
    {
        m_device.release();
        EXPECT_EQ(CGSMDevice::instance(), nullptr);
    }

    void Open(bool withSink = false, std::unique_ptr<CPortDriver> driver = nullptr)
    {
        m_device = CGSMDevice::create(&m_pref);
        ASSERT_TRUE(m_device);
        if (driver)
            m_device->setportdriver(std::move(driver));
        const bool opened = withSink ? m_device->init(m_log.sink(), kMessage, kStateCode, kNumberCode, kSmsCode,
                                                      kReportCode, kDataCode)
                                     : m_device->init();
        ASSERT_TRUE(opened);
        m_device->setechotimeout(kTestEchoMs);
    }
    bool Received(const QString& command) const { return m_sim.receivedCommands().contains(command); }
    QString NextLine(int timeoutMs = 1000)
    {
        QString line;
        return m_device->readline(line, timeoutMs) ? line : QString();
    }

    ModemSimulator m_sim;
    CGSMCorePref m_pref;
    EventLog m_log;
    Ptr<CGSMDevice> m_device;
};

TEST_F(GSMDeviceTest, OneDeviceSharedByEveryPtrAndDestroyedOnceAtTheLast)
{
    Open();
    CGSMCorePref other;
    other.m_Port = QStringLiteral("/dev/null");
    EXPECT_EQ(CGSMDevice::create(&other), m_device.get());  // the second preferences are ignored
    EXPECT_EQ(m_device->GetCorePref(), &m_pref);
    const int destroyedBefore = TraceRecorder::Count("CDeviceThread::~CDeviceThread() (dtor)");
    {
        Ptr<CGSMDevice> second = m_device;
        Ptr<CGSMDevice> third(second);
        EXPECT_EQ(m_device->refcount(), 3);
        m_device.release();
        EXPECT_NE(CGSMDevice::instance(), nullptr);
        second = Ptr<CGSMDevice>();
        EXPECT_EQ(third->refcount(), 1);
        EXPECT_TRUE(third->execute_set(QStringLiteral("E1"), 3000));
    }
    EXPECT_EQ(CGSMDevice::instance(), nullptr);
    EXPECT_EQ(TraceRecorder::Count("CDeviceThread::~CDeviceThread() (dtor)"), destroyedBefore + 1);
    EXPECT_TRUE(TraceRecorder::Contains("Serial port closed\n"));
}

TEST_F(GSMDeviceTest, CommandsAreFramedAndGiveTheirAnswers)
{
    Open();
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("+CSCS=\"GSM\""), 3000));
    EXPECT_TRUE(Received(QStringLiteral("AT+CSCS=\"GSM\"")));
    EXPECT_TRUE(TraceRecorder::Contains("Got responce: OK, timeout: 3000\n"));
    EXPECT_TRUE(m_device->haveresponse());
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("+CSCS=\"NOPE\""), 3000));

    EXPECT_TRUE(m_device->execute_question(QStringLiteral("+CSQ"), QString(), 3000, false, true).contains(','));
    EXPECT_TRUE(m_device->execute_question(QStringLiteral("+CPBS"), QStringLiteral("=?"), 3000, false, true)
                    .startsWith(QLatin1Char('(')));
    // Asking for one key and getting another gives nothing.
    EXPECT_TRUE(m_device->execute_question(QStringLiteral("+CSQX"), QString(), 1000, false, true).isEmpty());

    QStringList lines;
    EXPECT_TRUE(m_device->execute_generic(lines, QStringLiteral("+CGMM"), 3000, QStringLiteral("OK")));
    EXPECT_EQ(lines, QStringList {"Tessaly Simulated Modem"});
    QString line;
    EXPECT_TRUE(m_device->execute_generic(line, QStringLiteral("+CGMM"), 3000));
    EXPECT_EQ(line, "Tessaly Simulated Modem");
    EXPECT_FALSE(m_device->execute_generic(line, QStringLiteral("E1"), 3000));  // no line before OK

    // Without an event receiver every code is queued and the state stays.
    m_sim.sendUnsolicited("RING\r\n+CMTI: \"SM\",3\r\n");
    EXPECT_EQ(NextLine(), "RING");
    EXPECT_EQ(NextLine(), "+CMTI: \"SM\",3");
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    // The default port driver refuses every control code.
    EXPECT_EQ(m_device->GetActivePort(), -1);
    EXPECT_FALSE(m_device->IsPortSuspended());
    EXPECT_FALSE(m_device->SetPortOwnerName(QStringLiteral("Tessaly")));
    EXPECT_FALSE(m_device->RegNotify(true, 0, 0));
}

TEST_F(GSMDeviceTest, AnEventReceiverMaySendACommand)
{
    std::promise<QString> answer;
    bool asked = false;
    m_device = CGSMDevice::create(&m_pref);
    ASSERT_TRUE(m_device->init(
        [&](const CDeviceEvent& event) {
            // Followed from the device's own thread this would wait on itself.
            if (event.wParam == kStateCode && !asked) {
                asked = true;
                answer.set_value(m_device->execute_question(QStringLiteral("+CSQ"), QString(), 3000, false, true));
            }
        },
        kMessage, kStateCode, kNumberCode, kSmsCode, kReportCode, kDataCode));
    m_device->setechotimeout(kTestEchoMs);
    m_sim.ring("0701234567");
    auto result = answer.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_TRUE(result.get().contains(u','));
}

TEST_F(GSMDeviceTest, TheLastHolderMayLetGoFromAnEventReceiver)
{
    std::optional<Ptr<CGSMDevice>> holder(Ptr<CGSMDevice>(CGSMDevice::create(&m_pref)));
    ASSERT_TRUE((*holder)->init([&holder](const CDeviceEvent&) { holder.reset(); }, kMessage, kStateCode, kNumberCode, kSmsCode, kReportCode, kDataCode));
    m_sim.ring("0701234567");
    for (int i = 0; i < 500 && CGSMDevice::instance(); ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(CGSMDevice::instance(), nullptr);
    // The retired device has let go of the port: a new one opens it.
    Open();
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

TEST_F(GSMDeviceTest, DroppedEchoFailsTheCommandEvenAfterADialWithoutEcho)
{
    Open();
    ASSERT_TRUE(m_device->execute_call(QStringLiteral("0612345678"), CGSMDevice::CALLTYPE_VOICE, true));
    EXPECT_EQ(m_device->getechotimeout(), kTestEchoMs);
    m_device->execute_hangup();
    m_sim.setDropEcho(true);
    m_device->setechotimeout(500);
    EXPECT_FALSE(m_device->execute_send(QStringLiteral("+CSQ")));
    EXPECT_FALSE(m_device->haveresponse());
    EXPECT_TRUE(TraceRecorder::Contains("sendcommand(AT+CSQ\r\n) failed reading responce\n"));
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("E1"), 3000));  // the OK alone is not enough
    m_sim.clearFaults();
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

TEST_F(GSMDeviceTest, CallSetupRefusesCommandsButNotTheHangup)
{
    // A device type whose "OK" to the dial is not the remote answer, so
    // the call stays in set-up.
    m_pref.m_DeviceType = 4;
    Open(true);
    ASSERT_TRUE(m_device->execute_call(QStringLiteral("0612345678"), CGSMDevice::CALLTYPE_VOICE, false));
    EXPECT_TRUE(Received(QStringLiteral("ATD0612345678;")));
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_CALLSETUP);
    EXPECT_EQ(m_device->GetCallDirection(), CGSMDevice::DIRECTION_OUTGOING);

    const auto start = Clock::now();
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("+CSQ"), 3000));
    EXPECT_LT(Clock::now() - start, milliseconds(2000));
    EXPECT_TRUE(TraceRecorder::Contains("at command (+CSQ) send rejected during MO call setup\n"));
    EXPECT_FALSE(m_device->execute_call(QStringLiteral("1"), CGSMDevice::CALLTYPE_VOICE, false));
    EXPECT_TRUE(TraceRecorder::Contains("at command send rejected during MO call setup\n"));
    EXPECT_FALSE(m_device->execute_sms(QStringLiteral("0701234567"), QStringLiteral("during a call")));
    EXPECT_TRUE(m_sim.submittedMessages().empty());

    m_device->execute_hangup();
    EXPECT_TRUE(Received(QStringLiteral("ATH")));
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    EXPECT_FALSE(m_device->GetCallEndedNormally());
    EXPECT_TRUE(m_log.waitfor(kStateCode, 2));
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

TEST_F(GSMDeviceTest, MissingEchoInQueryStateDeclaresTheDeviceLost)
{
    Open(true);
    EXPECT_TRUE(m_device->querystate());
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    m_sim.setDropEcho(true);
    EXPECT_FALSE(m_device->querystate());  // waits the 4000 ms echo time-out of the state query
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_DEVICELOST);
    ASSERT_TRUE(m_log.waitfor(kStateCode));
    EXPECT_EQ(m_log.of(kStateCode).back().lParam, CGSMDevice::STATE_DEVICELOST);
    EXPECT_EQ(m_device->getechotimeout(), kTestEchoMs);

    // From now on every command returns at once, the hang-up included.
    m_sim.clearFaults();
    const auto start = Clock::now();
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("E1"), 3000));
    EXPECT_FALSE(m_device->execute_hangup());
    EXPECT_TRUE(m_device->querystate());
    EXPECT_LT(Clock::now() - start, milliseconds(2500));
    EXPECT_TRUE(TraceRecorder::Contains("Execute (E1) returns immediately since device is lost\n"));
    EXPECT_TRUE(TraceRecorder::Contains("+CPAS returned nothing!\n"));
    m_device->SetState(CGSMDevice::STATE_IDLE);
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

TEST_F(GSMDeviceTest, KeystrokeDiallingSendsTheKeysWithThePause)
{
    Open();
    m_pref.m_KeystrokeTime = 1;
    m_pref.m_KeystrokeSleep = 10;
    m_device->execute_keystroke_call(QStringLiteral("06123456789"));
    EXPECT_TRUE(Received(QStringLiteral("AT+CLCK=\"CS\",0")));
    EXPECT_TRUE(Received(QStringLiteral("AT+CKPD=\"E06123456789S\",0,1")));

    m_device->execute_keystroke_call(QStringLiteral("+3161"));
    EXPECT_TRUE(Received(QStringLiteral("AT+CKPD=\"E\",0,0")));
    EXPECT_TRUE(Received(QStringLiteral("AT+CKPD=\"0\",1,0")));
    EXPECT_TRUE(Received(QStringLiteral("AT+CKPD=\"3161S\",0,4")));
    EXPECT_TRUE(TraceRecorder::Contains("Sleep = 800\n"));
    EXPECT_FALSE(m_device->execute_keystroke_call(QString()));
}

TEST_F(GSMDeviceTest, IdentificationSetsTypeSpeedAndStorages)
{
    const struct {
        const char* model;
        int speed;
        int forced;
        int type;
        quint32 baud;  // of the port afterwards
        const char* sim;
        const char* phone;
        bool queried;
    } cases[] = {
        {"Nokia 6310i", 9600, 0, 8, 115200, "SM", "ME", true},
        {"Nokia 7650", 9600, 0, 9, 115200, "", "", true},          // the rate changed: both names emptied
        {"Nokia 7650", 115200, 0, 9, 115200, "SM", "ME", true},    // already at 115200: names kept
        {"Enabler-G Modem 2", 9600, 0, 20, 115200, "AD", "", true},
        {"Tessaly Simulated Modem", 9600, 8, 8, 9600, "SM", "ME", false},  // forced: no query
        {"Tessaly Simulated Modem", 9600, 0, 0, 9600, "SM", "ME", true},     // unknown: the type stays unset
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        m_sim.setModel(QString::fromLatin1(c.model));
        m_sim.clearReceivedCommands();
        CGSMCorePref pref;
        pref.m_Port = m_sim.devicePath();
        pref.m_Speed = c.speed;
        pref.m_DeviceType = c.forced;
        Ptr<CGSMDevice> device = CGSMDevice::create(&pref);
        ASSERT_TRUE(device->init());
        EXPECT_EQ(device->identifycard(), c.type != 0);
        EXPECT_EQ(pref.m_DeviceType, c.type);
        EXPECT_EQ(device->getportsettings()->m_BaudRate, c.baud);
        EXPECT_EQ(pref.m_SimStorage, QString::fromLatin1(c.sim));
        EXPECT_EQ(pref.m_PhoneStorage, QString::fromLatin1(c.phone));
        EXPECT_EQ(m_sim.receivedCommands().contains(QStringLiteral("AT+CGMM")), c.queried);
        // Known now: no second query.
        m_sim.clearReceivedCommands();
        EXPECT_EQ(device->identifycard(), c.type != 0);
        EXPECT_EQ(m_sim.receivedCommands().contains(QStringLiteral("AT+CGMM")), c.type == 0);
    }
}

TEST_F(GSMDeviceTest, ShortMessagesInPduAndTextMode)
{
    m_pref.m_ServiceCentre = QStringLiteral("+46705008999");
    Open();
    EXPECT_FALSE(m_device->execute_sms(QString(), QStringLiteral("no number")));
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("+46701234567"), QStringLiteral("hi")));
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));  // the alternate line end is cleared again

    m_pref.m_SmsMode = 1;
    m_device->execute_set(QStringLiteral("+CMGF=1"), 2000);
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("0701234567"), QStringLiteral("Hej @ home")));
    m_pref.m_DeviceType = 11;  // converts with the modified alphabet
    const QString modified = QStringLiteral("\u00e4\u00f6");
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("0701234567"), modified));

    const auto sent = m_sim.submittedMessages();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_FALSE(sent[0].textMode);
    EXPECT_EQ(sent[0].pdu, QByteArray("07916407058099F911000B916407214365F70000FF02E834"));
    EXPECT_EQ(sent[0].tpduLength, 16);
    EXPECT_TRUE(sent[1].textMode);
    EXPECT_EQ(sent[1].number, QByteArray("0701234567"));
    EXPECT_EQ(sent[1].text, QByteArray("Hej \0 home", 10));  // "@" is GSM code 0
    EXPECT_EQ(QString::fromLatin1(sent[2].text), CCharacterSetDefaultModified().ConvertFromUnicode(modified));
}

TEST_F(GSMDeviceTest, RegistrationReportsSetTheChangedFlagAndBadIndexesAreTraced)
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
        {"+CREG: 1", true, 1},  {"+CREG: 1", false, 1}, {"+CREG: 0,5", true, 5},
        {"+CREG: 5", true, 5},  {"+CREG: 2,1,\"00C3\",\"1A2B\"", true, 1},
    };
    for (const auto& step : steps) {
        EXPECT_TRUE(m_device->checkunsolicitedcodes(QString::fromLatin1(step.line)));
        EXPECT_EQ(m_device->retrievenetworkstate(state), step.changed) << step.line;
        EXPECT_EQ(state, step.state) << step.line;
    }
    EXPECT_TRUE(m_device->checkunsolicitedcodes(QStringLiteral("+CMTI: garbage")));
    EXPECT_TRUE(TraceRecorder::Contains("Failed to interpret +cmti, split()\n"));
}

TEST_F(GSMDeviceTest, NewMessagesArePostedWithTheirIndexOrBody)
{
    Open(true);
    m_sim.sendUnsolicited("+CMTI: \"SM\",3\r\n");
    ASSERT_TRUE(m_log.waitfor(kSmsCode));
    EXPECT_EQ(m_log.of(kSmsCode).back().text, "#\"SM\"#3");

    m_sim.sendUnsolicited("+CMT: ,24\r\n07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07\r\n");
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 2));
    EXPECT_EQ(m_log.of(kSmsCode).back().text,
              ",24\r\n07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07");

    m_pref.m_SmsMode = 1;  // text mode: a header without the length field brings no body
    m_sim.sendUnsolicited("+CMT: \"+31612345678\",,\"02/11/26,09:15:00+04\"\r\nOK\r\n");
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 3));
    EXPECT_EQ(m_log.of(kSmsCode).back().text, "\"+31612345678\",,\"02/11/26,09:15:00+04\"");
    EXPECT_EQ(NextLine(), "OK");

    // With the length field, a body that stops short is delivered marked.
    m_sim.sendUnsolicited("+CMT: \"+3161\",,\"02/11/26,09:15:00+04\",145,4,0,0,\"+3165\",145,40\r\nfirst line\r\n");
    ASSERT_TRUE(m_log.waitfor(kSmsCode, 4, 4000));
    const QString text = m_log.of(kSmsCode).back().text;
    EXPECT_TRUE(text.contains("\r\nfirst line"));
    EXPECT_TRUE(text.endsWith("[The SMS is truncated, all rows are not received.]"));
}

TEST_F(GSMDeviceTest, PortDriverIsAskedAndItsDisconnectEndsTheCommandItCutUntilTheLinkIsBack)
{
    auto driver = std::make_unique<FakePortDriver>();
    FakePortDriver* fake = driver.get();
    Open(true, std::move(driver));
    EXPECT_EQ(m_device->GetActivePort(), -1);
    EXPECT_EQ(fake->ports, (std::vector<quint32> {1, 2, 3, 4}));  // asked, none answers
    EXPECT_TRUE(m_device->SetPortOwnerName(QStringLiteral("Tessaly")));
    m_device->SetState(CGSMDevice::STATE_ACTIVE);
    // The device echoes and says no more; the disconnect comes once the command is out.
    m_sim.setSilent(true);
    m_sim.clearReceivedCommands();
    auto cut = std::async(std::launch::async, [this] { return m_device->execute_set(QStringLiteral("+CSQ"), 10000); });
    ASSERT_TRUE(m_sim.waitForCommandCount(1, 5000));
    fake->raisedisconnect();
    ASSERT_EQ(cut.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(cut.get());
    ASSERT_TRUE(m_log.waitfor(kDataCode));
    EXPECT_EQ(m_log.of(kDataCode).front().lParam, 0);
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    EXPECT_TRUE(TraceRecorder::Contains("EV_DISC detected\n"));

    // The port is ours again: the next command is answered.
    m_sim.clearFaults();
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

}  // namespace
