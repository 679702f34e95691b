#include "gsmcore/sms/EmsPortHandler.h"

#include "gsmcore/sms/EmsAddressingScheme8Bit.h"
#include "gsmcore/sms/PduCodec.h"

CEmsPortHandler::CEmsPortHandler() : CEmsItemHandler(EmsIdentifier::ApplicationPort8Bit) {}

std::unique_ptr<CEmsItemUnknown> CEmsPortHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 6))
        return nullptr;
    return std::make_unique<CEmsAddressingScheme8Bit>(static_cast<quint8>(CPduCodec::OctetAt(text, 2)),
                                                      static_cast<quint8>(CPduCodec::OctetAt(text, 4)));
}

QString CEmsPortHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* ports = dynamic_cast<const CEmsAddressingScheme8Bit*>(&element);
    if (!ports)
        return WrongKind(element);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, 2);
    CPduCodec::AppendOctet(pdu, ports->GetDestinationPort());
    CPduCodec::AppendOctet(pdu, ports->GetOriginatorPort());
    return Written(2, pdu);
}
