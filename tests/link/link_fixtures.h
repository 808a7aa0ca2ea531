// Shared pieces of the link tests: an in-memory application, a script document stand-in that
// records its compile-view lines, and a controller emulator reachable as COM1.
#pragma once

#include "link/script_transfer.h"
#include "link/serial_link.h"
#include "platform/serial_device.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace link_tests {

// The program's services as the link uses them, with the settings in memory.
class MemoryApplication : public AppServices {
public:
    CommSettings& Settings() override { return settings; }
    CQuenlowList& Devices() override { return devices; }
    void SaveSettings() override { ++saves; }
    bool CommandLineCompile() const override { return commandLine; }
    int PopupDelayTicks() const override { return popupDelay; }

    CommSettings settings;
    CQuenlowList devices;
    int saves = 0;
    bool commandLine = false;
    int popupDelay = 18;
};

// A test CVLApp's download settings and command-line state under the names used above.
struct AppLink {
    CommSettings& settings;
    bool& commandLine;
};

struct LoggedLine {
    std::string text;
    showlink::LogColour colour;
};

class FakeScript : public showlink::ScriptLinkHost {
public:
    explicit FakeScript(std::size_t imageLength = 300) : image(showlink::kImageBufferSize, 0) {
        SetImage(imageLength);
    }
    // A compiled-looking image: bytes after the checksum word, the bank byte 0, the word their
    // sum.
    void SetImage(std::size_t n) {
        length = static_cast<std::uint16_t>(n);
        for (std::size_t i = 2; i < n; ++i) {
            image[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0xFF);
        }
        if (n > showlink::kImageBankOffset) {
            image[showlink::kImageBankOffset] = 0;
        }
        const auto sum = showlink::ComputedChecksum(image.data(), n);
        image[0] = static_cast<std::uint8_t>(sum & 0xFF);
        image[1] = static_cast<std::uint8_t>(sum >> 8);
    }
    std::vector<std::uint8_t> Image() const { return {image.begin(), image.begin() + length}; }

    std::string GetScriptName() const override { return "SHOW"; }
    std::string ProductName() const override { return "Brevant 2000"; }
    std::uint8_t UnitAddress() const override { return unit; }
    std::uint8_t* ImageBuffer() override { return image.data(); }
    std::uint16_t ImageLength() const override { return length; }
    void SetFirmwareVersion(double v) override { firmware = v; }
    double FirmwareVersion() const override { return firmware; }
    void SetMemorySize(std::int32_t bytes) override { memory = bytes; }
    bool UsesSmpte() const override { return smpte; }
    void SetCompileRunning(bool running) override { runningChanges.push_back(running); }
    showlink::FirmwareRequirement RequiredFirmware() const override { return required; }
    void PostCompileMessage(const std::string& text, showlink::LogColour colour) override {
        lines.push_back({text, colour});
    }
    int DownloadReproducerSystem(bool full) override {
        reproducerCalls.push_back(full);
        return reproducerResult;
    }
    void StoreArchive(CSerialLink& link) override { archiveStoredOpen = link.IsOpen(); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& l : lines) {
            out.push_back(l.text);
        }
        return out;
    }
    bool Has(const std::string& text) const {
        for (const auto& l : lines) {
            if (l.text == text) {
                return true;
            }
        }
        return false;
    }
    showlink::LogColour ColourOf(const std::string& text) const {
        for (const auto& l : lines) {
            if (l.text == text) {
                return l.colour;
            }
        }
        ADD_FAILURE() << "no line " << text;
        return showlink::LogColour::Default;
    }

    std::vector<std::uint8_t> image;
    std::uint16_t length = 0;
    std::uint8_t unit = 3;
    double firmware = -1.0;
    std::int32_t memory = -1;
    bool smpte = false;
    int reproducerResult = 2;
    std::vector<bool> reproducerCalls;
    std::vector<bool> runningChanges;
    showlink::FirmwareRequirement required;
    std::vector<LoggedLine> lines;
    std::optional<bool> archiveStoredOpen;
};

// Maps COM1 to the emulator's pseudo-terminal for the life of the fixture.
class EmulatedPort {
public:
    explicit EmulatedPort(testing_support::EmulatorOptions options = {})
        : emulator(std::move(options)) {
        started = emulator.Start();
        const std::string path = emulator.SlavePath();
        previous_ = platform::SetSerialPortLookup(
            [path](int n) { return n == 1 ? path : std::string("/nonexistent/port"); });
    }
    ~EmulatedPort() {
        emulator.Stop();
        platform::SetSerialPortLookup(previous_);
    }

    testing_support::ControllerEmulator emulator;
    bool started = false;

private:
    platform::SerialPortLookup previous_;
};

} // namespace link_tests
