// The script archive a show controller keeps in the show memory its image leaves free: the
// script's source text packed by CYNCompressor behind a 71-byte header. StoreArchive (after a
// download, over the download's link) and RetrieveArchive (into a new document) are defined here;
// the pieces below are the archive's format, shared with tests and tools.
//
// Header: checksum (16-bit sum of the packed bytes), packed length (both little-endian),
// version 0x10, mode 0x00, name length 64, then the file name zero-padded to 64 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSerialLink;
class CVLDoc;

namespace showlink {

inline constexpr std::size_t kArchiveHeaderSize = 71;
inline constexpr std::size_t kArchiveNameField = 64;
inline constexpr std::uint8_t kArchiveVersion = 0x10;
inline constexpr std::uint8_t kArchiveMode = 0x00;
// The packed text must stay below this; the expanded text may fill the second one.
inline constexpr std::size_t kArchivePackCapacity = 65000;
inline constexpr std::size_t kArchiveExpandCapacity = 500000;
inline constexpr double kArchiveFirmware = 5.61;
// Every reply of the archive operations waits this long, whatever the time-out setting.
inline constexpr int kArchiveReplyTimeout = 3000;
// The name a retrieved script takes when nothing usable is left of the stored one.
inline constexpr const char* kRetrievedScriptName = "Archive.KSF";

struct ArchiveHeader {
    std::uint16_t checksum = 0;
    std::uint16_t compressedLength = 0;
    std::uint8_t version = kArchiveVersion;
    std::uint8_t mode = kArchiveMode;
    std::uint8_t nameLength = kArchiveNameField;
    std::string name; // as stored, without the padding
};

// The 16-bit sum of the bytes.
std::uint16_t ArchiveChecksum(const std::uint8_t* bytes, std::size_t count);

// The header of `packed` stored as `scriptName`.KSF (the name cut at 64 bytes).
std::array<std::uint8_t, kArchiveHeaderSize>
MakeArchiveHeader(const std::vector<std::uint8_t>& packed, const std::string& scriptName);

// Reads the 71 header bytes. The name is the first name-length bytes of the name field (at
// most 64) without their zero bytes.
ArchiveHeader ReadArchiveHeader(const std::uint8_t* header);

// The text packed for an archive; none when the packed form does not stay below 65000 bytes.
std::optional<std::vector<std::uint8_t>> PackArchiveText(std::string_view text);
// The packed text expanded again; none when it would exceed 500000 bytes.
std::optional<std::string> ExpandArchiveText(const std::uint8_t* packed, std::size_t count);

// What a stored name may become as a document's path and title: its last path component
// (either separator, or after a drive colon) without control characters; kRetrievedScriptName
// when nothing but dots and blanks is left.
std::string PlainArchiveFileName(std::string_view storedName);

// Packs the script source and stores it in the controller over the caller's open link; true
// when the controller took it.
bool StoreArchive(CVLDoc& doc, CSerialLink& link);
// Fills a document created for "Upload Script from Unit" from the controller's archive; true
// when the script was rebuilt or the user cancelled.
bool RetrieveArchive(CVLDoc& doc);

} // namespace showlink
