// The line queue as a script of appends, aborts, resumes and takes: what
// a reader gets back, and what the cap drops when nobody reads.

#include "gsmcore/link/LineQueue.h"
#include "tests/gsmcore/link/TraceRecorder.h"

#include <gtest/gtest.h>

namespace {

// "+<line>" appends, "abort", "resume", "reset"; "take" records the line
// taken or "-" for none.
QStringList Taken(const QStringList& script)
{
    CLineQueue queue;
    QStringList taken;
    for (const QString& step : script) {
        QString line;
        if (step.startsWith(u'+'))
            queue.append(step.mid(1));
        else if (step == u"take")
            taken << (queue.take(line, 0) ? line : QStringLiteral("-"));
        else if (step == u"abort")
            queue.abort();
        else if (step == u"resume")
            queue.resume();
        else
            queue.reset();
    }
    return taken;
}

TEST(LineQueue, AnAbortComesAfterTheLinesBeforeItAndClearsWhenTheLinkIsBack)
{
    EXPECT_EQ(Taken({"++CPBR: 1", "++CPBR: 2", "abort", "take", "take", "take", "take"}),
              (QStringList {"+CPBR: 1", "+CPBR: 2", "-", "-"}));
    EXPECT_EQ(Taken({"abort", "take", "resume", "+OK", "take"}), (QStringList {"-", "OK"}));
    EXPECT_EQ(Taken({"+RING", "abort", "reset", "take", "+OK", "take"}), (QStringList {"-", "OK"}));
}

TEST(LineQueue, WhenFullTheOldestCodeGoesNeverAReplyLine)
{
    const int max = CLineQueue::MaxLines;
    const struct {
        const char* name;
        QString first;  // then codes (or replies) up to the cap
        bool codes;
        QString last;
        int count;
        QString dropped;
    } cases[] = {
        {"a reply line pushes out the oldest code", "OK", true, "+CPBR: 1", max, "+CREG: 1"},
        {"a new code is dropped when only replies wait", "+CPBR: 0", false, "RING", max, "RING"},
        {"a reply line is kept beyond the cap", "+CPBR: 0", false, "BUSY", max + 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TraceRecorder::Start();
        CLineQueue queue;
        queue.append(c.first);
        for (int i = 1; i < max; ++i)
            queue.append((c.codes ? "+CREG: " : "+CPBR: ") + QString::number(i));
        queue.append(c.last);
        EXPECT_EQ(queue.count(), c.count);
        EXPECT_EQ(TraceRecorder::Contains("Line queue full, dropping '" + c.dropped + "'\n"), !c.dropped.isEmpty());
        QString line;
        ASSERT_TRUE(queue.take(line, 0));
        EXPECT_EQ(line, c.first);
        while (queue.count() > 1)
            queue.take(line, 0);
        ASSERT_TRUE(queue.take(line, 0));
        EXPECT_EQ(line, c.dropped == c.last ? QStringLiteral("+CPBR: %1").arg(max - 1) : c.last);
    }
}

}  // namespace
