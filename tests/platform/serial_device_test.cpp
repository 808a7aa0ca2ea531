#include "platform/serial_device.h"
#include "platform/serial_termios.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using platform::LineSettings;
using platform::LineStatus;
using platform::Parity;
using platform::ReadTimeouts;
using platform::SerialDevice;
using platform::StopBits;
using Clock = std::chrono::steady_clock;

namespace {

// A pseudo-terminal pair: the device under test opens the slave by its path, as it would a real
// port; the test plays the far end on the master.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = name;
        }
    }
    ~Pty() {
        CloseMaster();
        if (slave >= 0) {
            ::close(slave);
        }
    }
    void CloseMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    void Send(const std::string& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What arrives at the far end within `wait`.
    std::string Receive(std::chrono::milliseconds wait) const {
        std::string out;
        const auto end = Clock::now() + wait;
        while (Clock::now() < end) {
            pollfd pfd{master, POLLIN, 0};
            if (::poll(&pfd, 1, 5) > 0 && (pfd.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) {
                    out.append(buf, static_cast<std::size_t>(n));
                }
            }
        }
        return out;
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string ReadAll(SerialDevice& dev, std::size_t count, ReadTimeouts timeouts,
                    LineStatus* status = nullptr) {
    std::vector<std::uint8_t> buf(count);
    const auto r = dev.Read(buf.data(), count, timeouts);
    if (status) {
        *status = r.status;
    }
    return std::string(buf.begin(), buf.begin() + static_cast<long>(r.count));
}

TEST(SerialDevice, RawModeAtOpenPassesEveryByteUnchangedAndEchoesNothing) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path)) << dev.LastError();
    // CR, XON, XOFF, a byte with the top bit and an interrupt character all arrive as they are.
    const std::string sent = std::string("a\r\x11\x13\x03\xff", 6) + std::string(1, '\0') + "\n";
    pty.Send(sent);
    LineStatus status{};
    EXPECT_EQ(ReadAll(dev, sent.size(), {0ms, 500ms}, &status), sent);
    EXPECT_EQ(status, LineStatus::Ok);
    EXPECT_EQ(pty.Receive(30ms), "") << "the tty echoed";

    const std::uint8_t out[] = {'\n', '\r', 0x11};
    EXPECT_EQ(dev.Write(out, 3, 100ms).status, LineStatus::Ok);
    EXPECT_EQ(pty.Receive(30ms), "\n\r\x11");
}

TEST(SerialDevice, IsExclusiveWhileOpenAndReleasedAtClose) {
    Pty pty;
    SerialDevice first;
    ASSERT_TRUE(first.Open(pty.path));
    int excl = 0;
    ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 1);

    SerialDevice second;
    EXPECT_FALSE(second.Open(pty.path));
    EXPECT_EQ(second.LastError(), EBUSY);
    EXPECT_FALSE(second.IsOpen());

    EXPECT_TRUE(first.Close());
    ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 0) << "the exclusive flag outlived the close";
    EXPECT_TRUE(second.Open(pty.path)) << second.LastError();
    EXPECT_TRUE(first.Close()) << "closing a closed line succeeds";
}

TEST(SerialDevice, OpenRefusesWhatIsNotATerminal) {
    SerialDevice dev;
    EXPECT_FALSE(dev.Open("/nonexistent/ttyX"));
    EXPECT_EQ(dev.LastError(), ENOENT);
    EXPECT_FALSE(dev.Open("/dev/null"));
    EXPECT_EQ(dev.LastError(), ENOTTY);
    EXPECT_FALSE(dev.Open(""));
    EXPECT_FALSE(dev.IsOpen());
    std::uint8_t b = 0;
    EXPECT_EQ(dev.Read(&b, 1, {0ms, 10ms}).status, LineStatus::Failed);
    EXPECT_EQ(dev.Write(&b, 1, 10ms).status, LineStatus::Failed);
}

const LineSettings kSettingCases[] = {
    {2400, 8, Parity::None, StopBits::One},  {9600, 8, Parity::Mark, StopBits::One},
    {9600, 8, Parity::Space, StopBits::One}, {19200, 7, Parity::Even, StopBits::Two},
    {115200, 8, Parity::Odd, StopBits::One}, {57600, 5, Parity::Mark, StopBits::Two},
    {4800, 6, Parity::Space, StopBits::Two},
};

