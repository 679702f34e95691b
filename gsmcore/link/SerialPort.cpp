#include "gsmcore/link/SerialPort.h"

#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/PortHolder.h"
#include "support/AppMessages.h"
#include "support/HighResTimer.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct BaudCode {
    quint32 rate;
    speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {300, B300},         {600, B600},         {1200, B1200},       {2400, B2400},
    {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},
    {921600, B921600},
};

bool BaudToCode(quint32 rate, speed_t& code)
{
    for (const BaudCode& entry : kBaudCodes) {
        if (entry.rate == rate) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

// Rounded up, so that a budget of 1 ms is not spent by the call itself.
qint64 MillisecondsLeft(Clock::time_point deadline)
{
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

// Milliseconds allowed for an operation on `length` bytes; -1: no limit.
qint64 TotalTimeout(quint32 multiplier, quint32 constant, quint32 length)
{
    const qint64 total = static_cast<qint64>(multiplier) * length + constant;
    return total == 0 ? -1 : total;
}

}  // namespace

CSerialPort::CSerialPort(std::unique_ptr<CPortSettings> settings)
    : m_settings(std::move(settings)), m_driver(std::make_unique<CDefaultPortDriver>())
{
}

CSerialPort::CSerialPort(int handle)
    : m_driver(std::make_unique<CDefaultPortDriver>()), m_handle(handle)
{
    m_wakeHandle = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CSerialPort::~CSerialPort()
{
    if (m_handle >= 0)
        close();
    if (m_wakeHandle >= 0)
        ::close(m_wakeHandle);
    m_driver->setwakeup({});
}

bool CSerialPort::setdefaultreadtimeouts()
{
    return setreadtimeouts(0, 1, 0);
}

bool CSerialPort::setdefaultwritetimeouts()
{
    return setwritetimeouts(1, 1000);
}

void CSerialPort::setlasterror(const QString& text)
{
    std::lock_guard lock(m_textLock);
    m_lastError = text;
}

QString CSerialPort::getlasterror() const
{
    std::lock_guard lock(m_textLock);
    return m_lastError;
}

CSerialPort::Timeouts CSerialPort::gettimeouts() const
{
    std::lock_guard lock(m_textLock);
    return m_timeouts;
}

void CSerialPort::configurationfailure(const char* format, int error)
{
    const QString text = Format(Tr(format), error);
    setlasterror(text);
    TraceMessage(g_traceGsmSession, TRACE_ERROR, "%s\n", text);
    CAppMessages::Instance().ShowMessage(text, 0, QStringLiteral("    "));
}

void CSerialPort::setportdriver(std::unique_ptr<CPortDriver> driver)
{
    if (!driver)
        driver = std::make_unique<CDefaultPortDriver>();
    m_driver->setwakeup({});
    m_driver = std::move(driver);
    if (m_handle >= 0)
        m_driver->setwakeup([this] { wakewaiter(); });
}

QString CSerialPort::OpenErrorMessage(const QString& name, int error, pid_t holder)
{
    switch (error) {
    case EBUSY: return Format(Tr("%s is in use by %s"), name, DescribePortHolder(name, holder));
    case EACCES:
    case EPERM:
        return Format(Tr("You may not open %s: add yourself to the dialout group: sudo usermod -aG dialout $USER, "
                         "then log in again"),
                      name);
    case ENOENT:
    case ENODEV:
    case ENXIO: return name.isEmpty() ? QString() : Format(Tr("%s does not exist"), name);
    default: return QString();
    }
}

bool CSerialPort::open()
{
    if (m_handle < 0) {
        const QString name = m_settings ? m_settings->m_PortName : QString();
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Trying to open %s\n", name);
        CHighResTimer timer;
        timer.Start();
        int error = 0;
        const QByteArray path = QFile::encodeName(name);
        if (name.isEmpty()) {
            error = ENOENT;
        } else if (m_lock.acquire(name, error)) {
            m_handle = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | static_cast<int>(m_openFlags));
            error = m_handle < 0 ? errno : 0;
            if (m_handle >= 0 && ::isatty(m_handle) && ::ioctl(m_handle, TIOCEXCL) != 0)
                TraceMessage(g_traceGsmSession, TRACE_INFO, "Exclusive mode refused, error %d\n", errno);
        }
        TraceMessage(g_traceGsmSession, TRACE_TIME, "Time doing CreateFile %d\n", timer.Elapsed());
        if (m_handle < 0) {
            const pid_t holder = m_lock.holder();
            m_lock.release();
            const QString text = Format("Unable to open the port, error %d\n", error);
            TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
            setlasterror(text);
            // Worth a message when the user can do something about it.
            const QString message = OpenErrorMessage(name, error, holder);
            if (!message.isEmpty()) {
                TraceMessage(g_traceGsmSession, TRACE_ERROR, "%s\n", message);
                CAppMessages::Instance().ShowMessage(message, 0, QStringLiteral("    "));
            }
            return false;
        }
        if (m_wakeHandle < 0)
            m_wakeHandle = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        m_hungUp.store(false);
        m_rxArmed.store(true);
        m_driver->setwakeup([this] { wakewaiter(); });
    }
    if (!setdefaultreadtimeouts() || !setdefaultwritetimeouts() || !setcommstate() || !setcommmask())
        return false;
    m_state.store(StateOpen);
    return true;
}

void CSerialPort::close()
{
    if (m_handle < 0)
        return;
    m_driver->setwakeup({});
    const int handle = m_handle;
    m_handle = -1;
    wakewaiter();
    if (::close(handle) != 0) {
        const QString text = Format("CloseHandle failed, error %d", errno);
        setlasterror(text);
        TraceMessage(g_traceGsmSession, TRACE_INFO, text);
    } else {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Serial port closed\n");
    }
    m_lock.release();
    m_state.store(StateClosed);
}

bool CSerialPort::setreadtimeouts(quint32 totalMultiplier, quint32 totalConstant, quint32 interval)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "setreadtimeouts: %u, %u, %u\n", totalMultiplier, totalConstant,
                 interval);
    if (m_handle < 0 || ::fcntl(m_handle, F_GETFD) < 0) {
        configurationfailure("GetCommTimeouts failed, error %d", EBADF);
        return false;
    }
    std::lock_guard lock(m_textLock);
    m_timeouts.readTotalMultiplier = totalMultiplier;
    m_timeouts.readTotalConstant = totalConstant;
    m_timeouts.readInterval = interval;
    return true;
}

