#include "gsmcore/sms/PduReader.h"

#include "gsmcore/sms/PduCodec.h"

int CPduReader::PeekOctet() const
{
    return CPduCodec::OctetAt(m_pdu, m_position);
}

int CPduReader::ReadOctet()
{
    const int octet = PeekOctet();
    Skip(2);
    return octet;
}

QStringView CPduReader::Read(qsizetype characters)
{
    const QStringView field = m_pdu.mid(m_position, qMax<qsizetype>(0, qMin(characters, Remaining())));
    Skip(characters);
    return field;
}

void CPduReader::Skip(qsizetype characters)
{
    m_position = qMin(m_position + qMax<qsizetype>(0, characters), m_pdu.size());
}

bool CPduReader::ReadServiceCentre(const CPduCodec& codec, QString& address)
{
    const qsizetype octets = PeekOctet();
    if (octets == 0) {
        address.clear();
        Skip(2);
        return true;
    }
    if (Remaining() < 2 * octets + 2)
        return false;
    Skip(2);
    address = codec.DecodeAddress(Read(2 * octets), 2 * octets);
    return true;
}

bool CPduReader::ReadPartyAddress(const CPduCodec& codec, QString& address, bool zeroLengthHasType)
{
    const int digits = PeekOctet();
    if (digits == 0) {
        address.clear();
        Skip(zeroLengthHasType ? 4 : 2);
        return true;
    }
    const qsizetype field = digits + 2 + (digits % 2);
    if (Remaining() < field + 2)
        return false;
    Skip(2);
    address = codec.DecodeAddress(Read(field), field, digits);
    return true;
}
