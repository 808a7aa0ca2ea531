#include "reproducer/reelvox_transport.h"

#include "foundation/status.h"
#include "foundation/thread.h"
#include "platform/ui_services.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The longest a single read of a reply waits (a network reply; the serial port's reads are
// shorter still).
constexpr std::int32_t kReceiveSliceMs = 25;

std::unique_ptr<QORBuffer_c> FrameBuffer() {
    auto buffer = QORBuffer_c::New(kReelvoxFrameCapacity);
    return buffer ? std::move(buffer) : std::make_unique<QORBuffer_c>();
}

void EmptyBuffer(QORBuffer_c& buffer) {
    buffer.Zero();
    buffer.Rewind(0);
}

std::int64_t ElapsedMs(QORTime_c& timer) {
    const QORTime_c* elapsed = timer.Elapsed();
    return static_cast<std::int64_t>(elapsed->Seconds()) * 1000 + elapsed->Milliseconds();
}

// Writes the frame into the copy buffer from its start; the number of bytes, or -2 when it does
// not fit.
std::int32_t CopyFrame(QORBuffer_c& copy, std::uint8_t start, std::uint8_t destination,
                       std::uint8_t command, const std::uint8_t* data, std::int32_t length) {
    if (length < 0 || (data == nullptr && length > 0) || length + 4 > copy.Size()) {
        return QOR_COUNT_ERROR;
    }
    const auto frame = ReelvoxBuildFrame(start, destination, command, data, length);
    return copy.CopyIn(static_cast<std::int32_t>(frame.size()), frame.data());
}

// Moves the unread bytes to the start, so that the free space is at the end: the position where
// new bytes go.
std::int32_t Compact(QORBuffer_c& buffer) {
    const std::int32_t unread = buffer.Remaining();
    if (unread > 0 && buffer.Position() > 0) {
        std::memmove(buffer.Data(), buffer.Cursor(), static_cast<std::size_t>(unread));
    }
    buffer.Rewind(unread);
    return unread;
}

// The shared receive loop: `read` fills free space and answers the count (0 when nothing came,
// negative on failure).
template <typename ReadFn>
std::uint8_t ReceiveLoop(QORBuffer_c& receive, QORTime_c& timer, ReelvoxReplyParser_c* parser,
                         std::uint32_t timeoutMs, std::int64_t firstByteLimit, ReadFn read) {
    EmptyBuffer(receive);
    parser->SetInput(&receive);
    const std::int64_t timeout =
        std::min<std::int64_t>(timeoutMs, std::numeric_limits<std::int32_t>::max());
    // A caller that asks for longer than the first-byte limit gets its whole time-out for the
    // first byte too.
    const std::int64_t firstLimit = std::max(firstByteLimit, timeout);
    bool receiving = false;
    std::uint8_t status = QOR_TIMEOUT;
    timer.Start();
    for (;;) {
        // On the user-interface thread the windows repaint while the reply is awaited.
        platform::PumpPaintIfDue();
        if (QORCurrentThreadStopRequested()) {
            status = QOR_TIMEOUT;
            break;
        }
        const std::int32_t unread = Compact(receive);
        const std::int32_t room = receive.Size() - unread;
        std::int32_t got = room > 0 ? read(receive.Data() + unread, room) : 0;
        if (got < 0) {
            got = 0;
        }
        if (got > 0) {
            receiving = true;
            receive.Rewind(unread + got);
            if (receive.Remaining() > 0) {
                parser->Run();
                if (parser->Status() != 0) {
                    status = parser->Status();
                    break;
                }
            }
        } else if (!receiving) {
            if (ElapsedMs(timer) > firstLimit) {
                status = QOR_TIMEOUT;
                break;
            }
            continue;
        }
        if (ElapsedMs(timer) > timeout) {
            status = QOR_TIMEOUT;
            break;
        }
    }
    parser->SetInput(nullptr);
    parser->Run();
    return status;
}

} // namespace

ReelvoxSerial_c::ReelvoxSerial_c()
    : m_copy(FrameBuffer()), m_receive(FrameBuffer()), m_timer(std::make_unique<QORTime_c>()) {}

ReelvoxSerial_c::~ReelvoxSerial_c() = default;

