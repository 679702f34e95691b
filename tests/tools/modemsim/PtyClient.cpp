#include "tests/tools/modemsim/PtyClient.h"

#include <QDeadlineTimer>

#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::~PtyClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyClient::open(const QString& path)
{
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio {};
    if (m_fd >= 0 && tcgetattr(m_fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    return m_fd >= 0;
}

// The tests write a few bytes at a time: the pty takes them at once.
bool PtyClient::write(const QByteArray& bytes)
{
    return ::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

QByteArray PtyClient::readUntil(const QByteArray& terminator, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype at;
    while ((at = m_buffer.indexOf(terminator)) < 0) {
        pollfd p {m_fd, POLLIN, 0};
        char chunk[4096];
        const bool readable = ::poll(&p, 1, static_cast<int>(deadline.remainingTime())) > 0 && (p.revents & POLLIN);
        const ssize_t n = readable ? ::read(m_fd, chunk, sizeof(chunk)) : -1;
        if (n <= 0)
            return std::exchange(m_buffer, QByteArray());
        m_buffer.append(chunk, n);
    }
    const QByteArray out = m_buffer.left(at + terminator.size());
    m_buffer.remove(0, out.size());
    return out;
}
