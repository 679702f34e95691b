#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/charset/CharacterSetDefaultModified.h"
#include "tests/gsmcore/link/TraceRecorder.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Echo time-out of these tests: long enough for a loaded machine, short
// enough that a dropped echo costs little.
constexpr quint16 kTestEchoMs = 1500;

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

    void Open(bool withSink = false)
    {
        m_device = CGSMDevice::create(&m_pref);
        ASSERT_TRUE(m_device);
        const bool opened = withSink ? m_device->init(
                                           [this](const CDeviceEvent& event) {
                                               std::lock_guard lock(m_eventsLock);
                                               m_states.push_back(static_cast<int>(event.lParam));
                                           },
                                           1, 10, 11, 12, 13, 14)
                                     : m_device->init();
        ASSERT_TRUE(opened);
        m_device->setechotimeout(kTestEchoMs);
    }

    bool Received(const QString& command) const { return m_sim.receivedCommands().contains(command); }

    std::vector<int> States()
    {
        std::lock_guard lock(m_eventsLock);
        return m_states;
    }
    // Events arrive on the device's delivery thread, a moment later.
    std::vector<int> StatesOnceThereAre(size_t count)
    {
        for (int i = 0; i < 300 && States().size() < count; ++i)
            std::this_thread::sleep_for(milliseconds(10));
        return States();
    }

    ModemSimulator m_sim;
    CGSMCorePref m_pref;
    Ptr<CGSMDevice> m_device;
    std::mutex m_eventsLock;
    std::vector<int> m_states;
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
}

TEST_F(GSMDeviceTest, AfterADialWithoutEchoCommandsWaitForTheirEchoAgain)
{
    Open();
    ASSERT_TRUE(m_device->execute_call(QStringLiteral("0612345678"), CGSMDevice::CALLTYPE_VOICE, true));
    EXPECT_EQ(m_device->getechotimeout(), kTestEchoMs);
    m_device->execute_hangup();
    m_sim.setDropEcho(true);
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("E1"), 3000));  // the OK alone is not enough
}

TEST_F(GSMDeviceTest, AnEventReceiverMaySendACommand)
{
    std::promise<QString> answer;
    bool asked = false;
    m_device = CGSMDevice::create(&m_pref);
    ASSERT_TRUE(m_device->init(
        [&](const CDeviceEvent& event) {
            // Followed from the device's own thread this would wait on itself.
            if (event.wParam == 10 && !asked) {
                asked = true;
                answer.set_value(m_device->execute_question(QStringLiteral("+CSQ"), QString(), 3000, false, true));
            }
        },
        1, 10, 11, 12, 13, 14));
    m_device->setechotimeout(kTestEchoMs);
    m_sim.ring("0701234567");
    auto result = answer.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_TRUE(result.get().contains(u','));
}

TEST_F(GSMDeviceTest, TheLastHolderMayLetGoFromAnEventReceiver)
{
    std::optional<Ptr<CGSMDevice>> holder(Ptr<CGSMDevice>(CGSMDevice::create(&m_pref)));
    ASSERT_TRUE((*holder)->init([&holder](const CDeviceEvent&) { holder.reset(); }, 1, 10, 11, 12, 13, 14));
    m_sim.ring("0701234567");
    for (int i = 0; i < 500 && CGSMDevice::instance(); ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(CGSMDevice::instance(), nullptr);
    // The retired device has let go of the port: a new one opens it.
    Open();
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));
}

