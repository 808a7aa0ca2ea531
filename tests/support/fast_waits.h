// How much faster the suites that wait on a peer or a time-out run their waits (a fixture holds
// a platform::FastWaits of this factor): a 3 s reply time-out lasts 300 ms of wall time, still
// far longer than the emulators take to answer.
#pragma once

#include "platform/wait_clock.h"

namespace testing_support {
inline constexpr int kFastWaitFactor = 10;
} // namespace testing_support
