#include "gsmcore/sms/PduCodec.h"

#include "gsmcore/charset/CharacterSet.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/LocalTimeStamp.h"
#include "support/Trace.h"

#include <array>

namespace {

using OctetBuffer = std::array<quint8, CPduCodec::kWorkingOctets>;
// The most septets the working storage holds.
constexpr qsizetype kMaxSeptets = CPduCodec::kWorkingOctets * 8 / 7;

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Only uppercase digits count; everything else reads as 0.
inline int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 0;
}

// Reads at most `buffer.size()` octets; a lone last digit is dropped.
qsizetype ReadOctets(QStringView hex, OctetBuffer& buffer)
{
    const qsizetype count = qMin<qsizetype>(hex.size() / 2, static_cast<qsizetype>(buffer.size()));
    const QChar* digits = hex.data();
    for (qsizetype i = 0; i < count; ++i)
        buffer[i] = static_cast<quint8>(HexDigit(digits[2 * i]) * 16 + HexDigit(digits[2 * i + 1]));
    return count;
}

void AppendOctetsAsHex(QString& out, const quint8* octets, qsizetype count)
{
    const qsizetype start = out.size();
    out.resize(start + 2 * count);
    QChar* target = out.data() + start;
    for (qsizetype i = 0; i < count; ++i) {
        target[2 * i] = QChar(kHexDigits[octets[i] >> 4]);
        target[2 * i + 1] = QChar(kHexDigits[octets[i] & 0x0F]);
    }
}

// "12345F" -> "2143F5": semi-octets travel low digit first.
QString SwapPairs(QStringView text)
{
    QString swapped(text.size(), Qt::Uninitialized);
    qsizetype i = 0;
    for (; i + 1 < text.size(); i += 2) {
        swapped[i] = text[i + 1];
        swapped[i + 1] = text[i];
    }
    if (i < text.size())
        swapped[i] = text[i];
    return swapped;
}

} // namespace

UserDataCoding UserDataCodingOf(quint8 dataCodingScheme)
{
    if (dataCodingScheme & 0x08)
        return UserDataCoding::Ucs2;
    if (dataCodingScheme & 0x04)
        return UserDataCoding::EightBit;
    return UserDataCoding::SevenBit;
}

QString CPduCodec::Octet(quint8 value)
{
    const QChar digits[2] = {QChar(kHexDigits[value >> 4]), QChar(kHexDigits[value & 0x0F])};
    return QString(digits, 2);
}

void CPduCodec::AppendOctet(QString& out, quint8 value)
{
    out.append(QChar(kHexDigits[value >> 4]));
    out.append(QChar(kHexDigits[value & 0x0F]));
}

QString CPduCodec::MessageReferenceOctet(qint16 reference)
{
    if (reference < 0 || reference > 255)
        return QStringLiteral("00");
    return Octet(static_cast<quint8>(reference));
}

QString CPduCodec::SignedOctet(qint8 value)
{
    return Octet(static_cast<quint8>(value));
}

int CPduCodec::Hex2Dec(QStringView text)
{
    // Unsigned arithmetic: an overlong text wraps instead of overflowing.
    quint32 value = 0;
    for (QChar c : text)
        value = value * 16 + static_cast<quint32>(HexDigit(c));
    return static_cast<int>(value);
}

int CPduCodec::OctetAt(QStringView pdu, qsizetype position)
{
    if (position < 0 || position + 2 > pdu.size())
        return 0;
    return HexDigit(pdu[position]) * 16 + HexDigit(pdu[position + 1]);
}

QByteArray CPduCodec::HexToOctets(QStringView hex, qsizetype limit)
{
    const qsizetype count = qMax<qsizetype>(0, qMin(hex.size() / 2, limit));
    QByteArray octets(count, '\0');
    for (qsizetype i = 0; i < count; ++i)
        octets[i] = static_cast<char>(HexDigit(hex[2 * i]) * 16 + HexDigit(hex[2 * i + 1]));
    return octets;
}

