#pragma once
// Application port addressing with 8-bit port numbers.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"

class CEmsAddressingScheme8Bit : public CEmsItemUnknown {
public:
    CEmsAddressingScheme8Bit(quint8 destinationPort = 0, quint8 originatorPort = 0)
        : CEmsItemUnknown(EmsIdentifier::ApplicationPort8Bit, 4),
          m_DestinationPort(destinationPort), m_OriginatorPort(originatorPort)
    {
    }

    std::unique_ptr<CEmsItemUnknown> Clone() const override
    {
        return std::make_unique<CEmsAddressingScheme8Bit>(*this);
    }

    quint8 GetDestinationPort() const { return m_DestinationPort; }
    quint8 GetOriginatorPort() const { return m_OriginatorPort; }

private:
    quint8 m_DestinationPort;
    quint8 m_OriginatorPort;
};
