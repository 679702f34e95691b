#pragma once
// The primitives every message codec shares: hexadecimal octets,
// semi-octet addresses, time stamps, the three user data codings and the
// user data header. A PDU is text of hexadecimal digits, two per octet;
// we write only "0"-"9" and "A"-"F" and read only those (any other
// character counts as 0). Working storage is bounded to 255 octets, the
// most a length octet can announce.

#include "gsmcore/sms/EmsItemUnknown.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

class CCharacterSet;
class CEmsItemManager;

enum class UserDataCoding { SevenBit, EightBit, Ucs2 };

// Bit 3 of the coding scheme means UCS2, else bit 2 means 8-bit data;
// no other bit is looked at.
UserDataCoding UserDataCodingOf(quint8 dataCodingScheme);

class CPduCodec {
public:
    enum class AddressForm {
        ServiceCentre,  // length octet counts the octets that follow
        Party,          // length octet counts the digits
    };

    static constexpr int kWorkingOctets = 255;
    static constexpr quint8 kHeaderIndicator = 0x40;

    explicit CPduCodec(const CCharacterSet* characterSet) : m_characterSet(characterSet) {}

    static QString Octet(quint8 value);
    static void AppendOctet(QString& out, quint8 value);
    // "00" for a reference outside 0..255.
    static QString MessageReferenceOctet(qint16 reference);
    static QString SignedOctet(qint8 value);
    static int Hex2Dec(QStringView text);
    // The octet at character `position`; 0 when fewer than two characters remain.
    static int OctetAt(QStringView pdu, qsizetype position);
    // The octets of a hex text (a lone last digit is dropped), at most `limit`.
    static QByteArray HexToOctets(QStringView hex, qsizetype limit = kWorkingOctets);
    static QString OctetsToHex(const QByteArray& octets);

    static QString EncodeAddress(const QString& address, AddressForm form);
    // `field` holds the type of address and the digits, `fieldLength`
    // characters of it. `semiOctets` is the address length octet when the
    // caller has it: an alphanumeric address then has exactly
    // (semiOctets * 4) / 7 characters and the bits after them are padding.
    QString DecodeAddress(QStringView field, qsizetype fieldLength, int semiOctets = -1) const;

    static QString EncodeTimeStamp(const QDateTime& time);
    // A null date-time when year, month or day is 0 or the date is not a date.
    static QDateTime DecodeTimeStamp(QStringView digits);

    QString EncodeSeptets(const QString& text, int fillBits, int& septets) const;
    QString DecodeSeptets(QStringView hex, int septets, int fillBits) const;
    static QString EncodeEightBit(const QString& text, int& octets);
    static QString DecodeEightBit(QStringView hex);
    static QString EncodeUcs2(const QString& text, int& octets);
    static QString DecodeUcs2(QStringView hex);

    // The first octet after the service centre field, or 0xFF (traced).
    static quint8 FirstOctet(QStringView pdu);
    // 0 SMS-DELIVER, 1 SMS-SUBMIT, 2 SMS-STATUS-REPORT, 3 reserved, 0xFF unreadable.
    static quint8 MessageType(QStringView pdu);

    // Reads user data from its length octet on: walks the header (when the
    // first octet announces one, or when the data starts with a
    // concatenation header anyway; then the indicator is set in
    // `firstOctet`), appends the elements `items` can read to `elements`
    // and returns the text.
    QString ExtractUserData(QStringView userData, quint8 dataCodingScheme, quint8& firstOctet,
                            CEmsItemManager* items, EmsItemList& elements) const;
    // The header: its length octet and every element a handler in `items`
    // writes; empty when there are elements but no `items`.
    QString CreateUserDataHeader(const EmsItemList& elements, CEmsItemManager* items) const;
    // Length octet, header (when the first octet's indicator is set) and text.
    QString CreateUserData(const QString& text, quint8 dataCodingScheme, quint8 firstOctet,
                           const EmsItemList& elements, CEmsItemManager* items) const;

private:
    const CCharacterSet* m_characterSet;  // not owned
};