bool CSerialPort::setwritetimeouts(quint32 totalMultiplier, quint32 totalConstant)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "setwritetimeouts: %u, %u\n", totalMultiplier, totalConstant);
    if (m_handle < 0 || ::fcntl(m_handle, F_GETFD) < 0) {
        configurationfailure("GetCommTimeouts failed, error %d", EBADF);
        return false;
    }
    std::lock_guard lock(m_textLock);
    m_timeouts.writeTotalMultiplier = totalMultiplier;
    m_timeouts.writeTotalConstant = totalConstant;
    return true;
}

bool CSerialPort::setcommstate()
{
    termios attributes {};
    if (m_handle < 0 || ::tcgetattr(m_handle, &attributes) != 0) {
        configurationfailure("GetCommState failed, error %d", m_handle < 0 ? EBADF : errno);
        return false;
    }
    const quint32 rate = m_settings ? m_settings->m_BaudRate : CPortSettings::DefaultBaudRate;
    speed_t code = B9600;
    if (!BaudToCode(rate, code)) {
        configurationfailure("SetCommState failed, error %d", EINVAL);
        return false;
    }
    // Raw 8N1: no echo, no line editing, no character translation; the
    // hardware flow control flag stays as the driver had it.
    const tcflag_t flowControl = attributes.c_cflag & CRTSCTS;
    ::cfmakeraw(&attributes);
    attributes.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    attributes.c_cflag |= CS8 | CLOCAL | CREAD | flowControl;
    attributes.c_iflag &= ~(IXON | IXOFF | IXANY);
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 0;
    ::cfsetispeed(&attributes, code);
    ::cfsetospeed(&attributes, code);
    if (::tcsetattr(m_handle, TCSANOW, &attributes) != 0) {
        configurationfailure("SetCommState failed, error %d", errno);
        return false;
    }
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Baudrate set to %d\n", rate);
    return true;
}

int CSerialPort::applycommmask(quint32)
{
    return m_handle < 0 ? EBADF : 0;
}

bool CSerialPort::setcommmask()
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "setcommmask\n");
    return setcommmask(DefaultEventMask);
}

bool CSerialPort::setcommmask(quint32 mask)
{
    if (mask != 0) {
        const int error = applycommmask(mask);
        if (error != 0) {
            configurationfailure("SetCommMask failed, error %d", error);
            return false;
        }
    }
    // Clearing the mask needs no device: it only ends a pending wait.
    m_eventMask.store(mask);
    wakewaiter();
    return true;
}

void CSerialPort::wakewaiter()
{
    if (m_wakeHandle >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeHandle, &one, sizeof(one));
    }
}

