#include "support/FileTraceHandler.h"
#include "support/LogFile.h"
#include "tests/TestEnvironment.h"
#include "tests/support/MessageCapture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>

namespace {

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class FileTraceHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto handler = std::make_unique<MessageCapture>();
        boxes = handler->boxes;
        CAppMessages::Instance().SetMessageHandler(std::move(handler));
        path = QDir(TestTempDir()).filePath(QStringLiteral("trace-%1.txt").arg(++counter));
    }
    void TearDown() override { CAppMessages::Instance().SetMessageHandler(nullptr); }
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
    QString path;
    static inline int counter = 0;
    CTraceCategory category{QStringLiteral("FileProbe")};
};

TEST_F(FileTraceHandlerTest, FirstLineNoticeAndTimestampPrefix)
{
    CFileTraceHandler handler(path);
    handler.SetTimestamps(true);
    EXPECT_FALSE(QFile::exists(path));
    handler.Output(category, QStringLiteral("INFO"), QStringLiteral("Sending: 'AT+CSQ\r\n'\n"));
    handler.Output(category, QStringLiteral("INFO"), QStringLiteral("second\n"));

    ASSERT_EQ(boxes->size(), 1u);  // the notice comes once
    EXPECT_EQ((*boxes)[0].message, QStringLiteral("Tracing to file."));
    EXPECT_EQ((*boxes)[0].type, 0x30u);
    EXPECT_EQ((*boxes)[0].caption, QStringLiteral("    "));

    const QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Log created "))) << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ {0,7}\\d{1,8}: Sending: 'AT\\+CSQ\\\\r\\\\n'$")).match(lines[1]).hasMatch())
        << lines[1].toStdString();
    EXPECT_EQ(lines[1].indexOf(QLatin1Char(':')), 8);  // eight columns before the colon
}

TEST_F(FileTraceHandlerTest, WithoutTimestampsTheMessageStandsAlone)
{
    CFileTraceHandler handler(path);
    handler.Output(category, QStringLiteral("INFO"), QStringLiteral("plain\n"));
    EXPECT_EQ(FileLines(path).value(1), QStringLiteral("plain"));
}

TEST_F(FileTraceHandlerTest, UnopenableFileGivesOneNoticeAndNoFurtherAttempts)
{
    // Under a file, where no folder can be made.
    const QString file = QDir(TestTempDir()).filePath(QStringLiteral("not-a-folder"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString bad = file + QStringLiteral("/trace.txt");
    CFileTraceHandler handler(bad);
    for (int i = 0; i < 3; ++i)
        handler.Output(category, QStringLiteral("INFO"), QStringLiteral("lost\n"));
    EXPECT_EQ(boxes->size(), 1u);
    EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(FileTraceHandlerTest, CriticalGoesToAMessageBoxNotTheFile)
{
    CFileTraceHandler handler(path);
    handler.OutputCritical(category, QStringLiteral("Very bad\n"));
    ASSERT_EQ(boxes->size(), 1u);
    EXPECT_EQ((*boxes)[0].message, QStringLiteral("Very bad\n"));
    EXPECT_EQ((*boxes)[0].type, 0u);
    EXPECT_EQ((*boxes)[0].caption, QStringLiteral("Critical Message"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FileTraceHandlerTest, ASecondRunOverwritesTheFile)
{
    {
        CFileTraceHandler first(path);
        first.Output(category, QStringLiteral("INFO"), QStringLiteral("run one\n"));
    }
    CFileTraceHandler second(path);
    second.Output(category, QStringLiteral("INFO"), QStringLiteral("run two\n"));
    const QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Log created ")));
    EXPECT_EQ(lines[1], QStringLiteral("run two"));
}

TEST_F(FileTraceHandlerTest, LinesFromSeveralThreadsStayWhole)
{
    CFileTraceHandler handler(path);
    handler.SetTimestamps(true);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                handler.Output(category, QStringLiteral("INFO"),
                               QStringLiteral("thread %1 line %2 ").arg(t).arg(i) + QString(40, QLatin1Char('x')) + QLatin1Char('\n'));
        });
    }
    for (auto& t : threads)
        t.join();
    const QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 801);
    const QRegularExpression whole(QStringLiteral("^ *\\d+: thread \\d line \\d+ x{40}$"));
    for (int i = 1; i < lines.size(); ++i)
        ASSERT_TRUE(whole.match(lines[i]).hasMatch()) << lines[i].toStdString();
}

TEST(LogFile, ExistsAndDelete)
{
    const QString path = QDir(TestTempDir()).filePath(QStringLiteral("log-exists.txt"));
    EXPECT_FALSE(CLogFile::Exists(path));
    CLogFile log;
    ASSERT_TRUE(log.Open(path));
    log.WriteLine(QStringLiteral("x"));
    log.Close();
    EXPECT_TRUE(CLogFile::Exists(path));
    EXPECT_TRUE(CLogFile::Delete(path));
    EXPECT_FALSE(CLogFile::Delete(path));
}

}  // namespace
