#pragma once
// One serial port on termios: opened by device path, raw 8N1 at the
// settings' speed, with read and write time-outs done by poll. Every
// failure leaves a text as the port's last error and in the trace.

#include "gsmcore/link/PortDriver.h"
#include "gsmcore/link/PortLockFile.h"
#include "gsmcore/link/PortSettings.h"

#include <QString>

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <mutex>

class CSerialPort {
public:
    enum State { StateOpen = 0, StateClosed = 1, StateWriteError = 2 };

    // All-ones interval with zero totals: a read returns what is buffered.
    static constexpr quint32 MaxTimeout = 0xFFFFFFFFu;

    struct Timeouts {
        quint32 readInterval = 0;
        quint32 readTotalMultiplier = 0;
        quint32 readTotalConstant = 0;
        quint32 writeTotalMultiplier = 0;
        quint32 writeTotalConstant = 0;
    };

    explicit CSerialPort(std::unique_ptr<CPortSettings> settings);
    // Wraps a descriptor that is already open; it is closed with the port.
    explicit CSerialPort(int handle);
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    virtual bool setdefaultreadtimeouts();
    virtual bool setdefaultwritetimeouts();

    bool open();
    void close();
    // What a user is told when the port would not open with `error` (an
    // errno), or nothing when there is nothing the user can do about it.
    static QString OpenErrorMessage(const QString& name, int error, pid_t holder);
    bool setreadtimeouts(quint32 totalMultiplier, quint32 totalConstant, quint32 interval);
    bool setwritetimeouts(quint32 totalMultiplier, quint32 totalConstant);
    bool setcommstate();
    bool setcommmask();
    bool setcommmask(quint32 mask);
    bool waitforevent(quint32& mask);
    bool write(const void* data, quint32 length);
    int read(void* buffer, quint32 size);
    // What is buffered now, without waiting: the reader thread is woken
    // by the port's events and must not sit in a read while a command
    // waits to be written.
    int readnow(void* buffer, quint32 size);
    bool purge(int which);
    bool flush();

    // Line errors since the last call. False (error 6) once the device
    // has gone or the handle is closed.
    bool clearcommerror(quint32& errors, int& error);
    // Modem lines (MS_ bits); false where the device has none (a pty).
    bool getcommmodemstatus(quint32& status);
    // A control call to the port's multiplexing driver.
    bool deviceiocontrol(quint32 code, const QByteArray& input, QByteArray& output);

    // Lets EV_RXCHAR fire again although the reader has not been at the
    // port (the event came with a line error and did not wake it).
    void rearmreceive();

    void setportdriver(std::unique_ptr<CPortDriver> driver);
    CPortDriver& portdriver() { return *m_driver; }

    int gethandle() const { return m_handle; }
    int getstate() const { return m_state.load(); }
    bool resetwriteerror();
    QString getlasterror() const;
    CPortSettings* getsettings() const { return m_settings.get(); }
    Timeouts gettimeouts() const;

protected:
    // Applies the event mask to the device; 0 or the error number. The
    // device itself has no mask to refuse on this system, so the mask is
    // only remembered; kept apart for ports (and tests) that refuse it.
    virtual int applycommmask(quint32 mask);

private:
    int readsome(void* buffer, quint32 size, bool wait);
    void setlasterror(const QString& text);
    void configurationfailure(const char* format, int error);
    void wakewaiter();
    int waitmilliseconds(short events, int timeoutMs, short& revents);
    int queuedinput() const;  // bytes waiting in the device's input queue

    static constexpr int SpentRxCheckMs = 20;

    std::unique_ptr<CPortSettings> m_settings;
    std::unique_ptr<CPortDriver> m_driver;
    CPortLockFile m_lock;
    int m_handle = -1;
    int m_wakeHandle = -1;           // eventfd that ends a blocked event wait
    std::atomic<int> m_state{StateClosed};
    quint32 m_openFlags = 0;
    mutable std::mutex m_textLock;   // last error and time-outs
    QString m_lastError;
    Timeouts m_timeouts;
    std::atomic<quint32> m_eventMask{0};
    std::atomic<bool> m_rxArmed{true};    // EV_RXCHAR may fire again
    std::atomic<bool> m_hungUp{false};    // the device has gone
    std::atomic<int> m_queuedAtEvent{0};  // input queue size at the last EV_RXCHAR
    std::atomic<quint32> m_lineErrors{0};
    struct LineCounters { int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0; } m_counters;
};
