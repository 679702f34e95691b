#include "gsmcore/link/DeviceThread.h"

#include "support/Trace.h"

#include <algorithm>
#include <unistd.h>

namespace {

unsigned ThreadId()
{
    return static_cast<unsigned>(::gettid());
}

// How long the receive loop sleeps between looks at its running flag when
// no data arrives; stop() wakes it at once anyway.
constexpr int ReceiveWakeMs = 500;
constexpr int MessageWaitMs = 1000;

}  // namespace

CDeviceThread::CDeviceThread(const QString& portName)
    : m_settings(std::make_unique<CPortSettings>())
{
    // Device paths are longer than the nine characters of a "COMn:" name,
    // so the whole name is kept.
    m_settings->m_PortName = portName;
    TraceMessage(g_traceGsmSession, TRACE_CTOR_DTOR, "CDeviceThread::CDeviceThread() (ctor)\n");
    m_thread = std::thread([this] { threadmain(); });
}

CDeviceThread::~CDeviceThread()
{
    shutdown();
    m_comEventThread.Stop();
    m_comEventThread.setport(nullptr);
    m_port.reset();
    TraceMessage(g_traceGsmSession, TRACE_CTOR_DTOR, "CDeviceThread::~CDeviceThread() (dtor)\n");
    m_lineQueue.abort();
}

void CDeviceThread::shutdown()
{
    if (m_thread.joinable())
        exit();
}

bool CDeviceThread::checkunsolicitedcodes(const QString&)
{
    return false;
}

void CDeviceThread::datastatechange(bool)
{
}

void CDeviceThread::threadmain()
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CDeviceThread thread id: %X\n", ThreadId());
    for (;;) {
        int message = 0;
        if (!m_messages.wait(message, MessageWaitMs))
            continue;
        if (message == CThreadMessageQueue::MessageQuit)
            break;
        if (message == CThreadMessageQueue::MessageStart)
            perform();
    }
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CDeviceThread, exit thread id: %X\n", ThreadId());
    m_threadEnded.Set();
}

CPortSettings* CDeviceThread::getportsettings() const
{
    return m_port ? m_port->getsettings() : m_settings.get();
}

void CDeviceThread::setportdriver(std::unique_ptr<CPortDriver> driver)
{
    if (m_port)
        m_port->setportdriver(std::move(driver));
    else
        m_driver = std::move(driver);
}

bool CDeviceThread::init()
{
    if (!m_port) {
        m_port = std::make_unique<CSerialPort>(std::move(m_settings));
        if (m_driver)
            m_port->setportdriver(std::move(m_driver));
    }
    return true;
}

bool CDeviceThread::start()
{
    if (m_running.load())
        return true;  // already started: one receive loop per port
    if (!m_port || !m_port->open())
        return false;
    m_port->purge(0);
    {
        std::lock_guard lock(m_receiveLock);
        const char alt = m_cutter.altlineend();
        m_cutter.reset();
        m_cutter.setaltlineend(alt);
    }
    m_comEventThread.setport(m_port.get());
    m_comEventThread.setowner(this);
    if (m_deviceState.load() != DEVICESTATE_SHUTTINGDOWN)
        m_lineQueue.reset();
    m_receiveLoopEnded.Reset();
    m_running.store(true);
    if (!m_comEventThread.Start(3)) {
        m_running.store(false);
        m_receiveLoopEnded.Set();
        return false;
    }
    m_messages.post(CThreadMessageQueue::MessageStart);
    return true;
}

void CDeviceThread::portlost()
{
    m_portLost.store(true);
    m_running.store(false);
    m_comEventThread.dataarrived().Set();
}

void CDeviceThread::abortreaders()
{
    m_lineQueue.abort();
    readersaborted();
}

void CDeviceThread::readersaborted()
{
}

void CDeviceThread::stop()
{
    m_running.store(false);
    abortreaders();
    if (m_port)
        m_comEventThread.Stop();
    m_comEventThread.dataarrived().Set();
    // Wait until the receive loop has closed the port, so that a start()
    // that follows finds it closed.
    if (std::this_thread::get_id() != m_thread.get_id() && !m_receiveLoopEnded.Wait(ExitWaitMs))
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "CDeviceThread::stop(): receive loop did not end\n");
}

