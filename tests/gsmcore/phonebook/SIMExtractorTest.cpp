#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/SIMExtractor.h"
#include "tests/gsmcore/phonebook/DeviceFixture.h"

#include <chrono>
#include <future>
#include <limits>
#include <thread>

namespace {

// The device is open on a fresh simulator; each test shapes the simulator
// before it prepares its stores.
class SIMExtractorTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartSimulator());
        ASSERT_NO_FATAL_FAILURE(OpenDevice());
    }
    void Prepare(CSIMExtractor& store, bool quiet = false)
    {
        ASSERT_TRUE(store.SetDevice(device));
        ASSERT_TRUE(store.Init());
        ASSERT_TRUE(store.InitSize());
        if (quiet)
            store.DisableErrorMessages();
    }
};

TEST_F(SIMExtractorTest, StorageIsSelectedOnlyWhenItChanges)
{
    simulator->fillPhoneBook(QStringLiteral("SM"), 3, 1);
    simulator->fillPhoneBook(QStringLiteral("ME"), 3, 2);
    CSIMExtractor sim(MEMORY_SIM), phone(MEMORY_PHONE);
    Prepare(sim);
    Prepare(phone);
    simulator->clearReceivedCommands();
    ExtractorContactArray entries;
    // Each step: the store read twice, and the selections sent so far.
    const struct { CSIMExtractor* store; int selections; } steps[] = {{&phone, 0}, {&sim, 1}, {&phone, 2}};
    for (const auto& step : steps) {
        ASSERT_TRUE(step.store->GetAll(entries));
        ASSERT_TRUE(step.store->GetAll(entries));
        EXPECT_EQ(CountCommands(QStringLiteral("AT+CPBS")), step.selections);
    }
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0]->m_MemoryType, MEMORY_PHONE);
}

// Every character of the GSM alphabet and its extension table, and names
// in other scripts, on phones with and without UCS2: what the store
// writes is what the SIM holds and what a read gives back, or the write
// is refused naming the characters; the GSM alphabet is selected after.
TEST_F(SIMExtractorTest, NamesInEveryScriptAreWrittenExactlyOrRefused)
{
    // Every character the converter has a code for, "@" (code 0) first.
    // CR, LF and the double quote cannot travel inside an AT command line.
    CCharacterSetDefault gsm;
    QString alphabet = QStringLiteral("€[]{}\\~^|");
    for (char16_t code = 0; code < 0x80; ++code) {
        const QChar c = gsm.ConvertToUnicode(QChar(code));
        if (CCharacterSetDefault::HasCode(c.unicode()) && c != u'\r' && c != u'\n' && c != u'"')
            alphabet += c;
    }
    ASSERT_GE(alphabet.size(), 130);
    QStringList gsmNames;  // as many as fit the 20 bytes, an extension character taking two
    for (QString rest = alphabet; !rest.isEmpty(); rest.remove(0, gsmNames.last().size()))
        gsmNames << FittingName(rest, 20);
    const QStringList otherScripts = {u"Дмитрий"_qs, u"Αθηνά"_qs, u"Zoë 李"_qs, u"王小明"_qs, u"Ölüm ç €"_qs};
    const QString tooFar = u"Smile \U0001F600"_qs;

    for (const bool ucs2 : {true, false}) {
        SCOPED_TRACE(ucs2 ? "UCS2" : "GSM only");
        simulator->clearPhoneBook(QStringLiteral("SM"));
        simulator->setOffersUcs2(ucs2);
        simulator->setUcs2HexNumbers(ucs2);  // numbers come back as hex too
        simulator->setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-250),40,20"));
        CSIMExtractor sim(MEMORY_SIM);
        Prepare(sim);
        EXPECT_EQ(sim.HasUcs2(), ucs2);
        QStringList written;
        for (const QString& name : gsmNames + otherScripts + QStringList{tooFar}) {
            boxes->clear();
            QString number = QStringLiteral("+4670%1").arg(written.size());
            const bool storable = name != tooFar && (ucs2 || CharactersOutsideGsm(name).isEmpty());
            EXPECT_EQ(sim.Add(written.size() + 1, name, number), storable) << name.toStdString();
            EXPECT_EQ(simulator->selectedCharacterSet(), QStringLiteral("GSM"));
            if (storable) {
                written << name;
                continue;
            }
            ASSERT_EQ(boxes->size(), 1u);
            EXPECT_TRUE(boxes->front().message.contains(name == tooFar ? u"\U0001F600"_qs : CharactersOutsideGsm(name)))
                << boxes->front().message.toStdString();
        }
        const auto held = simulator->entries(QStringLiteral("SM"));
        ExtractorContactArray entries;
        ASSERT_TRUE(sim.GetAll(entries));
        EXPECT_EQ(simulator->selectedCharacterSet(), QStringLiteral("GSM"));
        ASSERT_EQ(entries.size(), size_t(written.size()));
        ASSERT_EQ(held.size(), size_t(written.size()));
        for (int i = 0; i < written.size(); ++i) {
            EXPECT_EQ(held[size_t(i)].text, written[i]) << i;
            EXPECT_EQ(entries[size_t(i)]->m_Name, written[i]) << i;
            EXPECT_EQ(entries[size_t(i)]->m_Number, QStringLiteral("+4670%1").arg(i));
        }
        QString name, number;
        ASSERT_TRUE(sim.Get(written.size(), name, number));
        EXPECT_EQ(name, written.last());
    }
}

