#include "link/script_transfer.h"

#include "link/controller_protocol.h"
#include "link/ftp_upload.h"
#include "link/log_format.h"
#include "link/serial_link.h"
#include "link/transfer_session.h"
#include "platform/ui_services.h"

#include <charconv>
#include <optional>
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
    TransferSession session(settings, log, "  ", settings.serialTimeout);
    log("");
    verbose(DriverLine());
    session.AnnounceOpening();
    session.AnnounceSettings();

    if (script.UsesSmpte()) {
        const bool full =
            platform::ShowMessage("Do you wish to download SMPTE configuration?",
                                  platform::MsgButtons::YesNo,
                                  platform::MsgIcon::Question) == platform::MsgResult::Yes;
        if (script.DownloadReproducerSystem(full) != 2) {
            // Its own lines say what failed; this one says the show image was not sent either.
            log("       Download Terminated!", LogColour::Red);
            return false;
        }
    }

    if (!session.Open(script.UnitAddress())) {
        return false;
    }
    const std::optional<std::string> versionLine = session.RequestFirmware();
    if (!versionLine || versionLine->size() < 4) {
        return false;
    }
    double version = script.FirmwareVersion();
    if (ParseFirmwareVersion(*versionLine, version)) {
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
    session.Verbose("Version Bytes Returned [" + HexBytes(*versionLine) + "]");

    const int memoryKb = session.RequestMemory();
    if (memoryKb < 0) {
        return false;
    }
    std::uint8_t* image = script.ImageBuffer();
    const std::uint16_t length = script.ImageLength();
    session.Verbose(Format("Show Control Unit has %4x checksum before EEbanks accounted",
                           StoredChecksum(image, length)));
    const int banks = PatchMemoryBanks(image, length, memoryKb);
    session.Verbose(Format("Show Control Unit has %x checksum after EEbanks accounted",
                           StoredChecksum(image, 2)));
    const std::int32_t memoryBytes = memoryKb * 1024;
    script.SetMemorySize(memoryBytes);
    session.Verbose(
        Format("Show Control Unit has a %dK EEPROM, which is %i 8K banks", memoryKb, banks));
    session.Verbose(Format("Compiled script: %u.  Space available: %ld",
                           static_cast<unsigned>(length), static_cast<long>(memoryBytes)));
    if (length > memoryBytes) {
        log("Error: Compiled script is larger than the space available");
        return false;
    }

    if (!session.RequestWrite(length)) {
        return false;
    }
    session.Link().Drain();
    bool sent = false;
    {
        CompileRunning running(script);
        sent = session.Stream(image, length);
    }
    if (!sent) {
        return false;
    }

    const int completion = session.ReadCompletion([&](const std::string& text) {
        log("Error: " + text, LogColour::Red);
        box(text);
    });
    if (completion < 0) {
        return false;
    }
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
                script.StoreArchive(session.Link());
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
    session.Close();
    return downloaded;
}

} // namespace showlink
