// The program's pause in ticks of 55 ms, used to pace bulk streams and by the editors for short
// waits. It blocks the calling thread and does not pump messages.
#pragma once

#include <chrono>

inline constexpr std::chrono::milliseconds kTickLength{55};

// Waits n ticks (n x 55 ms of wall time, on a monotonic clock); returns at once for n <= 0.
void DelayTicks(int n);
