#include "tests/support/controller_emulator.h"

#include "tests/support/raw_pty.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxImageLength = 65535;
constexpr std::uint8_t kAck = 0xAA;
constexpr std::uint8_t kNak = 0x55;

std::size_t ArgumentCount(std::uint8_t command) {
    switch (command) {
    case 0x40: // '@' length
    case 0x3E: // '>' total
        return 2;
    case 0x07: // DMX channel 1-256: channel byte, value
    case 0x1D: // DMX channel 257-512: channel byte, value
        return 2;
    case 0x18: // start sequence
    case 0x1B: // reset sequence
        return 1;
    case 0x16: // set SMPTE time: hours, minutes, seconds, frames
        return 4;
    default:
        return 0;
    }
}

} // namespace

ControllerEmulator::ControllerEmulator(EmulatorOptions options) : options_(std::move(options)) {}

ControllerEmulator::~ControllerEmulator() {
    Stop();
}

bool ControllerEmulator::Start() {
    if (!OpenRawPty(master_, slave_, slavePath_)) {
        return false;
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ControllerEmulator::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    HangUp();
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

void ControllerEmulator::HangUp() {
    std::lock_guard lock(mutex_);
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

std::vector<EmulatedRequest> ControllerEmulator::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::uint8_t> ControllerEmulator::StoredImage() const {
    std::lock_guard lock(mutex_);
    return options_.image;
}

std::vector<std::uint8_t> ControllerEmulator::StoredArchive() const {
    std::lock_guard lock(mutex_);
    return options_.archive;
}

std::size_t ControllerEmulator::StreamBytes() const {
    std::lock_guard lock(mutex_);
    return streamBytes_;
}

std::array<std::uint8_t, kDmxChannels> ControllerEmulator::ChannelValues() const {
    std::lock_guard lock(mutex_);
    return channels_;
}

int ControllerEmulator::ChannelCommands() const {
    std::lock_guard lock(mutex_);
    return channelCommands_;
}

Clock::time_point ControllerEmulator::LastChannelCommandAt() const {
    std::lock_guard lock(mutex_);
    return lastChannelCommand_;
}

void ControllerEmulator::SetChannel(const EmulatedRequest& request) {
    const auto& m = request.message;
    const int channel = (m[0] == 0x07 ? 1 : 257) + m[1];
    int commands = 0;
    {
        std::lock_guard lock(mutex_);
        channels_[static_cast<std::size_t>(channel - 1)] = m[2];
        commands = ++channelCommands_;
        lastChannelCommand_ = Clock::now();
    }
    if (options_.dropAfterChannelCommands >= 0 && commands >= options_.dropAfterChannelCommands) {
        HangUp();
    }
}

Clock::duration ControllerEmulator::LastStreamDuration() const {
    std::lock_guard lock(mutex_);
    return streamLast_ - streamFirst_;
}

bool ControllerEmulator::ReadByte(std::uint8_t& byte) {
    const auto characterTime =
        options_.baud > 0
            ? std::chrono::duration_cast<Clock::duration>(
                  std::chrono::duration<double>(double(options_.bitsPerByte) / options_.baud))
            : Clock::duration::zero();
    bool waited = false;
    while (pendingNext_ >= pending_.size()) {
        if (stop_ || master_ < 0) {
            return false;
        }
        pollfd pfd{master_, POLLIN, 0};
        const int rc = ::poll(&pfd, 1, waited ? 20 : 0);
        if (rc < 0 && errno != EINTR) {
            return false;
        }
        if (rc <= 0) {
            waited = true;
            continue;
        }
        if (!(pfd.revents & POLLIN)) {
            // No slave end open at the moment (between transfers): wait for the next one.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            waited = true;
            continue;
        }
        std::uint8_t chunk[256];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n > 0) {
            pending_.assign(chunk, chunk + n);
            pendingNext_ = 0;
            const auto now = Clock::now();
            // Bytes that were already waiting went onto the line right behind the previous
            // ones (but not before they could have been sent); a byte we waited for starts now.
            chunkEarliest_ = waited ? now : now - characterTime * n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR || errno == EIO)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            waited = true;
            continue;
        }
        return false;
    }
    byte = pending_[pendingNext_++];
    if (options_.baud > 0) {
        auto start = lineFreeAt_;
        if (chunkEarliest_) {
            start = std::max(start, *chunkEarliest_);
            chunkEarliest_.reset();
        }
        lineFreeAt_ = start + characterTime;
        std::this_thread::sleep_until(lineFreeAt_);
    }
    return true;
}

bool ControllerEmulator::ReadExact(std::vector<std::uint8_t>& out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t byte = 0;
        if (!ReadByte(byte)) {
            return false;
        }
        out.push_back(byte);
    }
    return true;
}

