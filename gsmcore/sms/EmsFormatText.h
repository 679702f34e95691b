#pragma once
// Text formatting over a span of the message text.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"

class CEmsFormatText : public CEmsItemUnknown {
public:
    enum Alignment { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2, ALIGN_LANGUAGE_DEPENDENT = 3 };
    enum FontSize { FONT_NORMAL = 0, FONT_LARGE = 1, FONT_SMALL = 2 };

    CEmsFormatText(qint16 position = 0, qint16 length = 0)
        : CEmsItemUnknown(EmsIdentifier::TextFormatting, 5, position, length)
    {
    }

    std::unique_ptr<CEmsItemUnknown> Clone() const override { return std::make_unique<CEmsFormatText>(*this); }

    // The formatting mode octet: bits 0-1 alignment, bit 2 large, bit 3
    // small (it wins over bit 2), then bold, italic, underlined and
    // strikethrough.
    void SetModeOctet(quint8 mode);
    quint8 GetModeOctet() const;

    int GetAlignment() const { return m_Alignment; }
    int GetFontSize() const { return m_FontSize; }
    bool IsBold() const { return m_bBold; }
    bool IsItalic() const { return m_bItalic; }
    bool IsUnderlined() const { return m_bUnderlined; }
    bool IsStrikethrough() const { return m_bStrikethrough; }

    void SetAlignment(int alignment) { m_Alignment = alignment & 0x03; }
    void SetFontSize(int fontSize) { m_FontSize = fontSize; }
    void SetBold(bool on) { m_bBold = on; }
    void SetItalic(bool on) { m_bItalic = on; }
    void SetUnderlined(bool on) { m_bUnderlined = on; }
    void SetStrikethrough(bool on) { m_bStrikethrough = on; }

private:
    int m_Alignment = ALIGN_LANGUAGE_DEPENDENT;
    int m_FontSize = FONT_NORMAL;
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnderlined = false;
    bool m_bStrikethrough = false;
};
