#pragma once
// A bare pseudo-terminal whose master side the test drives byte by byte:
// the far end of the link plays the device exactly as a case needs it.

#include <QByteArray>
#include <QString>

class TestPty {
public:
    TestPty();
    ~TestPty();
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool isopen() const { return m_master >= 0; }
    QString slavepath() const { return m_slavePath; }
    // Writes to the device side; the link reads it.
    bool send(const QByteArray& bytes);
    // What the link wrote, waiting up to `timeoutMs` for `atLeast` bytes.
    QByteArray receive(int atLeast, int timeoutMs);
    // The device vanishes: the master side closes.
    void hangup();

private:
    int m_master = -1;
    QString m_slavePath;
};
