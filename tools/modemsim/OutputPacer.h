#pragma once
// Paces what the modem sends to the speed of a serial line: at 10 bits per
// byte (start bit, 8 data bits, stop bit) a byte is complete 10/baud
// seconds after the one before it. A baud rate of 0 means no pacing.

#include <chrono>
#include <cstdint>

class OutputPacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit OutputPacer(int baud = 0) : m_baud(baud) {}

    void setBaud(int baud);
    int baud() const { return m_baud; }
    bool paced() const { return m_baud > 0; }

    // How many bytes may go out at `now`.
    std::int64_t allowance(Clock::time_point now);
    void wrote(std::int64_t bytes);
    // How long until the next byte may go (at least 1 ms when paced).
    std::chrono::milliseconds untilNext(Clock::time_point now);
    // The line falls quiet: the next byte starts a new burst, not before
    // the last one has left the wire.
    void pause();

private:
    void beginBurstIfIdle(Clock::time_point now);

    int m_baud;
    bool m_inBurst = false;
    Clock::time_point m_burstStart {};
    std::int64_t m_burstBytes = 0;
    Clock::time_point m_lineFreeAt {};
};
