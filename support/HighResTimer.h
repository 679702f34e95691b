#pragma once
// A millisecond stopwatch on the steady clock. The counter runs in
// microseconds, so one millisecond is 1000 ticks.

#include <QtGlobal>

class CHighResTimer {
public:
    // Where the counter comes from; tests replace it to play a machine
    // without a counter. Each returns false when it cannot be read.
    struct Counter {
        bool (*frequency)(qint64& ticksPerSecond);
        bool (*reading)(qint64& ticks);
    };
    static Counter SteadyClock();

    CHighResTimer();
    explicit CHighResTimer(Counter counter);

    void Start();
    qint64 Elapsed() const;  // milliseconds since Start

    qint64 MicrosecondsPerTick() const { return m_microsecondsPerTick; }
    qint64 TicksPerMillisecond() const { return m_ticksPerMillisecond; }

private:
    qint64 Reading() const;

    Counter m_counter;
    qint64 m_microsecondsPerTick = -1;
    qint64 m_ticksPerMillisecond = 1;
    qint64 m_start = 0;
};

// The two process-wide stopwatches.
CHighResTimer& TraceClock();       // prefix of trace lines
CHighResTimer& CommandStopwatch(); // timings of AT commands
