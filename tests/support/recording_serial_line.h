// A serial line that records instead of sending: every byte written with the parity in force,
// every pause, every change of settings. Reads are served from bytes the test queues. The state
// is shared, so the test still sees it after a port has taken the line over.
#pragma once

#include "platform/serial_device.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct RecordedByte {
    std::uint8_t byte;
    platform::Parity parity;
    bool operator==(const RecordedByte&) const = default;
};

struct SerialRecord {
    enum class Kind { Open, Close, Apply, Write, Pause, Discard, Read };
    Kind kind;
    std::string path;                  // Open
    platform::LineSettings settings;   // Apply; the settings in force for Write
    std::vector<std::uint8_t> bytes;   // Write, Read
    std::chrono::milliseconds pause{}; // Pause
};

struct RecordingState {
    std::vector<SerialRecord> records;
    std::deque<std::uint8_t> input; // bytes the next reads deliver
    bool refuseOpen = false;
    bool refuseApply = false;
    int writesBeforeFailure = -1; // -1: writes never fail; n: the write after n bytes fails
    bool hungUp = false;          // reads and writes fail as after a hang-up

    // Every byte written, with the parity it went out with.
    std::vector<RecordedByte> Written() const;
    std::chrono::milliseconds TotalPause() const;
    std::size_t Count(SerialRecord::Kind kind) const;
};

class RecordingSerialLine : public platform::SerialLine {
public:
    explicit RecordingSerialLine(std::shared_ptr<RecordingState> state)
        : state_(std::move(state)) {}

    bool Open(const std::string& path) override;
    bool IsOpen() const override { return open_; }
    bool Close() override;
    bool Apply(const platform::LineSettings& settings) override;
    bool ReadBack(platform::LineSettings& settings) override;
    bool SetModemLines(bool, bool) override { return open_; }
    platform::LineResult Read(std::uint8_t* destination, std::size_t count,
                              const platform::ReadTimeouts& timeouts) override;
    platform::LineResult Write(const std::uint8_t* source, std::size_t count,
                               std::chrono::milliseconds timeout) override;
    bool Discard() override;
    bool QueueCounts(std::size_t& input, std::size_t& output) override;
    bool Pause(std::chrono::milliseconds duration) override;
    int LastError() const override { return lastError_; }

private:
    std::shared_ptr<RecordingState> state_;
    platform::LineSettings settings_;
    bool open_ = false;
    int lastError_ = 0;
};

} // namespace testing_support
