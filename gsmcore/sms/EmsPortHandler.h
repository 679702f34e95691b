#pragma once
// Reads and writes 8-bit application port addressing.

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsPortHandler : public CEmsItemHandler {
public:
    CEmsPortHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
