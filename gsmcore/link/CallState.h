#pragma once
// The call state of the device as a pure function: the state, one event
// (an unsolicited line, a dial, a hang-up, a state query's answer, the end
// of a data connection) and the device's quirks give the next state and
// the notifications it raises. The device applies the step under its
// state lock; tests run the transitions as a table.

#include <QString>
#include <QStringList>

// The values are posted to the owner and stored by callers: fixed.
struct CCallEnums {
    enum STATE {
        STATE_IDLE = 0,
        STATE_CALLSETUP = 1,
        STATE_ACTIVE = 2,
        STATE_BUSY = 3,
        STATE_UNAVAILABLE = 4,
        STATE_DEVICELOST = 5,
    };
    enum DIRECTION { DIRECTION_INCOMING = 0, DIRECTION_OUTGOING = 1 };
    enum CALLTYPE { CALLTYPE_VOICE = 0, CALLTYPE_DATA = 1 };
};

struct CCallState : CCallEnums {
    STATE state = STATE_IDLE;
    DIRECTION direction = DIRECTION_INCOMING;
    CALLTYPE callType = CALLTYPE_VOICE;
    QString callerNumber;
    bool callerNumberReceived = false;
    QString dialledNumber;
    bool endedNormally = true;

    bool outgoingsetup() const { return state == STATE_CALLSETUP && direction == DIRECTION_OUTGOING; }
};

struct CCallEvent {
    enum Kind {
        Line,            // an unsolicited line, in `text`
        Dialled,         // a dial command went out; `callType`
        HungUp,          // the hang-up command went out
        ActivityStatus,  // the +CPAS answer, in `text`
        Indicators,      // the +CIND answer, in `text`
        DataEnded,       // a data connection of a shared port ended
    };
    Kind kind = Line;
    QString text;
    CCallEnums::CALLTYPE callType = CCallEnums::CALLTYPE_VOICE;
};

struct CCallStep {
    CCallState next;
    bool stateEvent = false;   // raise statechange()
    bool numberEvent = false;  // raise numberchange()
    bool consumed = false;     // the line is the call's, not a command's
    QStringList traces;        // what to trace, in order
};

// Quirk flags of the call state (see DeviceModels.h).
CCallStep NextCallState(const CCallState& now, const CCallEvent& event, unsigned quirks);
