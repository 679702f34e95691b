#include "gsmcore/sms/EmsBinaryHandler.h"

#include "gsmcore/sms/EmsBinary.h"
#include "gsmcore/sms/PduCodec.h"

CEmsBinaryHandler::CEmsBinaryHandler() : CEmsItemHandler(EmsIdentifier::Binary) {}

std::unique_ptr<CEmsItemUnknown> CEmsBinaryHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 4))
        return nullptr;
    auto binary = std::make_unique<CEmsBinary>(static_cast<qint16>(CPduCodec::OctetAt(text, 2)));
    binary->SetData(CPduCodec::HexToOctets(QStringView(text).mid(4)));
    return binary;
}

QString CEmsBinaryHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* binary = dynamic_cast<const CEmsBinary*>(&element);
    if (!binary)
        return WrongKind(element);
    const auto dataLength = static_cast<qint16>(binary->GetData().size() + 1);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(dataLength));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(binary->GetPos()));
    pdu += CPduCodec::OctetsToHex(binary->GetData());
    return Written(dataLength, pdu);
}
