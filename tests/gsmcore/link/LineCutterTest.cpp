#include "gsmcore/link/LineCutter.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstring>

namespace {

// Feeds reads as the port would bring them (at most 255 bytes each) and
// returns the non-empty lines cut, as the receive loop queues them.
QStringList CutAll(CLineCutter& cutter, const QList<QByteArray>& reads)
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

TEST(LineCutter, CutsLinesAsTheDeviceSendsThem)
{
    const auto rows = TestDataRows(QStringLiteral("link/line-cuts.txt"));
    ASSERT_EQ(rows.size(), 11);
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0].constData());
        CLineCutter cutter;
        cutter.setaltlineend(char(row[1].toInt(nullptr, 16)));
        EXPECT_EQ(CutAll(cutter, row.mid(4)), QString::fromLatin1(row[2]).split(u'\n', Qt::SkipEmptyParts));
        EXPECT_EQ(cutter.pendinglength(), row[3].toInt());
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
