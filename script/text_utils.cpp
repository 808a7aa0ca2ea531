#include "script/text_utils.h"

#include "platform/paths.h"
#include "script/value_parsers.h"

#include <algorithm>

bool IsNameWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string NormalizeName(std::string_view text, bool convertBlanks) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsNameWhiteSpace(text[first]))
        ++first;
    while (last > first && IsNameWhiteSpace(text[last - 1]))
        --last;
    std::string result(text.substr(first, last - first));
    if (convertBlanks) {
        bool inQuotes = false;
        for (char& c : result) {
            if (c == '"')
                inQuotes = !inQuotes;
            else if (!inQuotes && IsNameWhiteSpace(c))
                c = '_';
        }
    }
    return result;
}

std::string StripAmpersands(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != '&')
            result += c;
    return result;
}

std::string DoubleAmpersands(std::string_view text) {
    std::string result;
    result.reserve(text.size() * 2);
    for (char c : text) {
        result += c;
        if (c == '&')
            result += '&';
    }
    return result;
}

bool HasArrow(std::string_view text) {
    return text.find("->") != std::string_view::npos;
}

std::string TextBeforeLastArrow(std::string_view text) {
    const std::size_t gt = text.rfind('>');
    if (gt == std::string_view::npos || gt == 0)
        return {};
    const std::size_t dash = text.rfind('-', gt - 1);
    if (dash == std::string_view::npos)
        return {};
    return std::string(text.substr(0, dash));
}

std::string TextAfterLastArrow(std::string_view text) {
    const std::size_t gt = text.rfind('>');
    if (gt == std::string_view::npos)
        return std::string(text);
    return std::string(text.substr(gt + 1));
}

std::string DirectoryOfPath(std::string_view path) {
    // Paths from files and settings may carry either separator.
    const std::size_t sep = path.find_last_of("\\/");
    if (sep == std::string_view::npos)
        return {};
    return std::string(path.substr(0, sep));
}

namespace {

// A runaway digit string counts as no number rather than wrapping to a small one.
bool FieldToInt(std::string_view field, int& value) {
    bool overflow = false;
    const int read = ReadLeadingInt(field, &overflow);
    if (overflow)
        return false;
    value = read;
    return true;
}

} // namespace

std::array<int, 4> SplitFourInts(std::string_view text) {
    std::array<int, 4> out{-1, -1, -1, -1};
    std::size_t index = 0;
    std::size_t start = 0;
    while (index < out.size()) {
        const std::size_t comma = text.find(',', start);
        const bool atEnd = comma == std::string_view::npos;
        const std::string_view field =
            text.substr(start, atEnd ? std::string_view::npos : comma - start);
        // The last field counts only after an earlier one has been stored, so a lone number
        // (no comma at all) is not taken for a position.
        if (!atEnd || out[0] != -1) {
            int value = -1;
            if (FieldToInt(field, value))
                out[index] = value;
        }
        ++index;
        if (atEnd)
            break;
        start = comma + 1;
    }
    return out;
}

std::uint16_t CommaFieldToInt(std::string_view text, int n) {
    if (n < 0 || text.find(',') == std::string_view::npos)
        return 0;
    std::size_t start = 0;
    for (int field = 0; field < n; ++field) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            return 0;
        start = comma + 1;
    }
    const std::size_t comma = text.find(',', start);
    int value = 0;
    if (!FieldToInt(text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                       : comma - start),
                    value))
        return 0;
    // Into the 16-bit range, not wrapped: -1 would otherwise be a width of 65535.
    return value < 0 ? 0 : static_cast<std::uint16_t>(std::min(value, 0xFFFF));
}

SplitText SplitTextAtBlank(std::string_view text, std::size_t n) {
    if (text.size() < n || n == 0)
        return {std::string(text), {}};
    const std::size_t blank = text.substr(0, n).rfind(' ');
    if (blank == std::string_view::npos)
        return {std::string(text), {}};
    return {std::string(text.substr(0, blank)), std::string(text.substr(blank + 1))};
}

bool ScriptTitlesMatch(std::string_view a, std::string_view b) {
    return platform::EqualsNoCase(NormalizeName(a, true), NormalizeName(b, true));
}
