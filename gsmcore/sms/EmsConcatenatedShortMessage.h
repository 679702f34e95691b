#pragma once
// Concatenated short message, 8-bit reference: which part of which long
// message this message is.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"

class CEmsConcatenatedShortMessage : public CEmsItemUnknown {
public:
    CEmsConcatenatedShortMessage(qint16 reference = 0, qint16 maximum = 0, qint16 sequence = 0)
        : CEmsItemUnknown(EmsIdentifier::ConcatenatedShortMessage, 5),
          m_ReferenceNumber(reference), m_MaximumNumber(maximum), m_SequenceNumber(sequence)
    {
    }

    std::unique_ptr<CEmsItemUnknown> Clone() const override
    {
        return std::make_unique<CEmsConcatenatedShortMessage>(*this);
    }

    qint16 GetReferenceNumber() const { return m_ReferenceNumber; }
    qint16 GetMaximumNumber() const { return m_MaximumNumber; }
    qint16 GetSequenceNumber() const { return m_SequenceNumber; }

private:
    qint16 m_ReferenceNumber;
    qint16 m_MaximumNumber;
    qint16 m_SequenceNumber;
};
