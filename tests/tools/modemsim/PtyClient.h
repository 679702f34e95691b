#pragma once
// The test's end of the simulated modem: opens the pty slave raw, writes
// commands and reads what comes back with time-outs, as a serial program
// would.

#include <QByteArray>
#include <QString>

class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool open(const QString& path);
    void close();
    int fd() const { return m_fd; }

    bool write(const QByteArray& bytes);
    // Reads until `terminator` has arrived (returns all bytes up to and
    // including it; the rest is kept for the next read) or the time-out.
    QByteArray readUntil(const QByteArray& terminator, int timeoutMs);
    // Reads whatever arrives within the time.
    QByteArray readFor(int timeoutMs);
    // Reads until at least `count` bytes have arrived.
    QByteArray readCount(int count, int timeoutMs);
    // Sends "AT<command>\r\n" and reads up to the final "OK\r\n"/"ERROR\r\n"
    // or an extended error line.
    QByteArray exchange(const QByteArray& command, int timeoutMs = 2000);

    // The poll result of the slave after waiting up to `timeoutMs`.
    short pollEvents(int timeoutMs);

private:
    bool fill(int timeoutMs);

    int m_fd = -1;
    QByteArray m_buffer;
};
