#include "foundation/udp_socket.h"

#include "foundation/thread.h"
#include "platform/wait_clock.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Time-outs run on the wait clock.
using Clock = platform::WaitClock;

sockaddr_in ToSockaddr(const QORUdpAddress_c& a) {
    sockaddr_in s{};
    s.sin_family = AF_INET;
    s.sin_port = htons(a.port);
    s.sin_addr.s_addr = htonl(a.address);
    return s;
}

void CloseHandle(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Waits until the socket is ready for `events` or the time-out passes: 1 ready, 0 timed out,
// -1 failed or stopped. The wait is cut into slices so a stop request of the thread is seen.
int WaitFor(int fd, short events, Clock::time_point end) {
    for (;;) {
        if (QORCurrentThreadStopRequested()) {
            return -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            platform::WallDuration(end - Clock::now()) + std::chrono::microseconds(999));
        const int slice = static_cast<int>(std::clamp<long long>(left.count(), 0, 20));
        pollfd pfd{fd, events, 0};
        const int rc = ::poll(&pfd, 1, slice);
        if (rc < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (rc > 0) {
            return (pfd.revents & events) ? 1 : -1;
        }
        if (Clock::now() >= end) {
            return 0;
        }
    }
}

Clock::time_point Deadline(std::int32_t timeoutMs) {
    return Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
}

} // namespace

QORUdpSocket_c::QORUdpSocket_c(const Settings& settings) : m_settings(settings) {}

QORUdpSocket_c::~QORUdpSocket_c() {
    CloseHandle(m_sendSocket);
    CloseHandle(m_receiveSocket);
}

int QORUdpSocket_c::CreateSocket(const QORUdpAddress_c& local) {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        return -1;
    }
    if (m_settings.broadcast == 3) {
        const int on = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            CloseHandle(fd);
            return -1;
        }
    }
    if (local.port != 0) {
        const sockaddr_in addr = ToSockaddr(local);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            CloseHandle(fd);
            return -1;
        }
    }
    return fd;
}

int& QORUdpSocket_c::ReceiveHandle() {
    return m_receiveOnSendSocket ? m_sendSocket : m_receiveSocket;
}

std::int32_t QORUdpSocket_c::Send(const void* bytes, std::int32_t length) {
    if (m_sendSocket < 0) {
        m_sendSocket = CreateSocket(m_settings.sendLocal);
        if (m_sendSocket < 0) {
            return -2;
        }
    }
    if (length == -1) {
        return 0;
    }
    if (length < 0 || (bytes == nullptr && length > 0)) {
        return -2;
    }
    const sockaddr_in to = ToSockaddr(m_settings.destination);
    const auto end = Deadline(m_settings.sendTimeout);
    for (;;) {
        const ssize_t n = ::sendto(m_sendSocket, bytes, static_cast<std::size_t>(length),
                                   MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n >= 0) {
            return static_cast<std::int32_t>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return -2;
        }
        const int ready = WaitFor(m_sendSocket, POLLOUT, end);
        if (ready == 0) {
            return -5;
        }
        if (ready < 0) {
            return -2;
        }
    }
}

std::int32_t QORUdpSocket_c::Receive(void* buffer, std::int32_t capacity) {
    return Receive(buffer, capacity, m_settings.receiveTimeout);
}

std::int32_t QORUdpSocket_c::Receive(void* buffer, std::int32_t capacity, std::int32_t timeoutMs) {
    int& fd = ReceiveHandle();
    if (fd < 0) {
        m_receiveStatus = 250;
        fd = CreateSocket(m_receiveOnSendSocket ? m_settings.sendLocal : m_settings.receiveLocal);
        if (fd < 0) {
            return -2;
        }
    }
    if (capacity == -1) {
        return 0;
    }
    if (capacity < 0 || (buffer == nullptr && capacity > 0)) {
        return -2;
    }
    // After a time-out the receive is still outstanding: the wait simply goes on.
    m_receiveStatus = 254;
    const auto end = Deadline(timeoutMs);
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(fd, buffer, static_cast<std::size_t>(capacity), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n >= 0) {
            m_receiveStatus = 2;
            m_sender.address = ntohl(from.sin_addr.s_addr);
            m_sender.port = ntohs(from.sin_port);
            return static_cast<std::int32_t>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return -2;
        }
        const int ready = WaitFor(fd, POLLIN, end);
        if (ready == 0) {
            m_receiveStatus = 251;
            return -5;
        }
        if (ready < 0) {
            return -2;
        }
    }
}

void QORUdpSocket_c::Reset() {
    if (m_settings.receiveLocal == m_settings.sendLocal) {
        CloseHandle(m_receiveSocket);
        m_receiveOnSendSocket = true;
    } else {
        m_receiveOnSendSocket = false;
    }
}
