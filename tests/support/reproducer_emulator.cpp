#include "tests/support/reproducer_emulator.h"

#include "tests/support/raw_pty.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

std::uint8_t ChecksumOf(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return static_cast<std::uint8_t>(sum >> 1);
}

ReelvoxFrame FrameOf(const std::vector<std::uint8_t>& bytes) {
    ReelvoxFrame frame;
    frame.bytes = bytes;
    if (bytes.size() >= 2) {
        frame.destination = bytes[1];
    }
    if (bytes.size() >= 3) {
        frame.command = bytes[2];
    }
    if (bytes.size() >= 4) {
        frame.data.assign(bytes.begin() + 3, bytes.end() - 1);
        frame.checksumOk = bytes.back() == ChecksumOf(bytes, bytes.size() - 1);
    }
    return frame;
}

// Frames that are not acknowledged follow each other without a pause: finds the cut into
// frames that each start with 0xFF and end in their checksum, the earliest cut first.
bool SplitFrames(const std::vector<std::uint8_t>& bytes, std::size_t at,
                 std::vector<std::size_t>& ends) {
    if (at == bytes.size()) {
        return true;
    }
    std::uint8_t sum = 0;
    for (std::size_t k = at; k < bytes.size(); ++k) {
        if (k - at >= 3 && bytes[k] == static_cast<std::uint8_t>(sum >> 1) &&
            (k + 1 == bytes.size() || bytes[k + 1] == 0xFF)) {
            ends.push_back(k + 1);
            if (SplitFrames(bytes, k + 1, ends)) {
                return true;
            }
            ends.pop_back();
        }
        sum = static_cast<std::uint8_t>(sum + bytes[k]);
    }
    return false;
}

} // namespace

bool IsReproducerDestination(std::uint8_t destination) {
    return (destination >= 0x80 && destination <= 0x93) ||
           (destination >= 0xB2 && destination <= 0xBF);
}

std::vector<ReelvoxFrame> SplitRecordedFrames(const std::vector<RecordedByte>& bytes) {
    std::vector<ReelvoxFrame> frames;
    std::vector<std::uint8_t> current;
    bool inFrame = false;
    for (const RecordedByte& b : bytes) {
        if (b.parity == platform::Parity::Mark) {
            if (!inFrame || current.size() < 3) {
                current.assign(1, b.byte);
                inFrame = true;
                continue;
            }
            current.push_back(b.byte);
            frames.push_back(FrameOf(current));
            current.clear();
            inFrame = false;
        } else if (inFrame) {
            current.push_back(b.byte);
        }
    }
    return frames;
}

ReproducerEmulator::ReproducerEmulator(ReproducerEmulatorOptions options)
    : options_(std::move(options)) {}

ReproducerEmulator::~ReproducerEmulator() {
    Stop();
}

bool ReproducerEmulator::Start() {
    if (!OpenRawPty(master_, slave_, slavePath_)) {
        return false;
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ReproducerEmulator::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

std::vector<ReelvoxFrame> ReproducerEmulator::Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

bool ReproducerEmulator::WaitForFrames(std::size_t n, std::chrono::milliseconds timeout) const {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        {
            std::lock_guard lock(mutex_);
            if (frames_.size() >= n) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::lock_guard lock(mutex_);
    return frames_.size() >= n;
}

ReelvoxAnswer ReproducerEmulator::AnswerFor(const ReelvoxFrame& frame) {
    if (!frame.checksumOk) {
        return ReelvoxAnswer::Refuse;
    }
    if (IsReproducerDestination(frame.destination)) {
        return ReelvoxAnswer::Silent;
    }
    for (ReelvoxRule& rule : options_.rules) {
        if (rule.times == 0 || (rule.destination && *rule.destination != frame.destination) ||
            (rule.command && *rule.command != frame.command) ||
            (rule.firstData && (frame.data.empty() || frame.data[0] != *rule.firstData))) {
            continue;
        }
        if (rule.times > 0) {
            --rule.times;
        }
        return rule.answer;
    }
    return options_.defaultAnswer;
}

void ReproducerEmulator::Handle(std::vector<std::uint8_t>& pending) {
    if (pending.size() < 4) {
        pending.clear();
        return;
    }
    std::vector<std::size_t> ends;
    if (!SplitFrames(pending, 0, ends)) {
        ends.assign(1, pending.size()); // one frame with a wrong checksum
    }
    ReelvoxAnswer answer = ReelvoxAnswer::Silent;
    std::size_t begin = 0;
    for (const std::size_t end : ends) {
        const ReelvoxFrame frame =
            FrameOf(std::vector<std::uint8_t>(pending.begin() + static_cast<std::ptrdiff_t>(begin),
                                              pending.begin() + static_cast<std::ptrdiff_t>(end)));
        begin = end;
        answer = AnswerFor(frame);
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
    }
    pending.clear();
    // Only the last frame can be waiting for its answer.
    if (answer == ReelvoxAnswer::Silent) {
        return;
    }
    const auto delayEnd = Clock::now() + options_.replyDelay;
    while (!stop_ && Clock::now() < delayEnd) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::uint8_t reply = answer == ReelvoxAnswer::Ack ? 0xAA : 0x55;
    if (::write(master_, &reply, 1) != 1) {
        stop_ = true;
    }
}

void ReproducerEmulator::Run() {
    std::vector<std::uint8_t> pending;
    auto lastByte = Clock::now();
    while (!stop_) {
        pollfd pfd{master_, POLLIN, 0};
        const int rc = ::poll(&pfd, 1, 10);
        if (rc < 0 && errno != EINTR) {
            return;
        }
        if (rc > 0 && (pfd.revents & POLLIN)) {
            std::uint8_t chunk[256];
            const ssize_t got = ::read(master_, chunk, sizeof chunk);
            if (got <= 0) {
                // The slave side is closed between exchanges; keep listening.
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (pending.empty() && chunk[i] != 0xFF) {
                    continue; // noise before a start byte
                }
                pending.push_back(chunk[i]);
            }
            lastByte = Clock::now();
            continue;
        }
        if (rc > 0 && (pfd.revents & (POLLHUP | POLLERR))) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // A busy sender may pause inside a frame for longer than the gap: bytes that do not
        // yet make whole frames wait for the rest, up to the give-up time.
        const auto quiet = Clock::now() - lastByte;
        if (!pending.empty() && quiet >= options_.frameGap) {
            std::vector<std::size_t> ends;
            if (SplitFrames(pending, 0, ends) || quiet >= options_.giveUp) {
                Handle(pending);
            }
        }
    }
}

} // namespace testing_support
