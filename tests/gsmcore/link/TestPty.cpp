#include "tests/gsmcore/link/TestPty.h"

#include <chrono>
#include <poll.h>
#include <unistd.h>

bool TestPty::send(const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        pollfd fd {masterFd(), POLLOUT, 0};
        if (!isOpen() || ::poll(&fd, 1, 2000) <= 0)
            return false;
        const ssize_t n = ::write(masterFd(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
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
    while (isOpen() && got.size() < atLeast) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd fd {masterFd(), POLLIN, 0};
        if (left <= 0 || ::poll(&fd, 1, static_cast<int>(left)) <= 0)
            break;
        char buffer[512];
        const ssize_t n = ::read(masterFd(), buffer, sizeof(buffer));
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}
