#include "gsmcore/sms/SmsOut.h"

#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/PduReader.h"

namespace {
constexpr quint8 kSubmitType = 0x01;
constexpr quint8 kKeptTypeBit = 0x02;
constexpr quint8 kRejectDuplicatesBit = 0x04;
constexpr quint8 kValidityPeriodBits = 0x18;
constexpr quint8 kStatusReportRequestBit = 0x20;
constexpr quint8 kReplyPathBit = 0x80;
constexpr int kTimeStampDigits = 14;
} // namespace

CSmsOut::CSmsOut()
{
    Reset();
}

CSmsOut::~CSmsOut() = default;

void CSmsOut::Reset()
{
    CSms::Reset();
    m_ValidityPeriodFormat = VPF_RELATIVE;
    m_bRejectDuplicates = false;
    m_bStatusReportRequest = false;
    m_bReplyPath = false;
    m_bHeaderIndicator = false;
    m_MessageReference = 0;
    m_DataCodingScheme = 0;
    m_RelativeValidityPeriod = -1;  // sent as 0xFF, the longest period
    // Kept in UTC: resolving local time is left to the moment it is sent.
    m_AbsoluteValidityPeriod = QDateTime::currentDateTimeUtc();
    m_PduLength = 0;
    m_Items.clear();
}

bool CSmsOut::IsValidType(const QString& pdu)
{
    return CPduCodec::MessageType(pdu) == 1;
}

int CSmsOut::SetValidityPeriod(const QDateTime& absolute)
{
    m_ValidityPeriodFormat = VPF_ABSOLUTE;
    m_RelativeValidityPeriod = 0;
    m_AbsoluteValidityPeriod = absolute;
    return 1;
}

int CSmsOut::SetValidityPeriod(VALID_PERIODS relative)
{
    m_ValidityPeriodFormat = VPF_RELATIVE;
    m_RelativeValidityPeriod = relative;
    return 1;
}

int CSmsOut::SetValidityPeriod(unsigned char relative)
{
    m_ValidityPeriodFormat = VPF_RELATIVE;
    m_RelativeValidityPeriod = relative;
    return 1;
}

void CSmsOut::InsertItem(std::size_t index, std::unique_ptr<CEmsItemUnknown> item)
{
    index = std::min(index, m_Items.size());
    m_Items.insert(m_Items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
}

void CSmsOut::ExtractFO(quint8 octet)
{
    m_FirstOctet = octet;
    m_bRejectDuplicates = octet & kRejectDuplicatesBit;
    m_ValidityPeriodFormat = octet & kValidityPeriodBits;
    m_bStatusReportRequest = octet & kStatusReportRequestBit;
    m_bHeaderIndicator = octet & CPduCodec::kHeaderIndicator;
    m_bReplyPath = octet & kReplyPathBit;
}

QString CSmsOut::CreateFO()
{
    quint8 octet = kSubmitType | (m_FirstOctet & kKeptTypeBit);
    if (m_bRejectDuplicates)
        octet |= kRejectDuplicatesBit;
    octet |= static_cast<quint8>(m_ValidityPeriodFormat) & kValidityPeriodBits;
    if (m_bStatusReportRequest)
        octet |= kStatusReportRequestBit;
    if (m_bHeaderIndicator)
        octet |= CPduCodec::kHeaderIndicator;
    if (m_bReplyPath)
        octet |= kReplyPathBit;
    m_FirstOctet = octet;
    return CPduCodec::Octet(octet);
}

QString CSmsOut::Create(CEmsItemManager* items)
{
    const CPduCodec codec(EnsureCharacterSet());
    if (!m_Items.empty())
        m_bHeaderIndicator = true;

    const QString serviceCentre = CPduCodec::EncodeAddress(m_ServiceCenterAddress, CPduCodec::AddressForm::ServiceCentre);
    QString pdu;
    pdu.reserve(serviceCentre.size() + 40 + 2 * 140);
    pdu += serviceCentre;
    pdu += CreateFO();
    pdu += CPduCodec::MessageReferenceOctet(m_MessageReference);
    pdu += CPduCodec::EncodeAddress(m_Address, CPduCodec::AddressForm::Party);
    pdu += CPduCodec::SignedOctet(m_ProtocolIdentifier);
    pdu += CPduCodec::Octet(m_DataCodingScheme);
    switch (m_ValidityPeriodFormat) {
    case VPF_RELATIVE:
    case VPF_ENHANCED:
        pdu += CPduCodec::Octet(static_cast<quint8>(m_RelativeValidityPeriod & 0xFF));
        break;
    case VPF_ABSOLUTE:
        pdu += CPduCodec::EncodeTimeStamp(m_AbsoluteValidityPeriod);
        break;
    default:
        break;
    }
    pdu += codec.CreateUserData(m_Text, m_DataCodingScheme, m_FirstOctet, m_Items, items);

    m_Pdu = pdu;
    m_PduLength = static_cast<int>((pdu.size() - serviceCentre.size()) / 2);
    return pdu;
}

bool CSmsOut::Extract(const QString& pdu, CEmsItemManager* items)
{
    const CPduCodec codec(EnsureCharacterSet());
    Reset();
    m_LastError.clear();
    CPduReader reader(pdu);

    if (!reader.Has(2))
        return Fail("Failed to extract the Service Center Address in the SMS.\n");
    if (!reader.ReadServiceCentre(codec, m_ServiceCenterAddress))
        return Fail("Failed to extract the Service Center Address Length in the SMS.\n");
    if (!reader.Has(2))
        return Fail("Failed to extract the First Octet in the SMS.\n");
    ExtractFO(static_cast<quint8>(reader.ReadOctet()));
    if (!reader.Has(2))
        return Fail("Failed to extract the Message Reference in the SMS.\n");
    m_MessageReference = static_cast<qint16>(reader.ReadOctet());
    if (!reader.Has(2))
        return Fail("Failed to extract the Destination Address in the SMS.\n");
    if (!reader.ReadPartyAddress(codec, m_Address, false))
        return Fail("Failed to extract the Destination Address Length in the SMS.\n");
    if (!reader.Has(2))
        return Fail("Failed to extract the Protocol Identifier in the SMS.\n");
    m_ProtocolIdentifier = static_cast<qint8>(reader.ReadOctet());
    if (!reader.Has(2))
        return Fail("Failed to extract the Data Coding Scheme in the SMS.\n");
    m_DataCodingScheme = static_cast<quint8>(reader.ReadOctet());

    switch (m_ValidityPeriodFormat) {
    case VPF_RELATIVE:
    case VPF_ENHANCED:
        if (!reader.Has(2))
            return Fail("Failed to extract the Service Center Time Stamp in the SMS.\n");
        m_RelativeValidityPeriod = reader.ReadOctet();
        break;
    case VPF_ABSOLUTE:
        if (!reader.Has(kTimeStampDigits))
            return Fail("Failed to extract the Service Center Time Stamp in the SMS.\n");
        m_AbsoluteValidityPeriod = CPduCodec::DecodeTimeStamp(reader.Read(kTimeStampDigits));
        break;
    default:
        break;
    }
    if (!reader.Has(2))
        return Fail("Failed to extract the User Data in the SMS.\n");

    m_Text = codec.ExtractUserData(reader.Rest(), m_DataCodingScheme, m_FirstOctet, items, m_Items);
    m_bHeaderIndicator = m_FirstOctet & CPduCodec::kHeaderIndicator;
    return true;
}

CEmsConcatenatedShortMessage* CSmsOut::GetConcatinatedItem()
{
    return m_Items.FindConcatenation();
}
