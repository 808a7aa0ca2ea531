#include "views/sequences/rtwiz_key_table.h"

#include "platform/paths.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace rtwiz {

namespace {

// A table file is a page of text: anything far larger is not one, and is not read whole.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The next word: leading white space dropped, up to the next blank (or the end).
std::string TakeWord(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsWhiteSpace(rest[start]))
        ++start;
    rest.remove_prefix(start);
    const std::size_t blank = rest.find(' ');
    std::string word(rest.substr(0, blank));
    rest.remove_prefix(blank == std::string_view::npos ? rest.size() : blank);
    return word;
}

} // namespace

void KeyTable::Parse(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::erase(line, '\r');
        if (line.empty())
            continue;
        const auto key = static_cast<unsigned char>(line[0]);
        if (key < 0x21 || key > 0x7F)
            continue;
        // A line of nothing but its key (and separator) ends the table.
        if (line.size() <= 2)
            return;
        const int code = line[1] == '~' ? key + 128 : key;
        std::string_view rest = std::string_view(line).substr(2);

        KeyAssignment assignment;
        const std::size_t semicolon = rest.find(';');
        if (semicolon != std::string_view::npos && semicolon + 1 < rest.size()) {
            assignment.comment = std::string(rest.substr(semicolon + 1));
            rest = rest.substr(0, semicolon);
        }
        assignment.event = TakeWord(rest);
        for (std::string& data : assignment.data)
            data = TakeWord(rest);
        m_keys[static_cast<std::size_t>(code)] = std::move(assignment);
    }
}

const KeyAssignment& KeyTable::At(int code) const {
    static const KeyAssignment kNone;
    if (code < 0 || code >= kCodes)
        return kNone;
    return m_keys[static_cast<std::size_t>(code)];
}

std::optional<std::filesystem::path> FindKeyTableFile(const std::filesystem::path& programDir,
                                                      const std::filesystem::path& currentDir,
                                                      std::string_view pathList) {
    auto lookIn = [](const std::filesystem::path& dir) -> std::optional<std::filesystem::path> {
        if (dir.empty())
            return std::nullopt;
        std::optional<std::filesystem::path> found = platform::FindNoCase(dir, kKeyTableFileName);
        std::error_code error;
        if (found && std::filesystem::is_regular_file(*found, error))
            return found;
        return std::nullopt;
    };
    if (auto found = lookIn(programDir))
        return found;
    if (auto found = lookIn(currentDir))
        return found;
    while (!pathList.empty()) {
        const std::size_t colon = pathList.find(':');
        const std::string_view dir = pathList.substr(0, colon);
        pathList.remove_prefix(colon == std::string_view::npos ? pathList.size() : colon + 1);
        if (auto found = lookIn(std::filesystem::path(dir)))
            return found;
    }
    return std::nullopt;
}

bool LoadKeyTable(const std::filesystem::path& file, KeyTable& table) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxFileSize)
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return false;
    table.Parse(text.str());
    return true;
}

} // namespace rtwiz
