#include "gsmcore/link/LineQueue.h"

#include "gsmcore/link/FinalResult.h"
#include "gsmcore/link/UnsolicitedCodes.h"
#include "support/Trace.h"

#include <algorithm>
#include <chrono>

namespace {

bool Droppable(const QString& line)
{
    return ClassifyUnsolicited(line) != UnsolicitedCode::None && ClassifyFinal(line) == FinalResult::None;
}

}  // namespace

CLineQueue::~CLineQueue()
{
    abort();
}

void CLineQueue::append(const QString& line)
{
    std::lock_guard lock(m_lock);
    if (m_lines.size() >= static_cast<size_t>(MaxLines)) {
        const auto oldest = std::find_if(m_lines.begin(), m_lines.end(), Droppable);
        if (oldest != m_lines.end()) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Line queue full, dropping '%s'\n", *oldest);
            m_lines.erase(oldest);
        } else if (Droppable(line)) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Line queue full, dropping '%s'\n", line);
            return;
        }
    }
    m_lines.push_back(line);
    m_changed.notify_all();
}

bool CLineQueue::take(QString& line, int timeoutMs)
{
    std::unique_lock lock(m_lock);
    const unsigned abortsAtStart = m_aborts;
    // A time-out of 0 (or less) only looks whether a line is there.
    m_changed.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                       [&] { return !m_lines.empty() || m_abort || m_aborts != abortsAtStart; });
    if (m_lines.empty())
        return false;
    line = std::move(m_lines.front());
    m_lines.pop_front();
    return true;
}

void CLineQueue::clear()
{
    std::lock_guard lock(m_lock);
    m_lines.clear();
}

void CLineQueue::reset()
{
    std::lock_guard lock(m_lock);
    m_lines.clear();
    m_abort = false;
}

void CLineQueue::abort()
{
    std::lock_guard lock(m_lock);
    m_abort = true;
    ++m_aborts;
    m_changed.notify_all();
}

void CLineQueue::resume()
{
    std::lock_guard lock(m_lock);
    m_abort = false;
}

bool CLineQueue::isaborted() const
{
    std::lock_guard lock(m_lock);
    return m_abort;
}

unsigned CLineQueue::aborts() const
{
    std::lock_guard lock(m_lock);
    return m_aborts;
}

int CLineQueue::count() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_lines.size());
}
