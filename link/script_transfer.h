// The download at the end of "Compile Script and Download": the image the compiler has just
// built goes to the controller by FTP or over the serial link, after a firmware check, with the
// controller's memory-bank count patched in; then the script source may be archived on the same
// link. Lines go to the script's compile view.
#pragma once

#include "link/transfer_log.h"
#include "script/app_services.h"
#include "script/download_settings.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CSerialLink;

namespace showlink {

inline constexpr std::size_t kImageBufferSize = 65535;
inline constexpr std::size_t kImageBankOffset = 26;

// The firmware a compiled script needs: the highest version its commands require and the
// command that requires it (empty name: nothing beyond the base firmware).
struct FirmwareRequirement {
    double version = 0.0;
    std::string versionText;      // as the compiler recorded it ("5.61")
    std::string commandName;      // the command requiring it
    bool externalCommand = false; // an external command or protocol, else an internal command
};

// What the download needs of the script document and its neighbours.
class ScriptLinkHost {
public:
    virtual ~ScriptLinkHost() = default;

    virtual std::string GetScriptName() const = 0;
    virtual std::string ProductName() const = 0;
    virtual std::uint8_t UnitAddress() const = 0;
    // The 65535-byte image buffer (null when the document has none: nothing is sent) and the
    // length the compiler wrote.
    virtual std::uint8_t* ImageBuffer() = 0;
    virtual std::uint16_t ImageLength() const = 0;
    virtual void SetFirmwareVersion(double version) = 0;
    virtual double FirmwareVersion() const = 0;
    virtual void SetMemorySize(std::int32_t bytes) = 0;
    virtual bool UsesSmpte() const = 0;
    // Set while the image streams (a close of the compile view then only sets the abort flag).
    virtual void SetCompileRunning(bool running) = 0;
    virtual FirmwareRequirement RequiredFirmware() const = 0;
    // One line of the compile view.
    virtual void PostCompileMessage(const std::string& text, LogColour colour) = 0;
    // The reproducer-system download run inline before the image (2 on success).
    virtual int DownloadReproducerSystem(bool fullConfiguration) = 0;
    // Whether the script can be stored as an archive; the offer is made only then.
    virtual bool CanStoreArchive() const { return true; }
    // Stores the script as an archive over the still open link.
    virtual void StoreArchive(CSerialLink& link) = 0;
};

// Runs the download. True when the controller (or the FTP device) took the image.
bool DownloadCompiledScript(ScriptLinkHost& script, AppServices& app);

// The stored checksum of an image (its first little-endian word; missing bytes read as 0) and
// the 16-bit sum of the bytes after it.
std::uint16_t StoredChecksum(const std::uint8_t* image, std::size_t length);
std::uint16_t ComputedChecksum(const std::uint8_t* image, std::size_t length);

// Writes the controller's 8 KB bank count into the image and keeps its checksum word the sum of
// the bytes after it. The buffer holds at least 27 bytes. Answers the bank count.
int PatchMemoryBanks(std::uint8_t* image, std::size_t length, int memoryKilobytes);

} // namespace showlink
