#pragma once
// Reads and writes text formatting: start, length and mode octet.

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsFormatTextHandler : public CEmsItemHandler {
public:
    CEmsFormatTextHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
