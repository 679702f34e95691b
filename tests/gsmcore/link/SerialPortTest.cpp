#include "gsmcore/link/CommEvents.h"
#include "gsmcore/link/SerialPort.h"
#include "tests/TestEnvironment.h"
#include "tests/gsmcore/link/TestPty.h"
#include "tests/gsmcore/link/TraceRecorder.h"
#include "tests/support/MessageCapture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cerrno>

namespace {

// A port whose device refuses the event mask.
class MaskRefusingPort : public CSerialPort {
public:
    using CSerialPort::CSerialPort;

protected:
    int applycommmask(quint32) override { return 5; }
};

std::unique_ptr<CPortSettings> Settings(const QString& path, quint32 baud = 9600)
{
    auto settings = std::make_unique<CPortSettings>();
    settings->m_PortName = path;
    settings->m_BaudRate = baud;
    return settings;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TraceRecorder::Start();
        auto capture = std::make_unique<MessageCapture>();
        m_boxes = capture->boxes;
        CAppMessages::Instance().SetMessageHandler(std::move(capture));
        m_lockFolder = TestTempDir() + QStringLiteral("/locks");
        QDir().mkpath(m_lockFolder);
        m_folders = QStringList {m_lockFolder};
        CPortLockFile::SetLockFoldersForTesting(&m_folders);
        ASSERT_TRUE(m_pty.isOpen());
    }
    void TearDown() override
    {
        CPortLockFile::SetLockFoldersForTesting(nullptr);
        CAppMessages::Instance().SetMessageHandler(nullptr);
    }

    // A port opened on the test's pty.
    std::unique_ptr<CSerialPort> Open(quint32 baud = 9600)
    {
        auto port = std::make_unique<CSerialPort>(Settings(m_pty.slavePath(), baud));
        EXPECT_TRUE(port->open());
        return port;
    }

    TestPty m_pty;
    QString m_lockFolder;
    QStringList m_folders;
    std::shared_ptr<std::vector<MessageCapture::Box>> m_boxes;
};

TEST_F(SerialPortTest, OpenFailuresLeaveThePortClosedAndShowWhatWentWrong)
{
    const struct {
        const char* path;  // nullptr: the pty
        quint32 baud;
        bool refuseMask;
        const char* error;
        const char* shown;  // nullptr: no message box
    } cases[] = {
        {"/dev/tessaly-no-such-port", 9600, false, "Unable to open the port, error 2\n",
         "/dev/tessaly-no-such-port does not exist"},
        {"/dev/null", 9600, false, nullptr, "GetCommState failed, error 25"},  // not a terminal
        {nullptr, 12345, false, nullptr, "SetCommState failed, error 22"},     // no such speed
        {nullptr, 9600, true, "SetCommMask failed, error 5", "SetCommMask failed, error 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown ? c.shown : c.error);
        m_boxes->clear();
        auto settings = Settings(c.path ? QString::fromLatin1(c.path) : m_pty.slavePath(), c.baud);
        std::unique_ptr<CSerialPort> port = c.refuseMask ? std::make_unique<MaskRefusingPort>(std::move(settings))
                                                         : std::make_unique<CSerialPort>(std::move(settings));
        EXPECT_FALSE(port->open());
        EXPECT_EQ(port->getstate(), CSerialPort::StateClosed);
        EXPECT_FALSE(port->write("AT", 2));
        if (c.error) {
            EXPECT_EQ(port->getlasterror(), QString::fromLatin1(c.error));
        }
        if (!c.shown) {
            EXPECT_TRUE(m_boxes->empty());
            continue;
        }
        ASSERT_EQ(m_boxes->size(), 1u);
        EXPECT_EQ(m_boxes->front().message, QString::fromLatin1(c.shown));
        EXPECT_EQ(m_boxes->front().type, 0u);
        EXPECT_EQ(m_boxes->front().caption, "    ");
    }
    EXPECT_TRUE(TraceRecorder::Contains("Trying to open /dev/tessaly-no-such-port\n"));
    EXPECT_TRUE(TraceRecorder::Contains("Unable to open the port, error 2\n"));
}

TEST_F(SerialPortTest, ReadsReturnAtOnceBytesPassUnchangedAndPurgeClearsOneSide)
{
    auto port = Open();
    char buffer[255];
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 0);  // nothing there: no blocking
    quint32 mask = 0;
    ASSERT_TRUE(m_pty.send("OK\r\n"));
    ASSERT_TRUE(port->waitforevent(mask));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 4);
    EXPECT_EQ(QByteArray(buffer, 4), "OK\r\n");

    const QByteArray bytes("AT+CPBW=1,\"12\",129,\"A\0B\"\r\n", 27);
    ASSERT_TRUE(port->write(bytes.constData(), static_cast<quint32>(bytes.size())));
    EXPECT_EQ(m_pty.receive(static_cast<int>(bytes.size()), 2000), bytes);

    ASSERT_TRUE(m_pty.send("abc"));
    ASSERT_TRUE(port->waitforevent(mask));
    EXPECT_TRUE(port->purge(1));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 3);  // the transmit purge left the received bytes
    ASSERT_TRUE(m_pty.send("xyz"));
    ASSERT_TRUE(port->waitforevent(mask));
    EXPECT_TRUE(port->purge(0));
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), 0);
    EXPECT_FALSE(port->purge(7));
    EXPECT_TRUE(port->getlasterror().startsWith("Failed to purge buffers (flags=0x0), error "));
}

