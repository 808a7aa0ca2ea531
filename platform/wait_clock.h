// The clock of the program's own pauses and time-outs (a paced packet, a reply awaited, a delay
// in ticks). It is the steady clock, unless a test makes every wait run a number of times faster
// (FastWaits): a suite then spends its time on its work, not on waiting, and each time-out still
// fires, in the same order against the others.
#pragma once

#include <chrono>

namespace platform {

struct WaitClock {
    using duration = std::chrono::steady_clock::duration;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<WaitClock>;
    static constexpr bool is_steady = true;

    static time_point now() noexcept;
};

// How long `wait` of the wait clock lasts on the wall clock (what a sleep or a poll is given).
std::chrono::nanoseconds WallDuration(std::chrono::nanoseconds wait) noexcept;

// Sleeps the calling thread until the wait clock reaches `end`.
void SleepUntil(WaitClock::time_point end);

// For tests: while it lives, the wait clock runs `factor` times faster than the wall clock.
// The clock never goes back, neither when it starts nor when it ends.
class FastWaits {
public:
    explicit FastWaits(int factor);
    ~FastWaits();
    FastWaits(const FastWaits&) = delete;
    FastWaits& operator=(const FastWaits&) = delete;
};

} // namespace platform
