#include "tools/cli/EventInbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <utility>

EventInbox::EventInbox() : m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventInbox::~EventInbox()
{
    if (m_wake >= 0)
        ::close(m_wake);
}

void EventInbox::Post(const CDeviceEvent& event)
{
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(event);
    }
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof(one));
}

std::deque<CDeviceEvent> EventInbox::Take()
{
    quint64 count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_wake, &count, sizeof(count));
    std::lock_guard lock(m_lock);
    return std::exchange(m_events, {});
}
