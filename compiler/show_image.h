// The one way into the show image under construction: every write, positional or appended, is
// checked against the image's bound, so no compile step can pass the 65535 bytes.
#pragma once

#include "compiler/compiler_state.h"
#include "script/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Offsets and sizes of the image layout.
namespace show_image {
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kSequenceTable = 32;
inline constexpr std::size_t kPortSlots = 17;
inline constexpr std::size_t kSequenceHeaderSize = 25;
inline constexpr int kMaxSequences = 255;

inline constexpr std::size_t kChecksum = 0;
inline constexpr std::size_t kLengthWord = 2;
inline constexpr std::size_t kUnitAddress = 4;
inline constexpr std::size_t kConstant8 = 5;
inline constexpr std::size_t kSequenceCount = 6;
inline constexpr std::size_t kFrameRate = 9;
inline constexpr std::size_t kExternalClock = 10;
inline constexpr std::size_t kConstant80 = 15;
inline constexpr std::size_t kPortTablesOffset = 18;
inline constexpr std::size_t kErrorTableOffset = 20;
inline constexpr std::size_t kCompilerVersion = 24;
inline constexpr std::size_t kMemoryBanks = 26;
inline constexpr std::size_t kDropoutTolerance = 27;
inline constexpr std::size_t kFlags = 28;

// Offset P of the port tables for n sequences.
constexpr std::size_t PortTables(std::size_t sequences) {
    return kSequenceTable + 4 * sequences;
}
// Where the first sequence record begins.
constexpr std::size_t FirstRecord(std::size_t sequences) {
    return PortTables(sequences) + 3 * kPortSlots;
}
} // namespace show_image

// The 16-bit sum of the bytes from offset 2 to the end of an image.
std::uint16_t ImageChecksum(std::span<const std::uint8_t> image);

class ShowImageWriter {
public:
    explicit ShowImageWriter(CompilerState& state) : state_(state) {}

    // Zeros the whole image and sets the length to 0.
    void Clear();

    // Positional writes inside the image; false (and nothing written) outside it.
    bool PutByte(std::size_t offset, std::uint8_t value);
    bool PutWord(std::size_t offset, std::uint16_t value);
    std::uint8_t GetByte(std::size_t offset) const;

    // Appends at the current length: a byte only while the length is below 65535, a word only
    // while it is below 65533, a block only when all of it fits. False when refused.
    bool AppendByte(std::uint8_t value);
    bool AppendWord(std::uint16_t value);
    bool AppendBytes(std::span<const std::uint8_t> bytes);

    // Moves the append position to `length` (at most the image size); false when beyond it.
    bool SetLength(std::size_t length);
    std::size_t Length() const { return static_cast<std::size_t>(state_.imageLength); }

private:
    CompilerState& state_;
};
