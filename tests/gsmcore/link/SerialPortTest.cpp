#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/SerialPort.h"
#include "support/AppMessages.h"
#include "tests/TestEnvironment.h"
#include "tests/gsmcore/link/TestPty.h"
#include "tests/gsmcore/link/TraceRecorder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct ShownMessage {
    QString text;
    unsigned type;
    QString caption;
};

std::mutex g_messagesLock;
std::vector<ShownMessage> g_messages;

class RecordingMessages : public AppMessageHandler {
public:
    int ShowMessage(const QString& message, unsigned type, const QString& caption) override
    {
        std::lock_guard lock(g_messagesLock);
        g_messages.push_back({message, type, caption});
        return 1;
    }
};

std::unique_ptr<CSerialPort> PortOn(const QString& path, quint32 baud = 9600)
{
    auto settings = std::make_unique<CPortSettings>();
    settings->m_PortName = path;
    settings->m_BaudRate = baud;
    return std::make_unique<CSerialPort>(std::move(settings));
}

// A port whose device refuses the event mask.
class MaskRefusingPort : public CSerialPort {
public:
    using CSerialPort::CSerialPort;

protected:
    int applycommmask(quint32) override { return 5; }
};

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        {
            std::lock_guard lock(g_messagesLock);
            g_messages.clear();
        }
        CAppMessages::Instance().SetMessageHandler(std::make_unique<RecordingMessages>());
        m_lockFolder = TestTempDir() + QStringLiteral("/locks");
        QDir().mkpath(m_lockFolder);
        m_folders = QStringList {m_lockFolder};
        CPortLockFile::SetLockFoldersForTesting(&m_folders);
    }
    void TearDown() override { CPortLockFile::SetLockFoldersForTesting(nullptr); }

    static std::vector<ShownMessage> Messages()
    {
        std::lock_guard lock(g_messagesLock);
        return g_messages;
    }

    QString m_lockFolder;
    QStringList m_folders;
};

TEST_F(SerialPortTest, MissingDeviceFailsWithItsErrorAndNoMessageBox)
{
    auto port = PortOn(QStringLiteral("/dev/tessaly-no-such-port"));
    EXPECT_FALSE(port->open());
    EXPECT_EQ(port->getstate(), CSerialPort::StateClosed);
    EXPECT_EQ(port->getlasterror(), "Unable to open the port, error 2\n");
    EXPECT_TRUE(TraceRecorder::Contains("Trying to open /dev/tessaly-no-such-port\n"));
    EXPECT_TRUE(TraceRecorder::Contains("Unable to open the port, error 2\n"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SerialPortTest, OpenAppliesTheDefaultsAndCloses)
{
    TestPty pty;
    ASSERT_TRUE(pty.isopen());
    auto port = PortOn(pty.slavepath(), 115200);
    ASSERT_TRUE(port->open());
    EXPECT_EQ(port->getstate(), CSerialPort::StateOpen);
    const CSerialPort::Timeouts timeouts = port->gettimeouts();
    EXPECT_EQ(timeouts.readTotalConstant, 1u);
    EXPECT_EQ(timeouts.readTotalMultiplier, 0u);
    EXPECT_EQ(timeouts.readInterval, 0u);
    EXPECT_EQ(timeouts.writeTotalMultiplier, 1u);
    EXPECT_EQ(timeouts.writeTotalConstant, 1000u);
    EXPECT_TRUE(TraceRecorder::Contains("setreadtimeouts: 0, 1, 0\n"));
    EXPECT_TRUE(TraceRecorder::Contains("setwritetimeouts: 1, 1000\n"));
    EXPECT_TRUE(TraceRecorder::Contains("Baudrate set to 115200\n"));
    EXPECT_TRUE(TraceRecorder::Contains("setcommmask\n"));
    port->close();
    EXPECT_EQ(port->getstate(), CSerialPort::StateClosed);
    EXPECT_TRUE(TraceRecorder::Contains("Serial port closed\n"));
    EXPECT_FALSE(port->write("AT\r\n", 4));
}

TEST_F(SerialPortTest, ReadOnASilentLineReturnsZeroAtOnce)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    char buffer[255];
    const auto start = Clock::now();
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 0);
    // About 1 ms; the bound only tells "no blocking" from "blocking".
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));

    ASSERT_TRUE(pty.send("OK\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 4);
    EXPECT_EQ(QByteArray(buffer, 4), "OK\r\n");
}

TEST_F(SerialPortTest, WritesReachTheDeviceUnchanged)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    const QByteArray bytes("AT+CPBW=1,\"12\",129,\"A\0B\"\r\n", 27);
    ASSERT_TRUE(port->write(bytes.constData(), static_cast<quint32>(bytes.size())));
    EXPECT_EQ(pty.receive(static_cast<int>(bytes.size()), 2000), bytes);
}

TEST_F(SerialPortTest, FailedWriteBlocksWritesUntilReset)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    pty.hangup();
    EXPECT_FALSE(port->write("AT\r\n", 4));
    EXPECT_EQ(port->getstate(), CSerialPort::StateWriteError);
    EXPECT_EQ(port->getlasterror(), "Failed to write data, error 5\n");
    const int traced = TraceRecorder::Count("Failed to write data");
    EXPECT_FALSE(port->write("AT\r\n", 4));
    EXPECT_EQ(TraceRecorder::Count("Failed to write data"), traced);  // refused without touching the device
    EXPECT_TRUE(port->resetwriteerror());
    EXPECT_EQ(port->getstate(), CSerialPort::StateOpen);
    EXPECT_FALSE(port->resetwriteerror());
}

