#include "gsmcore/sms/EmsFormatTextHandler.h"

#include "gsmcore/sms/EmsFormatText.h"
#include "gsmcore/sms/PduCodec.h"

CEmsFormatTextHandler::CEmsFormatTextHandler() : CEmsItemHandler(EmsIdentifier::TextFormatting) {}

std::unique_ptr<CEmsItemUnknown> CEmsFormatTextHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 8))
        return nullptr;
    auto format = std::make_unique<CEmsFormatText>(static_cast<qint16>(CPduCodec::OctetAt(text, 2)),
                                                   static_cast<qint16>(CPduCodec::OctetAt(text, 4)));
    format->SetModeOctet(static_cast<quint8>(CPduCodec::OctetAt(text, 6)));
    return format;
}

QString CEmsFormatTextHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* format = dynamic_cast<const CEmsFormatText*>(&element);
    if (!format)
        return WrongKind(element);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, 3);
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(format->GetPos()));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(format->GetLength()));
    CPduCodec::AppendOctet(pdu, format->GetModeOctet());
    return Written(3, pdu);
}
