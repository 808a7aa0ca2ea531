// A pseudo-terminal that stands in for COM1 and keeps every byte the program writes to it, for
// tests that need the exact bytes of a message that nothing answers.
#pragma once

#include "platform/serial_device.h"
#include "tests/support/raw_pty.h"

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace link_tests {

class RawPty {
public:
    RawPty() {
        if (!testing_support::OpenRawPty(master_, slave_, path_))
            return;
        const std::string path = path_;
        previous_ = platform::SetSerialPortLookup(
            [path](int n) { return n == 1 ? path : std::string("/nonexistent/port"); });
    }
    ~RawPty() {
        platform::SetSerialPortLookup(previous_);
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    bool Ok() const { return master_ >= 0; }

    // Everything written so far: reads until the line has been quiet for `quiet`, long enough
    // for the last bytes of a message to come through on a machine busy with other tests.
    std::vector<std::uint8_t>
    Drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(500)) {
        std::vector<std::uint8_t> bytes;
        for (;;) {
            pollfd pfd{master_, POLLIN, 0};
            if (::poll(&pfd, 1, static_cast<int>(quiet.count())) <= 0 || !(pfd.revents & POLLIN))
                return bytes;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0)
                return bytes;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
    }

private:
    int master_ = -1;
    int slave_ = -1; // kept open so the master never sees a hang-up between transfers
    std::string path_;
    platform::SerialPortLookup previous_;
};

} // namespace link_tests
