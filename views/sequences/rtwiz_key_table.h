// The Real Time Wizard's key table: the event that each key records, read from the text file
// rtwiz.cfg. One line per key: the key's character, a separator ('~' for the key's shifted
// assignment, stored under its code plus 128), then the event name and up to four data words
// separated by blanks, and after a ';' a comment.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rtwiz {

inline constexpr const char* kKeyTableFileName = "rtwiz.cfg";

// The texts of one key's event.
struct KeyAssignment {
    std::string event;
    std::array<std::string, 4> data; // Data1 to Data4
    std::string comment;

    bool operator==(const KeyAssignment&) const = default;
};

class KeyTable {
public:
    static constexpr int kCodes = 256;

    // Reads the file's text; assignments read before replace nothing they do not name.
    void Parse(std::string_view text);
    // The assignment of a key code; empty texts for a code outside 0-255 or unassigned.
    const KeyAssignment& At(int code) const;

private:
    std::array<KeyAssignment, kCodes> m_keys;
};

// Where rtwiz.cfg is: the program's folder, the current folder, then each folder of the PATH
// list, the name matched without regard to case; none when no folder holds it.
std::optional<std::filesystem::path> FindKeyTableFile(const std::filesystem::path& programDir,
                                                      const std::filesystem::path& currentDir,
                                                      std::string_view pathList);

// Reads the file whole into a table; false when it cannot be opened or read.
bool LoadKeyTable(const std::filesystem::path& file, KeyTable& table);

} // namespace rtwiz
