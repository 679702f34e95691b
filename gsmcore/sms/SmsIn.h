#pragma once
// SMS-DELIVER: a message as the device reports it on arrival or reads it
// from storage in PDU mode.

#include "gsmcore/sms/EmsItemUnknown.h"
#include "gsmcore/sms/LocalTimeStamp.h"
#include "gsmcore/sms/Sms.h"

#include <QDateTime>

class CSmsText;

class CSmsIn : public CSms {
public:
    CSmsIn();
    explicit CSmsIn(const CSmsText& text);
    CSmsIn(const CSmsIn& other) = default;
    CSmsIn& operator=(const CSmsIn& other) = default;
    ~CSmsIn() override;

    QString Create(CEmsItemManager* items) override;
    // Reads without resetting first: call it on a new or reset message.
    bool Extract(const QString& pdu, CEmsItemManager* items) override;
    CEmsConcatenatedShortMessage* GetConcatinatedItem() override;
    void Reset() override;

    static bool IsValidType(const QString& pdu);

    int GetPduLength() const { return m_PduLength; }
    bool GetHeaderIndicator() const { return m_bHeaderIndicator; }
    bool GetMoreMessagesToSend() const { return m_bMoreMessagesToSend; }
    bool GetStatusReportIndication() const { return m_bStatusReportIndication; }
    bool GetReplyPath() const { return m_bReplyPath; }
    // Local time; null when the PDU's stamp was no date.
    QDateTime GetTimeStamp() const { return m_TimeStamp.ToDateTime(); }
    const EmsItemList& GetItems() const { return m_Items; }

    void SetHeaderIndicator(bool on) { m_bHeaderIndicator = on; }
    void SetMoreMessagesToSend(bool on) { m_bMoreMessagesToSend = on; }
    void SetStatusReportIndication(bool on) { m_bStatusReportIndication = on; }
    void SetReplyPath(bool on) { m_bReplyPath = on; }
    void SetTimeStamp(const QDateTime& time) { m_TimeStamp = CLocalTimeStamp::FromDateTime(time); }
    void AddItem(std::unique_ptr<CEmsItemUnknown> item) { m_Items.push_back(std::move(item)); }

protected:
    void ExtractFO(quint8 octet);
    QString CreateFO();

    int m_PduLength = 0;
    bool m_bHeaderIndicator = false;
    bool m_bMoreMessagesToSend = false;
    bool m_bStatusReportIndication = false;
    bool m_bReplyPath = false;
    CLocalTimeStamp m_TimeStamp;
    EmsItemList m_Items;
};
