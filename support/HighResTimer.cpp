#include "support/HighResTimer.h"

#include "support/Trace.h"

#include <chrono>

namespace {
bool SteadyFrequency(qint64& ticksPerSecond)
{
    ticksPerSecond = 1000000;
    return true;
}

bool SteadyReading(qint64& ticks)
{
    ticks = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count();
    return true;
}
}  // namespace

CHighResTimer::Counter CHighResTimer::SteadyClock()
{
    return Counter{&SteadyFrequency, &SteadyReading};
}

CHighResTimer::CHighResTimer() : CHighResTimer(SteadyClock()) {}

CHighResTimer::CHighResTimer(Counter counter) : m_counter(counter)
{
    qint64 frequency = 0;
    if (!m_counter.frequency || !m_counter.frequency(frequency) || frequency <= 0) {
        TraceMessage(g_traceCommon, TRACE_ERROR, "Timer: No support high-res timing\n");
        m_microsecondsPerTick = -1;
        return;
    }
    m_microsecondsPerTick = 1000000 / frequency;
    m_ticksPerMillisecond = 1000 / qMax<qint64>(m_microsecondsPerTick, 1);
    if (m_ticksPerMillisecond <= 0)
        m_ticksPerMillisecond = 1;
}

qint64 CHighResTimer::Reading() const
{
    qint64 ticks = 0;
    if (m_microsecondsPerTick < 0 || !m_counter.reading || !m_counter.reading(ticks))
        return 0;
    return ticks / m_ticksPerMillisecond;
}

void CHighResTimer::Start()
{
    m_start = Reading();
}

qint64 CHighResTimer::Elapsed() const
{
    return Reading() - m_start;
}

CHighResTimer& TraceClock()
{
    static CHighResTimer timer;
    return timer;
}

CHighResTimer& CommandStopwatch()
{
    static CHighResTimer timer;
    return timer;
}
