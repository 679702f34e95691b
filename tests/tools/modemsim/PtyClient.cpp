#include "tests/tools/modemsim/PtyClient.h"

#include <chrono>
#include <utility>

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

bool PtyClient::open(const QString& path)
{
    close();
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio {};
    if (m_fd >= 0 && tcgetattr(m_fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    return m_fd >= 0;
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
        if ((n < 0 && errno != EAGAIN) || Clock::now() > end)
            return false;
        pollfd p {m_fd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
    return true;
}

QByteArray PtyClient::read(const std::function<qsizetype(const QByteArray&)>& cut, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        if (const qsizetype n = cut(m_buffer); n > 0) {
            const QByteArray out = m_buffer.left(n);
            m_buffer.remove(0, n);
            return out;
        }
        if (Remaining(end) == 0)
            break;
        char chunk[4096];
        const ssize_t n = (pollEvents(Remaining(end)) & POLLIN) ? ::read(m_fd, chunk, sizeof(chunk)) : -1;
        if (n > 0)
            m_buffer.append(chunk, n);
        // A hang-up makes poll return at once; do not spin on it.
        else if (pollEvents(0) & (POLLHUP | POLLERR))
            break;
    }
    return std::exchange(m_buffer, QByteArray());
}

QByteArray PtyClient::readUntil(const QByteArray& terminator, int timeoutMs)
{
    return read([&](const QByteArray& b) { const qsizetype at = b.indexOf(terminator); return at < 0 ? 0 : at + terminator.size(); },
                timeoutMs);
}

QByteArray PtyClient::readCount(int count, int timeoutMs)
{
    return read([&](const QByteArray& b) { return b.size() >= count ? qsizetype(count) : 0; }, timeoutMs);
}

QByteArray PtyClient::exchange(const QByteArray& command, int timeoutMs)
{
    if (!write("AT" + command + "\r\n"))
        return {};
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray out;
    while (Remaining(end) > 0) {
        out += readUntil("\r\n", Remaining(end));
        // The answer is complete when its last line is a final result code.
        const qsizetype from = out.size() < 4 ? -1 : out.lastIndexOf("\r\n", out.size() - 3);
        const QByteArray last = from < 0 ? QByteArray() : out.mid(from + 2);
        if (last == "OK\r\n" || last == "ERROR\r\n" || last.startsWith("+CME ERROR:") || last.startsWith("+CMS ERROR:"))
            break;
    }
    return out;
}

short PtyClient::pollEvents(int timeoutMs)
{
    pollfd p {m_fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) < 0 ? 0 : p.revents;
}
