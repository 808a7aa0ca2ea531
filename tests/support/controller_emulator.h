// A show controller on the far end of a pseudo-terminal: it decodes both command framings,
// answers the firmware, memory and size requests, takes images and archives as acknowledged
// bulk streams and sends them back (an archive only into the memory its image leaves free), and
// keeps the 512 DMX channel values that channel commands set. It
// can be made silent, noisy, refusing, short of memory, old, or to drop the line in the middle of
// a stream, and can consume and answer at the rate of a real 9600-baud line. The program side opens
// the slave path like any serial device.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct EmulatorOptions {
    std::string firmwareLine = "Ver 5.80"; // the answer to 'B' (a CR is added)
    int memoryKb = 64;                     // the answer to '<'
    bool silent = false;                   // answers nothing
    int ignoredRequests = 0;               // the first n requests go unanswered
    bool noisy = false;                    // stray bytes follow every reply
    bool nakRequest = false;               // refuses '@' and '>'
    bool nakCompletion = false;            // refuses a completed stream
    int requestAnswer = -1;                // >= 0: this byte answers '@' and '>' instead
    int completionAnswer = -1;             // >= 0: this byte ends a stream instead
    int dropAfterStreamBytes = -1;         // hangs up after this many bytes of a stream
    int baud = 0;                          // 0: as fast as the pty goes; else this line rate
    int bitsPerByte = 11;                  // start, 8 data, parity, stop
    int claimedImageLength = -1;           // >= 0: the length ';' announces, whatever it sends
    int dropAfterChannelCommands = -1;     // hangs up after this many DMX channel commands
    std::vector<std::uint8_t> image;       // the stored image
    std::vector<std::uint8_t> archive;     // the stored archive (header and data)
};

inline constexpr int kDmxChannels = 512;

struct EmulatedRequest {
    bool nineBit = false;
    std::uint8_t address = 0; // 9-bit framing only
    std::uint8_t unit = 0;
    std::vector<std::uint8_t> message;
    bool checksumOk = false;
};

class ControllerEmulator {
public:
    explicit ControllerEmulator(EmulatorOptions options = {});
    ~ControllerEmulator();
    ControllerEmulator(const ControllerEmulator&) = delete;
    ControllerEmulator& operator=(const ControllerEmulator&) = delete;

    // Opens the pseudo-terminal pair and starts answering. False when no pair could be made.
    bool Start();
    void Stop();
    // The device path the program opens.
    const std::string& SlavePath() const { return slavePath_; }

    std::vector<EmulatedRequest> Requests() const;
    std::vector<std::uint8_t> StoredImage() const;
    std::vector<std::uint8_t> StoredArchive() const;
    // Bytes of the last stream received so far, and when its first and last byte arrived.
    std::size_t StreamBytes() const;
    std::chrono::steady_clock::duration LastStreamDuration() const;

    // The DMX channel values the channel commands (7: channels 1-256, 29: channels 257-512)
    // have set; index 0 is channel 1.
    std::array<std::uint8_t, kDmxChannels> ChannelValues() const;
    // Channel commands received so far, and when the last one arrived.
    int ChannelCommands() const;
    std::chrono::steady_clock::time_point LastChannelCommandAt() const;

private:
    void Run();
    bool ReadByte(std::uint8_t& byte); // throttled, false when stopping
    bool ReadExact(std::vector<std::uint8_t>& out, std::size_t n);
    void Reply(const std::vector<std::uint8_t>& bytes);
    void Handle(const EmulatedRequest& request);
    void ReceiveStream(std::size_t count, bool archive);
    void HangUp();
    void SetChannel(const EmulatedRequest& request);

    EmulatorOptions options_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::chrono::steady_clock::time_point lineFreeAt_{};
    std::vector<std::uint8_t> pending_; // read from the pty, not yet "on the line"
    std::size_t pendingNext_ = 0;
    std::optional<std::chrono::steady_clock::time_point> chunkEarliest_;

    mutable std::mutex mutex_;
    std::vector<EmulatedRequest> requests_;
    int requestsSeen_ = 0;
    std::size_t streamBytes_ = 0;
    std::chrono::steady_clock::time_point streamFirst_{};
    std::chrono::steady_clock::time_point streamLast_{};
    std::array<std::uint8_t, kDmxChannels> channels_{};
    int channelCommands_ = 0;
    std::chrono::steady_clock::time_point lastChannelCommand_{};
};

} // namespace testing_support
