#pragma once
// A worker thread with a stop flag: Start runs Run() on a new thread,
// Stop raises the flag and joins. Run must look at the flag at least
// once a second, so that Stop always ends.

#include <atomic>
#include <mutex>
#include <thread>

class CWorkerThread {
public:
    CWorkerThread() = default;
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Priority is kept for the callers' sake; threads run at normal priority.
    virtual bool Start(int priority);
    // Raises the stop flag, wakes the thread (WakeUp) and waits for it.
    virtual void Stop();

    bool IsStopping() const { return m_stop.load(); }
    bool IsRunning() const;
    int GetExitCode() const { return m_exitCode.load(); }

protected:
    virtual int Run() = 0;
    // Makes a blocked Run() look at the stop flag.
    virtual void WakeUp() {}
    // Joins a thread that has ended or is about to; derived destructors
    // call Stop() first, because Run() uses their members.
    void Join();

private:
    std::mutex m_joinLock;
    std::thread m_thread;
    std::atomic<bool> m_stop{true};
    std::atomic<bool> m_active{false};
    std::atomic<int> m_exitCode{0};
};
