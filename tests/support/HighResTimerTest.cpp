#include "support/HighResTimer.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

qint64 g_fakeTicks = 0;
qint64 g_fakeFrequency = 0;
bool FakeFrequency(qint64& f) { f = g_fakeFrequency; return g_fakeFrequency > 0; }
bool FakeReading(qint64& t) { t = g_fakeTicks; return true; }

// Intervals follow the counter's frequency; without a counter every one
// is zero, and that is said once.
TEST(HighResTimer, IntervalsFollowTheCounterFrequency)
{
    TraceCapture* capture = TraceCapture::Install(g_traceCommon, TRACE_ERROR);
    const struct {
        qint64 frequency, ticksPerMs, elapsed;
    } cases[] = {{1000, 1, 250}, {1000000, 1000, 250}, {3579545, 1000, 250}, {100000, 100, 250}, {0, 1, 0}};
    for (const auto& c : cases) {
        g_fakeFrequency = c.frequency;
        CHighResTimer timer(CHighResTimer::Counter{&FakeFrequency, &FakeReading});
        EXPECT_EQ(timer.TicksPerMillisecond(), c.ticksPerMs) << c.frequency;
        g_fakeTicks = 5 * c.ticksPerMs;
        timer.Start();
        g_fakeTicks += c.frequency ? 250 * c.ticksPerMs : 123456;
        EXPECT_EQ(timer.Elapsed(), c.elapsed) << c.frequency;
        EXPECT_EQ(timer.MicrosecondsPerTick() < 0, c.frequency == 0) << c.frequency;
    }
    EXPECT_TRUE(capture->Contains(u"Timer: No support high-res timing\n"_qs));

    // The steady clock: a sleep of 20 ms lasts at least that long.
    CHighResTimer steady;
    steady.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(steady.Elapsed(), 20);
}

}  // namespace
