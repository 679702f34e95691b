#pragma once
// SMS-STATUS-REPORT: the network's answer about a message we submitted
// with a status report request. Read only.

#include "gsmcore/sms/SmsIn.h"

class CSmsStatusReport : public CSmsIn {
public:
    CSmsStatusReport();
    CSmsStatusReport(const CSmsStatusReport& other) = default;
    CSmsStatusReport& operator=(const CSmsStatusReport& other) = default;
    ~CSmsStatusReport() override;

    bool Extract(const QString& pdu, CEmsItemManager* items) override;
    // Also lets go of the elements of the last report read, so a reused
    // report never shows those of the one before.
    void Reset() override;

    static bool IsValidType(const QString& pdu);

    qint16 GetMessageReference() const { return m_MessageReference; }
    QDateTime GetDischargeTime() const { return m_DischargeTime.ToDateTime(); }
    qint16 GetStatus() const { return m_Status; }
    const EmsItemList& GetReportItems() const { return m_ReportItems; }
    // Which of the optional fields the last report carried.
    bool HasProtocolIdentifier() const { return m_OptionalFields >= 2; }
    bool HasDataCodingScheme() const { return m_OptionalFields >= 3; }
    bool HasUserData() const { return m_OptionalFields >= 4; }

protected:
    void ExtractFO(quint8 octet);

private:
    qint16 m_MessageReference = 0;
    CLocalTimeStamp m_DischargeTime;
    qint16 m_Status = 0;
    EmsItemList m_ReportItems;
    int m_OptionalFields = 0;  // parameter indicator, PID, DCS, user data: how many came
};
