#include "support/AppMessages.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

struct CountedHandler : AppMessageHandler {
    explicit CountedHandler(int* alive, int answer) : alive(alive), answer(answer) { ++*alive; }
    ~CountedHandler() override { --*alive; }
    int ShowMessage(const QString&, unsigned, const QString&) override { return answer; }
    int* alive;
    int answer;
};

// Without a handler the message is traced and taken as confirmed; a
// second handler releases the first.
TEST(AppMessages, HandlersAnswerAndReplaceEachOther)
{
    CAppMessages::Instance().SetMessageHandler(nullptr);
    TraceCapture* capture = TraceCapture::Install(g_traceArdel, TRACE_ERROR);
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(u"Cannot find GSM device."_qs, 0x30), 1);
    EXPECT_TRUE(capture->Contains(u"No AppMessageHandler installed when getting error:\n'Cannot find GSM device.'\n"_qs));

    int alive = 0;
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CountedHandler>(&alive, 6));
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(u"Delete?"_qs, 4), 6);
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CountedHandler>(&alive, 7));
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(CAppMessages::Instance().ShowMessage(u"Delete?"_qs, 4), 7);
    CAppMessages::Instance().SetMessageHandler(nullptr);
    EXPECT_EQ(alive, 0);
}

}  // namespace
