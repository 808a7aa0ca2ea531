#include "compiler/show_image.h"

#include <algorithm>

std::uint16_t ImageChecksum(std::span<const std::uint8_t> image) {
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < image.size(); ++i)
        sum += image[i];
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void ShowImageWriter::Clear() {
    state_.image.fill(0);
    state_.imageLength = 0;
}

bool ShowImageWriter::PutByte(std::size_t offset, std::uint8_t value) {
    if (offset >= kMaxImageSize)
        return false;
    state_.image[offset] = value;
    return true;
}

bool ShowImageWriter::PutWord(std::size_t offset, std::uint16_t value) {
    if (offset >= kMaxImageSize - 1)
        return false;
    state_.image[offset] = static_cast<std::uint8_t>(value & 0xFF);
    state_.image[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return true;
}

std::uint8_t ShowImageWriter::GetByte(std::size_t offset) const {
    return offset < kMaxImageSize ? state_.image[offset] : 0;
}

bool ShowImageWriter::AppendByte(std::uint8_t value) {
    if (state_.imageLength < 0 || Length() >= kMaxImageSize)
        return false;
    state_.image[Length()] = value;
    ++state_.imageLength;
    return true;
}

bool ShowImageWriter::AppendWord(std::uint16_t value) {
    if (state_.imageLength < 0 || Length() >= kMaxImageSize - 2)
        return false;
    PutWord(Length(), value);
    state_.imageLength += 2;
    return true;
}

bool ShowImageWriter::AppendBytes(std::span<const std::uint8_t> bytes) {
    if (state_.imageLength < 0 || bytes.size() > kMaxImageSize - Length())
        return false;
    std::copy(bytes.begin(), bytes.end(), state_.image.begin() + state_.imageLength);
    state_.imageLength += static_cast<std::int32_t>(bytes.size());
    return true;
}

bool ShowImageWriter::SetLength(std::size_t length) {
    if (length > kMaxImageSize)
        return false;
    state_.imageLength = static_cast<std::int32_t>(length);
    return true;
}
