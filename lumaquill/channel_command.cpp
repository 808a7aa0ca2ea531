#include "lumaquill/channel_command.h"

#include "link/serial_link.h"

namespace dmx {

std::vector<std::uint8_t> ChannelCommandMessage(int channel, std::uint8_t value) {
    const std::uint8_t command = channel <= 256 ? 7 : 29;
    return {command, static_cast<std::uint8_t>((channel - 1) & 0xFF), value};
}

bool SendChannelCommand(CSerialLink& link, int channel, std::uint8_t value) {
    return link.SendCommand(ChannelCommandMessage(channel, value));
}

} // namespace dmx
