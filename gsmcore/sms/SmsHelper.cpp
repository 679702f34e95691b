#include "gsmcore/sms/SmsHelper.h"

#include "gsmcore/sms/PduCodec.h"

CSmsHelper::~CSmsHelper() = default;

quint8 CSmsHelper::GetMessageType(const QString& pdu)
{
    return CPduCodec::MessageType(pdu);
}