QString CPduCodec::OctetsToHex(const QByteArray& octets)
{
    QString hex;
    AppendOctetsAsHex(hex, reinterpret_cast<const quint8*>(octets.constData()), octets.size());
    return hex;
}

QString CPduCodec::EncodeAddress(const QString& address, AddressForm form)
{
    if (address.isEmpty())
        return QStringLiteral("00");
    const bool international = address.front() == u'+';
    QString digits = international ? address.mid(1) : address;
    const qsizetype digitCount = digits.size();
    if (digits.size() % 2)
        digits.append(u'F');
    const qsizetype length = form == AddressForm::Party ? digitCount : digits.size() / 2 + 1;

    QString field;
    field.reserve(4 + digits.size());
    AppendOctet(field, static_cast<quint8>(length));
    AppendOctet(field, international ? 0x91 : 0x81);
    field.append(SwapPairs(digits));
    return field;
}

QString CPduCodec::DecodeAddress(QStringView field, qsizetype fieldLength, int semiOctets) const
{
    fieldLength = qMin(fieldLength, field.size());
    if (fieldLength < 2)
        return QString();
    const int typeOfAddress = OctetAt(field, 0);
    const QStringView digits = field.mid(2, fieldLength - 2);

    // A type of address with no bits outside 0xD0 carries packed text
    // (an alphanumeric sender such as "Netflix").
    if ((typeOfAddress & ~0xD0) == 0) {
        const qsizetype bits = (semiOctets >= 0 ? semiOctets : digits.size()) * 4;
        return DecodeSeptets(digits, static_cast<int>(bits / 7), 0);
    }

    QString number;
    number.reserve(digits.size() + 1);
    if (typeOfAddress == 0x91)
        number.append(u'+');
    for (const QChar c : SwapPairs(digits)) {
        if (c != u'F')
            number.append(c);
    }
    return number;
}

QString CPduCodec::EncodeTimeStamp(const QDateTime& time)
{
    return CLocalTimeStamp::FromDateTime(time).ToDigits();
}

QDateTime CPduCodec::DecodeTimeStamp(QStringView digits)
{
    return CLocalTimeStamp::FromDigits(digits).ToDateTime();
}

QString CPduCodec::EncodeSeptets(const QString& text, int fillBits, int& septets) const
{
    const int fill = qBound(0, fillBits, 7);
    const qsizetype maxSeptets = (kWorkingOctets * 8 - fill) / 7;
    const qsizetype count = qMin<qsizetype>(text.size(), maxSeptets);
    const qsizetype octetCount = (fill + 7 * count + 7) / 8;

    OctetBuffer buffer{};
    const QChar* source = text.constData();
    qsizetype bit = fill;
    for (qsizetype i = 0; i < count; ++i, bit += 7) {
        const char16_t unit = source[i].unicode();
        const auto code =
            static_cast<quint8>((m_characterSet ? m_characterSet->ConvertFromUnicode(unit) : unit) & 0x7F);
        const qsizetype index = bit / 8;
        const int shift = static_cast<int>(bit % 8);
        buffer[index] |= static_cast<quint8>(code << shift);
        if (shift > 1)
            buffer[index + 1] |= static_cast<quint8>(code >> (8 - shift));
    }
    septets = static_cast<int>(count);

    QString hex;
    AppendOctetsAsHex(hex, buffer.data(), octetCount);
    return hex;
}

