#include "lumaquill/dmx_sender.h"

#include "lumaquill/channel_command.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dmx {

namespace {

// Sending gives way to the dialog: the worker runs a little below the program's priority.
void LowerThreadPriority() {
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, tid, current + 2); // refused: sends at the same priority
    }
}

} // namespace

DmxSender::DmxSender() : link_(std::make_unique<CSerialLink>()) {}

DmxSender::DmxSender(std::unique_ptr<CSerialLink> link) : link_(std::move(link)) {
    if (!link_) {
        link_ = std::make_unique<CSerialLink>();
    }
}

DmxSender::~DmxSender() {
    Stop();
}

void DmxSender::Publish(const DmxSnapshot& snapshot) {
    if (stop_.load()) {
        return;
    }
    bool start = false;
    {
        std::lock_guard lock(mutex_);
        snapshot_ = snapshot;
        ++published_;
        // Decided under the lock: a worker that is about to end has either seen this
        // generation or cleared running_ first.
        if (!running_.load()) {
            running_.store(true);
            start = true;
        }
    }
    if (start) {
        if (worker_.joinable()) {
            worker_.join(); // has ended: it cleared running_ as its last step
        }
        worker_ = std::thread([this] { Work(); });
    }
}

void DmxSender::Work() {
    LowerThreadPriority();
    for (;;) {
        DmxSnapshot snapshot;
        {
            std::lock_guard lock(mutex_);
            if (stop_.load() || sent_ == published_) {
                running_.store(false);
                return;
            }
            snapshot = snapshot_;
            sent_ = published_;
            lastSent_ = snapshot;
        }
        ++cycles_;
        RunCycle(snapshot);
    }
}

void DmxSender::RunCycle(const DmxSnapshot& snapshot) {
    // Serial errors are silent: a port that does not open leaves the link closed, the
    // commands go nowhere, and the next change tries again.
    link_->Open(ComPortIndex(static_cast<std::uint16_t>(snapshot.port)), 0, kControllerBaud,
                Framing::NineBit);
    link_->SetAddress(255);
    link_->SetUnit(0);
    for (int k = 0; k < kChannels; ++k) {
        if (stop_.load()) {
            break;
        }
        if (snapshot.values[k] != kNotSent) {
            SendChannelCommand(*link_, snapshot.baseChannel + k,
                               static_cast<std::uint8_t>(snapshot.values[k]));
        }
    }
    link_->Close();
}

void DmxSender::Stop() {
    stop_.store(true);
    if (worker_.joinable()) {
        worker_.join();
    }
    link_->Close();
}

bool DmxSender::Busy() const {
    std::lock_guard lock(mutex_);
    return running_.load() || sent_ != published_;
}

DmxSnapshot DmxSender::LastSent() const {
    std::lock_guard lock(mutex_);
    return lastSent_;
}

} // namespace dmx
