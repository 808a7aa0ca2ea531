// The elapsed-time meter of reply time-outs: seconds and milliseconds on a monotonic clock, so
// changes of the wall clock or the time zone never shorten or stretch a wait.
#pragma once

#include <cstdint>
#include <memory>

class QORTime_c {
public:
    QORTime_c() = default;
    virtual ~QORTime_c() = default;
    QORTime_c(const QORTime_c&) = delete;
    QORTime_c& operator=(const QORTime_c&) = delete;

    // Marks now as the start; this time reads now as well.
    void Start();
    // The time since Start (since the clock's epoch when Start was never called), kept by this
    // object; this time reads now.
    QORTime_c* Elapsed();
    // Stores in `other` its distance from this time: 1 when the other was the later, 255 when
    // this was, 0 when equal; 254 for a missing other.
    std::uint8_t Difference(QORTime_c* other) const;
    void Set(std::uint32_t seconds, std::int32_t milliseconds);

    std::uint32_t Seconds() const { return m_seconds; }
    std::int32_t Milliseconds() const { return m_milliseconds; }

private:
    void ReadClock();

    std::unique_ptr<QORTime_c> m_start;
    std::unique_ptr<QORTime_c> m_elapsed;
    std::uint32_t m_seconds = 0;
    std::int32_t m_milliseconds = 0;
};
