#include "tests/gsmcore/link/TestPty.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

TestPty::TestPty()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        hangup();
        return;
    }
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof(name)) != 0) {
        hangup();
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
}

TestPty::~TestPty()
{
    hangup();
}

void TestPty::hangup()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool TestPty::send(const QByteArray& bytes)
{
    if (m_master < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray TestPty::receive(int atLeast, int timeoutMs)
{
    QByteArray got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_master >= 0 && got.size() < atLeast) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd fd {m_master, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left)) <= 0)
            break;
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof(buffer));
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}
