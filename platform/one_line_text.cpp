#include "platform/one_line_text.h"

#include <cstring>

namespace platform {

bool HasLineBreak(std::string_view text) {
    return !text.empty() && (std::memchr(text.data(), '\n', text.size()) != nullptr ||
                             std::memchr(text.data(), '\r', text.size()) != nullptr);
}

std::string OneLineText(std::string_view text) {
    std::string result(text);
    MakeOneLine(result);
    return result;
}

void MakeOneLine(std::string& text) {
    if (!HasLineBreak(text))
        return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i; // CR LF is one line break
            c = ' ';
        }
        text[out++] = c;
    }
    text.resize(out);
}

} // namespace platform
