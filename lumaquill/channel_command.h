// One DMX channel value as a command of the show controller's serial protocol: the controller
// sets the channel itself.
#pragma once

#include <cstdint>
#include <vector>

namespace dmx {

class CSerialLink;

inline constexpr int kFirstChannel = 1;
inline constexpr int kLastChannel = 512;

// Command byte 7 addresses channels 1 to 256, 29 the channels 257 to 512; the channel byte is
// the low eight bits of channel - 1.
std::vector<std::uint8_t> ChannelCommandMessage(int channel, std::uint8_t value);

// Sends the channel command over an open link; false when the link is closed or a write failed.
bool SendChannelCommand(CSerialLink& link, int channel, std::uint8_t value);

} // namespace dmx
