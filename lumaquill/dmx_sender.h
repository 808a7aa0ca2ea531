// Sends the eight channel values of the dialog on a thread of its own. The dialog's timer hands
// over a snapshot whenever values changed; one worker at a time opens the link, sends the
// enabled channels and closes it, and repeats while a newer snapshot is waiting, so the last
// change always goes out. Everything shared with the dialog is an atomic or sits under the mutex.
#pragma once

#include "link/serial_link.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace dmx {

inline constexpr int kChannels = 8;
inline constexpr int kNotSent = -1;

struct DmxSnapshot {
    // 0 to 255, or kNotSent for a channel whose Ena box is clear.
    std::array<int, kChannels> values{kNotSent, kNotSent, kNotSent, kNotSent,
                                      kNotSent, kNotSent, kNotSent, kNotSent};
    int baseChannel = 1; // 1 to 505
    int port = 0;        // 0 to 3: COM1 to COM4

    bool operator==(const DmxSnapshot&) const = default;
};

class DmxSender {
public:
    // A sender on the serial devices of COM1 to COM4.
    DmxSender();
    // A sender on a given link (tests record what it writes).
    explicit DmxSender(std::unique_ptr<CSerialLink> link);
    // Stops and joins the worker.
    ~DmxSender();
    DmxSender(const DmxSender&) = delete;
    DmxSender& operator=(const DmxSender&) = delete;

    // The dialog: values changed since the timer last looked.
    void MarkChanged() { changed_.store(true); }
    bool ChangePending() const { return changed_.load(); }
    // The timer: answers whether values changed, and clears the mark.
    bool TakeChanged() { return changed_.exchange(false); }

    // The timer: makes the snapshot the newest one and starts a worker unless one is running.
    void Publish(const DmxSnapshot& snapshot);

    // Asks the worker to stop before its next frame, joins it, and closes the link.
    void Stop();

    // True while a worker runs or a published snapshot has not been sent yet.
    bool Busy() const;
    // Send cycles begun so far.
    int Cycles() const { return cycles_.load(); }
    // The last snapshot a cycle began to send.
    DmxSnapshot LastSent() const;

private:
    void Work();
    void RunCycle(const DmxSnapshot& snapshot);

    std::unique_ptr<CSerialLink> link_; // the worker's alone while one runs
    std::thread worker_;                // started and joined by the dialog's thread only
    std::atomic<bool> changed_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    std::atomic<int> cycles_{0};

    mutable std::mutex mutex_;
    DmxSnapshot snapshot_;
    DmxSnapshot lastSent_;
    std::uint64_t published_ = 0; // generation of snapshot_
    std::uint64_t sent_ = 0;      // generation of lastSent_
};

} // namespace dmx
