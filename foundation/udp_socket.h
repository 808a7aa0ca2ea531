// The library's datagram endpoint: sends each datagram to one fixed destination and receives
// datagrams, both bounded by time-outs, creating its sockets on first use.
#pragma once

#include <cstdint>

// An IPv4 address and port, both in host order. Port 0 leaves a local socket unbound.
struct QORUdpAddress_c {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    bool operator==(const QORUdpAddress_c&) const = default;
};

class QORUdpSocket_c {
public:
    struct Settings {
        QORUdpAddress_c destination;
        QORUdpAddress_c sendLocal;
        QORUdpAddress_c receiveLocal;
        std::int32_t receiveTimeout = 500; // milliseconds
        std::int32_t sendTimeout = 500;
        std::uint8_t broadcast = 253; // 3: sockets may send to broadcast addresses
    };

    explicit QORUdpSocket_c(const Settings& settings);
    virtual ~QORUdpSocket_c();
    QORUdpSocket_c(const QORUdpSocket_c&) = delete;
    QORUdpSocket_c& operator=(const QORUdpSocket_c&) = delete;

    // One datagram to the destination: bytes sent, 0 for length -1 (which only creates the
    // socket), -5 on time-out, -2 on failure.
    std::int32_t Send(const void* bytes, std::int32_t length);
    // One datagram into the buffer: bytes received, 0 for capacity -1 (which only creates the
    // socket), -5 on time-out, -2 on failure. A datagram that comes after a time-out is the next
    // Receive's.
    std::int32_t Receive(void* buffer, std::int32_t capacity);
    // The same with a time-out of its own instead of the settings' (milliseconds).
    std::int32_t Receive(void* buffer, std::int32_t capacity, std::int32_t timeoutMs);
    // With equal local addresses and ports the receive socket is dropped and Receive reads from
    // the send socket, so replies to the port the endpoint sends from are seen.
    void Reset();

    // 250 idle (socket just made), 254 waiting, 2 datagram received, 251 the last wait timed out.
    std::uint8_t ReceiveStatus() const { return m_receiveStatus; }
    // Where the last datagram came from.
    const QORUdpAddress_c& Sender() const { return m_sender; }

private:
    int CreateSocket(const QORUdpAddress_c& local);
    int& ReceiveHandle();

    Settings m_settings;
    int m_sendSocket = -1;
    int m_receiveSocket = -1;
    bool m_receiveOnSendSocket = false;
    std::uint8_t m_receiveStatus = 250;
    QORUdpAddress_c m_sender;
};
