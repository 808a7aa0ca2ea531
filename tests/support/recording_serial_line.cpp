#include "tests/support/recording_serial_line.h"

#include <cerrno>

namespace testing_support {

using platform::LineResult;
using platform::LineStatus;

std::vector<RecordedByte> RecordingState::Written() const {
    std::vector<RecordedByte> out;
    for (const auto& r : records) {
        if (r.kind == SerialRecord::Kind::Write) {
            for (auto b : r.bytes) {
                out.push_back({b, r.settings.parity});
            }
        }
    }
    return out;
}

std::chrono::milliseconds RecordingState::TotalPause() const {
    std::chrono::milliseconds total{0};
    for (const auto& r : records) {
        if (r.kind == SerialRecord::Kind::Pause) {
            total += r.pause;
        }
    }
    return total;
}

std::size_t RecordingState::Count(SerialRecord::Kind kind) const {
    std::size_t n = 0;
    for (const auto& r : records) {
        n += r.kind == kind ? 1 : 0;
    }
    return n;
}

bool RecordingSerialLine::Open(const std::string& path) {
    if (state_->refuseOpen || path.empty()) {
        lastError_ = ENOENT;
        return false;
    }
    open_ = true;
    state_->records.push_back({SerialRecord::Kind::Open, path, settings_, {}, {}});
    return true;
}

bool RecordingSerialLine::Close() {
    if (open_) {
        open_ = false;
        state_->records.push_back({SerialRecord::Kind::Close, {}, settings_, {}, {}});
    }
    return true;
}

bool RecordingSerialLine::Apply(const platform::LineSettings& settings) {
    if (!open_ || state_->refuseApply) {
        lastError_ = EINVAL;
        return false;
    }
    settings_ = settings;
    state_->records.push_back({SerialRecord::Kind::Apply, {}, settings_, {}, {}});
    return true;
}

bool RecordingSerialLine::ReadBack(platform::LineSettings& settings) {
    if (!open_) {
        lastError_ = EBADF;
        return false;
    }
    settings = settings_;
    return true;
}

LineResult RecordingSerialLine::Read(std::uint8_t* destination, std::size_t count,
                                     const platform::ReadTimeouts&) {
    LineResult result;
    if (!open_ || state_->hungUp) {
        lastError_ = EIO;
        result.status = LineStatus::Failed;
        return result;
    }
    std::vector<std::uint8_t> got;
    while (result.count < count && !state_->input.empty()) {
        destination[result.count++] = state_->input.front();
        got.push_back(state_->input.front());
        state_->input.pop_front();
    }
    if (!got.empty()) {
        state_->records.push_back({SerialRecord::Kind::Read, {}, settings_, got, {}});
    }
    result.status = result.count == count ? LineStatus::Ok : LineStatus::TimedOut;
    return result;
}

LineResult RecordingSerialLine::Write(const std::uint8_t* source, std::size_t count,
                                      std::chrono::milliseconds) {
    LineResult result;
    if (!open_ || state_->hungUp) {
        lastError_ = EIO;
        result.status = LineStatus::Failed;
        return result;
    }
    SerialRecord record{SerialRecord::Kind::Write, {}, settings_, {}, {}};
    for (; result.count < count; ++result.count) {
        if (state_->writesBeforeFailure == 0) {
            lastError_ = EIO;
            result.status = LineStatus::Failed;
            break;
        }
        if (state_->writesBeforeFailure > 0) {
            --state_->writesBeforeFailure;
        }
        record.bytes.push_back(source[result.count]);
    }
    if (!record.bytes.empty()) {
        state_->records.push_back(std::move(record));
    }
    return result;
}

bool RecordingSerialLine::Discard() {
    if (!open_) {
        lastError_ = EBADF;
        return false;
    }
    state_->input.clear();
    state_->records.push_back({SerialRecord::Kind::Discard, {}, settings_, {}, {}});
    return true;
}

bool RecordingSerialLine::QueueCounts(std::size_t& input, std::size_t& output) {
    if (!open_) {
        lastError_ = EBADF;
        return false;
    }
    input = state_->input.size();
    output = 0;
    return true;
}

bool RecordingSerialLine::Pause(std::chrono::milliseconds duration) {
    // Recorded, not slept: the tests check the pauses without waiting for them.
    state_->records.push_back({SerialRecord::Kind::Pause, {}, settings_, {}, duration});
    return !StopRequested();
}

} // namespace testing_support