TEST_F(GSMDeviceTest, DroppedEchoFailsTheCommandAfterTheEchoTimeout)
{
    Open();
    m_sim.setDropEcho(true);
    m_device->setechotimeout(500);
    const auto start = Clock::now();
    EXPECT_FALSE(m_device->execute_send(QStringLiteral("+CSQ")));
    EXPECT_GE(Clock::now() - start, milliseconds(450));
    EXPECT_FALSE(m_device->haveresponse());
    EXPECT_TRUE(TraceRecorder::Contains("sendcommand(AT+CSQ\r\n) failed reading responce\n"));
    EXPECT_FALSE(m_device->execute_set(QStringLiteral("+CSQ"), 3000));
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

    m_device->execute_hangup();
    EXPECT_TRUE(Received(QStringLiteral("ATH")));
    EXPECT_EQ(m_device->GetState(), CGSMDevice::STATE_IDLE);
    EXPECT_FALSE(m_device->GetCallEndedNormally());
    EXPECT_GE(StatesOnceThereAre(2).size(), 2u);
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
    ASSERT_FALSE(StatesOnceThereAre(1).empty());
    EXPECT_EQ(States().back(), CGSMDevice::STATE_DEVICELOST);
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

TEST_F(GSMDeviceTest, SignalQualityAndShortMessage)
{
    Open();
    const int rssi = m_device->querysignalquality();
    EXPECT_GE(rssi, -1);
    if (rssi >= 0) {
        EXPECT_EQ(m_device->retrievesignalquality(), rssi);
    }
    // A SMS-SUBMIT to +31612345678, "hi" in the default alphabet.
    const int reference = m_device->execute_sms(QStringLiteral("0011000B911326214365F70000AA02E834"), 16);
    EXPECT_GE(reference, 0);
    EXPECT_TRUE(m_device->execute_set(QStringLiteral("E1"), 3000));  // the alternate line end is cleared again

    m_pref.m_SmsMode = 1;
    EXPECT_EQ(m_device->execute_sms(QStringLiteral("00"), 1), -1);
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
    m_sim.setModel(QStringLiteral("Nokia 6310i"));
    Open();
    EXPECT_TRUE(m_device->identifycard());
    EXPECT_EQ(m_pref.m_DeviceType, 8);
    EXPECT_TRUE(m_pref.m_DeviceFlag);
    EXPECT_EQ(m_device->getportsettings()->m_BaudRate, 115200u);
    EXPECT_TRUE(TraceRecorder::Contains("Baudrate set to 115200\n"));
    // Known now: no second query.
    const int queries = static_cast<int>(m_sim.receivedCommands().count(QStringLiteral("AT+CGMM")));
    EXPECT_TRUE(m_device->identifycard());
    EXPECT_EQ(m_sim.receivedCommands().count(QStringLiteral("AT+CGMM")), queries);
}

TEST_F(GSMDeviceTest, IdentificationTableCases)
{
    const struct {
        const char* model;
        int speed;
        int forced;
        int type;
        const char* sim;
        const char* phone;
        bool queried;
    } cases[] = {
        {"Nokia 7650", 9600, 0, 9, "", "", true},         // the rate changed: both names emptied
        {"Nokia 7650", 115200, 0, 9, "SM", "ME", true},   // already at 115200: names kept
        {"Enabler-G Modem 2", 9600, 0, 20, "AD", "", true},
        {"Tessaly Simulated Modem", 9600, 8, 8, "SM", "ME", false},  // forced: no query
        {"Tessaly Simulated Modem", 9600, 0, 0, "SM", "ME", true},   // unknown: the type stays unset
    };
    for (const auto& c : cases) {
        m_sim.setModel(QString::fromLatin1(c.model));
        m_sim.clearReceivedCommands();
        CGSMCorePref pref;
        pref.m_Port = m_sim.devicePath();
        pref.m_Speed = c.speed;
        pref.m_DeviceType = c.forced;
        Ptr<CGSMDevice> device = CGSMDevice::create(&pref);
        ASSERT_TRUE(device->init()) << c.model;
        EXPECT_EQ(device->identifycard(), c.type != 0) << c.model;
        EXPECT_EQ(pref.m_DeviceType, c.type) << c.model;
        EXPECT_EQ(pref.m_SimStorage, QString::fromLatin1(c.sim)) << c.model;
        EXPECT_EQ(pref.m_PhoneStorage, QString::fromLatin1(c.phone)) << c.model;
        EXPECT_EQ(m_sim.receivedCommands().contains(QStringLiteral("AT+CGMM")), c.queried) << c.model;
    }
}

TEST_F(GSMDeviceTest, UnpluggedDuringACommandOrALongReadReleasesTheCaller)
{
    const struct {
        const char* what;
        bool silent;  // else the answer is late
        int timeoutMs;
    } cases[] = {{"command", true, 15000}, {"long read", false, 20000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModemSimulator sim;
        ASSERT_TRUE(sim.start());
        m_pref.m_Port = sim.devicePath();
        Open();
        if (c.silent)
            sim.setSilent(true);
        else
            sim.setReplyDelayMs(10000);
        auto caller = std::async(std::launch::async, [this, &c] {
            QStringList lines;
            const auto start = Clock::now();
            const bool ok = c.silent ? m_device->execute_set(QStringLiteral("+CSQ"), c.timeoutMs)
                                     : m_device->execute_generic(lines, QStringLiteral("+CPBR=1,250"), c.timeoutMs,
                                                                 QStringLiteral("OK"));
            return std::make_pair(ok, Clock::now() - start);
        });
        std::this_thread::sleep_for(milliseconds(300));
        sim.vanish();
        const auto [ok, waited] = caller.get();
        EXPECT_FALSE(ok);
        EXPECT_LT(waited, milliseconds(c.timeoutMs));
        EXPECT_FALSE(m_device->execute_set(QStringLiteral("E1"), 1000));  // nothing to talk to
        m_device.release();  // stops both threads and closes the port
        EXPECT_EQ(CGSMDevice::instance(), nullptr);
    }
}

TEST_F(GSMDeviceTest, GarbageFromTheDeviceDoesNotBreakTheLink)
{
    Open();
    m_sim.sendGarbage(8000, 3);
    m_sim.sendUnsolicited(QByteArray(4000, 'x') + "\r\n");
    std::this_thread::sleep_for(milliseconds(300));
    bool answered = false;
    for (int attempt = 0; attempt < 3 && !answered; ++attempt)
        answered = m_device->execute_set(QStringLiteral("E1"), 3000);
    EXPECT_TRUE(answered);
}

TEST_F(GSMDeviceTest, SmsPduModeBuildsTheSubmitAndChecksOutWithTheDevice)
{
    m_pref.m_ServiceCentre = QStringLiteral("+46705008999");
    Open();
    ASSERT_TRUE(m_device->execute_sms(QStringLiteral("+46701234567"), QStringLiteral("hi")));
    const auto sent = m_sim.submittedMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0].textMode);
    EXPECT_EQ(sent[0].pdu, QByteArray("07916407058099F911000B916407214365F70000FF02E834"));
    EXPECT_EQ(sent[0].tpduLength, 16);
}

TEST_F(GSMDeviceTest, SmsTextModeSendsTheNumberAndTheConvertedText)
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

TEST_F(GSMDeviceTest, SmsRefusalsAndFailures)
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
