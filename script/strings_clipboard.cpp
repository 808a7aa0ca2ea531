#include "script/strings_clipboard.h"

#include "platform/one_line_text.h"

#include <algorithm>

namespace {

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    const std::size_t length = std::min(text.size(), kStringsTextLimit);
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

// Reads one length-prefixed text at `pos`; false when it runs past the block.
bool GetText(std::span<const std::uint8_t> block, std::size_t& pos, std::string& text) {
    if (pos >= block.size())
        return false;
    const std::size_t length = block[pos++];
    if (length > block.size() - pos)
        return false;
    text.assign(reinterpret_cast<const char*>(block.data() + pos), length);
    platform::MakeOneLine(text); // a block's texts enter the model as typed texts do
    pos += length;
    return true;
}

} // namespace

bool StringsNeedCutting(const std::vector<StringRecord>& records) {
    return std::any_of(records.begin(), records.end(), [](const StringRecord& r) {
        return r.name.size() > kStringsTextLimit || r.data.size() > kStringsTextLimit ||
               r.comment.size() > kStringsTextLimit;
    });
}

std::vector<std::uint8_t> EncodeStringsBlock(const std::vector<StringRecord>& records) {
    const std::size_t count = std::min<std::size_t>(records.size(), 0xFFFF);
    std::vector<std::uint8_t> out;
    out.reserve(3 + count * 16);
    out.push_back(kStringsBlockTag);
    out.push_back(static_cast<std::uint8_t>(count & 0xFF));
    out.push_back(static_cast<std::uint8_t>(count >> 8));
    for (std::size_t i = 0; i < count; ++i) {
        PutText(out, records[i].name);
        PutText(out, records[i].data);
        PutText(out, records[i].comment);
    }
    return out;
}

std::optional<std::uint16_t> StringsBlockCount(std::span<const std::uint8_t> block) {
    if (block.size() < 3 || block[0] != kStringsBlockTag)
        return std::nullopt;
    return static_cast<std::uint16_t>(block[1] | (block[2] << 8));
}

std::optional<std::vector<StringRecord>> DecodeStringsBlock(std::span<const std::uint8_t> block) {
    const std::optional<std::uint16_t> count = StringsBlockCount(block);
    if (!count)
        return std::nullopt;
    // Each record takes at least its three length bytes: a count the block cannot hold is
    // refused before anything is allocated for it.
    if (std::size_t(*count) * 3 > block.size() - 3)
        return std::nullopt;
    std::vector<StringRecord> records(*count);
    std::size_t pos = 3;
    for (StringRecord& record : records)
        if (!GetText(block, pos, record.name) || !GetText(block, pos, record.data) ||
            !GetText(block, pos, record.comment))
            return std::nullopt;
    return records;
}
