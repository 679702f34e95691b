#pragma once
// Reads and writes the concatenation element: reference, number of parts, this part's number.

#include "gsmcore/sms/EmsItemHandler.h"

class CEmsConcatenationHandler : public CEmsItemHandler {
public:
    CEmsConcatenationHandler();
    std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) override;
    QString CreatePdu(const CEmsItemUnknown& element) override;
};
