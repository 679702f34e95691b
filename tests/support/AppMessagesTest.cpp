#include "support/AppMessages.h"
#include "tests/TraceCapture.h"
#include "tests/support/MessageCapture.h"

#include <gtest/gtest.h>

namespace {

TEST(AppMessages, WithoutHandlerTheMessageIsTracedAndConfirmed)
{
    CAppMessages::Instance().SetMessageHandler(nullptr);
    TraceCapture* capture = TraceCapture::Install(g_traceArdel, TRACE_ERROR);
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(QStringLiteral("Cannot find GSM device."), 0x30), 1);
    EXPECT_TRUE(capture->Contains(QStringLiteral("No AppMessageHandler installed when getting error:\n'Cannot find GSM device.'\n")));
}

struct CountedHandler : AppMessageHandler {
    explicit CountedHandler(int* alive, int answer) : alive(alive), answer(answer) { ++*alive; }
    ~CountedHandler() override { --*alive; }
    int ShowMessage(const QString&, unsigned, const QString&) override { return answer; }
    int* alive;
    int answer;
};

TEST(AppMessages, ASecondHandlerReleasesTheFirst)
{
    int alive = 0;
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CountedHandler>(&alive, 6));
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(QStringLiteral("Delete?"), 4), 6);
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CountedHandler>(&alive, 7));
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(QStringLiteral("Delete?"), 4), 7);
    CAppMessages::Instance().SetMessageHandler(nullptr);
    EXPECT_EQ(alive, 0);
}

}  // namespace
