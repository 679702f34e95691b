#include "support/Event.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(Event, ManualResetStaysSetAutoResetIsTakenByOneWait)
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
}

TEST(Event, SetFromAnotherThreadWakesTheWaiter)
{
    CEvent event(false);
    std::thread setter([&] { event.Set(); });
    EXPECT_TRUE(event.Wait(10000));
    setter.join();
}

}  // namespace