TEST_F(SIMExtractorTest, EmptyLocationAndSilentRangeFailWithAMessageOnlyWhenErrorsAreShown)
{
    CSIMExtractor sim(MEMORY_SIM);
    simulator->setEmptyLocationAnswersOk(true);  // "OK" alone, as many phones answer
    simulator->writeEntry(QStringLiteral("SM"), 1, "0701234567", "Anna");
    simulator->setOffersUcs2(false);  // the reads alone are timed
    Prepare(sim);
    QString name, number;
    EXPECT_FALSE(sim.Get(5, name, number));
    ASSERT_EQ(boxes->size(), 1u);
    EXPECT_EQ(boxes->front().message, QStringLiteral("Failed to communicate with GSM device."));
    EXPECT_EQ(boxes->front().type, 16u);
    sim.DisableErrorMessages();
    EXPECT_FALSE(sim.Get(5, name, number));
    EXPECT_EQ(boxes->size(), 1u);
    EXPECT_TRUE(sim.Get(1, name, number));
    EXPECT_EQ(name + number, QStringLiteral("Anna0701234567"));

    ExtractorContactArray entries;
    ASSERT_TRUE(sim.GetRange(0, 1, entries));
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_EQ(simulator->receivedCommands().last(), QStringLiteral("AT+CPBR=1,2"));
    simulator->setSilent(true);
    EXPECT_FALSE(sim.GetRange(0, 0, entries));  // nothing to read up to position 0
    simulator->clearReceivedCommands();
    EXPECT_FALSE(sim.GetRange(2, 2, entries));  // two seconds, then failure
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_EQ(simulator->receivedCommands().value(0), QStringLiteral("AT+CPBR=3,3"));
}

TEST_F(SIMExtractorTest, CancelOrUnplugAnywhereInAPacedReadReturnsAtOnce)
{
    simulator->fillPhoneBook(QStringLiteral("SM"), 250, 5);
    const auto expected = simulator->entries(QStringLiteral("SM"));
    const struct {
        int afterLines;  // where the device pauses its listing
        bool unplug;     // else the program cancels
    } cases[] = {{0, false}, {100, false}, {250, false}, {100, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "after " << c.afterLines << (c.unplug ? " unplug" : " cancel"));
        // A new device on a new line each time: neither a cancelled device
        // nor the rest of the last listing is carried over.
        device.release();
        simulator->stop();
        ASSERT_TRUE(simulator->start());
        ASSERT_NO_FATAL_FAILURE(OpenDevice());
        simulator->clearFaults();
        simulator->setBaud(230400);
        ModemSimulator::ReplyFault pause;
        pause.afterLines = c.afterLines;
        pause.holdMs = 60000;  // the rest, OK included, comes long after the bound below
        simulator->setReplyFault(QStringLiteral("+CPBR=1,"), pause);
        CSIMExtractor sim(MEMORY_SIM);
        Prepare(sim, true);
        std::promise<std::chrono::steady_clock::time_point> pulled;
        bool held = false;
        std::thread pull([&] {
            held = simulator->waitForHold(30000);  // the lines before the pause have gone out
            pulled.set_value(std::chrono::steady_clock::now());
            if (c.unplug)
                simulator->vanish();
            else
                device->setdevicestate(CDeviceThread::DEVICESTATE_SHUTTINGDOWN);
        });
        ExtractorContactArray entries;
        EXPECT_FALSE(sim.GetAll(entries));
        const auto returned = std::chrono::steady_clock::now();
        pull.join();
        EXPECT_TRUE(held);
        // Far inside the pause: the read ended because it was told to.
        EXPECT_LT(returned - pulled.get_future().get(), std::chrono::seconds(20));
        // What was read is kept, in order; lines still on their way when
        // the read is stopped may or may not have been taken.
        ASSERT_LE(entries.size(), size_t(c.afterLines));
        ExpectFirstEntries(entries, expected, entries.size());
    }
}

TEST_F(SIMExtractorTest, OddRangeAnswersGiveSizesWithinBounds)
{
    const struct { const char* answer; int size, nameSize, numberSize; } cases[] = {
        {"+CPBR: (0-99999999999),40,18", std::numeric_limits<int>::max(), 18, 40},
        {"+CPBR: (5-3),20,10", 0, 10, 20},
    };
    for (const auto& c : cases) {
        simulator->setAnswerFor(QStringLiteral("+CPBR=?"), c.answer);
        CSIMExtractor store(MEMORY_SIM);
        Prepare(store);
        EXPECT_EQ(store.GetMemorySize(), c.size) << c.answer;
        EXPECT_EQ(store.GetMaxNameSize(), c.nameSize) << c.answer;
        EXPECT_EQ(store.GetMaxNumberSize(), c.numberSize) << c.answer;
    }
}

}  // namespace
