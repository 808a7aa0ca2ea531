// The program's pause in ticks of 55 ms. DelayTicks blocks the calling thread and does not pump
// messages (the status popup's wait and the editors' short waits); a transfer's pauses use
// DelayTicksPumped, during which the windows repaint.
#pragma once

#include <chrono>

inline constexpr std::chrono::milliseconds kTickLength{55};

// Waits n ticks (n x 55 ms of wall time, on a monotonic clock); returns at once for n <= 0.
void DelayTicks(int n);
// The same wait with paint pumped at least every 50 ms (on the user-interface thread).
void DelayTicksPumped(int n);
