#include "support/Registry.h"
#include "support/Trace.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

const QString kTraceKey = u"Software\\Orvanta\\Tessaly\\Trace"_qs;

// A category's mask is read from the registry at its first message after
// a sink is installed.
class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegistry(HKEY_LOCAL_MACHINE, u"Software\\Orvanta\\Tessaly"_qs).DeleteKey(u"Trace"_qs);
        CTraceManager::Instance().SetRegistryKey(HKEY_LOCAL_MACHINE, kTraceKey);
        capture = Install();
    }
    TraceCapture* Install()
    {
        auto sink = std::make_unique<TraceCapture>();
        TraceCapture* installed = sink.get();
        CTraceManager::Instance().SetHandler(std::move(sink));
        return installed;
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
        CTraceCategory probe(u"Probe"_qs);
        TraceMessage(probe, TRACE_INFO, "first\n");
        EXPECT_TRUE(probe.IsLoaded());
        EXPECT_EQ(probe.GetLevel(), c.expectedMask);
    }
}

// Messages go out by level, critical ones marked; without a sink they are
// dropped and the mask stays unread.
TEST_F(TraceTest, SelectionByLevelAndNoSink)
{
    SetValues({{"Probe", 5}});
    CTraceCategory probe(u"Probe"_qs);
    CTraceManager::Instance().SetHandler(nullptr);
    TraceMessage(probe, TRACE_INFO, "dropped\n");
    EXPECT_FALSE(probe.IsLoaded());
    capture = Install();
    TraceMessage(probe, TRACE_INFO, "info %d\n", 1);
    TraceMessage(probe, TRACE_TIME, "time %d\n", 2);
    TraceMessage(probe, TRACE_ERROR, "error %s\n", u"x"_qs);
    TraceMessage(probe, TRACE_CRITICAL, "critical\n");
    probe.AddLevel(64);
    TraceMessage(probe, 64, "odd level\n");
    const auto lines = capture->Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].message, u"info 1\n"_qs);
    EXPECT_EQ(lines[0].level, u"INFO"_qs);
    EXPECT_EQ(lines[1].level, u"ERROR"_qs);
    EXPECT_TRUE(lines[2].critical);
    EXPECT_EQ(lines[3].level, QString());  // unknown level: empty name
    EXPECT_EQ(lines[3].message, u"odd level\n"_qs);
}

}  // namespace
