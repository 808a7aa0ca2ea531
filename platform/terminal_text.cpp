#include "platform/terminal_text.h"

namespace platform {

std::string TerminalSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool control = (byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F ||
                             (byte >= 0x80 && byte < 0xA0);
        if (!control) {
            out += c;
            continue;
        }
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

} // namespace platform
