#include "foundation/elapsed_time.h"

#include "platform/wait_clock.h"

#include <chrono>

void QORTime_c::ReadClock() {
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
                           platform::WaitClock::now().time_since_epoch())
                           .count();
    m_seconds = static_cast<std::uint32_t>(since / 1000);
    m_milliseconds = static_cast<std::int32_t>(since % 1000);
}

void QORTime_c::Start() {
    if (!m_start) {
        m_start = std::make_unique<QORTime_c>();
    }
    m_start->ReadClock();
    Set(m_start->m_seconds, m_start->m_milliseconds);
}

QORTime_c* QORTime_c::Elapsed() {
    if (!m_elapsed) {
        m_elapsed = std::make_unique<QORTime_c>();
    }
    if (m_start) {
        m_elapsed->Set(m_start->m_seconds, m_start->m_milliseconds);
    } else {
        m_elapsed->Set(0, 0);
    }
    ReadClock();
    Difference(m_elapsed.get());
    return m_elapsed.get();
}

std::uint8_t QORTime_c::Difference(QORTime_c* other) const {
    if (other == nullptr) {
        return 254;
    }
    const std::int64_t mine = std::int64_t{m_seconds} * 1000 + m_milliseconds;
    const std::int64_t theirs = std::int64_t{other->m_seconds} * 1000 + other->m_milliseconds;
    const std::int64_t distance = mine > theirs ? mine - theirs : theirs - mine;
    other->Set(static_cast<std::uint32_t>(distance / 1000),
               static_cast<std::int32_t>(distance % 1000));
    if (theirs > mine) {
        return 1;
    }
    return mine > theirs ? 255 : 0;
}

void QORTime_c::Set(std::uint32_t seconds, std::int32_t milliseconds) {
    m_seconds = seconds;
    m_milliseconds = milliseconds;
}
