#include "platform/serial_device.h"

#include "platform/serial_termios.h"
#include "platform/wait_clock.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// Time-outs and pauses run on the wait clock.
using Clock = WaitClock;

// Waits are cut into slices this long when a stop query is installed, so a stop is seen soon.
constexpr std::chrono::milliseconds kStopSlice{20};

struct BaudEntry {
    int baud;
    speed_t speed;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool BaudToSpeed(int baud, speed_t& speed) {
    for (const auto& entry : kBauds) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

int SpeedToBaud(speed_t speed) {
    for (const auto& entry : kBauds) {
        if (entry.speed == speed) {
            return entry.baud;
        }
    }
    return 0;
}

// The wall time a wait of the wait clock lasts, for ppoll.
timespec ToTimespec(Clock::duration wait) {
    auto d = std::chrono::duration_cast<Clock::duration>(WallDuration(wait));
    if (d < Clock::duration::zero()) {
        d = Clock::duration::zero();
    }
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(d);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(d - secs);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(secs.count());
    ts.tv_nsec = static_cast<long>(nanos.count());
    return ts;
}

std::mutex& LookupMutex() {
    static std::mutex m;
    return m;
}

SerialPortLookup& LookupHook() {
    static SerialPortLookup hook;
    return hook;
}

} // namespace

SerialDevice::~SerialDevice() {
    Close();
}

bool SerialDevice::Fail(int error) {
    lastError_ = error;
    return false;
}

bool SerialDevice::Open(const std::string& path) {
    Close();
    if (path.empty()) {
        return Fail(ENOENT);
    }
    // Non-blocking, so the open does not wait for carrier; every wait below is a poll.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail(errno);
    }
    auto abandon = [&](int error) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return Fail(error);
    };
    if (!::isatty(fd)) {
        return abandon(ENOTTY);
    }
    // flock keeps out other programs that lock, also when running as root (which TIOCEXCL does
    // not stop); TIOCEXCL keeps out those that do not lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return abandon(errno == EWOULDBLOCK ? EBUSY : errno);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        return abandon(errno);
    }
    // A fresh tty translates CR, echoes and takes XON/XOFF for itself: binary data needs raw mode.
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        return abandon(errno);
    }
    ::cfmakeraw(&t);
    // Parity starts cleared: a pseudo-terminal drops PARENB but keeps PARODD and CMSPAR from
    // the last user, and then refuses (EINVAL) the next request for mark parity.
    t.c_cflag &= ~static_cast<tcflag_t>(PARODD | CMSPAR);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | ISTRIP);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        return abandon(errno);
    }
    fd_ = fd;
    lastError_ = 0;
    return true;
}

bool SerialDevice::Close() {
    applied_.reset();
    if (fd_ < 0) {
        return true;
    }
    // A pseudo-terminal keeps the exclusive flag while its other end is open.
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0 && errno != EINTR) {
        return Fail(errno);
    }
    return true;
}

bool ComposeTermios(const LineSettings& settings, termios& t, int& error) {
    speed_t speed = B0;
    tcflag_t size = CS8;
    switch (settings.dataBits) {
    case 5:
        size = CS5;
        break; // CS5 is 0: validity is the range check below
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    default:
        break;
    }
    if (!BaudToSpeed(settings.baud, speed) || settings.dataBits < 5 || settings.dataBits > 8) {
        error = EINVAL;
        return false;
    }
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    t.c_cflag |= size;
    switch (settings.parity) {
    case Parity::None:
        break;
    case Parity::Even:
        t.c_cflag |= PARENB;
        break;
    case Parity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case Parity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case Parity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (settings.stopBits == StopBits::Two) {
        t.c_cflag |= CSTOPB;
    }
    // Received bytes are taken as they come: no parity checking.
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | PARMRK | ISTRIP);
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) {
        error = errno;
        return false;
    }
    return true;
}

