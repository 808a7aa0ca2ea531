#include "foundation/conversions.h"

#include "foundation/byte_buffer.h"
#include "foundation/status.h"
#include "foundation/text_string.h"

#include <cmath>
#include <cstring>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::int32_t TextLength(const char* text, std::int32_t length) {
    if (length >= 0 || text == nullptr) {
        return length < 0 ? 0 : length;
    }
    return static_cast<std::int32_t>(std::strlen(text));
}

void SetStatus(std::uint8_t* status, std::uint8_t value) {
    if (status != nullptr) {
        *status = value;
    }
}

constexpr double kTwo32 = 4294967296.0;

// The magnitude cut toward zero into 32 bits; larger values wrap.
std::uint32_t CutToUInt32(double magnitude) {
    if (!(magnitude >= 1.0) || !std::isfinite(magnitude)) {
        return 0;
    }
    if (magnitude < kTwo32) {
        return static_cast<std::uint32_t>(magnitude);
    }
    return static_cast<std::uint32_t>(std::fmod(std::trunc(magnitude), kTwo32));
}

const char kEscapeLetters[] = "\\nrt\"'%";
const std::uint8_t kEscapeBytes[] = {0x5C, 0x0A, 0x0D, 0x09, 0x22, 0x27, 0x25};

} // namespace

std::int32_t QOREscapeIndex(std::uint8_t byte) {
    for (std::int32_t i = 0; i < 7; ++i) {
        if (kEscapeBytes[i] == byte) {
            return i;
        }
    }
    return QOR_COUNT_ERROR;
}

std::int32_t QORDecodeEscape(const char* chars, std::int32_t left, std::uint8_t* destination) {
    if (chars == nullptr || left < 1) {
        return QOR_COUNT_ERROR;
    }
    for (std::int32_t i = 0; i < 7; ++i) {
        if (chars[0] == kEscapeLetters[i]) {
            if (destination != nullptr) {
                *destination = kEscapeBytes[i];
            }
            return 1;
        }
    }
    if (chars[0] == 'x') {
        if (left < 3) {
            return QOR_COUNT_ERROR;
        }
        if (destination != nullptr) {
            *destination = QORHexPairToByte(chars[1], chars[2]);
        }
        return 3;
    }
    return QOR_COUNT_ERROR;
}

