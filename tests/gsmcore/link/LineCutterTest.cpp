#include "gsmcore/link/LineCutter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstring>
#include <vector>

namespace {

// Feeds reads as the port would bring them (at most 255 bytes each) and
// returns the non-empty lines cut, as the receive loop queues them.
QStringList CutAll(CLineCutter& cutter, const std::vector<QByteArray>& reads)
{
    QStringList lines;
    for (const QByteArray& read : reads) {
        for (qsizetype offset = 0; offset < read.size(); offset += CLineCutter::ReadChunk) {
            const QByteArray chunk = read.mid(offset, CLineCutter::ReadChunk);
            std::memcpy(cutter.area(), chunk.constData(), static_cast<size_t>(chunk.size()));
            if (!cutter.accept(static_cast<int>(chunk.size())))
                continue;
            QString line;
            while (cutter.hasunread()) {
                if (cutter.cut(line) == CLineCutter::Cut::NeedMore)
                    break;
                if (!line.isEmpty())
                    lines.append(line);
            }
        }
    }
    return lines;
}

struct CutCase {
    const char* name;
    std::vector<QByteArray> reads;
    char altLineEnd;
    QStringList expected;
    int pendingAfter;
};

const QString kNameWithAt = QStringLiteral("+CPBR: 1,\"12\",129,\"A") + QChar(0) + QStringLiteral("B\"");

TEST(LineCutter, CutsLinesAsTheDeviceSendsThem)
{
    const CutCase cases[] = {
        CutCase {"SplitRightAfterCarriageReturn", {QByteArray("OK\r"), QByteArray("\nRING\r\n")}, 0, {"OK", "RING"}, 0},
        CutCase {"PduEchoEndsAtCtrlZ", {QByteArray("0011000B91\x1a\r\n+CMGS: 5\r\n\r\nOK\r\n")}, 0x1A,
                 {"0011000B91", "+CMGS: 5", "OK"}, 0},
        CutCase {"LineFeedNeverPartOfALine", {QByteArray("AB\nCD\r\n")}, 0, {"ABCD"}, 0},
        CutCase {"OnlyLineEndsQueueNothing", {QByteArray("\r\n\r\n"), QByteArray("\r\r\r")}, 0, {}, 0},
        CutCase {"ZeroOutsideQuotesSeparates", {QByteArray("OK\0RING\r\n", 9)}, 0, {"OK", "RING"}, 0},
        CutCase {"ZeroInsideQuotesIsData", {QByteArray("+CPBR: 1,\"12\",129,\"A\0B\"\r\n", 26)}, 0, {kNameWithAt}, 0},
        CutCase {"ZeroInsideQuotesAcrossReads", {QByteArray("+CPBR: 1,\"12\",129,\"A"), QByteArray("\0B\"\r\n", 5)}, 0,
                 {kNameWithAt}, 0},
        CutCase {"ZeroIsDataWithAlternateEnd", {QByteArray("A\0B\x1a", 4)}, 0x1A, {QString::fromLatin1("A\0B", 3)}, 0},
        CutCase {"CarriageReturnEndsEvenInsideQuotes", {QByteArray("\"open\rOK\r")}, 0, {"\"open", "OK"}, 0},
        CutCase {"UnfinishedLineStaysPending", {QByteArray("OK\r\n+CSQ: 1")}, 0, {"OK"}, 7},
        CutCase {"HighBytesKeptAsLatin1", {QByteArray("\xe9\xff\r")}, 0, {QString::fromLatin1("\xe9\xff")}, 0},
    };
    for (const CutCase& c : cases) {
        CLineCutter cutter;
        cutter.setaltlineend(c.altLineEnd);
        EXPECT_EQ(CutAll(cutter, c.reads), c.expected) << c.name;
        EXPECT_EQ(cutter.pendinglength(), c.pendingAfter) << c.name;
    }
}

TEST(LineCutter, OverlongLineIsHandedOutInPiecesNeverPastTheBuffer)
{
    CLineCutter cutter;
    const QByteArray body(2500, 'A');
    const QStringList lines = CutAll(cutter, {body + "\r\nOK\r\n"});
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].size(), CLineCutter::MaxLineLength);
    EXPECT_EQ(lines[1].size(), CLineCutter::MaxLineLength);
    EXPECT_EQ(lines[2].size(), 2500 - 2 * CLineCutter::MaxLineLength);
    EXPECT_EQ(lines[3], "OK");
    EXPECT_EQ(lines[0] + lines[1] + lines[2], QString::fromLatin1(body));
}

TEST(LineCutter, UnreadBytesCanBeTakenRaw)
{
    CLineCutter cutter;
    std::memcpy(cutter.area(), "OK\r\nCONNECT", 11);
    ASSERT_TRUE(cutter.accept(11));
    QString line;
    ASSERT_EQ(cutter.cut(line), CLineCutter::Cut::Line);
    EXPECT_EQ(line, "OK");
    char raw[16] = {};
    EXPECT_EQ(cutter.takeunread(raw, sizeof(raw)), 7);
    EXPECT_EQ(QByteArray(raw, 7), "CONNECT");
    EXPECT_FALSE(cutter.hasunread());
}

}  // namespace
