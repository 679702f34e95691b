#include "gsmcore/sms/EmsConcatenationHandler.h"

#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/PduCodec.h"

CEmsConcatenationHandler::CEmsConcatenationHandler() : CEmsItemHandler(EmsIdentifier::ConcatenatedShortMessage) {}

std::unique_ptr<CEmsItemUnknown> CEmsConcatenationHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 8))
        return nullptr;
    return std::make_unique<CEmsConcatenatedShortMessage>(static_cast<qint16>(CPduCodec::OctetAt(text, 2)),
                                                          static_cast<qint16>(CPduCodec::OctetAt(text, 4)),
                                                          static_cast<qint16>(CPduCodec::OctetAt(text, 6)));
}

QString CEmsConcatenationHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* concatenation = dynamic_cast<const CEmsConcatenatedShortMessage*>(&element);
    if (!concatenation)
        return WrongKind(element);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, 3);
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(concatenation->GetReferenceNumber()));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(concatenation->GetMaximumNumber()));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(concatenation->GetSequenceNumber()));
    return Written(3, pdu);
}
