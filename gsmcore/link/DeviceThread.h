#pragma once
// The serial link to the GSM device: a thread that reads what the device
// sends, cuts it into lines, offers each line to the unsolicited-code
// filter and queues the rest for the command layer; in data mode the
// bytes go raw into a ring buffer. Callers on other threads write with
// send() and read lines nobody else took with readline().

#include "gsmcore/link/CircularBuffer.h"
#include "gsmcore/link/ComEventThread.h"
#include "gsmcore/link/LineCutter.h"
#include "gsmcore/link/LineQueue.h"
#include "gsmcore/link/PortDriver.h"
#include "gsmcore/link/PortSettings.h"
#include "gsmcore/link/SerialPort.h"
#include "gsmcore/link/ThreadMessageQueue.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class CDeviceThread {
public:
    enum MODE { MODE_LINE = 0, MODE_DATA = 1 };
    enum DEVICESTATE { DEVICESTATE_NORMAL = 0, DEVICESTATE_SHUTTINGDOWN = 1 };

    // How long exit() waits for the thread to end before it reports it.
    static constexpr int ExitWaitMs = 10000;

    explicit CDeviceThread(const QString& portName);
    virtual ~CDeviceThread();
    CDeviceThread(const CDeviceThread&) = delete;
    CDeviceThread& operator=(const CDeviceThread&) = delete;

    // Line filter of the receive loop: true when the line was consumed.
    virtual bool checkunsolicitedcodes(const QString& line);
    // A data connection of a multiplexed port started or ended.
    virtual void datastatechange(bool active);

    bool init();
    bool start();
    void stop();
    // Stops the link and ends the thread (the object itself stays; its
    // owner deletes it). On the reader thread itself it only asks the
    // thread to end; the destructor joins it.
    void exit();
    bool onreaderthread() const { return std::this_thread::get_id() == m_thread.get_id(); }

    bool send(const QString& text);
    bool senddata(const void* data, int length);
    bool sendchar(unsigned char byte) { return senddata(&byte, 1); }
    bool readline(QString& line, int timeoutMs);
    void clearbuffer();

    bool setmode(MODE mode);
    MODE getmode() const { return static_cast<MODE>(m_mode.load()); }
    bool setbuffersize(int size);
    int readdata(void* buffer, int size);
    bool readdata(char* byte);

    bool setdevicestate(DEVICESTATE state);
    DEVICESTATE getdevicestate() const { return static_cast<DEVICESTATE>(m_deviceState.load()); }
    void setaltlineend(char c);
    void clearaltlineend() { setaltlineend(0); }
    QString getlastread() const;

    // Releases every waiting reader at once: the link is going or gone.
    void abortreaders();
    bool isrunning() const { return m_running.load(); }
    // The port died under the link: the receive loop ends after handing
    // out the lines it already has, and only then releases the readers.
    void portlost();
    void setrunning(bool running) { m_running.store(running); }

    // The port's multiplexing driver; kept until the port exists.
    void setportdriver(std::unique_ptr<CPortDriver> driver);
    CSerialPort* getport() const { return m_port.get(); }
    CPortSettings* getportsettings() const;

protected:
    // Cuts the next line; see the receive loop. Called with the receive
    // lock held (also by the unsolicited filter reading a message body).
    bool getoneline(QString& line, bool draining = false);
    void receivedline(const QString& line);
    void getdata();
    void perform();
    // Called after the readers were released, for waits of a derived class.
    virtual void readersaborted();
    // Whether the line just cut was (a piece of) an overlong line.
    bool lastlineoverlong() const { return m_lastLineOverlong; }
    // The device is shutting down or its link has stopped.
    bool linedown() const;
    // How long a reader may wait for a line: nothing once the loop ended.
    int readwait(int timeoutMs) const;
    // Ends the thread and closes the port; derived destructors call it
    // first, because the thread calls their overrides.
    void shutdown();

    // Standard locks throughout the link, not Qt's: the ThreadSanitizer
    // build sees what they order and Debian's Qt hides it.
    std::recursive_mutex m_receiveLock;
    CLineQueue m_lineQueue;

private:
    void threadmain();

    std::atomic<int> m_mode{MODE_LINE};
    CCircularBuffer m_buffer;
    std::mutex m_bufferLock;
    std::atomic<int> m_deviceState{DEVICESTATE_NORMAL};
    std::unique_ptr<CPortSettings> m_settings;  // until the port takes it
    std::unique_ptr<CPortDriver> m_driver;      // until the port takes it
    std::unique_ptr<CSerialPort> m_port;
    CLineCutter m_cutter;
    bool m_lastLineOverlong = false;  // under the receive lock
    mutable std::mutex m_lastReadLock;
    QString m_lastRead;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_portLost{false};
    CEvent m_receiveLoopEnded{true, true};
    CEvent m_threadEnded{true, false};
    CComEventThread m_comEventThread;
    CThreadMessageQueue m_messages;
    std::thread m_thread;
};
