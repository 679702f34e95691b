#include "gsmcore/link/ThreadMessageQueue.h"

#include <chrono>

void CThreadMessageQueue::post(int message)
{
    {
        std::lock_guard lock(m_lock);
        m_messages.push_back(message);
    }
    m_posted.notify_one();
}

bool CThreadMessageQueue::wait(int& message, int timeoutMs)
{
    std::unique_lock lock(m_lock);
    if (!m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_messages.empty(); }))
        return false;
    message = m_messages.front();
    m_messages.pop_front();
    return true;
}
