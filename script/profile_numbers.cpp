#include "script/profile_numbers.h"

#include "platform/paths.h"
#include "platform/profile.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace {

// Ranges: the pop-up delay is offered up to 72 ticks; the serial port is COM1-COM8 or 9 for
// offline; time-outs, packet sizes and pacing span what the Advanced dialog offers; the pacing
// is multiplied into milliseconds and waited per packet. The device list is read key by key, so
// its count bounds the keys looked up and the records made.
constexpr std::array kNumbers{
    ProfileNumber{"General", "Popup Window Delay", 18, 0, 72},
    ProfileNumber{"General", "Font Point Size", 8, 1, 72},
    ProfileNumber{"Download", "CommMethod", 0, 0, 1},
    ProfileNumber{"Download", "EthernetDevice", -1, -1, 255},
    ProfileNumber{"Download", "SerialPort", 0, 0, 9},
    ProfileNumber{"Download", "SerialTimeout", 3000, 500, 30000},
    ProfileNumber{"Download", "SerialBandwidth", 128, 8, 256},
    ProfileNumber{"Download", "SerialDelay", 3, 0, 4},
    ProfileNumber{"Download", "SerialBitMode", 1, 0, 1},
    ProfileNumber{"Download", "NumQuenlows", 0, 0, 256},
};

} // namespace

std::span<const ProfileNumber> ProfileNumbers() {
    return kNumbers;
}

const ProfileNumber& FindProfileNumber(std::string_view section, std::string_view key) {
    for (const ProfileNumber& number : kNumbers) {
        if (platform::EqualsNoCase(number.section, section) &&
            platform::EqualsNoCase(number.key, key))
            return number;
    }
    throw std::invalid_argument("not a number of the profile: " + std::string(key));
}

int ClampProfileNumber(const ProfileNumber& number, int value) {
    return std::clamp(value, number.low, number.high);
}

int ReadProfileNumber(const platform::ProfileFile& profile, std::string_view section,
                      std::string_view key) {
    const ProfileNumber& number = FindProfileNumber(section, key);
    return ClampProfileNumber(number, profile.GetInt(section, key, number.defaultValue));
}
