#include "compiler/parameter_encoders.h"

#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal digit string read up to a limit; anything above it (however many digits) answers
// limit + 1, so runaway texts fail their range check instead of wrapping.
std::uint32_t ReadDecimal(const std::string& digits, std::uint32_t limit) {
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit)
            return limit + 1;
    }
    return static_cast<std::uint32_t>(value);
}

ByteString TextBytes(const std::string& text) {
    return ByteString(text.begin(), text.end());
}

std::string TwoDigits(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%2.2u", value);
    return buffer;
}

// Up to four dot-separated decimal fields of at most 255 each, white space skipped, missing
// fields 0. False for a fifth field, another character or a field above 255.
bool ReadAddressFields(std::string_view text, std::array<std::uint8_t, 4>& fields) {
    fields = {0, 0, 0, 0};
    std::size_t count = 0;
    std::string digits;
    auto close = [&]() {
        if (count >= 4)
            return false;
        const std::uint32_t value = ReadDecimal(digits, 255);
        if (value > 255)
            return false;
        fields[count++] = static_cast<std::uint8_t>(value);
        digits.clear();
        return true;
    };
    for (char c : text) {
        if (c == '.') {
            if (!close())
                return false;
        } else if (IsNameWhiteSpace(c)) {
            continue;
        } else if (IsDigit(c)) {
            digits += c;
        } else {
            return false;
        }
    }
    return close();
}

} // namespace

ByteString DataStringToBytes(std::string_view text) {
    ByteString result;
    if (text.empty())
        return result;
    bool inQuotes = false;
    std::string element;
    auto closeElement = [&]() {
        const ByteString bytes = DataElementToBytes(element);
        result.insert(result.end(), bytes.begin(), bytes.end());
        element.clear();
    };
    for (char c : text) {
        if (c == '"') {
            element += c;
            inQuotes = !inQuotes;
        } else if (c == ',' || IsNameWhiteSpace(c) || c == '_') {
            if (inQuotes)
                element += c;
            else
                closeElement();
        } else {
            element += c;
        }
    }
    // The end mark: an open quote swallows it, and that last element never closes.
    if (!inQuotes)
        closeElement();
    return result;
}

ByteString FrameStringToDigits(std::string_view text) {
    if (text.empty() || text.size() > 6)
        return {};
    for (char c : text)
        if (!IsDigit(c))
            return {};
    return ByteString(text.begin(), text.end());
}

ByteString TimeStringToDigits(std::string_view text) {
    const auto split = SplitTimeFields(text);
    if (!split)
        return {};
    const std::array<std::string, 4>& fields = *split;
    const std::uint32_t hours = ReadDecimal(fields[0], 99);
    const std::uint32_t minutes = ReadDecimal(fields[1], 99);
    const std::uint32_t seconds = ReadDecimal(fields[2], 99);
    const std::uint32_t frames = ReadDecimal(fields[3], 99);
    if (hours > 23 || minutes > 59 || seconds > 59 || frames > 29)
        return {};
    std::string digits;
    if (!fields[0].empty())
        digits = TwoDigits(hours) + TwoDigits(minutes) + TwoDigits(seconds) + TwoDigits(frames);
    else if (!fields[1].empty())
        digits = TwoDigits(minutes) + TwoDigits(seconds) + TwoDigits(frames);
    else
        digits = TwoDigits(seconds) + TwoDigits(frames);
    return TextBytes(digits);
}

ByteString TrackStringToDigits(std::string_view text) {
    std::string first;
    std::string current;
    bool dash = false;
    for (char c : text) {
        if (IsDigit(c)) {
            current += c;
        } else if (IsNameWhiteSpace(c)) {
            continue;
        } else if (c == '-') {
            first = std::move(current);
            current.clear();
            dash = true;
        } else {
            return {};
        }
    }
    if (!dash)
        return {};
    const std::uint32_t track = ReadDecimal(first, 99);
    const std::uint32_t index = ReadDecimal(current, 99);
    if (track > 99 || index > 99)
        return {};
    return TextBytes(TwoDigits(track) + TwoDigits(index));
}

ByteString IpAddressToBytes(std::string_view text) {
    if (text.empty())
        return {};
    std::array<std::uint8_t, 4> fields;
    if (!ReadAddressFields(text, fields))
        return {};
    return ByteString(fields.begin(), fields.end());
}

ByteString QornetValueToBytes(std::string_view text) {
    if (text.empty())
        return {};
    std::uint32_t value = 0;
    if (text.find('.') != std::string_view::npos) {
        std::array<std::uint8_t, 4> fields;
        if (!ReadAddressFields(text, fields))
            return {};
        // An address always takes the five-byte form, whatever its value.
        return {0xFD, fields[0], fields[1], fields[2], fields[3]};
    }
    bool percent = false;
    bool hex = false;
    std::string digits;
    for (char c : text) {
        if (c == '%') {
            percent = true;
        } else if (c == 'h' || c == 'H' || c == 'x' || c == 'X') {
            hex = true;
        } else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            hex = true;
            digits += c;
        } else if (IsDigit(c)) {
            digits += c;
        } else {
            return {};
        }
    }
    // A digit string beyond 32 bits saturates to invalid rather than wrapping.
    std::uint64_t wide = 0;
    for (char c : digits) {
        unsigned digit;
        if (IsDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            digit = static_cast<unsigned>(c - 'A' + 10);
        wide = wide * (hex ? 16 : 10) + digit;
        if (wide > 0xFFFFFFFFull)
            return {};
    }
    value = static_cast<std::uint32_t>(wide);
    if (percent) {
        if (value > 100)
            return {};
        if (value == 100)
            value = 0xFFFFFFFFu;
        else
            value = value * 255u / 100u; // x 2.55, truncated
    }
    if (value < 253)
        return {static_cast<std::uint8_t>(value)};
    if (value < 65536)
        return {0xFF, static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    if (value < 16777216)
        return {0xFE, static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)};
    return {0xFD, static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}
