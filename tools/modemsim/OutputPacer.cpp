#include "tools/modemsim/OutputPacer.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kNanosecondsPerTenBits = 10'000'000'000;  // 10 bits, in ns·baud

// Whole bytes that fit in `elapsed` at `baud`; integer arithmetic, so that
// exact times give exact counts.
std::int64_t BytesIn(std::chrono::nanoseconds elapsed, int baud)
{
    const __int128 product = static_cast<__int128>(elapsed.count()) * baud;
    return static_cast<std::int64_t>(product / kNanosecondsPerTenBits);
}

// The time `bytes` take on the wire, rounded up.
std::chrono::nanoseconds TimeOf(std::int64_t bytes, int baud)
{
    const __int128 product = static_cast<__int128>(bytes) * kNanosecondsPerTenBits;
    return std::chrono::nanoseconds(static_cast<std::int64_t>((product + baud - 1) / baud));
}

}  // namespace

void OutputPacer::setBaud(int baud)
{
    m_baud = std::max(0, baud);
    m_inBurst = false;
    m_burstBytes = 0;
}

void OutputPacer::beginBurstIfIdle(Clock::time_point now)
{
    if (m_inBurst)
        return;
    m_inBurst = true;
    m_burstStart = std::max(now, m_lineFreeAt);
    m_burstBytes = 0;
}

std::int64_t OutputPacer::allowance(Clock::time_point now)
{
    if (!paced())
        return std::numeric_limits<std::int64_t>::max();
    beginBurstIfIdle(now);
    if (now <= m_burstStart)
        return 0;
    // A byte may go once its ten bits have had their time on the wire.
    const std::int64_t due = BytesIn(now - m_burstStart, m_baud);
    return std::max<std::int64_t>(0, due - m_burstBytes);
}

void OutputPacer::wrote(std::int64_t bytes)
{
    if (!paced())
        return;
    m_burstBytes += bytes;
    m_lineFreeAt = m_burstStart + std::chrono::duration_cast<Clock::duration>(TimeOf(m_burstBytes, m_baud));
}

std::chrono::milliseconds OutputPacer::untilNext(Clock::time_point now)
{
    if (!paced())
        return std::chrono::milliseconds(0);
    beginBurstIfIdle(now);
    const auto due = m_burstStart + std::chrono::duration_cast<Clock::duration>(TimeOf(m_burstBytes + 1, m_baud));
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - now);
    return std::max(wait, std::chrono::milliseconds(1));
}

void OutputPacer::pause()
{
    m_inBurst = false;
}
