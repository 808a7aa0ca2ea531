// The "VelmoraStrings" clipboard block that carries data and LCD strings between tables and
// scripts: tag 2, a little-endian 16-bit count, then per string three texts, each a length byte
// and that many bytes. Both tables write and read the same block, so either pastes the other's
// strings as its own kind.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr const char* kStringsClipboardFormat = "VelmoraStrings";
inline constexpr std::uint8_t kStringsBlockTag = 2;
// A text longer than this is cut to it on the way out: its length must fit one byte.
inline constexpr std::size_t kStringsTextLimit = 255;

struct StringRecord {
    std::string name;
    std::string data;
    std::string comment;
};

// Whether any text of the records is longer than a length byte can say.
bool StringsNeedCutting(const std::vector<StringRecord>& records);
// The block of the records, every text cut to its first 255 bytes. At most 65535 records.
std::vector<std::uint8_t> EncodeStringsBlock(const std::vector<StringRecord>& records);

// New records from a block; nothing when its tag is not 2 or when its count or any length runs
// past the block's end (a truncated or foreign block changes nothing).
std::optional<std::vector<StringRecord>> DecodeStringsBlock(std::span<const std::uint8_t> block);
// The count a block announces; nothing when it has no header or another tag.
std::optional<std::uint16_t> StringsBlockCount(std::span<const std::uint8_t> block);
