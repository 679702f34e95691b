#include "gsmcore/sms/SmsIn.h"

#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/PduCodec.h"
#include "gsmcore/sms/PduReader.h"
#include "gsmcore/sms/SmsText.h"

#include <algorithm>

namespace {
constexpr quint8 kMoreMessagesBit = 0x04;
constexpr quint8 kStatusReportIndicationBit = 0x20;
constexpr quint8 kReplyPathBit = 0x80;
// Message type and the two bits we do not interpret.
constexpr quint8 kKeptBits = 0x1B;
} // namespace

CSmsIn::CSmsIn()
{
    Reset();
}

CSmsIn::CSmsIn(const CSmsText& text)
{
    Reset();
    m_Address = text.GetAddress();
    m_TimeStamp = CLocalTimeStamp::FromDateTime(text.GetTimeStamp());
    // The flags follow the first octet, so that Create writes it as it came.
    ExtractFO(text.GetFirstOctet());
    m_ProtocolIdentifier = text.GetProtocolIdentifier();
    m_DataCodingScheme = text.GetDataCodingScheme();
    m_ServiceCenterAddress = text.GetServiceCenterAddress();
    m_Text = text.GetText();
}

CSmsIn::~CSmsIn() = default;

void CSmsIn::Reset()
{
    CSms::Reset();
    m_bHeaderIndicator = false;
    m_bMoreMessagesToSend = false;
    m_bStatusReportIndication = false;
    m_bReplyPath = false;
    m_PduLength = 0;
    m_Items.clear();
}

bool CSmsIn::IsValidType(const QString& pdu)
{
    return CPduCodec::MessageType(pdu) == 0;
}

void CSmsIn::ExtractFO(quint8 octet)
{
    m_FirstOctet = octet;
    m_bMoreMessagesToSend = octet & kMoreMessagesBit;
    m_bStatusReportIndication = octet & kStatusReportIndicationBit;
    m_bHeaderIndicator = octet & CPduCodec::kHeaderIndicator;
    m_bReplyPath = octet & kReplyPathBit;
}

QString CSmsIn::CreateFO()
{
    quint8 octet = m_FirstOctet & kKeptBits;
    if (m_bMoreMessagesToSend)
        octet |= kMoreMessagesBit;
    if (m_bStatusReportIndication)
        octet |= kStatusReportIndicationBit;
    if (m_bHeaderIndicator)
        octet |= CPduCodec::kHeaderIndicator;
    if (m_bReplyPath)
        octet |= kReplyPathBit;
    m_FirstOctet = octet;
    return CPduCodec::Octet(octet);
}

bool CSmsIn::Extract(const QString& pdu, CEmsItemManager* items)
{
    m_LastError.clear();
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
        return Fail("Failed to extract the Originating Address in received SMS.\n");
    if (!reader.ReadPartyAddress(codec, m_Address, true))
        return Fail("Failed to extract the Originating Address Length in received SMS.\n");
    if (!reader.Has(2))
        return Fail("Failed to extract the Protocol Identifier in received SMS.\n");
    m_ProtocolIdentifier = static_cast<qint8>(reader.ReadOctet());
    if (!reader.Has(2))
        return Fail("Failed to extract the Data Coding Scheme in received SMS.\n");
    m_DataCodingScheme = static_cast<quint8>(reader.ReadOctet());
    if (!reader.Has(14))
        return Fail("Failed to extract the Service Center Time Stamp in received SMS.\n");
    m_TimeStamp = CLocalTimeStamp::FromDigits(reader.Read(14));
    if (!reader.Has(2))
        return Fail("Failed to extract the User Data in received SMS.\n");

    m_Text = codec.ExtractUserData(reader.Rest(), m_DataCodingScheme, m_FirstOctet, items, m_Items);
    m_bHeaderIndicator = m_FirstOctet & CPduCodec::kHeaderIndicator;
    return true;
}

namespace {

// The originating address as Extract reads it back: an empty sender keeps
// its type octet ("0080"), a sender that is not a number ("Netflix") goes
// as packed 7-bit text with type 0xD0, its length in semi-octets used.
QString SenderAddress(const CPduCodec& codec, const QString& address)
{
    if (address.isEmpty())
        return QStringLiteral("0080");
    const QString digits = address.startsWith(u'+') ? address.mid(1) : address;
    const bool number = std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'*' || c == u'#';
    });
    if (number)
        return CPduCodec::EncodeAddress(address, CPduCodec::AddressForm::Party);
    // At most 11 characters fit the 10 octets an address may hold.
    int septets = 0;
    const QString packed = codec.EncodeSeptets(address.left(11), 0, septets);
    return CPduCodec::Octet(static_cast<quint8>((septets * 7 + 3) / 4)) + CPduCodec::Octet(0xD0) + packed;
}

}  // namespace

QString CSmsIn::Create(CEmsItemManager* items)
{
    const CPduCodec codec(EnsureCharacterSet());
    if (!m_Items.empty())
        m_bHeaderIndicator = true;

    const QString serviceCentre = CPduCodec::EncodeAddress(m_ServiceCenterAddress, CPduCodec::AddressForm::ServiceCentre);
    QString pdu = serviceCentre;
    pdu += CreateFO();
    pdu += SenderAddress(codec, m_Address);
    pdu += CPduCodec::SignedOctet(m_ProtocolIdentifier);
    pdu += CPduCodec::Octet(m_DataCodingScheme);
    pdu += m_TimeStamp.ToDigits();
    // The header the first octet announces is written too, so that a
    // deliver PDU with elements reads back whole.
    pdu += codec.CreateUserData(m_Text, m_DataCodingScheme, m_FirstOctet, m_Items, items);

    m_Pdu = pdu;
    m_PduLength = static_cast<int>((pdu.size() - serviceCentre.size()) / 2);
    return pdu;
}

CEmsConcatenatedShortMessage* CSmsIn::GetConcatinatedItem()
{
    return m_Items.FindConcatenation();
}
