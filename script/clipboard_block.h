// The byte blocks of the program's private clipboard formats: texts as a length byte and up to
// 255 bytes, numbers little-endian. The writer grows as it goes; the reader checks every length
// against what is left of the block and answers false instead of reading past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CEvnt;

namespace clipboard {

// The longest text a block carries; a longer one is cut to it.
inline constexpr std::size_t kMaxBlockText = 255;
// Asked (Yes/No, the command's caption) before a copy or cut would cut a text; every private
// format asks it alike. No copies nothing, and a cut then removes nothing.
inline constexpr const char* kCutTextsQuestion =
    "Some texts are longer than 255 characters and will be cut to 255.  Continue?";

class BlockWriter {
public:
    void Byte(std::uint8_t value) { bytes_.push_back(value); }
    void Word(std::uint16_t value);
    void Text(std::string_view text);
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

class BlockReader {
public:
    explicit BlockReader(std::span<const std::uint8_t> block) : block_(block) {}
    bool Byte(std::uint8_t& value);
    bool Word(std::uint16_t& value);
    bool Text(std::string& text);
    std::size_t Position() const { return position_; }

private:
    std::span<const std::uint8_t> block_;
    std::size_t position_ = 0;
};

// The event record that both the sequences and the events format carry: the nine texts in grid
// order (skip mark, Label, Time, Event, Data1-Data4, Comment).
void WriteEventRecord(BlockWriter& out, const CEvnt& event);
// Reads one record into `event` (all nine texts replaced); false when the block ends inside it.
bool ReadEventRecord(BlockReader& in, CEvnt& event);
// Whether writing the event would cut one of its texts.
bool EventRecordCutsText(const CEvnt& event);

} // namespace clipboard
