#include "script/clipboard_block.h"

#include "script/event.h"

#include "platform/one_line_text.h"

#include <algorithm>
#include <array>

namespace clipboard {

void BlockWriter::Word(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void BlockWriter::Text(std::string_view text) {
    const std::size_t n = std::min(text.size(), kMaxBlockText);
    bytes_.push_back(static_cast<std::uint8_t>(n));
    bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

bool BlockReader::Byte(std::uint8_t& value) {
    if (block_.size() - position_ < 1)
        return false;
    value = block_[position_++];
    return true;
}

bool BlockReader::Word(std::uint16_t& value) {
    if (block_.size() - position_ < 2)
        return false;
    value = static_cast<std::uint16_t>(block_[position_] | (block_[position_ + 1] << 8));
    position_ += 2;
    return true;
}

bool BlockReader::Text(std::string& text) {
    std::uint8_t n = 0;
    if (!Byte(n) || block_.size() - position_ < n)
        return false;
    const auto* first = reinterpret_cast<const char*>(block_.data() + position_);
    text.assign(first, n);
    // A block may come from anywhere: its texts enter the model as typed texts do.
    platform::MakeOneLine(text);
    position_ += n;
    return true;
}

namespace {

// The nine texts in record order, writable or not as the event is.
template <typename Event> auto Texts(Event& e) {
    return std::array{&e.m_strSkip,  &e.m_strLabel, &e.m_strTime,  &e.m_strEvent,  &e.m_strData1,
                      &e.m_strData2, &e.m_strData3, &e.m_strData4, &e.m_strComment};
}

} // namespace

void WriteEventRecord(BlockWriter& out, const CEvnt& event) {
    for (const std::string* text : Texts(event))
        out.Text(*text);
}

bool ReadEventRecord(BlockReader& in, CEvnt& event) {
    for (std::string* text : Texts(event))
        if (!in.Text(*text))
            return false;
    return true;
}

bool EventRecordCutsText(const CEvnt& event) {
    for (const std::string* text : Texts(event))
        if (text->size() > kMaxBlockText)
            return true;
    return false;
}

} // namespace clipboard
