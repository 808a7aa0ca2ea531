// The connection settings of the "Download" profile section that the transfers and the
// communication dialog read and write, and what the link needs of the application: those
// settings, its list of networked devices, saving them, and whether a command-line compile runs.
#pragma once

#include "link/quenlow_device.h"

#include <filesystem>
#include <string>

namespace platform {
class ProfileFile;
}

struct CommSettings {
    int commMethod = 0;           // "CommMethod": 0 serial, 1 Ethernet
    int ethernetDevice = -1;      // "EthernetDevice": index into the device list
    int serialPort = 0;           // "SerialPort": 0-7 = COM1-COM8
    int serialTimeout = 3000;     // "SerialTimeout", ms
    int serialBandwidth = 128;    // "SerialBandwidth": packet size in bytes
    int serialDelay = 3;          // "SerialDelay": pacing in ticks
    int serialBitMode = 1;        // "SerialBitMode": 0 8-bit, 1 9-bit framing
    bool verbose = false;         // "Messages": "Verbose" or "Minimal"
    bool noCompilerPopups = true; // "NoCompilerPopups"
    bool noArchiveOffer = false;  // "NoArchiveOffer"

    void Load(const platform::ProfileFile& profile);
    bool Save(platform::ProfileFile& profile) const;
};

namespace showlink {

// The verbose time-out line's wording for the five offered values ("1/2 Second", "3 Seconds"),
// empty for any other value.
std::string TimeoutText(int milliseconds);

// What the link asks of the application.
class LinkApplication {
public:
    virtual ~LinkApplication() = default;
    virtual CommSettings& Settings() = 0;
    virtual CQuenlowList& Devices() = 0;
    // Writes every setting and the device list to the profile.
    virtual void SaveSettings() = 0;
    // Set while the program compiles a script named on its command line.
    virtual bool CommandLineCompile() const { return false; }
    virtual void RedrawMainWindow() {}
};

// The application's settings kept in a profile file: read when made, written by SaveSettings.
class ProfileLinkApplication : public LinkApplication {
public:
    explicit ProfileLinkApplication(std::filesystem::path profilePath);
    CommSettings& Settings() override { return settings_; }
    CQuenlowList& Devices() override { return devices_; }
    void SaveSettings() override;
    bool CommandLineCompile() const override { return commandLineCompile_; }
    void SetCommandLineCompile(bool on) { commandLineCompile_ = on; }
    const std::filesystem::path& ProfilePath() const { return path_; }

private:
    std::filesystem::path path_;
    CommSettings settings_;
    CQuenlowList devices_;
    bool commandLineCompile_ = false;
};

// The application the transfers use: the one installed, else one on the default profile.
LinkApplication& TheLinkApplication();
// Installs an application (not owned; nullptr restores the default) and answers the previous.
LinkApplication* SetLinkApplication(LinkApplication* application);

} // namespace showlink