TEST(SerialDevice, ComposesTermiosForEverySetting) {
    struct Flags {
        Parity parity;
        tcflag_t set;
    };
    const Flags flags[] = {{Parity::None, 0},
                           {Parity::Even, PARENB},
                           {Parity::Odd, PARENB | PARODD},
                           {Parity::Mark, PARENB | PARODD | CMSPAR},
                           {Parity::Space, PARENB | CMSPAR}};
    for (const auto& s : kSettingCases) {
        termios t{};
        ::cfmakeraw(&t);
        t.c_cflag |= PARENB | PARODD | CMSPAR | CSTOPB; // leftovers must be cleared
        t.c_iflag |= INPCK;
        int error = 0;
        ASSERT_TRUE(platform::ComposeTermios(s, t, error)) << s.baud;
        EXPECT_EQ(platform::DecodeTermios(t), s) << s.baud;
        for (const auto& f : flags) {
            if (f.parity == s.parity) {
                EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), f.set) << s.baud;
            }
        }
        EXPECT_EQ(t.c_iflag & INPCK, 0u) << "received bytes must not be parity-checked";
    }
    termios t{};
    int error = 0;
    EXPECT_FALSE(platform::ComposeTermios({12345, 8, Parity::None, StopBits::One}, t, error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(platform::ComposeTermios({9600, 9, Parity::None, StopBits::One}, t, error));
}

TEST(SerialDevice, AppliesSettingsToTheDevice) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    for (const auto& s : kSettingCases) {
        ASSERT_TRUE(dev.Apply(s)) << s.baud;
        // A pseudo-terminal keeps speed and stop bits but forces 8 bits without parity.
        LineSettings back;
        ASSERT_TRUE(dev.ReadBack(back));
        EXPECT_EQ(back.baud, s.baud);
        EXPECT_EQ(back.stopBits, s.stopBits);
    }
    LineSettings unchanged;
    ASSERT_TRUE(dev.ReadBack(unchanged));
    EXPECT_FALSE(dev.Apply({12345, 8, Parity::None, StopBits::One}));
    EXPECT_EQ(dev.LastError(), EINVAL);
    LineSettings after;
    ASSERT_TRUE(dev.ReadBack(after));
    EXPECT_EQ(after, unchanged);
}

TEST(SerialDevice, ReapplyingTheSettingsInForceSucceeds) {
    // The serial port applies its settings at open and again for each frame; a pseudo-terminal
    // refuses a second identical request for parity it cannot carry.
    Pty pty;
    for (int round = 0; round < 2; ++round) {
        SerialDevice dev;
        ASSERT_TRUE(dev.Open(pty.path));
        for (Parity parity : {Parity::Mark, Parity::Mark, Parity::Space, Parity::Space}) {
            EXPECT_TRUE(dev.Apply({9600, 8, parity, StopBits::One}))
                << "round " << round << ": " << dev.LastError();
        }
        dev.Close();
    }
}

TEST(SerialDevice, ReadTimeOutsAreNeverShortAndCloseToTheRequest) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    for (auto total : {0ms, 1ms, 7ms, 35ms, 120ms}) {
        const auto start = Clock::now();
        std::uint8_t b[4];
        const auto r = dev.Read(b, sizeof b, {15ms, total});
        const auto took = MsSince(start);
        EXPECT_EQ(r.status, LineStatus::TimedOut);
        EXPECT_EQ(r.count, 0u);
        EXPECT_GE(took, total.count());
        EXPECT_LT(took, total.count() + 150) << "total " << total.count();
    }
}

TEST(SerialDevice, ReadEndsAtAGapBetweenBytesAndTakesWaitingBytesAtOnce) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    pty.Send("xy");
    auto start = Clock::now();
    LineStatus status{};
    EXPECT_EQ(ReadAll(dev, 10, {30ms, 5000ms}, &status), "xy");
    EXPECT_EQ(status, LineStatus::TimedOut);
    EXPECT_GE(MsSince(start), 30);
    EXPECT_LT(MsSince(start), 1000) << "the gap limit did not end the read";

    // A zero total still takes what is already waiting.
    pty.Send("z");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ReadAll(dev, 1, {0ms, 0ms}, &status), "z");
    EXPECT_EQ(status, LineStatus::Ok);
}