QString CPduCodec::DecodeSeptets(QStringView hex, int septets, int fillBits) const
{
    if (septets <= 0)
        return QString();
    OctetBuffer buffer;
    const qsizetype octets = ReadOctets(hex, buffer);
    const int fill = qBound(0, fillBits, 7);
    const qsizetype available = octets * 8 > fill ? (octets * 8 - fill) / 7 : 0;
    const qsizetype count = qMin<qsizetype>(available, septets);

    // Each septet may become a carriage return and a line feed.
    std::array<char16_t, 2 * kMaxSeptets> text;
    qsizetype length = 0;
    qsizetype bit = fill;
    for (qsizetype i = 0; i < count; ++i, bit += 7) {
        const qsizetype index = bit / 8;
        const int shift = static_cast<int>(bit % 8);
        unsigned value = buffer[index] >> shift;
        if (shift > 1)
            value |= static_cast<unsigned>(buffer[index + 1]) << (8 - shift);
        const auto code = static_cast<char16_t>(value & 0x7F);
        const char16_t unit = m_characterSet ? m_characterSet->ConvertToUnicode(code) : code;
        if (unit == u'\n' && (length == 0 || text[length - 1] != u'\r'))
            text[length++] = u'\r';
        text[length++] = unit;
    }
    return QString(reinterpret_cast<const QChar*>(text.data()), length);
}

QString CPduCodec::EncodeEightBit(const QString& text, int& octets)
{
    const QByteArray latin1 = text.left(kWorkingOctets).toLatin1();
    octets = static_cast<int>(latin1.size());
    QString hex;
    AppendOctetsAsHex(hex, reinterpret_cast<const quint8*>(latin1.constData()), latin1.size());
    return hex;
}

QString CPduCodec::DecodeEightBit(QStringView hex)
{
    OctetBuffer buffer;
    const qsizetype octets = ReadOctets(hex, buffer);
    qsizetype length = 0;
    while (length < octets && buffer[length] != 0)
        ++length;
    return QString::fromLatin1(reinterpret_cast<const char*>(buffer.data()), length);
}

QString CPduCodec::EncodeUcs2(const QString& text, int& octets)
{
    qsizetype count = qMin<qsizetype>(text.size(), kWorkingOctets / 2);
    // Never leave half of a surrogate pair at the end.
    if (count > 0 && count < text.size() && text[count - 1].isHighSurrogate())
        --count;
    QString hex;
    hex.reserve(4 * count);
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = text[i].unicode();
        AppendOctet(hex, static_cast<quint8>(unit >> 8));
        AppendOctet(hex, static_cast<quint8>(unit & 0xFF));
    }
    octets = static_cast<int>(2 * count);
    return hex;
}

QString CPduCodec::DecodeUcs2(QStringView hex)
{
    OctetBuffer buffer;
    const qsizetype octets = ReadOctets(hex, buffer);
    QString text(octets / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < octets / 2; ++i)
        text[i] = QChar(static_cast<char16_t>((buffer[2 * i] << 8) | buffer[2 * i + 1]));
    return text;
}

quint8 CPduCodec::FirstOctet(QStringView pdu)
{
    if (pdu.size() < 2) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "Failed to extract the Service Center Address in the SMS.\n");
        return 0xFF;
    }
    const qsizetype position = 2 * static_cast<qsizetype>(OctetAt(pdu, 0)) + 2;
    if (pdu.size() < position) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR,
                     "Failed to extract the Service Center Address Length in the SMS.\n");
        return 0xFF;
    }
    if (pdu.size() - position < 2) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "Failed to extract the First Octet in the SMS.\n");
        return 0xFF;
    }
    return static_cast<quint8>(OctetAt(pdu, position));
}

quint8 CPduCodec::MessageType(QStringView pdu)
{
    const quint8 firstOctet = FirstOctet(pdu);
    return firstOctet == 0xFF ? 0xFF : static_cast<quint8>(firstOctet & 0x03);
}