void ControllerEmulator::Reply(const std::vector<std::uint8_t>& bytes) {
    const auto characterTime =
        options_.baud > 0
            ? std::chrono::duration_cast<Clock::duration>(
                  std::chrono::duration<double>(double(options_.bitsPerByte) / options_.baud))
            : Clock::duration::zero();
    auto due = Clock::now();
    for (std::uint8_t byte : bytes) {
        if (stop_ || master_ < 0) {
            return;
        }
        due += characterTime;
        std::this_thread::sleep_until(due);
        // A peer that stops reading fills the terminal's buffer: wait for room in short steps,
        // so a stop request is seen instead of blocking in the write for good.
        for (;;) {
            if (stop_) {
                return;
            }
            pollfd pfd{master_, POLLOUT, 0};
            const int ready = ::poll(&pfd, 1, 20);
            if (ready < 0 && errno != EINTR) {
                return;
            }
            if (ready <= 0) {
                continue;
            }
            if ((pfd.revents & (POLLERR | POLLNVAL)) != 0) {
                return;
            }
            const ssize_t written = ::write(master_, &byte, 1);
            if (written == 1) {
                break;
            }
            if (written < 0 && errno != EAGAIN && errno != EINTR) {
                return;
            }
        }
    }
}

void ControllerEmulator::Run() {
    std::uint8_t byte = 0;
    while (ReadByte(byte)) {
        EmulatedRequest request;
        if (byte == 0xF5) {
            // 8-bit framing: unit, 0, length, message, checksum.
            std::vector<std::uint8_t> head;
            if (!ReadExact(head, 3)) {
                return;
            }
            request.unit = head[0];
            if (!ReadExact(request.message, head[2])) {
                return;
            }
            std::uint8_t checksum = 0;
            if (!ReadByte(checksum)) {
                return;
            }
            unsigned sum = head[0] + head[2];
            for (auto b : request.message) {
                sum += b;
            }
            request.checksumOk = checksum == (sum & 0xFF);
        } else if (byte & 0x80) {
            // 9-bit framing: address, unit, command and its arguments, checksum.
            request.nineBit = true;
            request.address = byte;
            std::vector<std::uint8_t> head;
            if (!ReadExact(head, 2)) {
                return;
            }
            request.unit = head[0];
            request.message.push_back(head[1]);
            if (!ReadExact(request.message, ArgumentCount(head[1]))) {
                return;
            }
            std::uint8_t checksum = 0;
            if (!ReadByte(checksum)) {
                return;
            }
            unsigned sum = request.address + request.unit;
            for (auto b : request.message) {
                sum += b;
            }
            request.checksumOk = checksum == ((sum & 0xFF) >> 1);
        } else {
            continue; // preamble bytes and strays
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        Handle(request);
    }
}

void ControllerEmulator::Handle(const EmulatedRequest& request) {
    if (!request.checksumOk || request.message.empty()) {
        return;
    }
    const auto& m = request.message;
    if ((m[0] == 0x07 || m[0] == 0x1D) && m.size() == 3) {
        SetChannel(request); // a channel command has no reply
        return;
    }
    ++requestsSeen_;
    if (options_.silent || requestsSeen_ <= options_.ignoredRequests) {
        return;
    }
    auto word = [&] { return static_cast<std::size_t>(m.size() >= 3 ? m[1] | (m[2] << 8) : 0); };
    std::vector<std::uint8_t> reply;
    switch (m[0]) {
    case 0x42: // 'B'
        reply.assign(options_.firmwareLine.begin(), options_.firmwareLine.end());
        reply.push_back(0x0D);
        break;
    case 0x3C: // '<'
        reply.push_back(static_cast<std::uint8_t>(options_.memoryKb));
        break;
    case 0x3D: { // '='
        // A length word holds at most 65535; a longer image is held only up to there.
        const auto size = std::min<std::size_t>(StoredImage().size(), kMaxImageLength);
        reply = {static_cast<std::uint8_t>(size & 0xFF), static_cast<std::uint8_t>(size >> 8)};
        break;
    }
    case 0x3B: { // ';'
        auto image = StoredImage();
        if (image.size() > kMaxImageLength) {
            image.resize(kMaxImageLength);
        }
        const std::size_t claimed = std::min<std::size_t>(
            options_.claimedImageLength >= 0 ? static_cast<std::size_t>(options_.claimedImageLength)
                                             : image.size(),
            kMaxImageLength);
        reply = {static_cast<std::uint8_t>(claimed & 0xFF),
                 static_cast<std::uint8_t>(claimed >> 8)};
        reply.insert(reply.end(), image.begin(), image.end());
        break;
    }
    case 0x3F: { // '?'
        const auto archive = StoredArchive();
        reply = {static_cast<std::uint8_t>(archive.size() & 0xFF),
                 static_cast<std::uint8_t>(archive.size() >> 8)};
        reply.insert(reply.end(), archive.begin(), archive.end());
        break;
    }
    case 0x40:   // '@'
    case 0x3E: { // '>'
        const std::size_t count = word();
        const auto memory = static_cast<std::size_t>(options_.memoryKb) * 1024;
        // An archive lives in the memory the stored image leaves free.
        const bool refuse = options_.nakRequest || (m[0] == 0x40 && count > memory) ||
                            (m[0] == 0x3E && count + StoredImage().size() > memory);
        if (options_.requestAnswer >= 0) {
            Reply({static_cast<std::uint8_t>(options_.requestAnswer)});
            return;
        }
        Reply({refuse ? kNak : kAck});
        if (!refuse) {
            ReceiveStream(count, m[0] == 0x3E);
        }
        return;
    }
    default:
        return; // live commands have no reply
    }
    Reply(reply);
    if (options_.noisy) {
        Reply({0xFF, 0x00, 0x13, 0xAA, 0x0D});
    }
}

void ControllerEmulator::ReceiveStream(std::size_t count, bool archive) {
    std::vector<std::uint8_t> data;
    data.reserve(count);
    {
        std::lock_guard lock(mutex_);
        streamBytes_ = 0;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (options_.dropAfterStreamBytes >= 0 &&
            i == static_cast<std::size_t>(options_.dropAfterStreamBytes)) {
            HangUp();
            return;
        }
        std::uint8_t byte = 0;
        if (!ReadByte(byte)) {
            return;
        }
        data.push_back(byte);
        std::lock_guard lock(mutex_);
        const auto now = Clock::now();
        if (i == 0) {
            streamFirst_ = now;
        }
        streamLast_ = now;
        ++streamBytes_;
    }
    if (options_.nakCompletion || options_.completionAnswer >= 0) {
        Reply(
            {static_cast<std::uint8_t>(options_.nakCompletion ? kNak : options_.completionAnswer)});
        return;
    }
    {
        std::lock_guard lock(mutex_);
        (archive ? options_.archive : options_.image) = std::move(data);
    }
    Reply({kAck});
}

} // namespace testing_support
