#pragma once
// SMS-SUBMIT: a message we send, and the reading of such a PDU.

#include "gsmcore/sms/EmsItemUnknown.h"
#include "gsmcore/sms/Sms.h"

#include <QDateTime>

// Relative validity periods as TS 23.040 codes them: up to 143 in steps
// of 5 minutes, to 167 in half hours past 12 hours, to 196 in days, then
// in weeks.
enum VALID_PERIODS : unsigned char {
    VALID_PERIOD_5_MINUTES = 0,
    VALID_PERIOD_30_MINUTES = 5,
    VALID_PERIOD_1_HOUR = 11,
    VALID_PERIOD_6_HOURS = 71,
    VALID_PERIOD_12_HOURS = 143,
    VALID_PERIOD_1_DAY = 167,
    VALID_PERIOD_2_DAYS = 168,
    VALID_PERIOD_3_DAYS = 169,
    VALID_PERIOD_1_WEEK = 173,
    VALID_PERIOD_30_DAYS = 196,
    VALID_PERIOD_5_WEEKS = 197,
    VALID_PERIOD_MAXIMUM = 255,  // 63 weeks
};

class CSmsOut : public CSms {
public:
    enum ValidityPeriodFormat { VPF_NONE = 0, VPF_ENHANCED = 8, VPF_RELATIVE = 16, VPF_ABSOLUTE = 24 };

    CSmsOut();
    CSmsOut(const CSmsOut& other) = default;
    CSmsOut& operator=(const CSmsOut& other) = default;
    ~CSmsOut() override;

    QString Create(CEmsItemManager* items) override;
    // Starts from Reset (the character set stays).
    bool Extract(const QString& pdu, CEmsItemManager* items) override;
    CEmsConcatenatedShortMessage* GetConcatinatedItem() override;
    void Reset() override;

    static bool IsValidType(const QString& pdu);

    int SetValidityPeriod(const QDateTime& absolute);
    int SetValidityPeriod(VALID_PERIODS relative);
    int SetValidityPeriod(unsigned char relative);

    // TPDU octets after the service centre field, as "+CMGS=<n>" wants them.
    int GetPduLength() const { return m_PduLength; }
    bool GetRejectDuplicates() const { return m_bRejectDuplicates; }
    int GetValidityPeriodFormat() const { return m_ValidityPeriodFormat; }
    bool GetStatusReportRequest() const { return m_bStatusReportRequest; }
    bool GetReplyPath() const { return m_bReplyPath; }
    qint16 GetMessageReference() const { return m_MessageReference; }
    int GetRelativeValidityPeriod() const { return m_RelativeValidityPeriod; }
    const QDateTime& GetAbsoluteValidityPeriod() const { return m_AbsoluteValidityPeriod; }
    bool GetHeaderIndicator() const { return m_bHeaderIndicator; }
    const EmsItemList& GetItems() const { return m_Items; }

    void SetRejectDuplicates(bool on) { m_bRejectDuplicates = on; }
    void SetValidityPeriodFormat(int format) { m_ValidityPeriodFormat = format & 0x18; }
    void SetStatusReportRequest(bool on) { m_bStatusReportRequest = on; }
    void SetReplyPath(bool on) { m_bReplyPath = on; }
    void SetMessageReference(qint16 reference) { m_MessageReference = reference; }
    void SetHeaderIndicator(bool on) { m_bHeaderIndicator = on; }
    // Plain field setters; the format is chosen apart with SetValidityPeriodFormat.
    void SetRelativeValidityPeriod(int relative) { m_RelativeValidityPeriod = relative; }
    void SetAbsoluteValidityPeriod(const QDateTime& absolute) { m_AbsoluteValidityPeriod = absolute; }
    void AddItem(std::unique_ptr<CEmsItemUnknown> item) { m_Items.push_back(std::move(item)); }
    void InsertItem(std::size_t index, std::unique_ptr<CEmsItemUnknown> item);

protected:
    void ExtractFO(quint8 octet);
    QString CreateFO();

    int m_PduLength = 0;
    bool m_bRejectDuplicates = false;
    int m_ValidityPeriodFormat = VPF_RELATIVE;
    bool m_bStatusReportRequest = false;
    bool m_bReplyPath = false;
    qint16 m_MessageReference = 0;
    int m_RelativeValidityPeriod = -1;
    QDateTime m_AbsoluteValidityPeriod;
    bool m_bHeaderIndicator = false;
    EmsItemList m_Items;
};
