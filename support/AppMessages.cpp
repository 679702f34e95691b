#include "support/AppMessages.h"

#include "support/Trace.h"

CAppMessages& CAppMessages::Instance()
{
    static CAppMessages messages;
    return messages;
}

int CAppMessages::ShowMessage(const QString& message, unsigned type, const QString& caption)
{
    std::shared_ptr<AppMessageHandler> handler;
    {
        QMutexLocker lock(&m_lock);
        handler = m_handler;
    }
    if (!handler) {
        TraceMessage(g_traceArdel, TRACE_ERROR, "No AppMessageHandler installed when getting error:\n'%s'\n", message);
        return 1;
    }
    return handler->ShowMessage(message, type, caption);
}

void CAppMessages::SetMessageHandler(std::unique_ptr<AppMessageHandler> handler)
{
    QMutexLocker lock(&m_lock);
    m_handler = std::move(handler);
}

bool CAppMessages::HasMessageHandler() const
{
    QMutexLocker lock(&m_lock);
    return m_handler != nullptr;
}
