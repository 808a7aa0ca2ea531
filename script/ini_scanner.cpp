#include "script/ini_scanner.h"

#include "platform/paths.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void IniScanner::SetBuffer(const char* buffer, std::size_t size) {
    m_pBuffer = buffer;
    m_nSize = buffer ? size : 0;
    m_nPosition = 0;
}

void IniScanner::SetPosition(std::size_t position) {
    m_nPosition = position < m_nSize ? position : m_nSize;
}

bool IniScanner::FindSection(std::string_view name, bool continueSearch) {
    return ScanSection(name, false, continueSearch, nullptr);
}

std::string IniScanner::NextSectionName(bool continueSearch) {
    std::string name;
    if (!ScanSection({}, true, continueSearch, &name))
        return {};
    return name;
}

bool IniScanner::ScanSection(std::string_view name, bool anySection, bool continueSearch,
                             std::string* collected) {
    enum class State { LineStart, SkipLine, InHeader, AfterHeader };
    State state = State::LineStart;
    std::string header;
    std::size_t pos = continueSearch ? m_nPosition : 0;

    // A header line has ended (at a line end or at the buffer's end): does it match?
    auto matches = [&]() {
        if (anySection)
            return true;
        return header.size() >= name.size() &&
               platform::EqualsNoCase(std::string_view(header).substr(0, name.size()), name);
    };

    for (; pos < m_nSize; ++pos) {
        char c = m_pBuffer[pos];
        switch (state) {
        case State::LineStart:
            if (c == ' ' || c == '\t' || IsLineEnd(c))
                break;
            if (c == '[') {
                header.clear();
                state = State::InHeader;
            } else {
                // A comment, a key line or anything else: no header can start in it.
                state = State::SkipLine;
            }
            break;
        case State::SkipLine:
            if (IsLineEnd(c))
                state = State::LineStart;
            break;
        case State::InHeader:
            if (c == ']') {
                state = State::AfterHeader;
            } else if (IsLineEnd(c)) {
                // A '[' without its ']' on the same line is no header; collecting on would
                // swallow the headers of the lines below.
                state = State::LineStart;
            } else {
                header.push_back(c);
            }
            break;
        case State::AfterHeader:
            if (IsLineEnd(c)) {
                if (matches()) {
                    m_nPosition = pos + 1;
                    if (collected)
                        *collected = std::move(header);
                    return true;
                }
                state = State::LineStart;
            }
            break;
        }
    }
    // The end of the buffer ends a last header line as a line end would.
    if (state == State::AfterHeader && matches()) {
        m_nPosition = m_nSize;
        if (collected)
            *collected = std::move(header);
        return true;
    }
    return false;
}

IniScanner::Found IniScanner::LookupKey(std::string_view key, bool numeric) const {
    enum class State { LineStart, InKey, ValueStart, InValue, NumericTail, Comment };
    State state = State::LineStart;
    std::string collectedKey;
    Found result;

    std::size_t pos = m_nPosition;
    for (; pos < m_nSize; ++pos) {
        char c = m_pBuffer[pos];
        switch (state) {
        case State::LineStart:
            if (IsBlankOrTab(c) || IsLineEnd(c))
                break;
            if (c == ';') {
                state = State::Comment;
            } else if (c == '[') {
                return result; // the next section begins
            } else {
                collectedKey.assign(1, c);
                state = State::InKey;
            }
            break;
        case State::InKey:
            if (IsLineEnd(c)) {
                state = State::LineStart; // a line without '=' is ignored
            } else if (c == ';') {
                state = State::Comment;
            } else if (c == '=') {
                // Blanks before '=' belong to the key.
                state =
                    platform::EqualsNoCase(collectedKey, key) ? State::ValueStart : State::Comment;
            } else {
                collectedKey.push_back(c);
            }
            break;
        case State::ValueStart:
            if (IsBlankOrTab(c))
                break;
            if (IsLineEnd(c)) {
                state = State::LineStart; // an empty value: look on in later lines
            } else if (c == ';') {
                state = State::Comment;
            } else {
                result.value.assign(1, c);
                state = State::InValue;
            }
            break;
        case State::InValue:
            if (IsLineEnd(c)) {
                result.found = true;
                result.lineEnd = pos + 1;
                return result;
            }
            if (c == ';' && numeric) {
                state = State::NumericTail;
            } else {
                result.value.push_back(c);
            }
            break;
        case State::NumericTail:
            if (IsLineEnd(c)) {
                result.found = true;
                result.lineEnd = pos + 1;
                return result;
            }
            break;
        case State::Comment:
            if (IsLineEnd(c))
                state = State::LineStart;
            break;
        }
    }
    // The end of the buffer ends a last line that has no line end.
    if (state == State::InValue || state == State::NumericTail) {
        result.found = true;
        result.lineEnd = m_nSize;
        return result;
    }
    result.value.clear();
    return result;
}

std::string IniScanner::ReadKey(std::string_view key, std::string_view defaultText) const {
    Found f = LookupKey(key, false);
    return f.found ? std::move(f.value) : std::string(defaultText);
}

std::string IniScanner::ReadNextKey(std::string_view key, std::string_view defaultText) {
    Found f = LookupKey(key, false);
    if (!f.found)
        return std::string(defaultText);
    m_nPosition = f.lineEnd;
    return std::move(f.value);
}

int IniScanner::ReadIntKey(std::string_view key, std::uint16_t defaultValue) const {
    Found f = LookupKey(key, true);
    return f.found ? TextToInt(f.value) : defaultValue;
}

double IniScanner::ReadDoubleKey(std::string_view key, double defaultValue) const {
    Found f = LookupKey(key, true);
    return f.found ? TextToDouble(f.value) : defaultValue;
}

int IniScanner::TextToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulate towards the sign so that INT_MIN itself is representable.
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    bool saturated = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (saturated)
            continue;
        value = value * 10 + (text[i] - '0');
        if (value >= limit) {
            value = limit;
            saturated = true;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

double IniScanner::TextToDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Only digits or a point may begin the number ("inf" and "nan" are no numbers here).
    bool startsNumber =
        i < text.size() &&
        (IsDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1])));
    if (!startsNumber)
        return 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return 0.0;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: tell overflow from underflow by the exponent.
        bool tiny = false;
        for (const char* p = first; p < ptr; ++p) {
            if ((*p == 'e' || *p == 'E') && p + 1 < ptr && p[1] == '-')
                tiny = true;
        }
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}
