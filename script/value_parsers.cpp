#include "script/value_parsers.h"

#include "script/text_utils.h"

#include <climits>
#include <cstdint>
#include <string>

namespace {

struct ValueLimits {
    std::size_t maxBinaryDigits;
    std::uint32_t maximum;
};

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

// Reads the digits in the given radix. Anything above the maximum answers -1 at once, so a
// digit string of any length neither overflows nor turns into a small number.
long ReadDigits(const std::string& digits, unsigned radix, std::uint32_t maximum) {
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * radix + static_cast<unsigned>(HexDigitValue(c));
        if (value > maximum)
            return -1;
    }
    return static_cast<long>(value);
}

int ParseValue(std::string_view text, const ValueLimits& limits) {
    if (text.empty())
        return -1;
    bool binary = false;
    bool percent = false;
    bool hex = false;
    std::string digits;
    for (char c : text) {
        if (c == '#') {
            binary = true;
        } else if (c == '%') {
            percent = true;
        } else if (c == 'h' || c == 'H' || c == 'x' || c == 'X') {
            hex = true;
        } else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            digits += c;
            hex = true;
        } else if (c >= '0' && c <= '9') {
            digits += c;
        } else {
            return -1;
        }
    }

    long value;
    if (hex) {
        value = ReadDigits(digits, 16, limits.maximum);
    } else if (binary) {
        if (digits.size() > limits.maxBinaryDigits)
            return -1;
        for (char c : digits)
            if (c != '0' && c != '1')
                return -1;
        value = ReadDigits(digits, 2, limits.maximum);
    } else {
        value = ReadDigits(digits, 10, limits.maximum);
    }
    if (value < 0)
        return -1;

    if (percent) {
        if (value > 100)
            return -1;
        // Integer arithmetic gives exactly the truncated value x 2.55 (x 655.35 for words).
        return static_cast<int>(value * static_cast<long>(limits.maximum) / 100);
    }
    return static_cast<int>(value);
}

} // namespace

int ParseByteValue(std::string_view text) {
    return ParseValue(text, {8, 255});
}

int ParseWordValue(std::string_view text) {
    return ParseValue(text, {16, 65535});
}

ByteString DataElementToBytes(std::string_view element) {
    const int byteValue = ParseByteValue(element);
    if (byteValue >= 0)
        return {static_cast<std::uint8_t>(byteValue)};
    const int wordValue = ParseWordValue(element);
    if (wordValue >= 0)
        return {static_cast<std::uint8_t>(wordValue & 0xFF),
                static_cast<std::uint8_t>(wordValue >> 8)};
    if (element.size() >= 2 && element.front() == '"' && element.back() == '"')
        return ByteString(element.begin() + 1, element.end() - 1);
    return {};
}

int ReadLeadingInt(std::string_view text, bool* overflow) {
    if (overflow)
        *overflow = false;
    std::size_t i = 0;
    while (i < text.size() && IsNameWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            if (overflow)
                *overflow = true;
            return negative ? INT_MIN : INT_MAX;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
