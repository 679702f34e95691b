#pragma once
// The test's end of the simulated modem: opens the pty slave raw, writes
// commands and reads what comes back with time-outs, as a serial program
// would.

#include <QByteArray>
#include <QString>

#include <functional>

class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient() { close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool open(const QString& path);
    void close();
    int fd() const { return m_fd; }

    bool write(const QByteArray& bytes);
    // Each read returns once its bytes are there (the rest is kept for the
    // next read), or else all it got by the time-out or a hang-up.
    QByteArray readUntil(const QByteArray& terminator, int timeoutMs);
    QByteArray readCount(int count, int timeoutMs);
    // Sends "AT<command>\r\n" and reads up to the final result code.
    QByteArray exchange(const QByteArray& command, int timeoutMs = 2000);
    // The poll result of the slave after waiting up to `timeoutMs`.
    short pollEvents(int timeoutMs);

private:
    // `cut` tells how many buffered bytes make the answer (0: not yet).
    QByteArray read(const std::function<qsizetype(const QByteArray&)>& cut, int timeoutMs);

    int m_fd = -1;
    QByteArray m_buffer;
};
