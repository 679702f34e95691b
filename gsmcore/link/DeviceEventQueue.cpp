#include "gsmcore/link/DeviceEventQueue.h"

CDeviceEventQueue::~CDeviceEventQueue()
{
    stop();
    if (m_thread.joinable())  // a stop() asked on the thread itself
        m_thread.join();
}

void CDeviceEventQueue::setsink(DeviceEventSink sink)
{
    stop();
    std::lock_guard lock(m_lock);
    if (m_thread.joinable())
        return;  // the delivering thread replaces its own sink: keep it
    m_sink = std::move(sink);
    m_stop = false;
    if (m_sink)
        m_thread = std::thread([this] { run(); });
}

bool CDeviceEventQueue::hassink() const
{
    std::lock_guard lock(m_lock);
    return bool(m_sink);
}

void CDeviceEventQueue::post(const CDeviceEvent& event)
{
    std::lock_guard lock(m_lock);
    if (!m_sink || m_stop)
        return;
    m_events.push_back(event);
    m_changed.notify_one();
}

void CDeviceEventQueue::stop()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
        m_changed.notify_one();
    }
    if (m_thread.joinable() && !ondeliverythread())
        m_thread.join();
}

bool CDeviceEventQueue::ondeliverythread() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void CDeviceEventQueue::run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        // Bounded, so that a lost notification costs a second, not forever.
        if (!m_changed.wait_for(lock, std::chrono::seconds(1), [this] { return m_stop || !m_events.empty(); }))
            continue;
        if (m_events.empty())
            break;
        const CDeviceEvent event = std::move(m_events.front());
        m_events.pop_front();
        const DeviceEventSink sink = m_sink;
        lock.unlock();
        sink(event);
        lock.lock();
    }
    m_events.clear();
}
