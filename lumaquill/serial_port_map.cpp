#include "lumaquill/serial_port_map.h"

#include "platform/paths.h"
#include "platform/profile.h"

#include <map>
#include <string>

namespace dmx {

platform::SerialPortLookup SerialPortsFromProfile(const std::filesystem::path& path) {
    platform::ProfileFile profile;
    profile.Load(path); // a missing or unreadable profile leaves the default devices
    std::map<int, std::string> ports;
    for (int n = 1; n <= 4; ++n) {
        const std::string device = platform::ToForwardSlashes(
            profile.GetString("Serial Ports", "COM" + std::to_string(n), ""));
        if (!device.empty()) {
            ports[n] = device;
        }
    }
    return [ports](int n) {
        const auto it = ports.find(n);
        return it == ports.end() ? std::string() : it->second;
    };
}

} // namespace dmx
