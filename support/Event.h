#pragma once
// An event with manual or automatic reset, waited on with a time-out.

#include <chrono>
#include <condition_variable>
#include <mutex>

class CEvent {
public:
    explicit CEvent(bool manualReset = true, bool initiallySet = false)
        : m_manualReset(manualReset), m_set(initiallySet) {}

    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event was set within `timeoutMs` (negative: wait
    // without end). An automatic-reset event is reset by the wait.
    bool Wait(int timeoutMs);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_manualReset;
    bool m_set;
};
