// COM1 to COM4 come from the main program's profile, read again at every lookup.
#include "lumaquill/serial_port_map.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(SerialPortMap, AMappingChangedByHandIsTheOneUsed) {
    const fs::path dir = fs::path(::testing::TempDir()) / "lumaquill_port_map";
    fs::create_directories(dir);
    const fs::path profile = dir / "velmora.ini";
    const platform::SerialPortLookup lookup = dmx::SerialPortsFromProfile(profile);
    EXPECT_EQ(lookup(1), "") << "no profile: the default device";
    std::ofstream(profile) << "[Serial Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM5=/dev/ttyUSB4\r\n";
    EXPECT_EQ(lookup(1), "/dev/ttyUSB0");
    EXPECT_EQ(lookup(5), "") << "this program has COM1 to COM4";
    std::ofstream(profile) << "[serial ports]\r\ncom1=\\dev\\ttyACM0\r\n";
    EXPECT_EQ(lookup(1), "/dev/ttyACM0");
    fs::remove_all(dir);
}

} // namespace
