#include "gsmcore/link/WorkerThread.h"

CWorkerThread::~CWorkerThread()
{
    m_stop.store(true);
    Join();
}

bool CWorkerThread::Start(int)
{
    std::lock_guard lock(m_joinLock);
    if (m_thread.joinable()) {
        if (m_active.load())
            return false;  // still running
        m_thread.join();
    }
    m_stop.store(false);
    m_active.store(true);
    m_thread = std::thread([this] {
        m_exitCode.store(Run());
        m_active.store(false);
    });
    return true;
}

void CWorkerThread::Stop()
{
    m_stop.store(true);
    WakeUp();
    Join();
}

bool CWorkerThread::IsRunning() const
{
    return m_active.load();
}

void CWorkerThread::Join()
{
    std::lock_guard lock(m_joinLock);
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
