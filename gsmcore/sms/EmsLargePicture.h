#pragma once
// A 32 x 32 black and white picture, one bit per pixel, most significant
// bit leftmost.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"

#include <QByteArray>

class CEmsLargePicture : public CEmsItemUnknown {
public:
    static constexpr int kDataOctets = 128;

    explicit CEmsLargePicture(qint16 position = 0);

    std::unique_ptr<CEmsItemUnknown> Clone() const override { return std::make_unique<CEmsLargePicture>(*this); }

    // Stores at most 128 octets from the start of the pixel data.
    void SetData(const QByteArray& octets);
    const QByteArray& GetData() const { return m_Data; }

    int GetNumberOfPixels() const { return static_cast<int>(m_Data.size()) * 8; }
    int GetNumberOfRows() const { return static_cast<int>(m_Data.size()) / 4; }
    int GetNumberOfCols() const { return static_cast<int>(m_Data.size()) / 4; }
    bool IsPixel(int index) const;
    bool IsPixel(int row, int column) const { return IsPixel(row * 32 + column); }

private:
    QByteArray m_Data;
};
