#pragma once
// Reads and writes user defined sounds (iMelody).

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsMelodyHandler : public CEmsItemHandler {
public:
    CEmsMelodyHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