void CDeviceThread::exit()
{
    stop();
    m_messages.post(CThreadMessageQueue::MessageQuit);
    if (onreaderthread())
        return;  // the thread cannot wait for its own end
    TraceMessage(g_traceGsmSession, TRACE_INFO,
                 "CDeviceThread::exit(). Before WaitForSingleObject(m_hThread, INFINITE);\n");
    if (!m_threadEnded.Wait(ExitWaitMs))
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "CDeviceThread::exit(): thread did not end in time\n");
    // Every wait of the thread is bounded, so the join cannot hang.
    if (m_thread.joinable())
        m_thread.join();
    TraceMessage(g_traceGsmSession, TRACE_INFO,
                 "CDeviceThread::exit(). After WaitForSingleObject(m_hThread, INFINITE);\n");
}

void CDeviceThread::perform()
{
    while (m_running.load()) {
        if (!m_comEventThread.dataarrived().Wait(ReceiveWakeMs))
            continue;
        if (!m_running.load())
            break;
        std::lock_guard lock(m_receiveLock);
        if (getmode() == MODE_LINE) {
            QString line;
            while (getoneline(line)) {
                receivedline(line);
                if (getmode() != MODE_LINE)
                    break;
            }
        } else {
            getdata();
        }
    }
    if (m_portLost.exchange(false)) {
        // Whatever the port still gives goes out before the abort, so a
        // cut reply counts every line that came.
        {
            std::lock_guard lock(m_receiveLock);
            QString line;
            while (getoneline(line, true))
                receivedline(line);
        }
        abortreaders();
    }
    // The event thread must be out of its wait before the port closes.
    m_comEventThread.Stop();
    {
        std::lock_guard lock(m_receiveLock);
        if (m_port)
            m_port->close();
    }
    m_receiveLoopEnded.Set();
}

bool CDeviceThread::getoneline(QString& line, bool draining)
{
    line.clear();
    if (!m_running.load() && !draining)
        return false;
    for (;;) {
        if (m_deviceState.load() == DEVICESTATE_SHUTTINGDOWN) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "The connection to the device is shutting down (Line: %d)\n",
                         352);
            return false;
        }
        if (!m_cutter.hasunread()) {
            const int count = m_port ? m_port->readnow(m_cutter.area(), CLineCutter::ReadChunk) : -1;
            TraceMessage(g_traceGsmSession, TRACE_INFO, "recvbuffer Len(%d)\n", count);
            if (count < 1) {
                TraceMessage(g_traceGsmSession, TRACE_INFO, "got zero bytes\n");
                return false;
            }
            if (!m_cutter.accept(count))
                return true;  // only line ends: an empty line, never queued
        }
        if (m_cutter.cut(line) == CLineCutter::Cut::Line) {
            m_lastLineOverlong = m_cutter.lastwasoverlong();
            if (m_lastLineOverlong)
                TraceMessage(g_traceGsmSession, TRACE_ERROR, "Line longer than %d bytes cut\n",
                             CLineCutter::MaxLineLength);
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Received line: '%s'\n", line);
            return true;
        }
        TraceMessage(g_traceGsmSession, TRACE_INFO, "No full line\n");
        if (!m_running.load() && !draining)
            return false;
    }
}

void CDeviceThread::receivedline(const QString& line)
{
    if (checkunsolicitedcodes(line) || line.isEmpty())
        return;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "adding line to list queue: '%s'\n", line);
    m_lineQueue.append(line);
}

