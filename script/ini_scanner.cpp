#include "script/ini_scanner.h"

#include "platform/paths.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

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
    m_Headers.clear();
    m_bIndexed = false;
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

std::optional<IniScanner::Header> IniScanner::HeaderOnLine(std::size_t open,
                                                           std::size_t lineEnd) const {
    // A '[' without its ']' on the same line is no header.
    const void* close = std::memchr(m_pBuffer + open + 1, ']', lineEnd - open - 1);
    if (!close)
        return std::nullopt;
    return Header{open, static_cast<std::size_t>(static_cast<const char*>(close) - m_pBuffer),
                  lineEnd < m_nSize ? lineEnd + 1 : m_nSize};
}

bool IniScanner::ScanSection(std::string_view name, bool anySection, bool continueSearch,
                             std::string* collected) {
    // Answers whether the header matches; when it does, the search stands after its line.
    auto take = [&](const Header& header) {
        const std::string_view text(m_pBuffer + header.open + 1, header.close - header.open - 1);
        if (!anySection && (text.size() < name.size() ||
                            !platform::EqualsNoCase(text.substr(0, name.size()), name)))
            return false;
        m_nPosition = header.next;
        if (collected)
            collected->assign(text);
        return true;
    };

    std::size_t pos = continueSearch ? m_nPosition : 0;
    if (pos > 0 && pos < m_nSize && !IsLineEnd(m_pBuffer[pos - 1])) {
        // A search from the middle of a line reads the rest of it as a line of its own; from
        // its line end on, the headers are the index's.
        while (pos < m_nSize && IsBlankOrTab(m_pBuffer[pos]))
            ++pos;
        if (pos < m_nSize && !IsLineEnd(m_pBuffer[pos])) {
            std::size_t end = pos;
            while (end < m_nSize && !IsLineEnd(m_pBuffer[end]))
                ++end;
            if (m_pBuffer[pos] == '[') {
                const std::optional<Header> header = HeaderOnLine(pos, end);
                if (header && take(*header))
                    return true;
            }
            pos = end;
        }
        if (pos >= m_nSize)
            return false;
        ++pos; // past the line end
    }

    if (!m_bIndexed)
        IndexHeaders();
    auto it = std::lower_bound(m_Headers.begin(), m_Headers.end(), pos,
                               [](const Header& h, std::size_t at) { return h.open < at; });
    for (; it != m_Headers.end(); ++it)
        if (take(*it))
            return true;
    return false;
}

void IniScanner::IndexHeaders() {
    m_Headers.clear();
    m_bIndexed = true;
    // A header begins at a '[' with nothing but blanks and tabs before it on its line, so
    // only the brackets need looking at, not every line.
    for (std::size_t open = 0; open < m_nSize; ++open) {
        const void* bracket = std::memchr(m_pBuffer + open, '[', m_nSize - open);
        if (!bracket)
            break;
        open = static_cast<std::size_t>(static_cast<const char*>(bracket) - m_pBuffer);
        std::size_t before = open;
        while (before > 0 && IsBlankOrTab(m_pBuffer[before - 1]))
            --before;
        if (before > 0 && !IsLineEnd(m_pBuffer[before - 1]))
            continue;
        std::size_t lineEnd = open + 1;
        while (lineEnd < m_nSize && !IsLineEnd(m_pBuffer[lineEnd]))
            ++lineEnd;
        if (const std::optional<Header> header = HeaderOnLine(open, lineEnd))
            m_Headers.push_back(*header);
        open = lineEnd - 1; // no other header on this line
    }
}

IniScanner::SectionKeys IniScanner::ReadSectionKeys() const {
    // The lines as LookupKey reads them: a line whose key has an empty value does not count,
    // so the first entry with a key is what a lookup of that key finds.
    SectionKeys keys;
    std::size_t pos = m_nPosition;
    while (pos < m_nSize) {
        const char c = m_pBuffer[pos];
        if (IsBlankOrTab(c) || IsLineEnd(c)) {
            ++pos;
            continue;
        }
        if (c == '[')
            break; // the next section begins
        std::size_t lineEnd = pos;
        while (lineEnd < m_nSize && !IsLineEnd(m_pBuffer[lineEnd]))
            ++lineEnd;
        if (c != ';') {
            std::size_t equals = pos;
            while (equals < lineEnd && m_pBuffer[equals] != '=' && m_pBuffer[equals] != ';')
                ++equals;
            if (equals < lineEnd && m_pBuffer[equals] == '=') {
                std::size_t value = equals + 1;
                while (value < lineEnd && IsBlankOrTab(m_pBuffer[value]))
                    ++value;
                if (value < lineEnd && m_pBuffer[value] != ';')
                    keys.entries_.emplace_back(
                        std::string_view(m_pBuffer + pos, equals - pos),
                        std::string_view(m_pBuffer + value, lineEnd - value));
            }
        }
        pos = lineEnd;
    }
    return keys;
}

std::string IniScanner::SectionKeys::Find(std::string_view key,
                                          std::string_view defaultText) const {
    for (const auto& [name, value] : entries_)
        if (platform::EqualsNoCase(name, key))
            return std::string(value);
    return std::string(defaultText);
}

IniScanner::Found IniScanner::LookupKey(std::string_view key, bool numeric) const {
    enum class State { LineStart, InKey, ValueStart, InValue, NumericTail, Comment };
    State state = State::LineStart;
    // Keys and values are ranges of the buffer, copied only when found: start-up reads every
    // key of hundreds of files.
    std::size_t keyStart = 0;
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    Found result;
    auto found = [&](std::size_t lineEnd) {
        result.found = true;
        result.lineEnd = lineEnd;
        result.value.assign(m_pBuffer + valueStart, valueEnd - valueStart);
        return result;
    };

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
                keyStart = pos;
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
                const std::string_view collectedKey(m_pBuffer + keyStart, pos - keyStart);
                state =
                    platform::EqualsNoCase(collectedKey, key) ? State::ValueStart : State::Comment;
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
                valueStart = pos;
                state = State::InValue;
            }
            break;
        case State::InValue:
            if (IsLineEnd(c)) {
                valueEnd = pos;
                return found(pos + 1);
            }
            if (c == ';' && numeric) {
                valueEnd = pos;
                state = State::NumericTail;
            }
            break;
        case State::NumericTail:
            if (IsLineEnd(c))
                return found(pos + 1);
            break;
        case State::Comment:
            if (IsLineEnd(c))
                state = State::LineStart;
            break;
        }
    }
    // The end of the buffer ends a last line that has no line end.
    if (state == State::InValue) {
        valueEnd = m_nSize;
        return found(m_nSize);
    }
    if (state == State::NumericTail)
        return found(m_nSize);
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
