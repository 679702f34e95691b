#include "tests/tools/modemsim/PtyClient.h"

#include <chrono>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}
}  // namespace

PtyClient::~PtyClient()
{
    close();
}

bool PtyClient::open(const QString& path)
{
    close();
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    termios tio {};
    if (tcgetattr(m_fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    return true;
}

void PtyClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
}

bool PtyClient::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    const auto end = Clock::now() + std::chrono::seconds(2);
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN)
            return false;
        if (Clock::now() > end)
            return false;
        pollfd p {m_fd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
    return true;
}

bool PtyClient::fill(int timeoutMs)
{
    pollfd p {m_fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN))
        return false;
    char chunk[4096];
    const ssize_t n = ::read(m_fd, chunk, sizeof(chunk));
    if (n <= 0)
        return false;
    m_buffer.append(chunk, n);
    return true;
}

QByteArray PtyClient::readUntil(const QByteArray& terminator, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const qsizetype at = m_buffer.indexOf(terminator);
        if (at >= 0) {
            const QByteArray out = m_buffer.left(at + terminator.size());
            m_buffer.remove(0, at + terminator.size());
            return out;
        }
        const int left = Remaining(end);
        if (left == 0 || !fill(left)) {
            if (Remaining(end) == 0 || m_fd < 0)
                break;
            // A hang-up makes poll return at once; do not spin on it.
            pollfd p {m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)))
                break;
        }
    }
    QByteArray out = m_buffer;
    m_buffer.clear();
    return out;
}

QByteArray PtyClient::readFor(int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Remaining(end) > 0) {
        if (!fill(Remaining(end))) {
            pollfd p {m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)))
                break;
        }
    }
    QByteArray out = m_buffer;
    m_buffer.clear();
    return out;
}

QByteArray PtyClient::readCount(int count, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_buffer.size() < count && Remaining(end) > 0)
        fill(Remaining(end));
    const QByteArray out = m_buffer.left(count);
    m_buffer.remove(0, out.size());
    return out;
}

QByteArray PtyClient::exchange(const QByteArray& command, int timeoutMs)
{
    if (!write("AT" + command + "\r\n"))
        return {};
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray out;
    while (Remaining(end) > 0) {
        out += readUntil("\r\n", Remaining(end));
        if (out.endsWith("\r\nOK\r\n") || out.endsWith("\r\nERROR\r\n"))
            break;
        if (out.size() < 4)
            continue;
        const qsizetype lastLine = out.lastIndexOf("\r\n", out.size() - 3);
        const QByteArray tail = out.mid(lastLine + 2);
        if (tail.startsWith("+CME ERROR:") || tail.startsWith("+CMS ERROR:"))
            break;
    }
    return out;
}

short PtyClient::pollEvents(int timeoutMs)
{
    pollfd p {m_fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) < 0)
        return 0;
    return p.revents;
}