QString CPduCodec::ExtractUserData(QStringView userData, quint8 dataCodingScheme, quint8& firstOctet,
                                   CEmsItemManager* items, EmsItemList& elements) const
{
    const int dataLength = OctetAt(userData, 0);
    qsizetype textStart = 2;

    // Some senders put a concatenation header in front of the text and
    // forget to say so in the first octet.
    if (!(firstOctet & kHeaderIndicator) && userData.mid(2, 6) == u"050003")
        firstOctet |= kHeaderIndicator;

    int headerSeptets = 0;
    int fillBits = 0;
    if (firstOctet & kHeaderIndicator) {
        const int headerLength = OctetAt(userData, 2);
        const qsizetype headerEnd = 4 + 2 * static_cast<qsizetype>(headerLength);
        const qsizetype walkEnd = qMin(headerEnd, userData.size());
        qsizetype position = 4;
        while (position + 4 <= walkEnd) {
            const int identifier = OctetAt(userData, position);
            const int elementLength = OctetAt(userData, position + 2);
            const qsizetype elementEnd = position + 4 + 2 * static_cast<qsizetype>(elementLength);
            if (elementEnd > walkEnd) {
                // A length that runs past the header is a damaged header:
                // nothing after this point can be trusted as an element.
                TraceMessage(g_traceGsmSession, TRACE_ERROR,
                             "Information element %d overruns the user data header\n", identifier);
                break;
            }
            // Without an item manager the elements are skipped; the text
            // is still read from behind the header.
            if (CEmsItemHandler* handler = items ? items->Find(static_cast<qint16>(identifier)) : nullptr) {
                if (auto element = handler->ExtractPdu(userData.mid(position + 2, elementEnd - position - 2).toString()))
                    elements.push_back(std::move(element));
            }
            position = elementEnd;
        }
        const int headerOctets = headerLength + 1;
        const int remainder = headerOctets % 7;
        fillBits = remainder ? 7 - remainder : 0;
        headerSeptets = (8 * headerOctets + 6) / 7;
        textStart = headerEnd;
    }

    if (dataLength == 0 || textStart >= userData.size())
        return QString();
    const QStringView text = userData.mid(textStart);
    switch (UserDataCodingOf(dataCodingScheme)) {
    case UserDataCoding::Ucs2:
        return DecodeUcs2(text);
    case UserDataCoding::EightBit:
        return DecodeEightBit(text);
    case UserDataCoding::SevenBit:
        break;
    }
    return DecodeSeptets(text, dataLength - headerSeptets, fillBits);
}

QString CPduCodec::CreateUserDataHeader(const EmsItemList& elements, CEmsItemManager* items) const
{
    if (!elements.empty() && !items)
        return QString();
    QString body;
    int octets = 0;
    for (const auto& element : elements) {
        CEmsItemHandler* handler = items->Find(element->GetIdentifier());
        if (!handler) {
            // Only elements that a handler writes may go into a message.
            TraceMessage(g_traceGsmSession, TRACE_ERROR, "No handler for information element %d, left out\n",
                         static_cast<int>(element->GetIdentifier()));
            continue;
        }
        const QString piece = handler->CreatePdu(*element);
        body += piece;
        octets += static_cast<int>(piece.size() / 2);
    }
    return Octet(static_cast<quint8>(octets)) + body;
}

QString CPduCodec::CreateUserData(const QString& text, quint8 dataCodingScheme, quint8 firstOctet,
                                  const EmsItemList& elements, CEmsItemManager* items) const
{
    QString header;
    int headerOctets = 0;
    if (firstOctet & kHeaderIndicator) {
        header = CreateUserDataHeader(elements, items);
        headerOctets = static_cast<int>(header.size() / 2);
    }

    QString body;
    int dataLength = 0;
    switch (UserDataCodingOf(dataCodingScheme)) {
    case UserDataCoding::Ucs2: {
        int octets = 0;
        body = EncodeUcs2(text, octets);
        dataLength = headerOctets + octets;
        break;
    }
    case UserDataCoding::EightBit: {
        int octets = 0;
        body = EncodeEightBit(text, octets);
        dataLength = headerOctets + octets;
        break;
    }
    case UserDataCoding::SevenBit: {
        const int remainder = headerOctets % 7;
        const int fillBits = remainder ? 7 - remainder : 0;
        const int headerSeptets = (8 * headerOctets + 6) / 7;
        int septets = 0;
        body = EncodeSeptets(text, fillBits, septets);
        dataLength = headerSeptets + septets;
        break;
    }
    }

    QString userData;
    userData.reserve(2 + header.size() + body.size());
    AppendOctet(userData, static_cast<quint8>(dataLength));
    userData += header;
    userData += body;
    return userData;
}
