// What the program says to a show controller and what it expects back: the command bytes, the
// acknowledgement bytes, the request-and-reply routines every transfer is built from, the pacing
// of bulk streams and the firmware version in the reply to 'B'.
#pragma once

#include "link/serial_link.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace showlink {

inline constexpr std::uint8_t kAck = 0xAA;
inline constexpr std::uint8_t kNak = 0x55;

inline constexpr std::uint8_t kCmdFirmwareVersion = 0x42; // 'B'
inline constexpr std::uint8_t kCmdMemorySize = 0x3C;      // '<'
inline constexpr std::uint8_t kCmdUsedSize = 0x3D;        // '='
inline constexpr std::uint8_t kCmdReadImage = 0x3B;       // ';'
inline constexpr std::uint8_t kCmdWriteImage = 0x40;      // '@'
inline constexpr std::uint8_t kCmdStoreArchive = 0x3E;    // '>'
inline constexpr std::uint8_t kCmdReadArchive = 0x3F;     // '?'
inline constexpr std::uint8_t kCmdStartSequence = 0x18;
inline constexpr std::uint8_t kCmdResetSequence = 0x1B;

inline constexpr std::uint8_t kAddressAll = 0xFF;
inline constexpr int kRequestTries = 2;

// Results of the line routines besides a byte value.
inline constexpr int kReplyLineRead = -3;
inline constexpr int kReplyTimedOut = -2;
inline constexpr int kReplyFailed = -1;

// Reply lines longer than this are not a controller's answer: the read fails.
inline constexpr std::size_t kMaxReplyLine = 256;

inline constexpr int kDefaultPacketSize = 128;

// Where the routines write their error lines (the compile view in red, or a DAT list view).
using ReplyReporter = std::function<void(const std::string& text)>;

// -3 when a line was read (ended by CR, a zero byte or a closed link), -2 on a time-out, -1 on a
// read failure or an over-long line.
int ReadReplyLine(CSerialLink& link, std::string& text, int timeoutMs, const ReplyReporter& report);
// The byte read, or -2 / -1 as above (0 on a closed link).
int ReadReplyByte(CSerialLink& link, int timeoutMs, const ReplyReporter& report);
// Sends the message and reads a line, up to `tries` times; stops at the first line read.
int SendAndReadLine(CSerialLink& link, int timeoutMs, int tries,
                    const std::vector<std::uint8_t>& message, std::string& text,
                    const ReplyReporter& report);
// Sends the message and reads one byte, up to `tries` times; stops at the first byte.
int SendAndReadByte(CSerialLink& link, int timeoutMs, int tries,
                    const std::vector<std::uint8_t>& message, const ReplyReporter& report);

// The packet size a stream is paced by: the setting, or 128 for a value of 0 or below.
int EffectivePacketSize(int packetSize);

// Sends the bytes one by one with space parity, waiting `pacing` ticks before every packet
// (before the first byte too). False at the first byte that cannot be sent.
bool SendBulkStream(CSerialLink& link, const std::uint8_t* bytes, std::size_t count, int packetSize,
                    int pacing);

// Reads the version from a 'B' reply line: the four characters from the first one that is
// followed by '.', as a decimal number. False (version unchanged) when there is none.
bool ParseFirmwareVersion(const std::string& line, double& version);

// "%2.2X " for each byte, as the verbose logs list a reply.
std::string HexBytes(const std::string& bytes);

} // namespace showlink