TEST(SerialDevice, HangUpIsAFailureNotATimeOut) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    pty.CloseMaster();
    const auto start = Clock::now();
    std::uint8_t b[4];
    const auto r = dev.Read(b, sizeof b, {15ms, 2000ms});
    EXPECT_EQ(r.status, LineStatus::Failed);
    EXPECT_LT(MsSince(start), 1000);
    EXPECT_EQ(dev.Write(b, 1, 100ms).status, LineStatus::Failed);
    EXPECT_TRUE(dev.Close());
}

TEST(SerialDevice, WriteThatTheLineNeverTakesTimesOutInsteadOfHanging) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    std::vector<std::uint8_t> big(4 << 20, 0x55); // far more than the pty buffers
    const auto start = Clock::now();
    const auto r = dev.Write(big.data(), big.size(), 100ms);
    EXPECT_EQ(r.status, LineStatus::TimedOut);
    EXPECT_GT(r.count, 0u);
    EXPECT_LT(r.count, big.size());
    EXPECT_LT(MsSince(start), 3000);
}

TEST(SerialDevice, StopQueryEndsReadsAndPausesEarly) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    std::atomic<bool> stop{false};
    dev.SetStopQuery([&] { return stop.load(); });
    std::thread stopper([&] {
        std::this_thread::sleep_for(60ms);
        stop = true;
    });
    auto start = Clock::now();
    std::uint8_t b[4];
    const auto r = dev.Read(b, sizeof b, {0ms, 60000ms}); // also beyond the 30 s limit
    EXPECT_EQ(r.status, LineStatus::Stopped);
    EXPECT_LT(MsSince(start), 2000);
    stopper.join();
    start = Clock::now();
    EXPECT_FALSE(dev.Pause(10000ms));
    EXPECT_LT(MsSince(start), 100);
    dev.SetStopQuery(nullptr);
    start = Clock::now();
    EXPECT_TRUE(dev.Pause(30ms));
    EXPECT_GE(MsSince(start), 30);
}

TEST(SerialDevice, DiscardDropsWaitingInput) {
    Pty pty;
    SerialDevice dev;
    ASSERT_TRUE(dev.Open(pty.path));
    pty.Send("abc");
    std::this_thread::sleep_for(20ms);
    std::size_t in = 0;
    std::size_t out = 0;
    ASSERT_TRUE(dev.QueueCounts(in, out));
    EXPECT_EQ(in, 3u);
    ASSERT_TRUE(dev.Discard());
    LineStatus status{};
    EXPECT_EQ(ReadAll(dev, 3, {0ms, 30ms}, &status), "");
    EXPECT_EQ(status, LineStatus::TimedOut);
}

TEST(SerialDevicePath, ComNamesResolveThroughTheLookupOrToTheDefault) {
    const auto previous = platform::SetSerialPortLookup(nullptr);
    struct Case {
        const char* name;
        const char* path;
    };
    const Case defaults[] = {
        {"COM1", "/dev/ttyS0"},
        {"com12", "/dev/ttyS11"},
        {"Com3", "/dev/ttyS2"},
        {"COM0", ""},
        {"COM", ""},
        {"COMx", ""},
        {"COM+1", ""},
        {"COM1x", ""},
        {"", ""},
        {"LPT1", ""},
        {"/dev/pts/7", "/dev/pts/7"},
    };
    for (const auto& c : defaults) {
        EXPECT_EQ(platform::SerialDevicePathForName(c.name), c.path) << c.name;
    }
    EXPECT_EQ(platform::SerialDevicePathForPort(0), "");
    platform::SetSerialPortLookup([](int n) { return n == 2 ? std::string("/dev/ttyUSB0") : ""; });
    EXPECT_EQ(platform::SerialDevicePathForName("COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(platform::SerialDevicePathForName("COM3"), "/dev/ttyS2");
    platform::SetSerialPortLookup(previous);
}

} // namespace
