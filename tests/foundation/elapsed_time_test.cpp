#include "foundation/elapsed_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::int64_t Ms(const QORTime_c& t) {
    return std::int64_t{t.Seconds()} * 1000 + t.Milliseconds();
}

TEST(ElapsedTime, DifferenceBorrowsMillisecondsAndTellsTheOrder) {
    struct Case {
        std::uint32_t thisS;
        std::int32_t thisMs;
        std::uint32_t otherS;
        std::int32_t otherMs;
        std::uint8_t answer;
        std::uint32_t s;
        std::int32_t ms;
    };
    const Case cases[] = {
        {12, 100, 10, 900, 255, 1, 200},
        {10, 900, 12, 100, 1, 1, 200},
        {5, 500, 5, 500, 0, 0, 0},
        {7, 0, 6, 999, 255, 0, 1},
    };
    for (const auto& c : cases) {
        QORTime_c a;
        QORTime_c b;
        a.Set(c.thisS, c.thisMs);
        b.Set(c.otherS, c.otherMs);
        EXPECT_EQ(a.Difference(&b), c.answer);
        EXPECT_EQ(b.Seconds(), c.s);
        EXPECT_EQ(b.Milliseconds(), c.ms);
    }
    QORTime_c a;
    EXPECT_EQ(a.Difference(nullptr), 254);
}

TEST(ElapsedTime, MeasuresFromStart) {
    QORTime_c t;
    t.Start();
    std::this_thread::sleep_for(60ms);
    const QORTime_c* e = t.Elapsed();
    EXPECT_GE(Ms(*e), 60);
    EXPECT_LT(Ms(*e), 2000);
    EXPECT_EQ(t.Elapsed(), e) << "the elapsed result is kept by the meter";

    // Without a start the meter measures from the clock's epoch: at least as far as any start.
    QORTime_c never;
    const std::int64_t sinceEpoch = Ms(*never.Elapsed());
    QORTime_c now;
    now.Start();
    EXPECT_LE(sinceEpoch, Ms(now));
    EXPECT_GT(sinceEpoch, Ms(now) - 1000);
}

} // namespace
