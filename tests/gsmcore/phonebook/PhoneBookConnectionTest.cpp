#include "tests/TraceCapture.h"
#include "tests/gsmcore/phonebook/DeviceFixture.h"

namespace {

class PhoneBookConnectionTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        connection = std::make_unique<CPhoneBookConnection>();
        connection->SetSleep([this](int ms) { slept += ms; });
        connection->SetProgress({[this](const QString& text) { progress << text; }, [] {}, [] {}});
    }
    QStringList progress;
    int slept = 0;
};

TEST_F(PhoneBookConnectionTest, SimulatePortGivesTwoSimulatedStoresThatWritesLeaveAlone)
{
    connection->SetPort(QStringLiteral("99"), 9600);
    ASSERT_TRUE(connection->Connect());
    EXPECT_FALSE(connection->IsDeviceOpen());
    EXPECT_EQ(progress, QStringList{QStringLiteral("Connecting to phone.")});
    CNumberExtractor& sim = *connection->GetSimStore();
    CNumberExtractor& phone = *connection->GetPhoneStore();
    EXPECT_EQ(sim.GetMemorySize(), 30);
    ExtractorContactArray entries;
    ASSERT_TRUE(sim.GetAll(entries));
    std::vector<int> locations;
    for (const auto& e : entries) {
        locations.push_back(e->m_Index);
        EXPECT_EQ(e->m_MemoryType, MEMORY_SIM);
    }
    EXPECT_EQ(locations, (std::vector<int>{1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    EXPECT_EQ(entries[2]->m_Name, QStringLiteral("Aentry"));

    entries.clear();
    ASSERT_TRUE(phone.GetRange(0, 2, entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2]->m_Name, QStringLiteral("CRow"));
    EXPECT_EQ(entries[2]->m_Number, QStringLiteral("07071422"));
    EXPECT_TRUE(phone.GetRange(5, 4, entries));  // an empty range adds nothing
    EXPECT_EQ(entries.size(), 3u);
    QString number = QStringLiteral("+46 70");
    EXPECT_TRUE(phone.Add(3, QStringLiteral("New"), number));
    ExtractorContactArray all;
    ASSERT_TRUE(phone.GetAll(all));
    EXPECT_EQ(all.size(), 16u);
    EXPECT_EQ(all[0]->m_Name, QStringLiteral("Gamma Test1"));
    QString name = QStringLiteral("kept"), num = QStringLiteral("kept too");
    EXPECT_TRUE(phone.Get(7, name, num));
    EXPECT_EQ(name + num, QStringLiteral("keptkept too"));
}

// A known phone, identified without asking for its storages, whose reset
// puts it on its own memory: every connection selects the SIM again.
TEST_F(PhoneBookConnectionTest, AKnownModelIsIdentifiedAndEachReconnectSelectsTheSimAgain)
{
    StartSimulator();
    ASSERT_TRUE(simulator->setDeviceType(8));
    simulator->setStorages({QStringLiteral("ME"), QStringLiteral("SM")});
    ASSERT_TRUE(simulator->setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-40),20,14")));
    ASSERT_TRUE(simulator->setPhoneBookLimits(QStringLiteral("ME"), QStringLiteral("(1-500),40,30")));
    simulator->fillPhoneBook(QStringLiteral("SM"), 5, 1);
    connection->SetPort(simulator->devicePath(), 9600);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(connection->Connect()) << round;
        EXPECT_EQ(connection->GetPref().m_DeviceType, 8);
        EXPECT_EQ(connection->GetSimStore()->GetMemorySize(), 40) << round;
        EXPECT_EQ(connection->GetPhoneStore()->GetMemorySize(), 500) << round;
        ExtractorContactArray entries;
        ASSERT_TRUE(connection->GetSimStore()->GetAll(entries)) << round;
        EXPECT_EQ(entries.size(), 5u);
        EXPECT_EQ(simulator->selectedStorage(), QStringLiteral("SM")) << round;
    }
    EXPECT_EQ(CountCommands(QStringLiteral("AT+CPBS=?")), 0);
    EXPECT_EQ(progress.mid(0, 2), (QStringList{QStringLiteral("Connecting to phone."), QStringLiteral("Phone device found.")}));
}

TEST_F(PhoneBookConnectionTest, AnUnknownModelListingOnlyTheSimSkipsThePhoneMemory)
{
    TraceCapture* capture = TraceCapture::Install(g_traceTessaly, TRACE_INFO);
    StartSimulator();
    simulator->setModel(QStringLiteral("Unheard-of Modem 9000"));
    simulator->setStorages({QStringLiteral("SM")});
    connection->SetPort(simulator->devicePath(), 9600);
    ASSERT_TRUE(connection->Connect());
    EXPECT_EQ(CountCommands(QStringLiteral("AT+CPBS=?")), 1);
    EXPECT_EQ(connection->GetPref().m_SimStorage, QStringLiteral("SM"));
    EXPECT_TRUE(capture->Contains(QStringLiteral("Failed to identify GSM device.\n")));
    EXPECT_TRUE(capture->Contains(QStringLiteral("Skip reading phone memory\n")));
    EXPECT_EQ(slept, 2000);  // two pauses after the failed identifications
}

// Closing lets the stores go too, so the port is closed; a window closed
// while its first connection still opens the port sends nothing.
TEST_F(PhoneBookConnectionTest, DisconnectReleasesEverythingAndACancelBeforeTheDeviceExistsHolds)
{
    StartSimulator();
    connection->SetPort(simulator->devicePath(), 9600);
    ASSERT_TRUE(connection->Connect());
    connection->CloseDevice();
    EXPECT_EQ(CGSMDevice::instance(), nullptr);
    ASSERT_TRUE(connection->Connect());
    connection->Disconnect();
    EXPECT_FALSE(connection->IsDeviceOpen());
    EXPECT_EQ(connection->GetSimStore(), nullptr);
    EXPECT_EQ(CGSMDevice::instance(), nullptr);

    simulator->clearReceivedCommands();
    slept = 0;
    connection->CancelDeviceWork();
    EXPECT_FALSE(connection->Connect());
    EXPECT_TRUE(simulator->receivedCommands().isEmpty());
    EXPECT_EQ(slept, 0);
}

}  // namespace
