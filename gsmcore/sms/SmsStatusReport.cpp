#include "gsmcore/sms/SmsStatusReport.h"

#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/PduReader.h"

namespace {
constexpr quint8 kMoreMessagesBit = 0x04;
constexpr quint8 kStatusReportQualifierBit = 0x20;
constexpr int kTimeStampDigits = 14;
} // namespace

CSmsStatusReport::CSmsStatusReport()
{
    Reset();
}

CSmsStatusReport::~CSmsStatusReport() = default;

void CSmsStatusReport::Reset()
{
    CSmsIn::Reset();
    m_MessageReference = 0;
    m_Status = 0;
    m_ReportItems.clear();
    m_OptionalFields = 0;
}

bool CSmsStatusReport::IsValidType(const QString& pdu)
{
    return CPduCodec::MessageType(pdu) == 2;
}

void CSmsStatusReport::ExtractFO(quint8 octet)
{
    m_FirstOctet = octet;
    m_bMoreMessagesToSend = octet & kMoreMessagesBit;
    m_bStatusReportIndication = octet & kStatusReportQualifierBit;
    m_bHeaderIndicator = octet & CPduCodec::kHeaderIndicator;
}

bool CSmsStatusReport::Extract(const QString& pdu, CEmsItemManager* items)
{
    m_LastError.clear();
    m_OptionalFields = 0;
    const CPduCodec codec(EnsureCharacterSet());
    CPduReader reader(pdu);

    if (!reader.Has(2))
        return Fail("Failed to extract the Service Center Address in received SMS.\n");
    if (!reader.ReadServiceCentre(codec, m_ServiceCenterAddress))
        return Fail("Failed to extract the Service Center Address Length in received SMS.\n");
    if (!reader.Has(2))
        return Fail("Failed to extract the First Octet in received SMS.\n");
    ExtractFO(static_cast<quint8>(reader.ReadOctet()));
    if (!reader.Has(2))
        return Fail("Failed to extract the Message reference in received SMS.\n");
    m_MessageReference = static_cast<qint8>(reader.ReadOctet());
    if (!reader.Has(2))
        return Fail("Failed to extract the Recipient Address in received SMS.\n");
    if (!reader.ReadPartyAddress(codec, m_Address, true))
        return Fail("Failed to extract the Originating Address Length in received SMS.\n");
    if (!reader.Has(kTimeStampDigits))
        return Fail("Failed to extract the Service Center Time Stamp in received SMS.\n");
    m_TimeStamp = CLocalTimeStamp::FromDigits(reader.Read(kTimeStampDigits));
    if (!reader.Has(kTimeStampDigits))
        return Fail("Failed to extract the Discharge Time in received SMS.\n");
    m_DischargeTime = CLocalTimeStamp::FromDigits(reader.Read(kTimeStampDigits));
    if (!reader.Has(2))
        return Fail("Failed to extract the Status in received SMS.\n");
    m_Status = static_cast<qint8>(reader.ReadOctet());

    // What follows is optional and taken in order whenever present; the
    // parameter indicator's bits are not consulted.
    if (!reader.Has(2))
        return true;
    m_ProtocolIdentifier = static_cast<qint8>(reader.ReadOctet());  // parameter indicator
    m_OptionalFields = 1;
    if (!reader.Has(2))
        return true;
    m_ProtocolIdentifier = static_cast<qint8>(reader.ReadOctet());
    m_OptionalFields = 2;
    if (!reader.Has(2))
        return true;
    m_DataCodingScheme = static_cast<quint8>(reader.ReadOctet());
    m_OptionalFields = 3;
    if (!reader.Has(2))
        return true;
    m_Text = codec.ExtractUserData(reader.Rest(), m_DataCodingScheme, m_FirstOctet, items, m_ReportItems);
    m_OptionalFields = 4;
    m_bHeaderIndicator = m_FirstOctet & CPduCodec::kHeaderIndicator;
    return true;
}