std::uint8_t QORParseBinaryText(std::int32_t length, const char* text, QORBuffer_c* buffer) {
    if (text == nullptr || buffer == nullptr) {
        return QOR_ERROR;
    }
    length = TextLength(text, length);
    // Every byte made uses at least one character, so the text length is always enough.
    std::uint8_t status = buffer->Resize(length);
    if (status != QOR_OK || length == 0) {
        return status;
    }
    std::uint8_t* out = buffer->Data();
    std::int32_t made = 0;
    std::int32_t rejected = 0;
    std::uint8_t last = QOR_OK;
    bool quoted = false;
    std::int32_t i = 0;

    // A hexadecimal byte after its prefix, at text[i].
    auto hexByte = [&]() {
        if (i >= length) {
            ++rejected; // a prefix at the very end
            return;
        }
        int high = HexValue(text[i]);
        if (high >= 0) {
            int low = i + 1 < length ? HexValue(text[i + 1]) : -1;
            if (low >= 0) {
                out[made++] = static_cast<std::uint8_t>(high * 16 + low);
                i += 2;
            } else {
                out[made++] = static_cast<std::uint8_t>(high);
                ++i;
                // The character after a single digit goes with it; a quote still opens a run.
                if (i < length) {
                    quoted = text[i] == '"';
                    ++i;
                }
            }
            last = QOR_OK;
        } else if (text[i] == '"') {
            quoted = true;
            ++i;
        } else {
            ++rejected;
            ++i;
        }
    };
    // Up to three decimal digits at text[i]; a value above 255 keeps only two.
    auto decimalByte = [&]() {
        std::int32_t digits = 0;
        int value = 0;
        while (digits < 3 && i + digits < length && IsDigit(text[i + digits])) {
            value = value * 10 + (text[i + digits] - '0');
            ++digits;
        }
        if (value > 255) {
            value /= 10;
            digits = 2;
        }
        out[made++] = static_cast<std::uint8_t>(value);
        i += digits;
        last = QOR_OK;
    };

    while (i < length) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\') {
                std::uint8_t byte = 0;
                std::int32_t used = QORDecodeEscape(text + i + 1, length - i - 1, &byte);
                if (used > 0) {
                    out[made++] = byte;
                    last = QOR_OK;
                    i += 1 + used;
                } else {
                    last = QOR_ERROR; // no byte; the letter goes with the backslash
                    i += 2;
                }
            } else if (c == '"') {
                quoted = false;
                ++i;
            } else {
                out[made++] = static_cast<std::uint8_t>(c);
                last = QOR_OK;
                ++i;
            }
            continue;
        }
        const char next = i + 1 < length ? text[i + 1] : '\0';
        if (c == ' ' || c == ',' || c == '_') {
            ++i;
        } else if (c == '"') {
            quoted = true;
            ++i;
        } else if (c == 'h' || c == 'H' || c == '$') {
            ++i;
            hexByte();
        } else if (c == '0' && (next == 'x' || next == 'X')) {
            i += 2;
            hexByte();
        } else if (c == '\\') {
            if (next == 'x' || next == 'X') {
                i += 2;
                hexByte();
            } else {
                ++rejected;
                ++i;
            }
        } else if (IsDigit(c)) {
            decimalByte();
        } else {
            ++rejected;
            ++i;
        }
    }
    out[made] = 0;
    buffer->Rewind(made);
    return rejected > 0 ? QOR_ERROR : last;
}

std::uint32_t QORTextToUInt(std::uint8_t* status, std::int32_t length, const char* text) {
    SetStatus(status, QOR_OK);
    if (text == nullptr) {
        SetStatus(status, QOR_ERROR);
        return 0;
    }
    length = TextLength(text, length);
    std::int32_t i = 0;
    while (i < length && !IsDigit(text[i])) {
        SetStatus(status, QOR_ERROR);
        ++i;
    }
    if (i >= length) {
        SetStatus(status, QOR_ERROR);
        return 0;
    }
    std::uint32_t value = 0;
    while (i < length && IsDigit(text[i])) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    if (i < length) {
        SetStatus(status, QOR_ERROR);
    }
    return value;
}

