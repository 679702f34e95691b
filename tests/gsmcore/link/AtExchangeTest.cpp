// The exchange fed what real devices send (tests/data/link/exchanges.txt)
// through the line cutter, once as one read and once a byte at a time.

#include "gsmcore/link/AtExchange.h"
#include "gsmcore/link/LineCutter.h"
#include "gsmcore/link/UnsolicitedCodes.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Outcome {
    QStringList reply;
    QString final;
    QStringList unsolicited;  // "?" marks a line no handler knows
    bool prompted = false;
};

Outcome Exchange(const char* command, const QByteArray& bytes, int chunk, bool echoOnly)
{
    CAtRequest request = CAtRequest::For(QString::fromLatin1(command));
    request.echoOnly = echoOnly;
    CAtExchange exchange;
    exchange.begin(request);
    Outcome out;
    CLineCutter cutter;
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        const QByteArray part = bytes.mid(at, chunk);
        std::memcpy(cutter.area(), part.constData(), size_t(part.size()));
        if (!cutter.accept(int(part.size())))
            continue;
        QString line;
        while (cutter.hasunread() && cutter.cut(line) == CLineCutter::Cut::Line) {
            if (line.isEmpty())
                continue;
            if (exchange.feed(line, cutter.lastwasoverlong()) == CAtExchange::Take::Unsolicited)
                out.unsolicited.append(ClassifyUnsolicited(line) == UnsolicitedCode::None ? "?" + line : line);
        }
    }
    out.reply = exchange.lines();
    out.final = exchange.done() ? exchange.finalline() : QStringLiteral("(none)");
    out.prompted = exchange.prompted();
    return out;
}

QStringList Lines(const QByteArray& field)
{
    return QString::fromLatin1(field).split(u'\n', Qt::SkipEmptyParts);
}

TEST(AtExchange, EveryReplyKeepsItsOwnLinesWhateverComesBetween)
{
    auto rows = TestDataRows(QStringLiteral("link/exchanges.txt"));
    ASSERT_GE(rows.size(), 24);
    // An over-long line is a damaged reply line, not two.
    rows.append({"over-long line", "AT+CPBR=1,2", "AT+CPBR=1,2\r\r\n" + QByteArray(1500, 'x') + "+CPBR: 2,\"0\",129,\"B\"\r\n\r\nOK\r\n",
                 QByteArray(1001, 'x') + '\n' + QByteArray(499, 'x') + "+CPBR: 2,\"0\",129,\"B\"", "OK"});
    for (const auto& row : rows) {
        for (const int chunk : {CLineCutter::ReadChunk, 1}) {
            SCOPED_TRACE(testing::Message() << row[0].constData() << ", reads of " << chunk);
            const Outcome out = Exchange(row[1].constData(), row[2], chunk, row.value(6) == "echo-only");
            EXPECT_EQ(out.reply, Lines(row.value(3)));
            EXPECT_EQ(out.final, QString::fromLatin1(row.value(4)));
            EXPECT_EQ(out.unsolicited, Lines(row.value(5)));
            EXPECT_EQ(out.prompted, row.value(6) == "prompted");
        }
    }
}

}  // namespace
