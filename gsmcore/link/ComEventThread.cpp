#include "gsmcore/link/ComEventThread.h"

#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/DeviceThread.h"
#include "gsmcore/link/PortDriver.h"
#include "gsmcore/link/SerialPort.h"
#include "support/Trace.h"

#include <chrono>
#include <thread>
#include <unistd.h>

namespace {
unsigned ThreadId()
{
    return static_cast<unsigned>(::gettid());
}
}  // namespace

CComEventThread::CComEventThread()
{
    TraceMessage(g_traceGsmSession, TRACE_CTOR_DTOR, "CComEventThread::CComEventThread() (ctor)\n");
}

CComEventThread::~CComEventThread()
{
    CWorkerThread::Stop();
    TraceMessage(g_traceGsmSession, TRACE_CTOR_DTOR, "CComEventThread::~CComEventThread() (dtor)\n");
}

void CComEventThread::WakeUp()
{
    if (m_port)
        m_port->setcommmask(0);
    m_dataArrived.Set();
    std::this_thread::yield();
}

void CComEventThread::Stop()
{
    CWorkerThread::Stop();
}

int CComEventThread::leave()
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CComEventThread, exit thread id: %X\n", ThreadId());
    return 0;
}

void CComEventThread::traceerrors(quint32 errors)
{
    struct ErrorName {
        quint32 bit;
        const char* text;
    };
    static constexpr ErrorName kNames[] = {
        {CE_BREAK, "EV_ERR: CE_BREAK \n"},       {CE_FRAME, "EV_ERR: CE_FRAME \n"},
        {CE_IOE, "EV_ERR: CE_IOE \n"},           {CE_MODE, "EV_ERR: CE_MODE \n"},
        {CE_OVERRUN, "EV_ERR: CE_OVERRUN \n"},   {CE_RXOVER, "EV_ERR: CE_RXOVER \n"},
        {CE_RXPARITY, "EV_ERR: CE_RXPARITY \n"}, {CE_TXFULL, "EV_ERR: CE_TXFULL \n"},
    };
    if (errors == 0)
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "EV_ERR: 0x%X.\n", errors);
    for (const ErrorName& name : kNames) {
        if (errors & name.bit)
            TraceMessage(g_traceGsmSession, TRACE_ERROR, name.text);
    }
    if (errors & ~CE_KnownBits)
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "EV_ERR: Unknown EvtMask \n");
}

int CComEventThread::Run()
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CComEventThread thread id: %X\n", ThreadId());
    if (!m_port || !m_owner)
        return leave();
    int errorsInARow = 0;
    for (;;) {
        quint32 mask = 0;
        const bool waited = m_port->waitforevent(mask);
        if (IsStopping())
            return leave();
        if (!waited) {
            quint32 status = 0;
            if (!m_port->getcommmodemstatus(status))
                TraceMessage(g_traceGsmSession, TRACE_ERROR, "GetCommModemStatus() failed");
            TraceMessage(g_traceGsmSession, TRACE_ERROR, "WaitCommEvent() failed\n");
            TraceMessage(g_traceGsmSession, TRACE_ERROR, "Event: 0x%04x, Status: 0x%04x\n", mask, status);
            return leave();
        }
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Event: 0x%04x \n", mask);

        if (mask & EV_ERR) {
            quint32 errors = 0;
            int error = 0;
            if (!m_port->clearcommerror(errors, error)) {
                if (error == PortErrorInvalidHandle)
                    TraceMessage(g_traceGsmSession, TRACE_ERROR,
                                 "ERROR_INVALID_HANDLE, Likely that the Service Provider has closed the port.\n");
                else
                    TraceMessage(g_traceGsmSession, TRACE_ERROR, "ClearCommError: 0x%X.\n", error);
                // The port is dead: the receive loop hands out what it
                // has read, then releases the waiting reader and closes
                // the port; this thread stops here.
                m_owner->portlost();
                return leave();
            }
            traceerrors(errors);
            // A line that keeps reporting errors must not spin this thread.
            if (++errorsInARow > 3)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else {
            errorsInARow = 0;
        }

        if ((mask & EV_RXCHAR) && (mask & EV_ERR))
            m_port->rearmreceive();  // the data is picked up at the next EV_RXCHAR
        if (mask & EV_DISCONNECT) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "EV_DISC detected\n");
            m_owner->abortreaders();
            QByteArray none;
            if (m_port->deviceiocontrol(IOCTL_ACK_DISCONNECT, QByteArray(), none) && m_owner->isrunning())
                m_owner->datastatechange(false);
        } else if ((mask & EV_RXCHAR) && !(mask & EV_ERR)) {
            m_dataArrived.Set();
            std::this_thread::yield();
        } else if (mask & EV_DSR) {
            quint32 status = 0;
            m_port->getcommmodemstatus(status);
            if (status & MS_DSR_ON)
                TraceMessage(g_traceGsmSession, TRACE_INFO, "Ignoring EV_DSR, changed to active\n");
            else
                TraceMessage(g_traceGsmSession, TRACE_INFO,
                             "EV_DSR detected, should break out of perform(), BUT DON'T!\n");
        }
        if (IsStopping())
            return leave();
    }
}