std::int32_t QORTextToInt(const char* text, std::int32_t length, std::uint8_t* status) {
    if (text == nullptr) {
        SetStatus(status, QOR_ERROR);
        return 0;
    }
    length = TextLength(text, length);
    bool negative = false;
    bool junk = false;
    std::int32_t i = 0;
    while (i < length && !IsDigit(text[i])) {
        if (text[i] == '-') {
            negative = true;
        } else {
            negative = false;
            junk = true;
        }
        ++i;
    }
    std::uint8_t digitsStatus = QOR_OK;
    std::uint32_t magnitude = QORTextToUInt(&digitsStatus, length - i, text + i);
    SetStatus(status, junk ? QOR_ERROR : digitsStatus);
    // Two's complement negation of the 32-bit magnitude (wrapping like the digits do).
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

double QORTextToUDouble(const char* text, std::int32_t length, std::uint8_t* status) {
    if (text == nullptr) {
        SetStatus(status, QOR_ERROR);
        return 0.0;
    }
    length = TextLength(text, length);
    std::int32_t i = 0;
    while (i < length && !IsDigit(text[i])) {
        ++i;
    }
    if (i >= length) {
        SetStatus(status, QOR_ERROR);
        return 0.0;
    }
    std::int32_t intStart = i;
    std::int32_t intEnd = i;
    std::int32_t fracStart = -1;
    std::int32_t fracEnd = -1;
    if (i > 0 && text[i - 1] == '.') {
        // ".5": the point directly before the first digit is the decimal point.
        intEnd = intStart;
        fracStart = i;
    } else {
        while (intEnd < length && IsDigit(text[intEnd])) {
            ++intEnd;
        }
        if (intEnd < length && text[intEnd] == '.') {
            fracStart = intEnd + 1;
        }
    }
    if (fracStart >= 0) {
        fracEnd = fracStart;
        while (fracEnd < length && IsDigit(text[fracEnd])) {
            ++fracEnd;
        }
    }
    double value = 0.0;
    double factor = 1.0;
    for (std::int32_t k = intEnd - 1; k >= intStart; --k) {
        value += (text[k] - '0') * factor;
        factor *= 10.0;
    }
    double scale = 1.0;
    for (std::int32_t k = fracStart; fracStart >= 0 && k < fracEnd; ++k) {
        scale *= 10.0;
        value += (text[k] - '0') / scale;
    }
    SetStatus(status, QOR_OK);
    return value;
}

double QORTextToDouble(const char* text, std::int32_t length, std::uint8_t* status) {
    if (text == nullptr) {
        SetStatus(status, QOR_ERROR);
        return 0.0;
    }
    length = TextLength(text, length);
    bool negative = false;
    for (std::int32_t i = 0; i < length && !IsDigit(text[i]); ++i) {
        // A point directly before the first digit belongs to the number ("-.5").
        const bool point = text[i] == '.' && i + 1 < length && IsDigit(text[i + 1]);
        if (text[i] == '-') {
            negative = true;
        } else if (!point) {
            negative = false;
        }
    }
    double value = QORTextToUDouble(text, length, status);
    return negative ? -value : value;
}

std::int32_t QORDigitCount(std::int32_t value) {
    std::int32_t digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

namespace {

std::int32_t UnsignedDigitCount(std::uint32_t value) {
    std::int32_t digits = 1;
    while (value >= 10u) {
        value /= 10u;
        ++digits;
    }
    return digits;
}

} // namespace

char* QORUIntToText(char* destination, std::int32_t space, std::uint32_t value,
                    std::int32_t* digitCount) {
    const std::int32_t digits = UnsignedDigitCount(value);
    if (digitCount != nullptr) {
        *digitCount = digits;
    }
    if (destination == nullptr || space < digits + 1) {
        return nullptr;
    }
    for (std::int32_t k = digits - 1; k >= 0; --k) {
        destination[k] = static_cast<char>('0' + value % 10u);
        value /= 10u;
    }
    destination[digits] = '\0';
    return destination + digits;
}

char* QORDoubleToText(std::int32_t* count, char* destination, std::int32_t space,
                      std::int32_t decimals, double value) {
    if (count != nullptr) {
        *count = 0;
    }
    if (destination == nullptr || space < 1) {
        return nullptr;
    }
    if (decimals > 9) {
        decimals = 9;
    }
    const std::int32_t k = decimals < 1 ? 1 : decimals;
    if (!(value >= 0.0) || !std::isfinite(value)) {
        value = 0.0; // a negative or non-numeric value has no digits of its own here
    }
    std::uint32_t whole = CutToUInt32(value);
    const double fraction = value - std::trunc(value);
    std::uint32_t tenToK = 1;
    for (std::int32_t step = 0; step < k; ++step) {
        tenToK *= 10u;
    }
    std::uint32_t digits = 0;
    if (fraction != 0.0) {
        double scaled = fraction;
        for (std::int32_t step = 0; step < k; ++step) {
            scaled *= 10.0; // one step per decimal, as the stored texts were made
        }
        digits = static_cast<std::uint32_t>(scaled);
        if (scaled - digits >= 0.5) {
            ++digits;
        }
        if (digits >= tenToK) {
            ++whole;
            digits = 0;
        }
    }
    // Room for the zero byte is always kept.
    char text[24];
    std::int32_t n = 0;
    QORUIntToText(text, sizeof text, whole, &n);
    text[n++] = '.';
    for (std::int32_t place = k - 1; place >= 0; --place) {
        text[n + place] = static_cast<char>('0' + digits % 10u);
        digits /= 10u;
    }
    n += k;
    const std::int32_t written = n < space - 1 ? n : space - 1;
    std::memcpy(destination, text, static_cast<std::size_t>(written));
    destination[written] = '\0';
    if (count != nullptr) {
        *count = written;
    }
    return destination + written;
}

char* QORSignedDoubleToText(double value, std::int32_t space, char* destination,
                            std::int32_t* count, std::int32_t decimals) {
    if (!(value < 0.0)) {
        return QORDoubleToText(count, destination, space, decimals, value);
    }
    if (count != nullptr) {
        *count = 0;
    }
    if (destination == nullptr || space < 2) {
        if (destination != nullptr && space == 1) {
            destination[0] = '\0';
            return destination;
        }
        return nullptr;
    }
    destination[0] = '-';
    std::int32_t rest = 0;
    char* end = QORDoubleToText(&rest, destination + 1, space - 1, decimals, -value);
    if (count != nullptr) {
        *count = rest + 1;
    }
    return end;
}

double QORTrunc(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        return value;
    }
    if (value < 0.0) {
        return -QORTrunc(-value);
    }
    return static_cast<double>(CutToUInt32(value));
}

double QORCeil(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        return value;
    }
    if (value < 0.0) {
        return -QORTrunc(-value);
    }
    const bool hasFraction = value != std::trunc(value);
    return static_cast<double>(CutToUInt32(value)) + (hasFraction ? 1.0 : 0.0);
}

