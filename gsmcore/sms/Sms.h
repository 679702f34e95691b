#pragma once
// The base of every message codec: the fields all short messages share
// and the converter that turns their text into the GSM alphabet.

#include <QString>

#include <memory>

class CCharacterSet;
class CEmsConcatenatedShortMessage;
class CEmsItemManager;

class CSms {
public:
    CSms();
    // Converters are stateless, so a copy shares its source's converter;
    // it is released only when the last message holding it lets go.
    CSms(const CSms&) = default;
    CSms& operator=(const CSms&) = default;
    virtual ~CSms();

    virtual QString Create(CEmsItemManager* items);
    virtual bool Extract(const QString& pdu, CEmsItemManager* items);
    virtual CEmsConcatenatedShortMessage* GetConcatinatedItem();
    // Takes ownership of `set` (which may be null) and lets go of the
    // converter held before.
    virtual void SetCharacterSet(CCharacterSet* set);
    virtual void Reset();

    void SetCharacterSet(std::unique_ptr<CCharacterSet> set) { SetCharacterSet(set.release()); }
    const CCharacterSet* GetCharacterSet() const { return m_CharacterSet.get(); }

    static int Hex2Dec(const QString& text);

    quint8 GetFirstOctet() const { return m_FirstOctet; }
    qint8 GetProtocolIdentifier() const { return m_ProtocolIdentifier; }
    quint8 GetDataCodingScheme() const { return m_DataCodingScheme; }
    const QString& GetServiceCenterAddress() const { return m_ServiceCenterAddress; }
    const QString& GetAddress() const { return m_Address; }
    const QString& GetText() const { return m_Text; }
    const QString& GetPdu() const { return m_Pdu; }

    void SetFirstOctet(quint8 octet) { m_FirstOctet = octet; }
    void SetProtocolIdentifier(qint8 pid) { m_ProtocolIdentifier = pid; }
    void SetDataCodingScheme(quint8 dcs) { m_DataCodingScheme = dcs; }
    void SetServiceCenterAddress(const QString& address) { m_ServiceCenterAddress = address; }
    void SetAddress(const QString& address) { m_Address = address; }
    void SetText(const QString& text) { m_Text = text; }

    // Why the last Extract failed (the trace text, without its line end);
    // empty after a success.
    const QString& GetLastError() const { return m_LastError; }

protected:
    // Installs the default alphabet when no converter is held.
    const CCharacterSet* EnsureCharacterSet();
    // Traces `message` under GsmSession at ERROR, keeps it and gives false.
    bool Fail(const char* message);

    QString m_ServiceCenterAddress;
    QString m_Address;
    QString m_Text;
    QString m_Pdu;
    quint8 m_DataCodingScheme = 0;
    quint8 m_FirstOctet = 0;
    qint8 m_ProtocolIdentifier = 0;
    std::shared_ptr<CCharacterSet> m_CharacterSet;
    QString m_LastError;
};
