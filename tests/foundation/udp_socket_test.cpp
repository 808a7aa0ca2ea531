#include "foundation/byte_buffer.h"
#include "foundation/dotted_quad.h"
#include "foundation/text_string.h"
#include "foundation/udp_socket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001; // 127.0.0.1

// A plain socket on 127.0.0.1 playing the peer.
class Peer {
public:
    Peer() {
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(kLoopback);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Peer() { ::close(fd); }
    void SendTo(std::uint16_t to, const std::string& text) const {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(to);
        a.sin_addr.s_addr = htonl(kLoopback);
        ASSERT_EQ(
            ::sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a),
            static_cast<ssize_t>(text.size()));
    }
    // One datagram and the port it came from, or an empty text after a second.
    std::string Receive(std::uint16_t* from = nullptr) const {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 1000) <= 0) {
            return {};
        }
        char buf[512];
        sockaddr_in a{};
        socklen_t len = sizeof a;
        const ssize_t n = ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&a), &len);
        if (from != nullptr) {
            *from = ntohs(a.sin_port);
        }
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }
    int fd = -1;
    std::uint16_t port = 0;
};

// A port that was free a moment ago.
std::uint16_t FreePort() {
    Peer probe;
    return probe.port;
}

QORUdpSocket_c::Settings Loopback(std::uint16_t destination, std::uint16_t sendPort,
                                  std::uint16_t receivePort) {
    QORUdpSocket_c::Settings s;
    s.destination = {kLoopback, destination};
    s.sendLocal = {kLoopback, sendPort};
    s.receiveLocal = {kLoopback, receivePort};
    s.receiveTimeout = 60;
    s.sendTimeout = 60;
    return s;
}

TEST(UdpSocket, SendsToTheDestinationFromItsBoundPort) {
    Peer peer;
    const std::uint16_t sendPort = FreePort();
    QORUdpSocket_c endpoint(Loopback(peer.port, sendPort, 0));
    EXPECT_EQ(endpoint.Send(nullptr, -1), 0); // only makes the socket
    EXPECT_EQ(endpoint.Send("abc", 3), 3);
    std::uint16_t from = 0;
    EXPECT_EQ(peer.Receive(&from), "abc");
    EXPECT_EQ(from, sendPort);
    EXPECT_EQ(endpoint.Send(nullptr, 4), -2);
}

TEST(UdpSocket, ReceiveTimesOutAndTheLateDatagramIsTheNextReceives) {
    Peer peer;
    const std::uint16_t receivePort = FreePort();
    QORUdpSocket_c endpoint(Loopback(peer.port, 0, receivePort));
    EXPECT_EQ(endpoint.Receive(nullptr, -1), 0);
    EXPECT_EQ(endpoint.ReceiveStatus(), 250);
    char buf[16] = {};
    const auto start = Clock::now();
    EXPECT_EQ(endpoint.Receive(buf, sizeof buf), -5);
    EXPECT_GE(Clock::now() - start, 60ms);
    EXPECT_EQ(endpoint.ReceiveStatus(), 251);

    peer.SendTo(receivePort, "late");
    EXPECT_EQ(endpoint.Receive(buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf, 4), "late");
    EXPECT_EQ(endpoint.ReceiveStatus(), 2);
    EXPECT_EQ(endpoint.Sender(), (QORUdpAddress_c{kLoopback, peer.port}));
}

TEST(UdpSocket, ResetWithEqualLocalAddressesReceivesOnTheSendSocket) {
    Peer peer;
    const std::uint16_t port = FreePort();
    QORUdpSocket_c endpoint(Loopback(peer.port, port, port));
    ASSERT_EQ(endpoint.Send("ping", 4), 4);
    char buf[16] = {};
    // Its own receive socket cannot bind the port the send socket holds.
    EXPECT_EQ(endpoint.Receive(buf, sizeof buf), -2);
    endpoint.Reset();
    std::uint16_t from = 0;
    ASSERT_EQ(peer.Receive(&from), "ping");
    peer.SendTo(from, "pong");
    EXPECT_EQ(endpoint.Receive(buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf, 4), "pong");
}

TEST(UdpSocket, SocketsThatCannotBindFail) {
    QORUdpSocket_c::Settings s = Loopback(9, 9, 9);
    s.sendLocal = {0x0A0B0C0D, 40000}; // not an address of this host
    s.receiveLocal = s.sendLocal;
    QORUdpSocket_c endpoint(s);
    EXPECT_EQ(endpoint.Send(nullptr, -1), -2);
    EXPECT_EQ(endpoint.Receive(nullptr, -1), -2);
}

TEST(DottedQuad, ParsesPiecesIntoBytesAtTheCursor) {
    struct Case {
        const char* text;
        std::int32_t room;
        std::uint8_t status;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"192.168.0.254", 4, 2, {0xC0, 0xA8, 0x00, 0xFE}},
        {"192.168.0.x", 4, 254, {0xC0, 0xA8, 0x00}},
        {"1.2.3.4", 3, 254, {}}, // too little room: nothing written
        {"10.1.2", 4, 2, {10, 1, 2}},
        {"01.002", 2, 2, {1, 2}},
        {"1..2", 4, 254, {1}},    // an empty piece
        {"1.256.3", 4, 254, {1}}, // above 255
        {"1.2.3.", 4, 254, {1, 2, 3}},
        {"99999999999", 4, 254, {}},
        {"", 4, 254, {}},
        {" 1.2", 4, 254, {}},
    };
    for (const auto& c : cases) {
        QORBuffer_c target;
        ASSERT_EQ(target.Resize(c.room), 2);
        target.Zero();
        QORString_c text;
        text.Assign(c.text, -1, 253);
        EXPECT_EQ(QORParseDottedQuad(&text, &target), c.status) << c.text;
        EXPECT_EQ(target.Position(), static_cast<std::int32_t>(c.bytes.size())) << c.text;
        EXPECT_EQ(std::vector<std::uint8_t>(target.Data(), target.Data() + c.bytes.size()), c.bytes)
            << c.text;
    }
    QORBuffer_c target;
    QORString_c text;
    EXPECT_EQ(QORParseDottedQuad(nullptr, &target), 254);
    EXPECT_EQ(QORParseDottedQuad(&text, nullptr), 254);
}

} // namespace