double QORRound(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        return value;
    }
    if (value < 0.0) {
        return -QORRound(-value);
    }
    const bool up = value - std::trunc(value) >= 0.5;
    return static_cast<double>(CutToUInt32(value)) + (up ? 1.0 : 0.0);
}

std::uint8_t QORBytesToHex(std::int32_t capacity, std::int32_t count, char* output,
                           const std::uint8_t* bytes) {
    if (count < 0 || capacity < 2 * static_cast<std::int64_t>(count) ||
        (count > 0 && (output == nullptr || bytes == nullptr))) {
        return QOR_ERROR;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        QORByteToHexPair(output + 2 * i, bytes[i]);
    }
    return QOR_OK;
}

std::uint8_t QORHexToBytes(std::int32_t digitCount, const char* digits, std::uint8_t* output,
                           std::int32_t outputSize) {
    if (digitCount < 0 || outputSize < digitCount / 2) {
        return QOR_ERROR;
    }
    // (n - 2) / 2 + 1 rounded toward minus infinity is n / 2: an odd last digit is ignored.
    const std::int32_t bytes = digitCount / 2;
    if (bytes > 0 && (digits == nullptr || output == nullptr)) {
        return QOR_ERROR;
    }
    for (std::int32_t i = 0; i < bytes; ++i) {
        output[i] = QORHexPairToByte(digits[2 * i], digits[2 * i + 1]);
    }
    return QOR_OK;
}

std::uint8_t QORHexPairToByte(char high, char low) {
    const int h = HexValue(high);
    const int l = HexValue(low);
    return static_cast<std::uint8_t>((h < 0 ? 0 : h) * 16 + (l < 0 ? 0 : l));
}

std::uint8_t QORByteToHexPair(char* destination, std::uint8_t byte) {
    static const char hex[] = "0123456789ABCDEF";
    if (destination == nullptr) {
        return QOR_ERROR;
    }
    destination[0] = hex[byte >> 4];
    destination[1] = hex[byte & 0x0F];
    return QOR_OK;
}

std::uint8_t QORBuffer_c::AssignHex(QORBuffer_c* buffer, const QORString_c* hex) {
    if (buffer == nullptr || hex == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t digits = hex->Length();
    const std::int32_t size = digits / 2;
    if (buffer->Resize(size) != QOR_OK || size < 1) {
        return QOR_ERROR;
    }
    return QORHexToBytes(digits, hex->Chars(), buffer->Data(), size);
}
