#include "tests/support/raw_pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

namespace testing_support {

bool OpenRawPty(int& master, int& slave, std::string& slavePath) {
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B9600);
    ::cfsetospeed(&raw, B9600);
    char name[256] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
        return false;
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    slavePath = name;
    return true;
}

} // namespace testing_support