TEST_F(SerialPortTest, AfterTheDeviceVanishedWritesAreBlockedUntilResetAndReadsFail)
{
    auto port = Open();
    m_pty.hangup();
    EXPECT_FALSE(port->write("AT\r\n", 4));
    EXPECT_EQ(port->getstate(), CSerialPort::StateWriteError);
    EXPECT_EQ(port->getlasterror(), "Failed to write data, error 5\n");
    const int traced = TraceRecorder::Count("Failed to write data");
    EXPECT_FALSE(port->write("AT\r\n", 4));
    EXPECT_EQ(TraceRecorder::Count("Failed to write data"), traced);  // refused without touching the device
    EXPECT_TRUE(port->resetwriteerror());
    EXPECT_EQ(port->getstate(), CSerialPort::StateOpen);
    EXPECT_FALSE(port->resetwriteerror());

    char buffer[16];
    EXPECT_EQ(port->read(buffer, sizeof(buffer)), -1);
    EXPECT_TRUE(port->getlasterror().startsWith("Failed to read data, error "));
    quint32 errors = 0;
    int error = 0;
    EXPECT_FALSE(port->clearcommerror(errors, error));
    EXPECT_EQ(error, PortErrorInvalidHandle);
}

TEST_F(SerialPortTest, SecondOpenerIsLockedOutAndStaleLocksAreRemoved)
{
    EXPECT_EQ(CPortLockFile::LockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(CPortLockFile::LockName("/dev/pts/5"), "LCK..pts_5");
    EXPECT_EQ(CPortLockFile::LockName("/tmp/modem"), "LCK.._tmp_modem");

    auto first = Open();
    const QString lockPath = m_lockFolder + QLatin1Char('/') + CPortLockFile::LockName(m_pty.slavePath());
    EXPECT_TRUE(QFile::exists(lockPath));
    CSerialPort second(Settings(m_pty.slavePath()));
    EXPECT_FALSE(second.open());
    EXPECT_EQ(second.getlasterror(), "Unable to open the port, error 16\n");
    first->close();
    EXPECT_FALSE(QFile::exists(lockPath));

    // A lock left by a process that no longer runs does not keep the port.
    QFile stale(lockPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("  99999999\n");
    stale.close();
    EXPECT_TRUE(second.open());
}

TEST(SerialPortOpenError, SaysWhatTheUserCanDo)
{
    const struct {
        int error;
        const char* message;  // empty: nothing worth telling
    } cases[] = {
        {EACCES, "You may not open /dev/ttyUSB0: add yourself to the dialout group: sudo usermod -aG dialout $USER, "
                 "then log in again"},
        {EPERM, "You may not open /dev/ttyUSB0: add yourself to the dialout group: sudo usermod -aG dialout $USER, "
                "then log in again"},
        {ENODEV, "/dev/ttyUSB0 does not exist"},
        {EIO, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSerialPort::OpenErrorMessage(QStringLiteral("/dev/ttyUSB0"), c.error, 0), QString::fromLatin1(c.message)) << c.error;
}

}  // namespace
