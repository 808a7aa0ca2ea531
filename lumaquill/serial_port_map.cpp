#include "lumaquill/serial_port_map.h"

#include "platform/paths.h"
#include "platform/profile.h"

#include <string>

namespace dmx {

platform::SerialPortLookup SerialPortsFromProfile(const std::filesystem::path& path) {
    // Read at every lookup: a mapping changed by hand takes effect at the next opening.
    return [path](int n) {
        if (n < 1 || n > 4) {
            return std::string();
        }
        // A missing or unreadable profile leaves the default devices.
        return platform::ToForwardSlashes(
            platform::GetProfileString(path, "Serial Ports", "COM" + std::to_string(n), ""));
    };
}

} // namespace dmx
