// The reproducer system on the far end of a pseudo-terminal: the SMPTE interface unit at
// destination 254, the CobraNet devices at 158 and the reproducers. A pty carries no parity, so
// frames are found by structure: a start byte 0xFF, then bytes up to one that equals the
// checksum of those before it, followed by a pause longer than the sender's parity switch.
// Each frame is logged and, by the rules, acknowledged, refused or left unanswered. Frames to
// reproducers are never answered, as the units do not acknowledge video commands.
#pragma once

#include "tests/support/recording_serial_line.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct ReelvoxFrame {
    std::uint8_t destination = 0;
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;
    bool checksumOk = false;
    // The whole frame as received.
    std::vector<std::uint8_t> bytes;
};

enum class ReelvoxAnswer { Ack, Refuse, Silent };

// Applies to frames whose destination, command and (when given) first data byte match; `times`
// limits how often (-1: always).
struct ReelvoxRule {
    std::optional<std::uint8_t> destination;
    std::optional<std::uint8_t> command;
    std::optional<std::uint8_t> firstData;
    ReelvoxAnswer answer = ReelvoxAnswer::Ack;
    int times = -1;
};

struct ReproducerEmulatorOptions {
    ReelvoxAnswer defaultAnswer = ReelvoxAnswer::Ack;
    std::vector<ReelvoxRule> rules;
    std::chrono::milliseconds replyDelay{0};
    // Quiet that ends a frame; longer than the 50 ms the sender waits at a parity switch.
    std::chrono::milliseconds frameGap{90};
    // Quiet after which bytes that make no whole frame are taken as one bad frame.
    std::chrono::milliseconds giveUp{1000};
};

// True for the addressing bytes of reproducer units and groups.
bool IsReproducerDestination(std::uint8_t destination);

// Splits bytes recorded with their parity into frames: MARK start byte, SPACE bytes, MARK
// checksum.
std::vector<ReelvoxFrame> SplitRecordedFrames(const std::vector<RecordedByte>& bytes);

class ReproducerEmulator {
public:
    explicit ReproducerEmulator(ReproducerEmulatorOptions options = {});
    ~ReproducerEmulator();
    ReproducerEmulator(const ReproducerEmulator&) = delete;
    ReproducerEmulator& operator=(const ReproducerEmulator&) = delete;

    bool Start();
    void Stop();
    const std::string& SlavePath() const { return slavePath_; }

    std::vector<ReelvoxFrame> Frames() const;
    // Waits until at least n frames were logged; false when the time ran out.
    bool WaitForFrames(std::size_t n, std::chrono::milliseconds timeout) const;
    // The answer the rules give to a frame (consuming a limited rule's use).
    ReelvoxAnswer AnswerFor(const ReelvoxFrame& frame);

private:
    void Run();
    void Handle(std::vector<std::uint8_t>& pending);

    ReproducerEmulatorOptions options_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<ReelvoxFrame> frames_;
};

} // namespace testing_support
