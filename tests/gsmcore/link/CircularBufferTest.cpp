#include "gsmcore/link/CircularBuffer.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace {

TEST(CircularBuffer, SizeFourTakesFourBytesAndRefusesTheFifth)
{
    CCircularBuffer buffer(4);
    for (char c : {'a', 'b', 'c', 'd'})
        EXPECT_TRUE(buffer.put(c));
    EXPECT_TRUE(buffer.isfull());
    EXPECT_FALSE(buffer.put('e'));
    EXPECT_EQ(buffer.count(), 4);
}

TEST(CircularBuffer, MultiByteGetKeepsOrderAcrossTheWrap)
{
    CCircularBuffer buffer(5);
    for (char c : QByteArray("12345"))
        ASSERT_TRUE(buffer.put(c));
    char out[8] = {};
    ASSERT_EQ(buffer.get(out, 3), 3);
    EXPECT_EQ(QByteArray(out, 3), "123");
    for (char c : QByteArray("678"))
        ASSERT_TRUE(buffer.put(c));  // the write index wraps
    ASSERT_EQ(buffer.get(out, 8), 5);
    EXPECT_EQ(QByteArray(out, 5), "45678");
    EXPECT_TRUE(buffer.isempty());
}

TEST(CircularBuffer, UnsizedResizedAndBadArgumentsTakeNothingWrong)
{
    CCircularBuffer unsized;  // never sized: full and empty at once
    EXPECT_TRUE(unsized.isfull());
    EXPECT_TRUE(unsized.isempty());
    EXPECT_FALSE(unsized.put('x'));
    char c = 0;
    EXPECT_FALSE(unsized.get(c));

    CCircularBuffer buffer(3);
    buffer.put('a');
    EXPECT_EQ(buffer.get(nullptr, 3), 0);
    EXPECT_EQ(buffer.get(&c, 0), 0);
    EXPECT_EQ(buffer.count(), 1);
    EXPECT_TRUE(buffer.resize(10));  // drops the content
    EXPECT_TRUE(buffer.isempty());
    EXPECT_EQ(buffer.size(), 10);
    EXPECT_FALSE(buffer.resize(-1));
    EXPECT_TRUE(buffer.isfull());
}

}  // namespace
