#include "link/script_transfer.h"

#include "link/controller_protocol.h"
#include "link/ftp_upload.h"
#include "link/log_format.h"
#include "link/serial_link.h"
#include "platform/ui_services.h"

#include <charconv>
#include <string>
#include <sys/utsname.h>

namespace showlink {

std::uint16_t StoredChecksum(const std::uint8_t* image, std::size_t length) {
    const unsigned low = length > 0 ? image[0] : 0;
    const unsigned high = length > 1 ? image[1] : 0;
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint16_t ComputedChecksum(const std::uint8_t* image, std::size_t length) {
    unsigned sum = 0;
    for (std::size_t i = 2; i < length; ++i) {
        sum += image[i];
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

int PatchMemoryBanks(std::uint8_t* image, std::size_t length, int memoryKilobytes) {
    const int banks = memoryKilobytes / 8;
    // The word is adjusted by the change of the bank byte, so a second download of the same
    // image keeps it right too.
    const int old = length > kImageBankOffset ? image[kImageBankOffset] : 0;
    image[kImageBankOffset] = static_cast<std::uint8_t>(banks);
    const auto checksum = static_cast<std::uint16_t>(StoredChecksum(image, length) +
                                                     static_cast<unsigned>(banks - old));
    image[0] = static_cast<std::uint8_t>(checksum & 0xFF);
    image[1] = static_cast<std::uint8_t>(checksum >> 8);
    return banks;
}

namespace {

// Raises the compile-running flag for the stream and lowers it on every path.
class CompileRunning {
public:
    explicit CompileRunning(ScriptLinkHost& script) : script_(script) {
        script_.SetCompileRunning(true);
    }
    ~CompileRunning() { script_.SetCompileRunning(false); }
    CompileRunning(const CompileRunning&) = delete;
    CompileRunning& operator=(const CompileRunning&) = delete;

private:
    ScriptLinkHost& script_;
};

std::string DriverLine() {
    utsname name{};
    int major = 0;
    int minor = 0;
    if (::uname(&name) == 0) {
        const char* p = name.release;
        const char* end = p + std::char_traits<char>::length(p);
        auto r = std::from_chars(p, end, major);
        if (r.ptr < end && *r.ptr == '.') {
            std::from_chars(r.ptr + 1, end, minor);
        }
    }
    if (minor >= 95) {
        return Format("  Negotiating Windows%d Serial Device Driver", minor);
    }
    return Format("  Negotiating Windows %d.%d Serial Device Driver", major, minor);
}

} // namespace

bool DownloadCompiledScript(ScriptLinkHost& script, AppServices& app) {
    const CommSettings settings = app.Settings();
    const std::string scriptName = script.GetScriptName();
    auto log = [&](const std::string& text, LogColour colour = LogColour::Default) {
        script.PostCompileMessage(text, colour);
    };
    auto verbose = [&](const std::string& text) {
        if (settings.verbose) {
            log(text);
        }
    };
    auto box = [&](const std::string& text) {
        if (!settings.noCompilerPopups) {
            platform::ShowMessage(text);
        }
    };
    const ReplyReporter report = [&](const std::string& text) { log(text, LogColour::Red); };

    if (script.ImageBuffer() == nullptr) {
        log("Error: No compiled image to download", LogColour::Red);
        return false;
    }
    if (settings.commMethod == 1) {
        return UploadByFtp(app.Devices(), settings.ethernetDevice, scriptName + ".dat",
                           script.ImageBuffer(), script.ImageLength(),
                           [&](const std::string& text, LogColour colour) { log(text, colour); });
    }

    script.SetFirmwareVersion(0.0);
    log("");
    verbose(DriverLine());
    const int comNumber = settings.serialPort + 1;
    log(Format("Opening serial communications on Com%d", comNumber));
    log(settings.serialBitMode == 0 ? "  Download Mode set to Brevant 8-bit"
                                    : "  Download Mode set to Brevant 9-bit");
    const std::string timeoutText = TimeoutText(settings.serialTimeout);
    if (!timeoutText.empty()) {
        verbose("  Timeout set to " + timeoutText);
    }
    verbose(Format("  Packet Size set to %d bytes", settings.serialBandwidth));
    verbose(Format("  Packet Pacing set to %d ms", settings.serialDelay * 50));

    if (script.UsesSmpte()) {
        const bool full =
            platform::ShowMessage("Do you wish to download SMPTE configuration?",
                                  platform::MsgButtons::YesNo,
                                  platform::MsgIcon::Question) == platform::MsgResult::Yes;
        if (script.DownloadReproducerSystem(full) != 2) {
            return false;
        }
    }

    CSerialLink link;
    const std::string openError =
        settings.serialPort < 0 || settings.serialPort > 0xFFFF
            ? std::string("Opening serial port: Only Com1 - Com8 are supported")
            : link.Open(ComPortIndex(static_cast<std::uint16_t>(settings.serialPort)),
                        FramingFromSetting(settings.serialBitMode), kControllerBaud);
    if (!openError.empty()) {
        log("Error: " + openError, LogColour::Red);
        return false;
    }
    link.SetAddress(kAddressAll);
    link.SetUnit(script.UnitAddress());
    link.Drain();

    const int timeout = settings.serialTimeout;
    verbose("  Requesting firmware version from Show Control Unit");
    std::string versionLine;
    if (SendAndReadLine(link, timeout, kRequestTries, {kCmdFirmwareVersion}, versionLine, report) !=
        kReplyLineRead) {
        return false;
    }
    log(Format("Version of Show Control Unit is [%s]", versionLine.c_str()));
    if (versionLine.size() < 4) {
        return false;
    }
    double version = script.FirmwareVersion();
    if (ParseFirmwareVersion(versionLine, version)) {
        script.SetFirmwareVersion(version);
    }
    const FirmwareRequirement required = script.RequiredFirmware();
    if (script.FirmwareVersion() < required.version) {
        log(Format("Error: [%s]", required.commandName.c_str()), LogColour::Red);
        log(Format(
                required.externalCommand
                    ? "       This external command or protocol requires Firmware [V%s] and above"
                    : "       This internal command requires Firmware [V%s] and above",
                required.versionText.c_str()),
            LogColour::Red);
        log("       Download Terminated!", LogColour::Red);
        return false;
    }
    verbose("  Version Bytes Returned [" + HexBytes(versionLine) + "]");

    link.Drain();
    verbose("  Requesting EEPROM size from Show Control Unit");
    const int memoryKb = SendAndReadByte(link, timeout, kRequestTries, {kCmdMemorySize}, report);
    if (memoryKb < 0) {
        return false;
    }
    std::uint8_t* image = script.ImageBuffer();
    const std::uint16_t length = script.ImageLength();
    verbose(Format("  Memory Size Byte Returned [%2.2X]", memoryKb));
    verbose(Format("  Show Control Unit has %4x checksum before EEbanks accounted",
                   StoredChecksum(image, length)));
    const int banks = PatchMemoryBanks(image, length, memoryKb);
    verbose(Format("  Show Control Unit has %x checksum after EEbanks accounted",
                   StoredChecksum(image, 2)));
    const std::int32_t memoryBytes = memoryKb * 1024;
    script.SetMemorySize(memoryBytes);
    verbose(Format("  Show Control Unit has a %dK EEPROM, which is %i 8K banks", memoryKb, banks));
    verbose(Format("  Compiled script: %u.  Space available: %ld", static_cast<unsigned>(length),
                   static_cast<long>(memoryBytes)));
    if (length > memoryBytes) {
        log("Error: Compiled script is larger than the space available");
        return false;
    }

    link.Drain();
    verbose("  Requesting download from Show Control Unit");
    const int answer = SendAndReadByte(link, timeout, kRequestTries,
                                       {kCmdWriteImage, static_cast<std::uint8_t>(length & 0xFF),
                                        static_cast<std::uint8_t>(length >> 8)},
                                       report);
    if (answer < 0) {
        return false;
    }
    verbose(Format("  Download Request Byte Returned [%2.2X]", answer));
    if (answer == kNak) {
        log("Error: Download request denied by Show Control Unit", LogColour::Red);
        return false;
    }
    if (answer != kAck) {
        log("Error: Download request received unknown response from Show Control Unit",
            LogColour::Red);
        return false;
    }
    verbose("  Download request acknowledged");
    link.Drain();
    log("");
    log("Downloading to Show Control Unit...");
    bool sent = false;
    {
        CompileRunning running(script);
        sent = SendBulkStream(link, image, length, settings.serialBandwidth, settings.serialDelay);
    }
    if (!sent) {
        log("Error: Hardware error transmitting message to Show Control Unit", LogColour::Red);
        return false;
    }

    link.WaitUntilSent();
    const int completion = link.ReadByte(timeout);
    if (completion == kReplyTimedOut) {
        log("Error: Download Failed, Timed out receiving response from Show Control Unit!",
            LogColour::Red);
        box("Download Failed, Timed out receiving response from Show Control Unit!");
        return false;
    }
    if (completion == kReplyFailed) {
        log("Error: Download Failed, Hardware error receiving response from Show Control Unit",
            LogColour::Red);
        box("Download Failed, Hardware error receiving response from Show Control Unit");
        return false;
    }
    verbose(Format("  Download Completion Status Byte Returned [%2.2X]", completion));
    bool downloaded = false;
    if (completion == kNak) {
        log("Error: Download Failed, NACKed by Show Control Unit!", LogColour::Red);
        box("Download Failed, NACKed by Show Control Unit!");
        return false;
    }
    if (completion == kAck) {
        downloaded = true;
        log(Format("%s.DAT successfully downloaded!", scriptName.c_str()));
        log("Download Successful! Don't forget to save backup copies of your KSF and unique, "
            "user created PCL files!!!",
            LogColour::Blue);
        box("Download Successful!\n\nDon't forget to save backup copies of your KSF and unique, "
            "user created PCL files!!!");
        if (!settings.noArchiveOffer && script.CanStoreArchive()) {
            const auto store = platform::ShowMessage(
                Format("Download Successful!\n\nDo you want to compress and store %s.KSF as well?",
                       scriptName.c_str()),
                platform::MsgButtons::YesNo, platform::MsgIcon::Question);
            if (store == platform::MsgResult::Yes) {
                script.StoreArchive(link);
            } else {
                const char* reminder = "Don't forget to save backup copies of your KSF and "
                                       "unique, user-created PCL files.";
                log(reminder);
                box(reminder);
            }
        }
    } else {
        log("Error: Download Failed, Unknown Response from Show Control Unit!", LogColour::Red);
        box("Download Failed, Unknown Response from Show Control Unit!");
    }
    log(Format("Closing serial communications on Com%d", comNumber));
    link.Close();
    return downloaded;
}

} // namespace showlink
