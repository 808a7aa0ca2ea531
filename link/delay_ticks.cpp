#include "link/delay_ticks.h"

#include "platform/ui_services.h"

#include <thread>

void DelayTicks(int n) {
    if (n <= 0) {
        return;
    }
    const auto end = std::chrono::steady_clock::now() + n * kTickLength;
    // sleep_until may wake early on a signal; wait again until the clock has really advanced.
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_until(end);
    }
}

void DelayTicksPumped(int n) {
    if (n > 0)
        platform::PumpedSleep(n * kTickLength);
}