std::uint8_t ReelvoxSerial_c::SetPort(QORSerial_c* port) {
    if (port == nullptr) {
        m_port = nullptr;
        return QOR_OK;
    }
    port->Close();
    port->SetBaudIndex(2);
    port->SetDataBits(8);
    port->SetStopIndex(0);
    port->SetTimeout(500);
    // Opened without parity and then switched to MARK: some pseudo-terminal drivers refuse to
    // apply MARK parity a second time unchanged, which opening with it would do.
    port->SetParityIndex(0);
    if (port->Open() != QOR_OK) {
        m_port = nullptr;
        return QOR_ERROR;
    }
    port->SetParityIndex(1);
    if (!port->IsOpen()) {
        m_port = nullptr;
        return QOR_ERROR;
    }
    m_port = port;
    return QOR_OK;
}

std::int32_t ReelvoxSerial_c::Send(std::uint8_t start, std::uint8_t destination,
                                   std::uint8_t command, const std::uint8_t* data,
                                   std::int32_t length) {
    if (m_port == nullptr) {
        return QOR_COUNT_ERROR;
    }
    EmptyBuffer(*m_receive);
    // Stale reply bytes go; the output is left alone, as the tail of a frame that is not
    // acknowledged (a video command) may still be on its way and discarding it would cut it.
    std::uint8_t scrap[kReelvoxFrameCapacity];
    for (int block = 0; block < 8 && m_port->Read(scrap, sizeof scrap) > 0; ++block) {
    }
    m_copyCount = CopyFrame(*m_copy, start, destination, command, data, length);
    if (m_copyCount < 0) {
        m_copyCount = 0;
        return QOR_COUNT_ERROR;
    }
    const std::int32_t sent = m_port->SendFrame9Bit(start, destination, command, data, length);
    if (sent > 0) {
        m_copy->Rewind(-1);
    }
    return sent;
}

std::uint8_t ReelvoxSerial_c::Receive(ReelvoxReplyParser_c* parser, std::uint32_t timeoutMs) {
    if (m_port == nullptr || parser == nullptr) {
        return QOR_ERROR;
    }
    QORSerial_c* port = m_port;
    const std::uint8_t status = ReceiveLoop(
        *m_receive, *m_timer, parser, timeoutMs, kFirstByteLimit,
        [port](std::uint8_t* into, std::int32_t room) { return port->Read(into, room); });
    if (status != QOR_OK) {
        ClearReceive();
    }
    return status;
}

void ReelvoxSerial_c::ClearReceive() {
    EmptyBuffer(*m_receive);
    if (m_port != nullptr) {
        m_port->Flush();
    }
}

std::uint8_t ReelvoxSerial_c::Close() {
    return m_port != nullptr ? m_port->Close() : QOR_ERROR;
}

ReelvoxUDP_c::ReelvoxUDP_c()
    : m_copy(FrameBuffer()), m_receive(FrameBuffer()), m_timer(std::make_unique<QORTime_c>()) {}

ReelvoxUDP_c::~ReelvoxUDP_c() = default;

std::int32_t ReelvoxUDP_c::Send(std::uint8_t start, std::uint8_t destination, std::uint8_t command,
                                const std::uint8_t* data, std::int32_t length) {
    if (!m_socket) {
        return QOR_COUNT_ERROR;
    }
    m_copyCount = CopyFrame(*m_copy, start, destination, command, data, length);
    if (m_copyCount < 0) {
        m_copyCount = 0;
        return QOR_COUNT_ERROR;
    }
    const std::int32_t sent = m_socket->Send(m_copy->Data(), m_copyCount);
    if (sent == m_copyCount) {
        m_copy->Rewind(-1);
    }
    return sent;
}

std::uint8_t ReelvoxUDP_c::Receive(ReelvoxReplyParser_c* parser, std::uint32_t timeoutMs) {
    if (!m_socket || parser == nullptr) {
        return QOR_ERROR;
    }
    QORUdpSocket_c* socket = m_socket.get();
    const std::uint8_t status =
        ReceiveLoop(*m_receive, *m_timer, parser, timeoutMs, kFirstByteLimit,
                    [socket](std::uint8_t* into, std::int32_t room) {
                        // Short waits, so that the loop pumps paint between them.
                        return socket->Receive(into, room, kReceiveSliceMs);
                    });
    if (status != QOR_OK) {
        ClearReceive();
    }
    return status;
}

void ReelvoxUDP_c::ClearReceive() {
    EmptyBuffer(*m_receive);
}

std::int32_t ReelvoxUDP_c::Close() {
    if (!m_socket) {
        return QOR_COUNT_ERROR;
    }
    m_socket->Reset();
    return QOR_IDLE;
}
