#pragma once
// Delivers the device's events to its owner's sink on a thread of its
// own, in the order they were raised. The reader thread only queues: it
// holds the receive and state locks while it follows unsolicited codes,
// and a sink that raised another event or sent a command from there would
// wait on itself. A sink called from here holds no lock of the device.

#include "gsmcore/link/DeviceEvent.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class CDeviceEventQueue {
public:
    CDeviceEventQueue() = default;
    ~CDeviceEventQueue();
    CDeviceEventQueue(const CDeviceEventQueue&) = delete;
    CDeviceEventQueue& operator=(const CDeviceEventQueue&) = delete;

    // Replaces the sink (none: events are dropped) and starts delivering.
    void setsink(DeviceEventSink sink);
    bool hassink() const;
    void post(const CDeviceEvent& event);
    // Delivers what is queued, then ends the thread. Called on the
    // delivering thread itself (a sink releasing the device), it only
    // asks the thread to end; the next stop() or the destructor joins it.
    void stop();
    // True on the thread that calls the sink.
    bool ondeliverythread() const;

private:
    void run();

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<CDeviceEvent> m_events;
    DeviceEventSink m_sink;
    bool m_stop = false;
    std::thread m_thread;
};