void CDeviceThread::getdata()
{
    std::lock_guard lock(m_bufferLock);
    int count = 0;
    // Bytes that came in the same read as the last line are data too.
    char byte = 0;
    while (m_cutter.hasunread() && !m_buffer.isfull() && m_cutter.takeunread(&byte, 1) == 1) {
        m_buffer.put(byte);
        ++count;
    }
    for (;;) {
        if (!m_running.load()) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "ending getdata loop (count=%d)\n", count);
            return;
        }
        if (m_buffer.isfull()) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Buffer full, can't read more (count=%d).\n", count);
            return;
        }
        if (!m_port || m_port->read(&byte, 1) < 1) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "got zero bytes (count=%d)\n", count);
            return;
        }
        if (!m_buffer.put(byte)) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "buffer.put() generated overflow (count=%d)\n", count);
            return;
        }
        ++count;
    }
}

bool CDeviceThread::send(const QString& text)
{
    if (!m_port)
        return false;
    // One byte per character: a GSM 0x00 in a name stays a zero byte.
    const QByteArray bytes = text.toLatin1();
    std::lock_guard lock(m_receiveLock);
    if (m_deviceState.load() == DEVICESTATE_SHUTTINGDOWN) {
        TraceMessage(g_traceGsmSession, TRACE_INFO,
                     "The connection to the device is shutting down (Line: %d) Sending: '%s' aborted \n", 178, text);
        return false;
    }
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Sending: '%s'\n", text);
    return m_port->write(bytes.constData(), static_cast<quint32>(bytes.size()));
}

bool CDeviceThread::senddata(const void* data, int length)
{
    if (!m_port || !data || length < 0)
        return false;
    if (length < 2) {
        const int value = length == 1 ? static_cast<signed char>(*static_cast<const char*>(data)) : 0;
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Sending single char %d (0x%02x)\n", value, value);
    } else {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Sending datablock (size %d)\n", length);
    }
    // As in send(): the receive loop closes the port under this lock, and
    // a write must not land on a descriptor closed (or reused) meanwhile.
    std::lock_guard lock(m_receiveLock);
    return m_port->write(data, static_cast<quint32>(length));
}

bool CDeviceThread::linedown() const
{
    // Nothing more can come: waiting for it would only run out the time.
    return m_deviceState.load() == DEVICESTATE_SHUTTINGDOWN || !m_running.load();
}

int CDeviceThread::readwait(int timeoutMs) const
{
    // Once the receive loop has ended nothing more comes; until then a lost
    // port's last lines are still on their way, and the abort follows them.
    return m_receiveLoopEnded.IsSet() ? 0 : timeoutMs;
}

bool CDeviceThread::readline(QString& line, int timeoutMs)
{
    const bool taken = m_deviceState.load() != DEVICESTATE_SHUTTINGDOWN && m_lineQueue.take(line, readwait(timeoutMs));
    if (!taken && linedown()) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "The connection to the device is shutting down (Line: %d)\n",
                     234);
        return false;
    }
    if (taken) {
        std::lock_guard lock(m_lastReadLock);
        m_lastRead = line;
    }
    return taken;
}

void CDeviceThread::clearbuffer()
{
    m_lineQueue.clear();
}

bool CDeviceThread::setmode(MODE mode)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CDeviceThread::setmode(%d)\n", static_cast<int>(mode));
    m_mode.store(mode);
    return true;
}

bool CDeviceThread::setbuffersize(int size)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "CDeviceThread::setbuffersize(%d)\n", size);
    std::lock_guard lock(m_bufferLock);
    return m_buffer.resize(size);
}

int CDeviceThread::readdata(void* buffer, int size)
{
    std::lock_guard lock(m_bufferLock);
    return m_buffer.get(static_cast<char*>(buffer), size);
}

bool CDeviceThread::readdata(char* byte)
{
    if (!byte)
        return false;
    std::lock_guard lock(m_bufferLock);
    return m_buffer.get(*byte);
}

bool CDeviceThread::setdevicestate(DEVICESTATE state)
{
    m_deviceState.store(state);
    if (state == DEVICESTATE_SHUTTINGDOWN)
        abortreaders();
    return true;
}

void CDeviceThread::setaltlineend(char c)
{
    std::lock_guard lock(m_receiveLock);
    m_cutter.setaltlineend(c);
}

QString CDeviceThread::getlastread() const
{
    std::lock_guard lock(m_lastReadLock);
    return m_lastRead;
}
