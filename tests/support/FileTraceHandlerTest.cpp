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
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

class FileTraceHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto handler = std::make_unique<MessageCapture>();
        boxes = handler->boxes;
        CAppMessages::Instance().SetMessageHandler(std::move(handler));
        path = QDir(TestTempDir()).filePath(u"trace-%1.txt"_qs.arg(++counter));
    }
    void TearDown() override { CAppMessages::Instance().SetMessageHandler(nullptr); }
    void Trace(CFileTraceHandler& handler, const QString& message) { handler.Output(category, u"INFO"_qs, message); }
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
    QString path;
    static inline int counter = 0;
    CTraceCategory category{u"FileProbe"_qs};
};

// The file is made at the first line, with a notice once; a second run
// starts it anew; lines carry the milliseconds when asked to, and stay
// whole when several threads write at once.
TEST_F(FileTraceHandlerTest, FirstLineNoticeTimestampsASecondRunAndThreads)
{
    {
        CFileTraceHandler first(path);
        Trace(first, u"run one\n"_qs);
    }
    EXPECT_EQ(FileLines(path).value(1), u"run one"_qs);
    CFileTraceHandler handler(path);
    handler.SetTimestamps(true);
    Trace(handler, u"Sending: 'AT+CSQ\r\n'\n"_qs);
    handler.SetTimestamps(false);
    Trace(handler, u"plain\n"_qs);
    handler.SetTimestamps(true);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                Trace(handler, u"thread %1 line %2 "_qs.arg(t).arg(i) + QString(40, u'x') + u'\n');
        });
    }
    for (auto& t : threads)
        t.join();

    ASSERT_EQ(boxes->size(), 2u);  // once a run
    EXPECT_EQ(std::tuple((*boxes)[1].message, (*boxes)[1].type, (*boxes)[1].caption),
              std::tuple(u"Tracing to file."_qs, 0x30u, u"    "_qs));
    const QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 803);
    EXPECT_TRUE(lines[0].startsWith(u"Log created "_qs)) << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(u"^ {0,7}\\d{1,8}: Sending: 'AT\\+CSQ\\\\r\\\\n'$"_qs).match(lines[1]).hasMatch())
        << lines[1].toStdString();
    EXPECT_EQ(lines[1].indexOf(u':'), 8);  // eight columns before the colon
    EXPECT_EQ(lines[2], u"plain"_qs);
    const QRegularExpression whole(u"^ *\\d+: thread \\d line \\d+ x{40}$"_qs);
    for (int i = 3; i < lines.size(); ++i)
        ASSERT_TRUE(whole.match(lines[i]).hasMatch()) << lines[i].toStdString();
    EXPECT_TRUE(CLogFile::Delete(path));
    EXPECT_FALSE(CLogFile::Exists(path));
    EXPECT_FALSE(CLogFile::Delete(path));
}

// A critical message goes to a box, not the file; a file that cannot be
// made gives one notice and no further attempts.
TEST_F(FileTraceHandlerTest, CriticalMessagesAndUnopenableFilesGiveABox)
{
    CFileTraceHandler handler(path);
    handler.OutputCritical(category, u"Very bad\n"_qs);
    ASSERT_EQ(boxes->size(), 1u);
    EXPECT_EQ(std::tuple((*boxes)[0].message, (*boxes)[0].type, (*boxes)[0].caption),
              std::tuple(u"Very bad\n"_qs, 0u, u"Critical Message"_qs));
    EXPECT_FALSE(QFile::exists(path));

    // Under a file, where no folder can be made.
    const QString file = QDir(TestTempDir()).filePath(u"not-a-folder"_qs);
    QFile(file).open(QIODevice::WriteOnly);
    CFileTraceHandler unopenable(file + u"/trace.txt"_qs);
    for (int i = 0; i < 3; ++i)
        Trace(unopenable, u"lost\n"_qs);
    EXPECT_EQ(boxes->size(), 2u);
    EXPECT_FALSE(QFile::exists(file + u"/trace.txt"_qs));
}

}  // namespace
