#pragma once
// The one voice call of the simulated modem, as +CLCC lists it, and how
// the far end answers a dial. Tests set the answer to play a busy line or
// a number that never picks up.

#include <QByteArray>

enum class CallState { Idle, Alerting, Ringing, Active };

// What the far end does with a voice dial: pick up at once, ring until
// the test answers for it, or end it with BUSY, NO CARRIER or NO ANSWER.
enum class DialAnswer { PickUp, Ring, Busy, NoCarrier, NoAnswer };

struct SimulatedCall {
    CallState state = CallState::Idle;
    bool outgoing = false;
    QByteArray number;  // as dialled, or the caller's (may be empty)
};
