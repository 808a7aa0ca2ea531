#include "link/delay_ticks.h"

#include "platform/ui_services.h"
#include "platform/wait_clock.h"

#include <thread>

void DelayTicks(int n) {
    if (n <= 0) {
        return;
    }
    platform::SleepUntil(platform::WaitClock::now() + n * kTickLength);
}

void DelayTicksPumped(int n) {
    if (n > 0)
        platform::PumpedSleep(n * kTickLength);
}
