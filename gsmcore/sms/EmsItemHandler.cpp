#include "gsmcore/sms/EmsItemHandler.h"

#include "support/Trace.h"

CEmsItemHandler::~CEmsItemHandler() = default;

bool CEmsItemHandler::HasMinimum(const QString& text, qsizetype minimum)
{
    if (text.size() >= minimum)
        return true;
    TraceMessage(g_traceGsmSession, TRACE_ERROR, "ExtractPdu(): Invalid PDU '%s'\n", text);
    return false;
}

QString CEmsItemHandler::Written(qint16 dataLength, QString pdu)
{
    m_DataLength = dataLength;
    m_LastPdu = pdu;
    return pdu;
}

QString CEmsItemHandler::WrongKind(const CEmsItemUnknown& element)
{
    TraceMessage(g_traceGsmSession, TRACE_ERROR, "CreatePdu(): element %d is not of the handler's kind\n",
                 static_cast<int>(element.GetIdentifier()));
    return QString();
}
