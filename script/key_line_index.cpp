#include "script/key_line_index.h"

#include "script/ini_scanner.h"

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string KeyLineIndex::UpperKey(std::string_view key) {
    std::string upper(key);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

void KeyLineIndex::Scan(std::string_view text, std::size_t from, const Options& options) {
    m_Values.clear();
    m_bStopFound = false;
    m_nStopLineEnd = 0;
    const std::string stopKey = UpperKey(options.stopKey);

    enum class State { LineStart, InKey, ValueStart, InValue, Skip };
    State state = State::LineStart;
    std::string key;
    std::string value;

    // A line with a value has ended (just before `end`): keep it unless its key has one.
    auto finishValue = [&](std::size_t end) {
        const bool stop = !stopKey.empty() && key == stopKey;
        m_Values.try_emplace(std::move(key), std::move(value));
        key.clear();
        value.clear();
        if (stop) {
            m_bStopFound = true;
            m_nStopLineEnd = end;
        }
        return stop;
    };

    for (std::size_t pos = from; pos < text.size(); ++pos) {
        const char c = text[pos];
        switch (state) {
        case State::LineStart:
            if (IsBlankOrTab(c) || IsLineEnd(c))
                break;
            if (c == ';') {
                state = State::Skip;
            } else if (c == '[') {
                return; // the next section begins
            } else {
                key.assign(1, c);
                state = State::InKey;
            }
            break;
        case State::InKey:
            if (IsLineEnd(c)) {
                state = State::LineStart; // a line without '=' is no key line
            } else if (c == ';') {
                state = State::Skip;
            } else if (c == '=') {
                key = UpperKey(key);
                state = State::ValueStart;
            } else {
                key.push_back(c);
            }
            break;
        case State::ValueStart:
            if (IsBlankOrTab(c))
                break;
            if (IsLineEnd(c)) {
                state = State::LineStart; // an empty value does not count
            } else if (c == ';' && !options.commentOnlyValues) {
                state = State::Skip;
            } else {
                value.assign(1, c);
                state = State::InValue;
            }
            break;
        case State::InValue:
            if (IsLineEnd(c)) {
                if (finishValue(pos + 1))
                    return;
                state = State::LineStart;
            } else {
                value.push_back(c);
            }
            break;
        case State::Skip:
            if (IsLineEnd(c))
                state = State::LineStart;
            break;
        }
    }
    // The end of the text ends a last line that has no line end.
    if (state == State::InValue)
        finishValue(text.size());
}

const std::string* KeyLineIndex::Find(std::string_view key) const {
    auto it = m_Values.find(UpperKey(key));
    return it == m_Values.end() ? nullptr : &it->second;
}

std::string KeyLineIndex::Text(std::string_view key, std::string_view defaultText) const {
    const std::string* value = Find(key);
    return value ? *value : std::string(defaultText);
}

int KeyLineIndex::Int(std::string_view key, std::uint16_t defaultValue) const {
    const std::string* value = Find(key);
    return value ? IniScanner::TextToInt(*value) : defaultValue;
}

double KeyLineIndex::Double(std::string_view key, double defaultValue) const {
    const std::string* value = Find(key);
    return value ? IniScanner::TextToDouble(*value) : defaultValue;
}