bool CSerialPort::waitforevent(quint32& mask)
{
    TraceMessage(g_traceGsmSession, TRACE_INFO, "waitforevent\n");
    mask = 0;
    const int handle = m_handle;
    if (handle < 0 || m_wakeHandle < 0) {
        const QString text = Format("WaitComEvent failed, error %d\n", EBADF);
        setlasterror(text);
        TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
        return false;
    }
    for (;;) {
        const quint32 wanted = m_eventMask.load();
        if (wanted == 0)
            break;  // the mask was cleared: the wait completes without an event
        mask = m_driver->takeevents();
        if (mask != 0)
            break;
        // Received data is reported once per batch, like an edge: the
        // next EV_RXCHAR waits until the reader has been at the port.
        pollfd fds[2] = {};
        fds[0].fd = handle;
        fds[0].events = ((wanted & EV_RXCHAR) && m_rxArmed.load()) ? POLLIN : 0;
        fds[1].fd = m_wakeHandle;
        fds[1].events = POLLIN;
        // While EV_RXCHAR is spent, new bytes are noticed by the growth of
        // the input queue, looked at every few milliseconds: a reader that
        // leaves bytes unread (full ring buffer) still hears of new ones.
        const bool rxSpent = (wanted & EV_RXCHAR) && !m_rxArmed.load();
        const int ready = ::poll(fds, 2, rxSpent ? SpentRxCheckMs : 1000);
        if (ready == 0 && rxSpent && queuedinput() > m_queuedAtEvent.load()) {
            mask |= EV_RXCHAR;
            m_queuedAtEvent.store(queuedinput());
            break;
        }
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            const QString text = Format("WaitComEvent failed, error %d\n", errno);
            setlasterror(text);
            TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
            return false;
        }
        if (fds[1].revents & POLLIN) {
            quint64 count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeHandle, &count, sizeof(count));
        }
        if (fds[0].revents & (POLLHUP | POLLNVAL)) {
            // The device went away (a pty whose far side closed, an
            // unplugged USB modem): reported as a line error whose
            // clearcommerror then finds the handle dead.
            m_hungUp.store(true);
            mask = EV_ERR;
            break;
        }
        if (fds[0].revents & POLLERR) {
            m_lineErrors.fetch_or(CE_IOE);
            mask |= EV_ERR;
        }
        if (fds[0].revents & POLLIN) {
            m_rxArmed.store(false);
            m_queuedAtEvent.store(queuedinput());
            mask |= EV_RXCHAR;
        }
        if (mask != 0)
            break;
    }
    TraceMessage(g_traceGsmSession, TRACE_INFO, "waitforevent(0x%X)\n", mask);
    return true;
}

int CSerialPort::waitmilliseconds(short events, int timeoutMs, short& revents)
{
    pollfd fd {m_handle, events, 0};
    int ready;
    do {
        ready = ::poll(&fd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    revents = fd.revents;
    return ready;
}

int CSerialPort::read(void* buffer, quint32 size)
{
    return readsome(buffer, size, true);
}

int CSerialPort::readnow(void* buffer, quint32 size)
{
    return readsome(buffer, size, false);
}

int CSerialPort::readsome(void* buffer, quint32 size, bool wait)
{
    auto fail = [this](int error) {
        const QString text = Format("Failed to read data, error %d\n", error);
        setlasterror(text);
        TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
        return -1;
    };
    if (m_handle < 0)
        return fail(EBADF);
    if (!buffer || size == 0)
        return 0;
    const Timeouts timeouts = gettimeouts();
    const bool returnAtOnce = !wait || (timeouts.readInterval == MaxTimeout && timeouts.readTotalMultiplier == 0 &&
                                        timeouts.readTotalConstant == 0);
    const qint64 total = TotalTimeout(timeouts.readTotalMultiplier, timeouts.readTotalConstant, size);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max<qint64>(total, 0));
    char* out = static_cast<char*>(buffer);
    quint32 got = 0;
    int error = 0;
    while (got < size) {
        const ssize_t n = ::read(m_handle, out + got, size - got);
        if (n > 0) {
            got += static_cast<quint32>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            error = errno;
            if (error == EIO || error == ENXIO || error == ENODEV)
                m_hungUp.store(true);  // the device has gone
            break;
        }
        if (returnAtOnce)
            break;
        // Nothing buffered now: wait for more within the time-outs.
        qint64 wait = total < 0 ? 1000 : MillisecondsLeft(deadline);
        if (got > 0 && timeouts.readInterval != 0 && timeouts.readInterval != MaxTimeout)
            wait = std::min<qint64>(wait, timeouts.readInterval);
        short revents = 0;
        // Time is up: one look without waiting still tells a hung-up line.
        const int ready = waitmilliseconds(POLLIN, static_cast<int>(std::clamp<qint64>(wait, 0, 1000)), revents);
        if (ready < 0) {
            error = errno;
            break;
        }
        // Nothing could be read and the line hung up: a pty whose far
        // side closed reads 0 with POLLHUP (and POLLIN) for ever.
        if (ready > 0 && (revents & (POLLHUP | POLLNVAL))) {
            m_hungUp.store(true);
            error = EIO;  // bytes still in flight are lost with the device
            break;
        }
        if (wait <= 0)
            break;
    }
    if (!m_rxArmed.exchange(true))
        wakewaiter();
    if (error != 0 && got == 0)
        return fail(error);
    return static_cast<int>(got);
}

bool CSerialPort::write(const void* data, quint32 length)
{
    if (m_state.load() != StateOpen || m_handle < 0)
        return false;
    const Timeouts timeouts = gettimeouts();
    const qint64 total = TotalTimeout(timeouts.writeTotalMultiplier, timeouts.writeTotalConstant, length);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max<qint64>(total, 0));
    const char* bytes = static_cast<const char*>(data);
    quint32 sent = 0;
    int error = 0;
    while (sent < length) {
        const ssize_t n = ::write(m_handle, bytes + sent, length - sent);
        if (n > 0) {
            sent += static_cast<quint32>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            error = errno;
            break;
        }
        const qint64 wait = total < 0 ? 1000 : MillisecondsLeft(deadline);
        if (wait <= 0)
            break;
        short revents = 0;
        if (waitmilliseconds(POLLOUT, static_cast<int>(std::min<qint64>(wait, 1000)), revents) < 0) {
            error = errno;
            break;
        }
        if (revents & (POLLHUP | POLLNVAL)) {
            error = EIO;
            break;
        }
    }
    if (error != 0) {
        m_state.store(StateWriteError);
        const QString text = Format("Failed to write data, error %d\n", error);
        setlasterror(text);
        TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
        return false;
    }
    if (sent != length) {
        const QString text = Format("Buffer len differ. buffer %d, sent %d\n", length, sent);
        setlasterror(text);
        TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
        return false;
    }
    return true;
}

