#pragma once
// Waits on the serial port's events so that the device thread need not
// poll: data wakes the receive loop, line errors are traced, and a port
// that is taken away or vanishes makes the link stop waiting.

#include "gsmcore/link/WorkerThread.h"
#include "support/Event.h"

#include <QtGlobal>

class CDeviceThread;
class CSerialPort;

class CComEventThread : public CWorkerThread {
public:
    CComEventThread();
    ~CComEventThread() override;

    void setport(CSerialPort* port) { m_port = port; }
    void setowner(CDeviceThread* owner) { m_owner = owner; }
    // Auto-reset; set when characters arrived.
    CEvent& dataarrived() { return m_dataArrived; }

    // Ends a blocked event wait at once, wakes the receive loop and joins.
    void Stop() override;

protected:
    int Run() override;
    void WakeUp() override;

private:
    void traceerrors(quint32 errors);
    int leave();

    CEvent m_dataArrived{false, false};
    CSerialPort* m_port = nullptr;
    CDeviceThread* m_owner = nullptr;
};
