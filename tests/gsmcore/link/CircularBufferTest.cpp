#include "gsmcore/link/CircularBuffer.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace {

TEST(CircularBuffer, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit)
{
    CCircularBuffer buffer(5);
    for (char c : QByteArray("12345"))
        ASSERT_TRUE(buffer.put(c));
    EXPECT_TRUE(buffer.isfull());
    EXPECT_FALSE(buffer.put('x'));
    char out[8] = {};
    ASSERT_EQ(buffer.get(out, 3), 3);
    EXPECT_EQ(QByteArray(out, 3), "123");
    for (char c : QByteArray("678"))
        ASSERT_TRUE(buffer.put(c));  // the write index wraps
    ASSERT_EQ(buffer.get(out, 8), 5);
    EXPECT_EQ(QByteArray(out, 5), "45678");
    EXPECT_TRUE(buffer.isempty());
    EXPECT_EQ(buffer.get(nullptr, 3), 0);
    EXPECT_FALSE(buffer.resize(-1));

    CCircularBuffer unsized;  // never sized: full and empty at once
    EXPECT_FALSE(unsized.put('x'));
    EXPECT_FALSE(unsized.get(out[0]));
}

}  // namespace
