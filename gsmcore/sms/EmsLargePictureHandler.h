#pragma once
// Reads large pictures; always writes the built-in picture.

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsLargePictureHandler : public CEmsItemHandler {
public:
    CEmsLargePictureHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
