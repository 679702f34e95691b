#pragma once
// The base of every information element a message header can carry: where
// in the text it applies, how many characters it covers and how many
// header octets it takes (identifier and length octets included).

#include <QtGlobal>

#include <memory>
#include <vector>

class CEmsItemUnknown {
public:
    CEmsItemUnknown(qint16 identifier, qint16 size, qint16 position = 0, qint16 length = 0)
        : m_Position(position), m_Length(length), m_Identifier(identifier), m_Size(size)
    {
    }
    virtual ~CEmsItemUnknown();

    virtual qint16 GetSize() const { return m_Size; }
    virtual qint16 GetIdentifier() const { return m_Identifier; }
    virtual qint16 GetPos() const { return m_Position; }
    virtual qint16 GetLength() const { return m_Length; }
    virtual std::unique_ptr<CEmsItemUnknown> Clone() const = 0;

    void SetPos(qint16 position) { m_Position = position; }
    void SetLength(qint16 length) { m_Length = length; }

protected:
    CEmsItemUnknown(const CEmsItemUnknown&) = default;
    CEmsItemUnknown& operator=(const CEmsItemUnknown&) = default;

    qint16 m_Position;
    qint16 m_Length;
    qint16 m_Identifier;
    qint16 m_Size;
};

class CEmsConcatenatedShortMessage;

// The elements of one message, owned by it, in header order. A copy of
// the list copies the elements, so messages copy with their defaults.
class EmsItemList : public std::vector<std::unique_ptr<CEmsItemUnknown>> {
public:
    EmsItemList() = default;
    EmsItemList(const EmsItemList& other);
    EmsItemList& operator=(const EmsItemList& other);
    EmsItemList(EmsItemList&&) noexcept = default;
    EmsItemList& operator=(EmsItemList&&) noexcept = default;
    ~EmsItemList() = default;

    // The concatenation element, when the message is a part of a long one.
    CEmsConcatenatedShortMessage* FindConcatenation() const;
};
