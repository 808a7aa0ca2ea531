// How much faster the suites that wait on a peer or a time-out run their waits (a fixture holds
// a platform::FastWaits of this factor): a 3 s reply time-out lasts 300 ms of wall time, still
// far longer than the emulators take to answer. Under ThreadSanitizer a peer answers several
// times slower, and a loaded machine slower still: a 500 ms time-out must not shrink below what
// it takes there, so the factor is smaller.
#pragma once

#include "platform/wait_clock.h"

namespace testing_support {
#if defined(__SANITIZE_THREAD__)
inline constexpr int kFastWaitFactor = 4;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr int kFastWaitFactor = 4;
#else
inline constexpr int kFastWaitFactor = 10;
#endif
#else
inline constexpr int kFastWaitFactor = 10;
#endif
} // namespace testing_support