LineSettings DecodeTermios(const termios& t) {
    LineSettings s;
    s.baud = SpeedToBaud(::cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5:
        s.dataBits = 5;
        break;
    case CS6:
        s.dataBits = 6;
        break;
    case CS7:
        s.dataBits = 7;
        break;
    default:
        s.dataBits = 8;
        break;
    }
    if (!(t.c_cflag & PARENB)) {
        s.parity = Parity::None;
    } else if (t.c_cflag & CMSPAR) {
        s.parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    } else {
        s.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    }
    s.stopBits = (t.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
    return s;
}

bool SerialDevice::Apply(const LineSettings& settings) {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    // Settings already in force are not applied again: a pseudo-terminal refuses a second
    // identical request for a parity it does not carry, and a real port gains nothing from it.
    if (applied_ == settings) {
        return true;
    }
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return Fail(errno);
    }
    int error = 0;
    if (!ComposeTermios(settings, t, error)) {
        return Fail(error);
    }
    // A byte still in the transmitter would otherwise go out with the new parity bit.
    while (::tcdrain(fd_) != 0) {
        if (errno != EINTR) {
            return Fail(errno);
        }
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
        applied_.reset();
        return Fail(errno);
    }
    applied_ = settings;
    return true;
}

bool SerialDevice::ReadBack(LineSettings& settings) {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return Fail(errno);
    }
    settings = DecodeTermios(t);
    return true;
}

bool SerialDevice::SetModemLines(bool dtr, bool rts) {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    int raise = 0;
    int drop = 0;
    (dtr ? raise : drop) |= TIOCM_DTR;
    (rts ? raise : drop) |= TIOCM_RTS;
    for (auto [request, bits] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
        if (bits != 0 && ::ioctl(fd_, static_cast<unsigned long>(request), &bits) != 0) {
            // Pseudo-terminals and some adapters have no modem lines.
            if (errno != ENOTTY && errno != EINVAL) {
                return Fail(errno);
            }
        }
    }
    return true;
}

