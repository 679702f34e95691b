#include "gsmcore/sms/EmsFormatText.h"

namespace {
constexpr quint8 kAlignmentBits = 0x03;
constexpr quint8 kLargeBit = 0x04;
constexpr quint8 kSmallBit = 0x08;
constexpr quint8 kBoldBit = 0x10;
constexpr quint8 kItalicBit = 0x20;
constexpr quint8 kUnderlinedBit = 0x40;
constexpr quint8 kStrikethroughBit = 0x80;
} // namespace

void CEmsFormatText::SetModeOctet(quint8 mode)
{
    m_Alignment = mode & kAlignmentBits;
    // The reserved size value (both bits) reads as small.
    if (mode & kSmallBit)
        m_FontSize = FONT_SMALL;
    else if (mode & kLargeBit)
        m_FontSize = FONT_LARGE;
    else
        m_FontSize = FONT_NORMAL;
    m_bBold = (mode & kBoldBit) != 0;
    m_bItalic = (mode & kItalicBit) != 0;
    m_bUnderlined = (mode & kUnderlinedBit) != 0;
    m_bStrikethrough = (mode & kStrikethroughBit) != 0;
}

quint8 CEmsFormatText::GetModeOctet() const
{
    quint8 mode = static_cast<quint8>(m_Alignment & kAlignmentBits);
    if (m_FontSize == FONT_LARGE)
        mode |= kLargeBit;
    else if (m_FontSize == FONT_SMALL)
        mode |= kSmallBit;
    if (m_bBold)
        mode |= kBoldBit;
    if (m_bItalic)
        mode |= kItalicBit;
    if (m_bUnderlined)
        mode |= kUnderlinedBit;
    if (m_bStrikethrough)
        mode |= kStrikethroughBit;
    return mode;
}
