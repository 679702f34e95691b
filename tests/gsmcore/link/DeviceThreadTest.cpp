#include "gsmcore/link/DeviceThread.h"
#include "tests/gsmcore/link/TestPty.h"
#include "tests/gsmcore/link/TraceRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class DeviceThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        ASSERT_TRUE(m_pty.isOpen());
        m_link = std::make_unique<CDeviceThread>(m_pty.slavePath());
        ASSERT_TRUE(m_link->init());
        ASSERT_TRUE(m_link->start());
    }
    void TearDown() override
    {
        if (m_link)
            m_link->exit();
    }

    QStringList ReadLines(int count, int timeoutMs = 2000)
    {
        QStringList lines;
        QString line;
        while (lines.size() < count && m_link->readline(line, timeoutMs))
            lines.append(line);
        return lines;
    }

    // A reader blocked in readline on another thread; gives whether it got
    // a line and how long it waited.
    std::future<std::pair<bool, Clock::duration>> BlockedReader(int timeoutMs)
    {
        auto reader = std::async(std::launch::async, [this, timeoutMs] {
            QString line;
            const auto start = Clock::now();
            const bool got = m_link->readline(line, timeoutMs);
            return std::make_pair(got, Clock::now() - start);
        });
        std::this_thread::sleep_for(milliseconds(100));
        return reader;
    }

    TestPty m_pty;
    std::unique_ptr<CDeviceThread> m_link;
};

TEST_F(DeviceThreadTest, ShuttingDownReleasesAWaitingReaderAndEveryLaterWait)
{
    auto reader = BlockedReader(10000);
    m_link->setdevicestate(CDeviceThread::DEVICESTATE_SHUTTINGDOWN);
    const auto [got, waited] = reader.get();
    EXPECT_FALSE(got);
    EXPECT_LT(waited, milliseconds(5000));
    EXPECT_TRUE(TraceRecorder::Contains("The connection to the device is shutting down (Line: 234)\n"));
    EXPECT_FALSE(m_link->send("AT\r\n"));
    EXPECT_TRUE(TraceRecorder::Contains(
        "The connection to the device is shutting down (Line: 178) Sending: 'AT\r\n' aborted \n"));

    // A cancel that comes while replies wait is not used up by the first
    // of them, leaving the next wait to run out its time.
    ASSERT_TRUE(m_pty.send("+CPBR: 1\r\n+CPBR: 2\r\n"));
    const auto start = Clock::now();
    QString line;
    EXPECT_FALSE(m_link->readline(line, 10000));
    EXPECT_FALSE(m_link->readline(line, 10000));
    EXPECT_LT(Clock::now() - start, milliseconds(5000));
}

TEST_F(DeviceThreadTest, VanishingDeviceReleasesTheReaderAndStopsTheLoop)
{
    auto reader = BlockedReader(20000);
    m_pty.hangup();
    const auto [got, waited] = reader.get();
    EXPECT_FALSE(got);
    EXPECT_LT(waited, milliseconds(10000));
    EXPECT_TRUE(TraceRecorder::Contains("ERROR_INVALID_HANDLE, Likely that the Service Provider has closed the port.\n"));
    for (int i = 0; i < 100 && m_link->isrunning(); ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_FALSE(m_link->isrunning());
    EXPECT_FALSE(m_link->send("AT\r\n"));
    m_link->exit();
    EXPECT_TRUE(TraceRecorder::Contains("Serial port closed\n"));
    m_link.reset();
}

TEST_F(DeviceThreadTest, SendWritesOneBytePerCharacter)
{
    const QString text = QStringLiteral("AT+CPBW=1,\"1\",129,\"A") + QChar(0) + QStringLiteral("\xe9\"\r\n");
    ASSERT_TRUE(m_link->send(text));
    EXPECT_EQ(m_pty.receive(static_cast<int>(text.size()), 2000), text.toLatin1());
    EXPECT_TRUE(m_link->sendchar(0x1A));
    EXPECT_EQ(m_pty.receive(1, 2000), QByteArray("\x1a"));
}

TEST_F(DeviceThreadTest, DataModeStoresRawBytesInTheRing)
{
    m_link->setmode(CDeviceThread::MODE_DATA);
    ASSERT_TRUE(m_pty.send("x"));  // the ring has no room yet: the byte stays in the port
    for (int i = 0; i < 300 && !TraceRecorder::Contains("Buffer full, can't read more (count=0).\n"); ++i)
        std::this_thread::sleep_for(milliseconds(10));

    ASSERT_TRUE(m_link->setbuffersize(16));
    ASSERT_TRUE(m_pty.send(QByteArray("\r\nCONNECT\0\r", 11)));
    char buffer[32] = {};
    int got = 0;
    for (int attempt = 0; attempt < 100 && got < 12; ++attempt) {
        std::this_thread::sleep_for(milliseconds(10));
        got += m_link->readdata(buffer + got, 32 - got);
    }
    // The byte that found the ring full waited in the port: nothing is lost.
    EXPECT_EQ(QByteArray(buffer, got), QByteArray("x\r\nCONNECT\0\r", 12));
    char one = 0;
    EXPECT_FALSE(m_link->readdata(&one));

    m_link->setmode(CDeviceThread::MODE_LINE);
    ASSERT_TRUE(m_pty.send("OK\r\n"));
    EXPECT_EQ(ReadLines(1), (QStringList {"OK"}));
}

TEST_F(DeviceThreadTest, StopAndStartAgainOnTheSamePort)
{
    m_link->stop();
    EXPECT_FALSE(m_link->isrunning());
    EXPECT_TRUE(TraceRecorder::Contains("Serial port closed\n"));
    ASSERT_TRUE(m_link->start());
    ASSERT_TRUE(m_pty.send("OK\r\n"));
    EXPECT_EQ(ReadLines(1), (QStringList {"OK"}));
}

}  // namespace
