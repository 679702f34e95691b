// The same paced phone book read, a write and a message (sent as
// tessaly-cli sends it), each against a simulated device that misbehaves
// in one way, mostly inside that command's own reply. Every row says what the
// user must get: the whole correct result, or a clear failure with the
// entries that came before it. Never a silent partial result, never a hang.

#include "gsmcore/phonebook/SIMExtractor.h"
#include "gsmcore/sms/SubmitBuilder.h"
#include "tests/gsmcore/phonebook/DeviceFixture.h"

#include <chrono>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kEntries = 250;
// A hang would last the read's 120 s; everything here ends far sooner.
constexpr auto kBound = std::chrono::seconds(20);

const QByteArray kUnsolicited = "\r\nRING\r\n\r\n+CLIP: \"0701234567\",129\r\n\r\n+CMTI: \"SM\",3\r\n"
                                "\r\n+CREG: 1\r\n\r\n+CREG: 1,\"00C3\",\"1A2B\"\r\n";

struct Outcome {
    bool ok;
    int entries;          // the read: how many it must give
    const char* failure;  // the read: what the store says went wrong
};

// A fault inside the reply of each command a row runs: in the listing
// after 100 entries, in the write before its OK, in the message before
// the prompt and/or in the submission's result after its +CMGS line.
struct InReply {
    QByteArray insert;
    bool cut = false;
    int holdMs = 0;
    unsigned commands = 0;
};
enum : unsigned { Read = 1, Write = 2, BeforePrompt = 4, InResult = 8, Every = Read | Write | InResult };

struct FaultRow {
    const char* name;
    std::function<void(ModemSimulator&)> fault;  // set after connecting
    InReply inReply;
    Outcome read;
    bool writeOk;
    bool smsOk;
    bool gone = false;  // the device is unplugged by the fault
};

ModemSimulator::ReplyFault InListing(int afterLines, QByteArray insert, bool cut = false, bool vanish = false)
{
    ModemSimulator::ReplyFault fault;
    fault.afterLines = afterLines;
    fault.insert = std::move(insert);
    fault.cut = cut;
    fault.vanish = vanish;
    fault.holdMs = vanish ? 200 : 0;
    return fault;
}

const QString kListing = QStringLiteral("+CPBR=1,");
const QString kWrite = QStringLiteral("+CPBW=");
const QString kSubmit = QStringLiteral("+CMGS=");

void Place(ModemSimulator& sim, const InReply& in, unsigned command)
{
    if (!(in.commands & command))
        return;
    ModemSimulator::ReplyFault fault = InListing(command == Read ? 100 : command == InResult ? 1 : 0, in.insert, in.cut);
    fault.holdMs = in.holdMs;
    fault.inMessageReply = command == InResult;
    sim.setReplyFault(command == Read ? kListing : command == Write ? kWrite : kSubmit, fault);
}

const FaultRow kRows[] = {
    {"no fault", [](ModemSimulator&) {}, {}, {true, kEntries, ""}, true, true},
    {"dropped echo", [](ModemSimulator& sim) { sim.setDropEcho(true); }, {}, {false, 0, ""}, false, false},
    {"delayed reply", [](ModemSimulator& sim) { sim.setReplyDelayMs(700); }, {}, {true, kEntries, ""}, true, true},
    // Noise is no reply: the entries around it are all there.
    {"garbage between lines", [](ModemSimulator&) {},
     {"\r\n" + ModemSimulator::garbageBytes(200, 7) + "\r\n", false, 0, Every}, {true, kEntries, ""}, true, true},
    {"over-long line", [](ModemSimulator& sim) { sim.setBaud(0); },
     {"\r\n" + QByteArray(64 * 1024, 'x'), false, 0, Read}, {false, kEntries, nullptr}, true, true},
    {"unsolicited codes inside every reply", [](ModemSimulator&) {},
     {kUnsolicited, false, 0, Every | BeforePrompt}, {true, kEntries, ""}, true, true},
    {"device error inside every reply", [](ModemSimulator&) {},
     {"\r\n+CME ERROR: 13\r\n", true, 0, Read | Write | BeforePrompt}, {false, 100, "+CME ERROR: 13"}, false,
     false},
    {"late reply to the write", [](ModemSimulator&) {}, {{}, false, 4000, Write}, {true, kEntries, ""}, false, true},
    {"closed before the read", [](ModemSimulator& sim) { sim.vanish(); }, {}, {false, 0, ""}, false, false, true},
    {"closed after the echo",
     [](ModemSimulator& sim) { sim.setReplyFault(kListing, InListing(0, {}, true, true)); }, {},
     {false, 0, ""}, false, false, true},
    {"closed mid-listing",
     [](ModemSimulator& sim) { sim.setReplyFault(kListing, InListing(100, {}, true, true)); }, {},
     {false, 100, ""}, false, false, true},
    {"closed before the OK",
     [](ModemSimulator& sim) { sim.setReplyFault(kListing, InListing(kEntries, {}, true, true)); }, {},
     {false, kEntries, ""}, false, false, true},
    {"closed after the OK",
     [](ModemSimulator& sim) { sim.setReplyFault(kListing, InListing(kEntries + 1, {}, true, true)); }, {},
     {true, kEntries, ""}, false, false, true},
};

class FaultCampaignTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartSimulator();
        simulator->setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-250),40,18"));
        simulator->fillPhoneBook(QStringLiteral("SM"), kEntries, 21);
        expected = simulator->entries(QStringLiteral("SM"));
    }
    // A new line to the simulator (a replug) and a new connection on it.
    void Reconnect()
    {
        connection.reset();
        simulator->clearFaults();
        simulator->stop();
        ASSERT_TRUE(simulator->start());
        simulator->setBaud(0);
        connection = std::make_unique<CPhoneBookConnection>();
        connection->SetSleep([](int) {});
        connection->SetEventSink([](const CDeviceEvent&) {});  // codes go to events, as in the program
        connection->SetPort(simulator->devicePath(), 115200);
        ASSERT_TRUE(connection->Connect());
        ASSERT_TRUE(connection->IsSimReady());
        connection->GetDevicePtr()->setechotimeout(1500);  // a dropped echo costs less
        connection->GetSimStore()->DisableErrorMessages();
        simulator->setBaud(230400);  // paced like a fast serial line
    }

    void ExpectRead(const Outcome& want)
    {
        CNumberExtractor& store = *connection->GetSimStore();
        ExtractorContactArray entries;
        const auto start = Clock::now();
        EXPECT_EQ(store.GetAll(entries), want.ok);
        EXPECT_LT(Clock::now() - start, kBound);
        ExpectFirstEntries(entries, expected, size_t(want.entries));
        if (want.failure) {
            EXPECT_EQ(static_cast<CSIMExtractor&>(store).GetReadFailure(), QString::fromLatin1(want.failure));
        }
    }

    bool TimedWrite()
    {
        QString number = QStringLiteral("+46701112233");
        const auto start = Clock::now();
        const bool ok = connection->GetSimStore()->Add(kEntries, QStringLiteral("Fault row"), number);
        EXPECT_LT(Clock::now() - start, kBound);
        return ok;
    }

    // As tessaly-cli sends it: PDU mode, one part.
    bool TimedMessage()
    {
        SubmitOptions options;
        options.to = QStringLiteral("+46701234567");
        options.text = QStringLiteral("fault row");
        std::vector<SubmitPart> parts;
        QString error;
        EXPECT_TRUE(BuildSubmitParts(options, parts, error));
        const auto start = Clock::now();
        Ptr<CGSMDevice> device = connection->GetDevicePtr();
        const bool ok = device && parts.size() == 1 && device->execute_sms(parts[0].pdu, parts[0].length) >= 0;
        EXPECT_LT(Clock::now() - start, kBound);
        return ok;
    }

    std::vector<ModemSimulator::Entry> expected;
};

TEST_F(FaultCampaignTest, EveryFaultGivesTheWholeResultOrAClearFailure)
{
    for (const FaultRow& row : kRows) {
        SCOPED_TRACE(row.name);
        ASSERT_NO_FATAL_FAILURE(Reconnect());
        row.fault(*simulator);
        for (const unsigned command : {Read, Write, BeforePrompt, InResult})
            Place(*simulator, row.inReply, command);
        ExpectRead(row.read);
        for (int i = 0; i < 300 && row.gone && simulator->isRunning(); ++i)
            std::this_thread::sleep_for(milliseconds(10));
        simulator->setReplyFault(kListing, {});  // the listing's fault is spent
        const size_t messagesBefore = simulator->isRunning() ? simulator->submittedMessages().size() : 0;
        EXPECT_EQ(TimedWrite(), row.writeOk);
        EXPECT_EQ(TimedMessage(), row.smsOk);
        if (row.inReply.commands & BeforePrompt && !row.smsOk) {
            EXPECT_EQ(simulator->submittedMessages().size(), messagesBefore);  // refused: nothing went out
        }
        if (simulator->isRunning()) {
            if (row.writeOk) {
                EXPECT_EQ(simulator->entries(QStringLiteral("SM")).back().name, QByteArray("Fault row"));
            }
            // A write whose reply went wrong may still have been made.
            simulator->deleteEntry(QStringLiteral("SM"), kEntries);
            simulator->fillPhoneBook(QStringLiteral("SM"), kEntries, 21);
        }
        if (row.smsOk) {
            EXPECT_EQ(simulator->submittedMessages().size(), messagesBefore + 1);
        }
    }
    // After the last unplug: plugged in again, a new connection reads it
    // all, in one command.
    ASSERT_NO_FATAL_FAILURE(Reconnect());
    simulator->clearReceivedCommands();
    ExpectRead({true, kEntries, ""});
    EXPECT_EQ(CountCommands(QStringLiteral("AT+CPBR=")), 1);
}

}  // namespace
