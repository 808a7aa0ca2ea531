// The frame every reproducer-system message travels in: start byte, destination, command, data,
// and a 7-bit checksum; plus the reply-parser callback the transports feed.
#pragma once
#include "foundation/callback.h"
#include <cstdint>
#include <vector>

// Destinations of the reproducer system.
constexpr std::uint8_t kReelvoxStartByte = 0xFF;
constexpr std::uint8_t kReelvoxSmpteInterface = 0xFE;
constexpr std::uint8_t kReelvoxCobraNet = 0x9E;
constexpr std::uint8_t kReelvoxAllReproducers = 0xBF;
// The one-byte answers of a unit.
constexpr std::uint8_t kReelvoxAccepted = 0xAA;
constexpr std::uint8_t kReelvoxRefused = 0x55;
// Largest frame a transport keeps a copy of.
constexpr std::int32_t kReelvoxFrameCapacity = 256;
// How long a command waits for its acknowledgement.
constexpr std::uint32_t kReelvoxAckTimeout = 3000;

// (start + destination + command + data) mod 256, shifted right by one: never above 127, so
// only the start byte has its top bit set among the MARK-parity bytes.
std::uint8_t ReelvoxFrameChecksum(std::uint8_t start, std::uint8_t destination,
                                  std::uint8_t command, const std::uint8_t* data,
                                  std::int32_t length);

// The whole frame as it leaves on a datagram (the start byte as given).
std::vector<std::uint8_t> ReelvoxBuildFrame(std::uint8_t start, std::uint8_t destination,
                                            std::uint8_t command, const std::uint8_t* data,
                                            std::int32_t length);

// The integer answer of a device command after its acknowledgement wait: the frame length when
// accepted, -5 on a time-out, -2 for a refusal or anything else.
std::int32_t ReelvoxCommandAnswer(std::int32_t frameLength, std::uint8_t ackStatus);

// A reply parser: a callback whose function gets the receive buffer as its user data (none for
// a reset) and the device object as its argument. It keeps its function, so that a transport
// can hand it a different buffer for each exchange.
class ReelvoxReplyParser_c : public QORCallback_c {
public:
    ReelvoxReplyParser_c(Function function, void* device)
        : QORCallback_c(function, nullptr, device), m_function(function) {}
    void SetInput(void* input) { SetFunction(m_function, input); }

private:
    Function m_function;
};

class QORBuffer_c;
class QORString_c;

// A text reply of a unit, collected from the received bytes into `reply` (`count` bytes so far)
// up to its carriage return: printable bytes only, never a leading refusal 'U', never more than
// the collection buffer holds.
enum class ReelvoxTextReply { Partial, Complete, Bad };
ReelvoxTextReply ReelvoxCollectTextReply(QORBuffer_c& input, QORBuffer_c& reply,
                                         std::int32_t& count, QORString_c& text);
