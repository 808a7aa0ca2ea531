#include "platform/wait_clock.h"

#include <mutex>
#include <thread>

namespace platform {

namespace {

using Steady = std::chrono::steady_clock;

// The wait clock reads baseWait + (steady now - baseWall) x factor; both bases move to the
// present whenever the factor changes, so the clock stays monotonic.
struct Rate {
    std::mutex mutex;
    int factor = 1;
    Steady::time_point baseWall{};
    WaitClock::time_point baseWait{};
};

Rate& TheRate() {
    static Rate rate;
    return rate;
}

WaitClock::time_point NowLocked(const Rate& rate, Steady::time_point wall) {
    return rate.baseWait + (wall - rate.baseWall) * rate.factor;
}

void SetFactor(int factor) {
    Rate& rate = TheRate();
    const std::lock_guard<std::mutex> lock(rate.mutex);
    const auto wall = Steady::now();
    rate.baseWait = NowLocked(rate, wall);
    rate.baseWall = wall;
    rate.factor = factor < 1 ? 1 : factor;
}

} // namespace

WaitClock::time_point WaitClock::now() noexcept {
    Rate& rate = TheRate();
    const std::lock_guard<std::mutex> lock(rate.mutex);
    return NowLocked(rate, Steady::now());
}

std::chrono::nanoseconds WallDuration(std::chrono::nanoseconds wait) noexcept {
    Rate& rate = TheRate();
    int factor = 1;
    {
        const std::lock_guard<std::mutex> lock(rate.mutex);
        factor = rate.factor;
    }
    if (wait <= std::chrono::nanoseconds(0))
        return std::chrono::nanoseconds(0);
    // Rounded up: a wait never ends before its time.
    return (wait + std::chrono::nanoseconds(factor - 1)) / factor;
}

void SleepUntil(WaitClock::time_point end) {
    // A sleep may end early (a signal, a change of rate): sleep again until the clock is there.
    for (auto now = WaitClock::now(); now < end; now = WaitClock::now())
        std::this_thread::sleep_for(WallDuration(end - now));
}

FastWaits::FastWaits(int factor) {
    SetFactor(factor);
}

FastWaits::~FastWaits() {
    SetFactor(1);
}

} // namespace platform
