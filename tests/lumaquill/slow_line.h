// A recording line that takes its time over each byte, as a real port does, and counts the
// bytes it wrote where another thread may read the count.
#pragma once

#include "tests/support/recording_serial_line.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace lumaquill_tests {

class SlowLine : public testing_support::RecordingSerialLine {
public:
    SlowLine(std::shared_ptr<testing_support::RecordingState> state,
             std::chrono::milliseconds perByte, std::atomic<int>& written)
        : testing_support::RecordingSerialLine(std::move(state)), perByte_(perByte),
          written_(written) {}
    platform::LineResult Write(const std::uint8_t* source, std::size_t count,
                               std::chrono::milliseconds timeout) override {
        std::this_thread::sleep_for(perByte_ * count);
        auto result = testing_support::RecordingSerialLine::Write(source, count, timeout);
        written_ += static_cast<int>(result.count);
        return result;
    }

private:
    std::chrono::milliseconds perByte_;
    std::atomic<int>& written_;
};

} // namespace lumaquill_tests
