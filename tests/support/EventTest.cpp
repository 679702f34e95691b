#include "support/Event.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// A manual-reset event stays set; an auto-reset one is taken by one wait;
// a set from another thread wakes the waiter.
TEST(Event, ManualAndAutoResetAndAnotherThread)
{
    CEvent manual(true);
    EXPECT_FALSE(manual.Wait(0));
    manual.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(1));

    CEvent automatic(false, true);
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0));
    std::thread setter([&] { automatic.Set(); });
    EXPECT_TRUE(automatic.Wait(10000));
    setter.join();
}

}  // namespace
