#pragma once
// Short messages as the simulated modem sees them: what a terminal
// submits with +CMGS, and what waits in the SIM's message store for +CMGR.

#include <QByteArray>
#include <QString>

#include <optional>

struct SubmittedMessage {
    bool textMode = false;
    int reference = 0;      // the +CMGS answer
    // PDU mode
    QByteArray pdu;         // hexadecimal, as typed (SMSC part included)
    int tpduLength = 0;     // the +CMGS=<n> value
    // Text mode
    QByteArray number;      // the +CMGS="..." destination
    QByteArray text;        // bytes typed before Ctrl-Z
};

struct StoredMessage {
    QByteArray status = "REC UNREAD";  // text-mode status; PDU mode gives its number
    QByteArray pdu;        // SMS-DELIVER PDU in hexadecimal, SMSC part included
    QByteArray sender;     // text mode: originating address
    QByteArray timestamp;  // text mode: "yy/MM/dd,hh:mm:ss+zz"
    QByteArray text;       // text mode: the message text
};

// The number of octets of the transfer-layer PDU in a hexadecimal PDU that
// begins with its service centre part (length octet, then that many
// octets); nothing when the text is not whole hexadecimal octets or the
// service centre part overruns it.
std::optional<int> TpduLengthOfPdu(const QByteArray& hexPdu);

// The +CMGR status number of a text status ("REC UNREAD" is 0, ...).
int MessageStatusNumber(const QByteArray& status);