bool CSerialPort::purge(int which)
{
    const quint32 flags = which == 0 ? PURGE_RXCLEAR : which == 1 ? PURGE_TXCLEAR : 0;
    int error = 0;
    if (m_handle < 0)
        error = EBADF;
    else if (flags == 0)
        error = EINVAL;
    else if (::tcflush(m_handle, flags == PURGE_RXCLEAR ? TCIFLUSH : TCOFLUSH) != 0)
        error = errno;
    if (error == 0)
        return true;
    const QString text = Format("Failed to purge buffers (flags=0x%x), error %d\n", flags, error);
    setlasterror(text);
    TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
    return false;
}

bool CSerialPort::flush()
{
    const int error = m_handle < 0 ? EBADF : (::tcdrain(m_handle) == 0 ? 0 : errno);
    if (error == 0)
        return true;
    const QString text = Format("Failed to flush buffers, error %d\n", error);
    setlasterror(text);
    TraceMessage(g_traceGsmSession, TRACE_ERROR, text);
    return false;
}

bool CSerialPort::clearcommerror(quint32& errors, int& error)
{
    errors = 0;
    error = 0;
    if (m_handle < 0 || m_hungUp.load() || ::fcntl(m_handle, F_GETFD) < 0) {
        error = PortErrorInvalidHandle;
        return false;
    }
    errors = m_lineErrors.exchange(0);
    // Real UARTs count their line errors; a pty has no counters.
    serial_icounter_struct counts {};
    if (::ioctl(m_handle, TIOCGICOUNT, &counts) == 0) {
        if (counts.frame != m_counters.frame)
            errors |= CE_FRAME;
        if (counts.overrun != m_counters.overrun)
            errors |= CE_OVERRUN;
        if (counts.parity != m_counters.parity)
            errors |= CE_RXPARITY;
        if (counts.brk != m_counters.brk)
            errors |= CE_BREAK;
        if (counts.buf_overrun != m_counters.bufOverrun)
            errors |= CE_RXOVER;
        m_counters = {counts.frame, counts.overrun, counts.parity, counts.brk, counts.buf_overrun};
    }
    return true;
}

bool CSerialPort::getcommmodemstatus(quint32& status)
{
    status = 0;
    int lines = 0;
    if (m_handle < 0 || ::ioctl(m_handle, TIOCMGET, &lines) != 0)
        return false;
    if (lines & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (lines & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (lines & TIOCM_RI)
        status |= MS_RING_ON;
    if (lines & TIOCM_CD)
        status |= MS_RLSD_ON;
    return true;
}

bool CSerialPort::deviceiocontrol(quint32 code, const QByteArray& input, QByteArray& output)
{
    if (m_handle < 0)
        return false;
    return m_driver->control(code, input, output);
}

int CSerialPort::queuedinput() const
{
    int count = 0;
    if (m_handle < 0 || ::ioctl(m_handle, FIONREAD, &count) != 0)
        return 0;
    return count;
}

void CSerialPort::rearmreceive()
{
    if (!m_rxArmed.exchange(true))
        wakewaiter();
}

bool CSerialPort::resetwriteerror()
{
    int expected = StateWriteError;
    return m_state.compare_exchange_strong(expected, StateOpen);
}
