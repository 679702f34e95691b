#include "gsmcore/phonebook/SimulatedExtractor.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulatedExtractor, SimDataSet)
{
    CSimulatedExtractor sim(MEMORY_SIM);
    ExtractorContactArray entries;
    ASSERT_TRUE(sim.GetAll(entries));
    ASSERT_EQ(entries.size(), 16u);
    std::vector<int> locations;
    for (const auto& e : entries) {
        locations.push_back(e->m_Index);
        EXPECT_EQ(e->m_MemoryType, MEMORY_SIM);
    }
    EXPECT_EQ(locations, (std::vector<int>{1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    EXPECT_EQ(entries[0]->m_Name, QStringLiteral("Alpha test1"));
    EXPECT_EQ(entries[1]->m_Number, QStringLiteral("0100000002"));
    EXPECT_EQ(entries[2]->m_Name, QStringLiteral("Aentry"));
    EXPECT_EQ(entries[2]->m_Number, QStringLiteral("0870"));
    EXPECT_EQ(entries[15]->m_Name, QStringLiteral("Nentry"));
    EXPECT_EQ(entries[15]->m_Number, QStringLiteral("08713"));
    EXPECT_EQ(sim.GetMemorySize(), 30);
    EXPECT_EQ(sim.GetFirstIndex(), 1);
    EXPECT_EQ(sim.GetMaxNameSize(), 16);
    EXPECT_EQ(sim.GetMaxNumberSize(), 20);
}

TEST(SimulatedExtractor, PhoneRangeAndWritesThatChangeNothing)
{
    CSimulatedExtractor phone(MEMORY_PHONE);
    ExtractorContactArray entries;
    ASSERT_TRUE(phone.GetRange(0, 2, entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0]->m_Index, 1);
    EXPECT_EQ(entries[2]->m_Name, QStringLiteral("CRow"));
    EXPECT_EQ(entries[2]->m_Number, QStringLiteral("07071422"));
    EXPECT_TRUE(phone.GetRange(5, 4, entries));
    EXPECT_EQ(entries.size(), 3u);

    QString number = QStringLiteral("+46 70");
    EXPECT_TRUE(phone.Add(3, QStringLiteral("New"), number));
    ExtractorContactArray all;
    phone.GetAll(all);
    EXPECT_EQ(all.size(), 16u);
    EXPECT_EQ(all[0]->m_Name, QStringLiteral("Gamma Test1"));
    QString name = QStringLiteral("kept"), num = QStringLiteral("kept too");
    EXPECT_TRUE(phone.Get(7, name, num));
    EXPECT_EQ(name, QStringLiteral("kept"));
    EXPECT_EQ(num, QStringLiteral("kept too"));
}

}  // namespace
