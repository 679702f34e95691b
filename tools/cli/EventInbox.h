#pragma once
// The device's events, handed over by its delivery thread, which must
// only post; the command's own thread takes them, and may wait for them
// on the descriptor.

#include "gsmcore/link/DeviceEvent.h"

#include <deque>
#include <mutex>

class EventInbox {
public:
    EventInbox();
    ~EventInbox();
    EventInbox(const EventInbox&) = delete;
    EventInbox& operator=(const EventInbox&) = delete;

    // Readable while events wait; negative when it could not be made.
    int Descriptor() const { return m_wake; }
    void Post(const CDeviceEvent& event);
    std::deque<CDeviceEvent> Take();

private:
    int m_wake;
    std::mutex m_lock;
    std::deque<CDeviceEvent> m_events;
};
