#pragma once
// An element whose data we carry without reading it.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"

#include <QByteArray>

class CEmsBinary : public CEmsItemUnknown {
public:
    explicit CEmsBinary(qint16 position = 0) : CEmsItemUnknown(EmsIdentifier::Binary, 3, position) {}

    std::unique_ptr<CEmsItemUnknown> Clone() const override { return std::make_unique<CEmsBinary>(*this); }
    qint16 GetSize() const override { return static_cast<qint16>(m_Data.size() + 3); }

    void SetData(const QByteArray& octets) { m_Data = octets; }
    void AppendOctet(quint8 octet) { m_Data.append(static_cast<char>(octet)); }
    const QByteArray& GetData() const { return m_Data; }

private:
    QByteArray m_Data;
};
