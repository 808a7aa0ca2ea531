// COM1 to COM4 as the "Serial Ports" section of the main program's profile maps them to
// devices, read again at every lookup; this program never writes the profile.
#pragma once

#include "platform/serial_device.h"

#include <filesystem>

namespace dmx {

// The lookup of COMn's device path as the profile at `path` gives it (empty where it has none,
// so the default device is used).
platform::SerialPortLookup SerialPortsFromProfile(const std::filesystem::path& path);

} // namespace dmx
