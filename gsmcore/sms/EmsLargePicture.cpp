#include "gsmcore/sms/EmsLargePicture.h"

#include <algorithm>

CEmsLargePicture::CEmsLargePicture(qint16 position)
    : CEmsItemUnknown(EmsIdentifier::LargePicture, kDataOctets + 3, position), m_Data(kDataOctets, '\0')
{
}

void CEmsLargePicture::SetData(const QByteArray& octets)
{
    m_Data.fill('\0', kDataOctets);
    std::copy_n(octets.constData(), qMin<qsizetype>(octets.size(), kDataOctets), m_Data.data());
}

bool CEmsLargePicture::IsPixel(int index) const
{
    if (index < 0 || index >= GetNumberOfPixels())
        return false;
    const auto octet = static_cast<quint8>(m_Data[index / 8]);
    return (octet >> (7 - index % 8)) & 1;
}
