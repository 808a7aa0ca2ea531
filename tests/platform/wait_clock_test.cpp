#include "platform/wait_clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

TEST(WaitClock, FastWaitsShortenSleepsAndTheClockNeverGoesBack) {
    const auto before = platform::WaitClock::now();
    {
        platform::FastWaits fast(10);
        EXPECT_GE(platform::WaitClock::now(), before);
        EXPECT_EQ(platform::WallDuration(1000ms), 100ms);
        EXPECT_EQ(platform::WallDuration(1ns), 1ns); // rounded up, never to nothing
        EXPECT_EQ(platform::WallDuration(-5ms), 0ns);

        const auto wallStart = Steady::now();
        const auto start = platform::WaitClock::now();
        platform::SleepUntil(start + 600ms);
        const auto waited = platform::WaitClock::now() - start;
        const auto wall = Steady::now() - wallStart;
        EXPECT_GE(waited, 600ms);
        EXPECT_GE(wall, 60ms);
        EXPECT_LT(wall, 400ms);
    }
    const auto after = platform::WaitClock::now();
    EXPECT_GE(after, before + 600ms);
    // Real time again, and still going forward.
    EXPECT_EQ(platform::WallDuration(1000ms), 1000ms);
    const auto wallStart = Steady::now();
    platform::SleepUntil(platform::WaitClock::now() + 30ms);
    EXPECT_GE(Steady::now() - wallStart, 30ms);
    EXPECT_GE(platform::WaitClock::now(), after + 30ms);
}

} // namespace
