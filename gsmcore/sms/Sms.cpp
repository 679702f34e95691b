#include "gsmcore/sms/Sms.h"

#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/sms/PduCodec.h"
#include "support/Trace.h"

CSms::CSms() = default;
CSms::~CSms() = default;

QString CSms::Create(CEmsItemManager*)
{
    return QString();
}

bool CSms::Extract(const QString&, CEmsItemManager*)
{
    return false;
}

CEmsConcatenatedShortMessage* CSms::GetConcatinatedItem()
{
    return nullptr;
}

void CSms::SetCharacterSet(CCharacterSet* set)
{
    m_CharacterSet.reset(set);
}

void CSms::Reset()
{
    m_ServiceCenterAddress.clear();
    m_Address.clear();
    m_Text.clear();
    m_Pdu.clear();
    m_DataCodingScheme = 0;
    m_FirstOctet = 0;
    m_ProtocolIdentifier = 0;
}

int CSms::Hex2Dec(const QString& text)
{
    return CPduCodec::Hex2Dec(text);
}

const CCharacterSet* CSms::EnsureCharacterSet()
{
    // Converters hold no state: every message that installs the default
    // alphabet for itself shares one.
    static const std::shared_ptr<CCharacterSet> defaultAlphabet = std::make_shared<CCharacterSetDefault>();
    if (!m_CharacterSet)
        m_CharacterSet = defaultAlphabet;
    return m_CharacterSet.get();
}

bool CSms::Fail(const char* message)
{
    TraceMessage(g_traceGsmSession, TRACE_ERROR, message);
    m_LastError = QString::fromUtf8(message).trimmed();
    return false;
}
