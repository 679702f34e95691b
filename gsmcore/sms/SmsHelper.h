#pragma once
// Tells the kind of a PDU-mode message from its first octet.

#include <QString>

class CSmsHelper {
public:
    virtual ~CSmsHelper();

    enum MessageType : quint8 {
        SMS_DELIVER = 0,
        SMS_SUBMIT = 1,
        SMS_STATUS_REPORT = 2,
        SMS_RESERVED = 3,
        SMS_UNREADABLE = 0xFF,
    };

    static quint8 GetMessageType(const QString& pdu);
};
