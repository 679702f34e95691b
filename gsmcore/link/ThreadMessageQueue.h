#pragma once
// The small message queue of the device thread: start, stop and quit are
// posted to it by other threads and handled in order on the thread.

#include <condition_variable>
#include <deque>
#include <mutex>

class CThreadMessageQueue {
public:
    static constexpr int MessageStart = 0x400 + 10;
    static constexpr int MessageStop = 0x400 + 11;
    static constexpr int MessageQuit = 0x0012;

    void post(int message);
    // False when nothing came within `timeoutMs`.
    bool wait(int& message, int timeoutMs);

private:
    std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<int> m_messages;
};
