#pragma once
// The events the GSM device reports to its owner (call state, caller
// number, incoming message, status report, data connection). The owner
// supplies a sink when it initialises the device; the sink is called on
// the device's delivery thread, in order, with no lock of the device held.
// A window posts from there to its own thread (a queued Qt signal).

#include <QString>
#include <QtGlobal>

#include <functional>

struct CDeviceEvent {
    unsigned message = 0;  // the owner's message id, as given to init
    quintptr wParam = 0;   // the event's code, as given to init
    qintptr lParam = 0;    // the new state, 1/0 for data state, else 0
    QString text;          // message or status report text (SMS events)
};

using DeviceEventSink = std::function<void(const CDeviceEvent& event)>;
