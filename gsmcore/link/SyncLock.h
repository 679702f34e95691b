#pragma once
// A lock guard that can be released early: the command layer drops its
// lock before it takes the state lock, and the destructor must then not
// release it a second time.

#include <mutex>

class CSyncLock {
public:
    explicit CSyncLock(std::recursive_mutex& mutex) : m_mutex(mutex) { m_mutex.lock(); }
    ~CSyncLock() { Unlock(); }
    CSyncLock(const CSyncLock&) = delete;
    CSyncLock& operator=(const CSyncLock&) = delete;

    void Unlock()
    {
        if (m_locked) {
            m_locked = false;
            m_mutex.unlock();
        }
    }
    bool IsLocked() const { return m_locked; }

private:
    std::recursive_mutex& m_mutex;
    bool m_locked = true;
};
