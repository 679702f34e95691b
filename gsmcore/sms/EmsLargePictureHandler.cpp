#include "gsmcore/sms/EmsLargePictureHandler.h"

#include "gsmcore/sms/EmsLargePicture.h"
#include "gsmcore/sms/PduCodec.h"

namespace {
// The picture every large picture element we write carries: 32 rows of
// 4 octets, most significant bit leftmost.
constexpr const char16_t* kBuiltInPicture[] = {
    u"0000000000000000000000000000000000000000000018003F807E003F00FE00",
    u"0F83FF000787FF80070FFFC003FFFFE003FFFFE003FFFFE003FFFFF000FFFFF0",
    u"000FF3F0001FC1F8001F00F8003B01E0003300E0003B01B0001B01A0000F01E0",
    u"000701E0000303E0000603E0FFFFFFFFFFFFFFFF000000000000000000000000",
};
constexpr quint8 kPictureDataLength = 129;  // position octet and 128 pixel octets
} // namespace

CEmsLargePictureHandler::CEmsLargePictureHandler() : CEmsItemHandler(EmsIdentifier::LargePicture) {}

std::unique_ptr<CEmsItemUnknown> CEmsLargePictureHandler::ExtractPdu(const QString& text)
{
    if (!HasMinimum(text, 4))
        return nullptr;
    auto picture = std::make_unique<CEmsLargePicture>(static_cast<qint16>(CPduCodec::OctetAt(text, 2)));
    picture->SetData(CPduCodec::HexToOctets(QStringView(text).mid(4), CEmsLargePicture::kDataOctets));
    return picture;
}

QString CEmsLargePictureHandler::CreatePdu(const CEmsItemUnknown& element)
{
    const auto* picture = dynamic_cast<const CEmsLargePicture*>(&element);
    if (!picture)
        return WrongKind(element);
    QString pdu;
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(m_Identifier));
    CPduCodec::AppendOctet(pdu, kPictureDataLength);
    CPduCodec::AppendOctet(pdu, static_cast<quint8>(picture->GetPos()));
    for (const char16_t* rows : kBuiltInPicture)
        pdu += QString::fromUtf16(rows);
    return Written(kPictureDataLength, pdu);
}
