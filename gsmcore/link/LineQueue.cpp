#include "gsmcore/link/LineQueue.h"

#include "support/Trace.h"

CLineQueue::~CLineQueue()
{
    abort();
}

void CLineQueue::append(const QString& line)
{
    std::lock_guard lock(m_lock);
    if (m_lines.size() >= static_cast<size_t>(MaxLines)) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Line queue full, dropping '%s'\n", m_lines.front());
        m_lines.pop_front();
    }
    m_lines.push_back(line);
    m_available.Set();
}

bool CLineQueue::take(QString& line, int timeoutMs)
{
    if (m_abort.load())
        return false;
    // A time-out of 0 (or less) only looks whether a line is there.
    if (!m_available.Wait(timeoutMs > 0 ? timeoutMs : 0))
        return false;
    if (m_abort.load())
        return false;
    std::lock_guard lock(m_lock);
    if (m_lines.empty()) {
        m_available.Reset();
        return false;
    }
    line = m_lines.front();
    m_lines.pop_front();
    if (m_lines.empty())
        m_available.Reset();
    return true;
}

void CLineQueue::clear()
{
    std::lock_guard lock(m_lock);
    m_lines.clear();
    m_available.Reset();
}

void CLineQueue::reset()
{
    std::lock_guard lock(m_lock);
    m_lines.clear();
    m_available.Reset();
    m_abort.store(false);
}

void CLineQueue::abort()
{
    m_abort.store(true);
    m_available.Set();
}

int CLineQueue::count() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_lines.size());
}
