#pragma once
// Carries elements of identifier 0x1A as opaque octets.

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsBinaryHandler : public CEmsItemHandler {
public:
    CEmsBinaryHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
