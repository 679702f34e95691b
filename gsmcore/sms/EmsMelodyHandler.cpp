#include "gsmcore/sms/EmsMelodyHandler.h"

#include "gsmcore/sms/EmsMelody.h"
#include "gsmcore/sms/PduCodec.h"

CEmsMelodyHandler::CEmsMelodyHandler() : CEmsItemHandler(EmsIdentifier::UserDefinedSound) {}

std::unique_ptr<CEmsItemUnknown> CEmsMelodyHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 4))
        return nullptr;
    auto melody = std::make_unique<CEmsMelody>(static_cast<qint16>(CPduCodec::OctetAt(text, 2)));
    melody->SetData(CPduCodec::HexToOctets(QStringView(text).mid(4), CEmsMelody::kDataOctets));
    return melody;
}

QString CEmsMelodyHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* melody = dynamic_cast<const CEmsMelody*>(&element);
    if (!melody)
        return WrongKind(element);
    const auto dataLength = static_cast<qint16>(melody->GetData().size() + 1);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(dataLength));
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(melody->GetPos()));
    pdu += CPduCodec::OctetsToHex(melody->GetData());
    return Written(dataLength, pdu);
}
