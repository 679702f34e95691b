#include "support/HighResTimer.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

qint64 g_fakeTicks = 0;
qint64 g_fakeFrequency = 0;
bool FakeFrequency(qint64& f) { f = g_fakeFrequency; return g_fakeFrequency > 0; }
bool FakeReading(qint64& t) { t = g_fakeTicks; return true; }

TEST(HighResTimer, TicksPerMillisecondFollowTheCounterFrequency)
{
    const struct {
        qint64 frequency, ticksPerMs;
    } cases[] = {{1000, 1}, {1000000, 1000}, {3579545, 1000}, {100000, 100}};
    for (const auto& c : cases) {
        g_fakeFrequency = c.frequency;
        CHighResTimer timer(CHighResTimer::Counter{&FakeFrequency, &FakeReading});
        EXPECT_EQ(timer.TicksPerMillisecond(), c.ticksPerMs) << c.frequency;
        g_fakeTicks = 5 * c.ticksPerMs;
        timer.Start();
        g_fakeTicks += 250 * c.ticksPerMs;
        EXPECT_EQ(timer.Elapsed(), 250);
    }
}

TEST(HighResTimer, WithoutACounterEveryIntervalIsZero)
{
    TraceCapture* capture = TraceCapture::Install(g_traceCommon, TRACE_ERROR);
    g_fakeFrequency = 0;
    CHighResTimer timer(CHighResTimer::Counter{&FakeFrequency, &FakeReading});
    EXPECT_EQ(timer.MicrosecondsPerTick(), -1);
    timer.Start();
    g_fakeTicks += 123456;
    EXPECT_EQ(timer.Elapsed(), 0);
    EXPECT_TRUE(capture->Contains(QStringLiteral("Timer: No support high-res timing\n")));
}

TEST(HighResTimer, SteadyClockMeasuresMilliseconds)
{
    CHighResTimer timer;
    timer.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(timer.Elapsed(), 20);
}

}  // namespace
