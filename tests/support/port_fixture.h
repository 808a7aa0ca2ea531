// Ports and protocols the shipped installation lacks, added to a test application before its
// scripts are made: SCSI ports and protocols, a protocol that is not local, a port whose value
// lists match a protocol's only in part, and a port whose product fixes its protocol.
#pragma once

#include <filesystem>
#include <string>

class CVLApp;

namespace testing_support {

class PortFixture {
public:
    // Ports of the default product after set-up.
    static constexpr int kScsiPort = 2;    // SCSI, addresses 0 to 3 allowed
    static constexpr int kPartialPort = 3; // serial, 9600 baud and parity N only
    static constexpr int kFixedPort = 4;   // serial, protocol fixed to "Brevant_Pelvane_2"

    // Protocols added (display names): SCSI "Test_Disk" (addresses 0, 1, 2) and "Test_Tape"
    // (address 5 only); serial "Test_Remote" (location Remote), "Test_Dual" (9600 and 19200
    // baud, parity N and E), "Test_Single" (4800 baud only), "Test_Fast" (57600 baud, which no
    // port allows).
    explicit PortFixture(CVLApp& app);
    ~PortFixture();
    PortFixture(const PortFixture&) = delete;
    PortFixture& operator=(const PortFixture&) = delete;

private:
    std::filesystem::path dir_;
};

} // namespace testing_support
