#include "support/Registry.h"
#include "support/Trace.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

const QString kTraceKey = QStringLiteral("Software\\Orvanta\\Tessaly\\Trace");

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegistry key;
        key.Create(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Orvanta\\Tessaly"));
        key.DeleteKey(QStringLiteral("Trace"));
        CTraceManager::Instance().SetRegistryKey(HKEY_LOCAL_MACHINE, kTraceKey);
        auto sink = std::make_unique<TraceCapture>();
        capture = sink.get();
        CTraceManager::Instance().SetHandler(std::move(sink));
    }
    void SetValues(std::initializer_list<std::pair<const char*, quint32>> values)
    {
        CRegistry key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kTraceKey), ERROR_SUCCESS);
        for (const auto& [name, value] : values)
            key.SetDWord(QString::fromLatin1(name), value);
    }
    TraceCapture* capture = nullptr;
};

TEST_F(TraceTest, MaskComesFromTheRegistryWithAllOverridingTheCategory)
{
    const struct {
        std::initializer_list<std::pair<const char*, quint32>> values;
        quint32 expectedMask;
    } cases[] = {
        {{{"Probe", 5}}, 5},
        {{{"All", 0}, {"Probe", 1}}, 0},  // "All" wins even when it is 0
        {{{"All", 9}, {"Probe", 1}}, 9},
        {{{"Other", 7}}, 0},              // no value of its own: nothing
        {{}, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        SetValues(c.values);
        CTraceCategory probe(QStringLiteral("Probe"));
        TraceMessage(probe, TRACE_INFO, "first\n");
        EXPECT_TRUE(probe.IsLoaded());
        EXPECT_EQ(probe.GetLevel(), c.expectedMask);
    }
}

TEST_F(TraceTest, SelectionByLevel)
{
    SetValues({{"Probe", 5}});
    CTraceCategory probe(QStringLiteral("Probe"));
    TraceMessage(probe, TRACE_INFO, "info %d\n", 1);
    TraceMessage(probe, TRACE_TIME, "time %d\n", 2);
    TraceMessage(probe, TRACE_ERROR, "error %s\n", QStringLiteral("x"));
    TraceMessage(probe, TRACE_CRITICAL, "critical\n");
    probe.AddLevel(64);
    TraceMessage(probe, 64, "odd level\n");
    const auto lines = capture->Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].message, QStringLiteral("info 1\n"));
    EXPECT_EQ(lines[0].level, QStringLiteral("INFO"));
    EXPECT_EQ(lines[1].level, QStringLiteral("ERROR"));
    EXPECT_TRUE(lines[2].critical);
    EXPECT_EQ(lines[3].level, QString());  // unknown level: empty name
    EXPECT_EQ(lines[3].message, QStringLiteral("odd level\n"));
}

TEST_F(TraceTest, NoSinkDropsAndLeavesTheMaskUnread)
{
    SetValues({{"Probe", 1}});
    CTraceCategory probe(QStringLiteral("Probe"));
    CTraceManager::Instance().SetHandler(nullptr);
    TraceMessage(probe, TRACE_INFO, "dropped\n");
    EXPECT_FALSE(probe.IsLoaded());
    // Installed later: the first call after installation reads the mask.
    auto sink = std::make_unique<TraceCapture>();
    TraceCapture* later = sink.get();
    CTraceManager::Instance().SetHandler(std::move(sink));
    TraceMessage(probe, TRACE_INFO, "kept\n");
    EXPECT_TRUE(probe.IsLoaded());
    EXPECT_EQ(later->Messages(), QStringList{QStringLiteral("kept\n")});
}

}  // namespace