LineResult SerialDevice::Read(std::uint8_t* destination, std::size_t count,
                              const ReadTimeouts& timeouts) {
    LineResult result;
    if (fd_ < 0 || (destination == nullptr && count > 0)) {
        lastError_ = fd_ < 0 ? EBADF : EINVAL;
        result.status = LineStatus::Failed;
        return result;
    }
    const auto total = std::clamp(timeouts.total, std::chrono::milliseconds(0), kMaxReadTimeout);
    const auto gap = std::clamp(timeouts.interByte, std::chrono::milliseconds(0), kMaxReadTimeout);
    const auto start = Clock::now();
    const auto deadline = start + total;
    auto lastByte = start;
    auto fail = [&](int error) {
        lastError_ = error;
        result.status = LineStatus::Failed;
        return result;
    };
    while (result.count < count) {
        auto now = Clock::now();
        auto end = deadline;
        if (result.count > 0 && gap.count() > 0) {
            end = std::min(end, lastByte + gap);
        }
        if (StopRequested()) {
            result.status = LineStatus::Stopped;
            return result;
        }
        // One look even when no time is left, so bytes already waiting are taken.
        const bool lastLook = now >= end;
        const auto wait =
            lastLook ? Clock::duration::zero() : std::min<Clock::duration>(end - now, kStopSlice);
        pollfd pfd{fd_, POLLIN, 0};
        const timespec ts = ToTimespec(wait);
        const int rc = ::ppoll(&pfd, 1, &ts, nullptr);
        if (rc < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        if (rc == 0) {
            if (lastLook) {
                break;
            }
            continue;
        }
        if (pfd.revents & POLLIN) {
            const ssize_t n = ::read(fd_, destination + result.count, count - result.count);
            if (n > 0) {
                result.count += static_cast<std::size_t>(n);
                lastByte = Clock::now();
                continue;
            }
            if (n == 0) {
                return fail(EIO); // end of file: the other side has gone
            }
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return fail(EIO);
        }
    }
    result.status = result.count == count ? LineStatus::Ok : LineStatus::TimedOut;
    return result;
}

LineResult SerialDevice::Write(const std::uint8_t* source, std::size_t count,
                               std::chrono::milliseconds timeout) {
    LineResult result;
    if (fd_ < 0 || (source == nullptr && count > 0)) {
        lastError_ = fd_ < 0 ? EBADF : EINVAL;
        result.status = LineStatus::Failed;
        return result;
    }
    auto stalledSince = Clock::now();
    while (result.count < count) {
        const ssize_t n = ::write(fd_, source + result.count, count - result.count);
        if (n > 0) {
            result.count += static_cast<std::size_t>(n);
            stalledSince = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            lastError_ = errno;
            result.status = LineStatus::Failed;
            return result;
        }
        // The line takes nothing now: wait for room.
        const auto end = stalledSince + timeout;
        const auto now = Clock::now();
        if (now >= end) {
            result.status = LineStatus::TimedOut;
            return result;
        }
        if (StopRequested()) {
            result.status = LineStatus::Stopped;
            return result;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        const timespec ts = ToTimespec(std::min<Clock::duration>(end - now, kStopSlice));
        const int rc = ::ppoll(&pfd, 1, &ts, nullptr);
        if (rc < 0 && errno != EINTR) {
            lastError_ = errno;
            result.status = LineStatus::Failed;
            return result;
        }
        if (rc > 0 && !(pfd.revents & POLLOUT) && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            lastError_ = EIO;
            result.status = LineStatus::Failed;
            return result;
        }
    }
    return result;
}

bool SerialDevice::Discard() {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    if (::tcflush(fd_, TCIOFLUSH) != 0) {
        return Fail(errno);
    }
    return true;
}

bool SerialDevice::QueueCounts(std::size_t& input, std::size_t& output) {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    int in = 0;
    int out = 0;
    if (::ioctl(fd_, TIOCINQ, &in) != 0 || ::ioctl(fd_, TIOCOUTQ, &out) != 0) {
        return Fail(errno);
    }
    input = static_cast<std::size_t>(std::max(in, 0));
    output = static_cast<std::size_t>(std::max(out, 0));
    return true;
}

bool SerialDevice::Pause(std::chrono::milliseconds duration) {
    const auto end = Clock::now() + duration;
    for (;;) {
        if (StopRequested()) {
            return false;
        }
        const auto now = Clock::now();
        if (now >= end) {
            return true;
        }
        std::this_thread::sleep_for(WallDuration(std::min<Clock::duration>(end - now, kStopSlice)));
    }
}

std::string SerialOpenFailure(const std::string& path, int error) {
    return path + ": " + std::generic_category().message(error);
}

std::string SerialDevicePathForPort(int n) {
    if (n < 1) {
        return {};
    }
    SerialPortLookup lookup;
    {
        std::lock_guard<std::mutex> guard(LookupMutex());
        lookup = LookupHook();
    }
    if (lookup) {
        std::string path = lookup(n);
        if (!path.empty()) {
            return path;
        }
    }
    return "/dev/ttyS" + std::to_string(n - 1);
}

std::string SerialDevicePathForName(const std::string& name) {
    if (!name.empty() && name.front() == '/') {
        return name;
    }
    if (name.size() < 4) {
        return {};
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = static_cast<char>(name[i] & ~0x20);
        if (c != "COM"[i]) {
            return {};
        }
    }
    int n = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    const auto [ptr, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || ptr != last || *first == '+' || *first == '-') {
        return {};
    }
    return SerialDevicePathForPort(n);
}

SerialPortLookup SetSerialPortLookup(SerialPortLookup lookup) {
    std::lock_guard<std::mutex> guard(LookupMutex());
    SerialPortLookup previous = std::move(LookupHook());
    LookupHook() = std::move(lookup);
    return previous;
}

} // namespace platform
