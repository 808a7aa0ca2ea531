// The "Download" section of the profile: the connection settings the transfers and the
// communication dialog use, read and written in one place for the program and the link (the
// networked devices of the same section are CQuenlowList's).
#pragma once

#include "script/quenlow_device.h"

#include <string>

namespace platform {
class ProfileFile;
}

struct CommSettings {
    // SerialPort value of the offline connection.
    static constexpr int kSerialOffline = 9;

    int commMethod = 0;           // "CommMethod": 0 serial, 1 Ethernet
    int ethernetDevice = -1;      // "EthernetDevice": index into the device list
    int serialPort = 0;           // "SerialPort": 0-7 = COM1-COM8, kSerialOffline
    int serialTimeout = 3000;     // "SerialTimeout", ms
    int serialBandwidth = 128;    // "SerialBandwidth": packet size in bytes
    int serialDelay = 3;          // "SerialDelay": pacing in ticks
    int serialBitMode = 1;        // "SerialBitMode": 0 8-bit, 1 9-bit framing
    bool verbose = false;         // "Messages": anything but "Minimal" (any case) is verbose
    bool noCompilerPopups = true; // "NoCompilerPopups"
    bool noArchiveOffer = false;  // "NoArchiveOffer"

    void Load(const platform::ProfileFile& profile);
    bool Save(platform::ProfileFile& profile) const;
};

// The wording of the five offered time-outs ("1/2 Second", "3 Seconds"), empty for any other
// value.
std::string TimeoutText(int milliseconds);
