// The two transports of the reproducer system: a 9-bit serial line and a UDP datagram endpoint.
// Each sends one frame at a time and runs a reply parser over what comes back.
#pragma once
#include "foundation/byte_buffer.h"
#include "foundation/elapsed_time.h"
#include "foundation/serial_port.h"
#include "foundation/udp_socket.h"
#include "reproducer/reelvox_frame.h"
#include <cstdint>
#include <memory>

class ReelvoxSerial_c {
public:
    // Silence before the first reply byte that ends a wait on the serial line.
    static constexpr std::int64_t kFirstByteLimit = 5000;

    ReelvoxSerial_c();
    virtual ~ReelvoxSerial_c();
    ReelvoxSerial_c(const ReelvoxSerial_c&) = delete;
    ReelvoxSerial_c& operator=(const ReelvoxSerial_c&) = delete;

    // The port is lent: its lender keeps it and takes it back with none. None forgets the port
    // (neither closed nor deleted) and answers 2. Otherwise opens the port at 9600 baud, 8 data
    // bits, MARK parity, one stop bit, 500 ms: 2 keeps it, any other result drops it and 254.
    std::uint8_t SetPort(QORSerial_c* port);
    QORSerial_c* Port() const { return m_port; }

    // One frame: length + 4, or -2 (no port, a failed write).
    std::int32_t Send(std::uint8_t start, std::uint8_t destination, std::uint8_t command,
                      const std::uint8_t* data, std::int32_t length);
    // Feeds reply bytes to the parser until it answers other than 0: its status, 251 for silence
    // or a reply that outlasts the time-out, 254 without port or parser.
    std::uint8_t Receive(ReelvoxReplyParser_c* parser, std::uint32_t timeoutMs);
    // Drops the receive buffer's content and the port's queues.
    void ClearReceive();
    // Close of the port: its answer; 254 without one.
    std::uint8_t Close();

    const QORBuffer_c& LastFrame() const { return *m_copy; }
    std::int32_t LastFrameCount() const { return m_copyCount; }

private:
    std::unique_ptr<QORBuffer_c> m_copy;
    std::int32_t m_copyCount = 0;
    QORSerial_c* m_port = nullptr;
    std::unique_ptr<QORBuffer_c> m_receive;
    std::unique_ptr<QORTime_c> m_timer;
};

// The datagram transport. Nothing in the system creates its socket, so without one every send
// and close answers failure and a receive answers 254.
class ReelvoxUDP_c {
public:
    static constexpr std::int64_t kFirstByteLimit = 3000;

    ReelvoxUDP_c();
    virtual ~ReelvoxUDP_c();
    ReelvoxUDP_c(const ReelvoxUDP_c&) = delete;
    ReelvoxUDP_c& operator=(const ReelvoxUDP_c&) = delete;

    void SetSocket(std::unique_ptr<QORUdpSocket_c> socket) { m_socket = std::move(socket); }
    QORUdpSocket_c* Socket() const { return m_socket.get(); }

    // Bytes sent, -2 without a socket or on failure, -5 on the socket's own time-out.
    std::int32_t Send(std::uint8_t start, std::uint8_t destination, std::uint8_t command,
                      const std::uint8_t* data, std::int32_t length);
    std::uint8_t Receive(ReelvoxReplyParser_c* parser, std::uint32_t timeoutMs);
    void ClearReceive();
    // Resets the socket and marks it idle: 250; -2 (as a count) without a socket.
    std::int32_t Close();

private:
    std::unique_ptr<QORBuffer_c> m_copy;
    std::int32_t m_copyCount = 0;
    std::unique_ptr<QORUdpSocket_c> m_socket;
    std::unique_ptr<QORBuffer_c> m_receive;
    std::unique_ptr<QORTime_c> m_timer;
};
