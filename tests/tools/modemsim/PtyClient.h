#pragma once
// The test's end of the simulated modem: the pty slave opened raw, as a
// serial program opens it.

#include <QByteArray>
#include <QString>

class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool open(const QString& path);
    int fd() const { return m_fd; }
    bool write(const QByteArray& bytes);
    // What came up to and with `terminator` (the rest is kept for the next
    // read), or else all that came by the time-out or a hang-up.
    QByteArray readUntil(const QByteArray& terminator, int timeoutMs = 2000);
    // Sends "AT<command>\r\n" and reads up to its OK.
    QByteArray exchange(const QByteArray& command) { return write("AT" + command + "\r\n") ? readUntil("OK\r\n") : QByteArray(); }

private:
    int m_fd = -1;
    QByteArray m_buffer;
};
