#pragma once
// Walks a PDU from its front, field by field. Reads never run past the
// end: a read beyond it gives what is there, and a skip stops at the end.

#include <QString>
#include <QStringView>

class CPduCodec;

class CPduReader {
public:
    explicit CPduReader(QStringView pdu) : m_pdu(pdu) {}

    qsizetype Remaining() const { return m_pdu.size() - m_position; }
    bool Has(qsizetype characters) const { return Remaining() >= characters; }
    int PeekOctet() const;
    int ReadOctet();
    QStringView Read(qsizetype characters);
    void Skip(qsizetype characters);
    QStringView Rest() const { return m_pdu.mid(m_position); }

    // The service centre field: a zero length octet means none. False when
    // the PDU is shorter than the length octet announces.
    bool ReadServiceCentre(const CPduCodec& codec, QString& address);
    // A party address whose length octet counts digits (or, for an
    // alphanumeric address, semi-octets). A zero length skips the length
    // octet, and the type octet too when `zeroLengthHasType`. False when
    // fewer characters remain than the field needs.
    bool ReadPartyAddress(const CPduCodec& codec, QString& address, bool zeroLengthHasType);

private:
    QStringView m_pdu;
    qsizetype m_position = 0;
};
