#pragma once
// Writes and reads one kind of information element in PDU hex. The text
// handed to ExtractPdu starts at the element's length octet (the
// identifier has been read already) and holds its data octets.

#include "gsmcore/sms/EmsItemUnknown.h"

#include <QString>

class CEmsItemHandler {
public:
    explicit CEmsItemHandler(qint16 identifier) : m_Identifier(identifier) {}
    virtual ~CEmsItemHandler();
    CEmsItemHandler(const CEmsItemHandler&) = delete;
    CEmsItemHandler& operator=(const CEmsItemHandler&) = delete;

    // A new element, or none when the text is too short (traced).
    virtual std::unique_ptr<CEmsItemUnknown> ExtractPdu(const QString& text) = 0;
    // Identifier, length and data in uppercase hex; empty when `element`
    // is not of this handler's kind.
    virtual QString CreatePdu(const CEmsItemUnknown& element) = 0;

    qint16 GetIdentifier() const { return m_Identifier; }
    qint16 GetDataLength() const { return m_DataLength; }
    const QString& GetLastPdu() const { return m_LastPdu; }

protected:
    // Traces the refusal of a text below the handler's minimum.
    static bool HasMinimum(const QString& text, qsizetype minimum);
    // Keeps what was written and hands it back.
    QString Written(qint16 dataLength, QString pdu);
    static QString WrongKind(const CEmsItemUnknown& element);

    qint16 m_Identifier;
    qint16 m_DataLength = 0;
    QString m_LastPdu;
};