TEST_F(SerialPortTest, ReadAfterTheDeviceVanishedFails)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    pty.hangup();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the kernel hangs the line up a moment later
    char buffer[16];
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), -1);
    EXPECT_TRUE(port->getlasterror().startsWith("Failed to read data, error "));
    quint32 errors = 0;
    int error = 0;
    EXPECT_FALSE(port->clearcommerror(errors, error));
    EXPECT_EQ(error, PortErrorInvalidHandle);
}

TEST_F(SerialPortTest, RefusedEventMaskIsShownAndOpenFails)
{
    TestPty pty;
    auto settings = std::make_unique<CPortSettings>();
    settings->m_PortName = pty.slavepath();
    MaskRefusingPort port(std::move(settings));
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.getstate(), CSerialPort::StateClosed);
    EXPECT_FALSE(port.write("AT", 2));
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "SetCommMask failed, error 5");
    EXPECT_EQ(messages[0].type, 0u);
    EXPECT_EQ(messages[0].caption, "    ");
    EXPECT_EQ(port.getlasterror(), "SetCommMask failed, error 5");
}

TEST_F(SerialPortTest, ConfigurationFailuresAreShownToTheUser)
{
    const struct {
        const char* path;
        quint32 baud;
        const char* message;
    } cases[] = {
        {"/dev/null", 9600, "GetCommState failed, error 25"},  // not a terminal
        {nullptr, 12345, "SetCommState failed, error 22"},     // no such speed
    };
    for (const auto& c : cases) {
        {
            std::lock_guard lock(g_messagesLock);
            g_messages.clear();
        }
        TestPty pty;
        auto port = PortOn(c.path ? QString::fromLatin1(c.path) : pty.slavepath(), c.baud);
        EXPECT_FALSE(port->open()) << c.message;
        const auto messages = Messages();
        ASSERT_EQ(messages.size(), 1u) << c.message;
        EXPECT_EQ(messages[0].text, QString::fromLatin1(c.message));
        EXPECT_EQ(port->getstate(), CSerialPort::StateClosed);
    }
}

TEST_F(SerialPortTest, PurgeClearsOnlyTheSideAsked)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    char buffer[16];
    ASSERT_TRUE(pty.send("abc"));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(port->purge(1));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 3);  // the transmit purge left the received bytes

    ASSERT_TRUE(pty.send("xyz"));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(port->purge(0));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 0);

    EXPECT_FALSE(port->purge(7));
    EXPECT_TRUE(port->getlasterror().startsWith("Failed to purge buffers (flags=0x0), error "));
}

TEST_F(SerialPortTest, SecondOpenerIsLockedOutAndStaleLocksAreRemoved)
{
    TestPty pty;
    auto first = PortOn(pty.slavepath());
    ASSERT_TRUE(first->open());
    const QString lockPath = m_lockFolder + QLatin1Char('/') + CPortLockFile::LockName(pty.slavepath());
    EXPECT_TRUE(QFile::exists(lockPath));

    auto second = PortOn(pty.slavepath());
    EXPECT_FALSE(second->open());
    EXPECT_EQ(second->getlasterror(), "Unable to open the port, error 16\n");

    first->close();
    EXPECT_FALSE(QFile::exists(lockPath));

    // A lock left by a process that no longer runs does not keep the port.
    QFile stale(lockPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("  99999999\n");
    stale.close();
    EXPECT_TRUE(second->open());
}

TEST_F(SerialPortTest, LockNamesFollowTheDevicePath)
{
    EXPECT_EQ(CPortLockFile::LockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(CPortLockFile::LockName("/dev/pts/5"), "LCK..pts_5");
    EXPECT_EQ(CPortLockFile::LockName("/tmp/modem"), "LCK.._tmp_modem");
}

TEST_F(SerialPortTest, EventWaitReportsDataHangupAndEndsWhenTheMaskIsCleared)
{
    TestPty pty;
    auto port = PortOn(pty.slavepath());
    ASSERT_TRUE(port->open());
    quint32 mask = 0;

    ASSERT_TRUE(pty.send("RING\r\n"));
    ASSERT_TRUE(port->waitforevent(mask));
    EXPECT_EQ(mask, EV_RXCHAR);

    // Cleared from another thread, the mask ends a blocked wait.
    std::thread clearer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        port->setcommmask(0);
    });
    const auto start = Clock::now();
    ASSERT_TRUE(port->waitforevent(mask));  // the data is unread, but EV_RXCHAR fired already
    EXPECT_EQ(mask, 0u);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    clearer.join();

    ASSERT_TRUE(port->setcommmask());
    pty.hangup();
    ASSERT_TRUE(port->waitforevent(mask));
    EXPECT_TRUE(mask & EV_ERR);
    quint32 errors = 0;
    int error = 0;
    EXPECT_FALSE(port->clearcommerror(errors, error));
    EXPECT_EQ(error, PortErrorInvalidHandle);
}

}  // namespace
