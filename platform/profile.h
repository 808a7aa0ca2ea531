// Settings and data files in the INI form of the Windows private-profile functions: sections and
// keys matched without regard to case, the value being the text after '=' with the white space
// around it dropped, no quoting or escaping. A write changes only the line of its key (a new key
// goes to the end of its section, a new section to the end of the file); every other line keeps
// its text, its place and its own line ending. Files are replaced whole through a temporary file
// in the same folder, so a crash leaves either the old or the new profile, and they are private
// to the user (mode 0600): the settings may hold passwords.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// The folder of the program's profiles: $XDG_CONFIG_HOME/velmora, or ~/.config/velmora.
std::filesystem::path ProfileDirectory();
// The path of one of the program's profiles in that folder ("velmora.ini" by default).
std::filesystem::path DefaultProfilePath(std::string_view fileName = "velmora.ini");

// One profile held in memory, line by line as the file has it.
class ProfileFile {
public:
    // Reads a file. A file that does not exist reads as an empty profile (the profile functions
    // answer defaults for it); answers false only when the file exists but cannot be read.
    bool Load(const std::filesystem::path& path);
    // Why the last Load answered false (the system's reason), else empty.
    const std::string& LoadError() const { return loadError_; }
    // Takes the profile from a text (lines end in LF or CR LF).
    void Parse(std::string_view text);

    // The value of a key, or nullopt when the section or the key is missing. The first of
    // several equal sections or keys counts.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // The leading decimal number of the value (blanks, an optional sign, digits). A missing
    // key, an empty value or one that does not begin with a number gives the default. Numbers
    // beyond the range of int saturate to its limits, so a range check still rejects them.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    // True when the value equals "TRUE" without regard to case; a missing key gives the default.
    bool GetBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool HasSection(std::string_view section) const;

    // Sets a key's value. Refuses (false, nothing changed) what a line cannot hold: an empty
    // section or key, a line break anywhere, a ']' in the section, a '=' in the key or a key
    // that would read as a section or comment line.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

    // The profile as file text.
    std::string Text() const;
    // Writes the text to `path` through a temporary file in the same folder, renamed over it;
    // creates the folder when it is missing. The file has mode 0600. On failure the file is
    // as it was.
    bool Save(const std::filesystem::path& path) const;
    // Why the last Save answered false (the system's reason), else empty.
    const std::string& SaveError() const { return saveError_; }

private:
    struct Line {
        std::string text;   // without its line ending
        std::string ending; // "\r\n", "\n", or empty for a last line without one
    };
    std::optional<size_t> FindSectionLine(std::string_view section) const;
    // The first line after the section's header that belongs to the next section (or the end).
    size_t SectionEnd(size_t header) const;
    std::optional<size_t> FindKeyLine(size_t header, std::string_view key) const;
    std::string NewLineEnding() const;
    // Lookups go through an index of the first header of each section and the first line of
    // each key in it (names folded to lower case), built on first use after a change: product
    // files are read key by key, over a thousand lookups a file.
    void BuildIndex() const;
    void Invalidate() { indexed_ = false; }

    struct SectionIndex {
        size_t header = 0;
        std::unordered_map<std::string, size_t> keys;
    };
    std::vector<Line> lines_;
    mutable std::unordered_map<std::string, SectionIndex> index_;
    mutable bool indexed_ = false;
    std::string loadError_;
    mutable std::string saveError_;
};

// The profile functions: each call reads the file at `path` afresh; a write reads, changes the
// one line and replaces the file. Calls without a path use DefaultProfilePath().
std::string GetProfileString(const std::filesystem::path& path, std::string_view section,
                             std::string_view key, std::string_view defaultValue);
int GetProfileInt(const std::filesystem::path& path, std::string_view section, std::string_view key,
                  int defaultValue);
bool GetProfileBool(const std::filesystem::path& path, std::string_view section,
                    std::string_view key, bool defaultValue);
bool WriteProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value);
bool WriteProfileInt(const std::filesystem::path& path, std::string_view section,
                     std::string_view key, int value);
// Booleans are stored as "TRUE" and "FALSE".
bool WriteProfileBool(const std::filesystem::path& path, std::string_view section,
                      std::string_view key, bool value);

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view defaultValue);
int GetProfileInt(std::string_view section, std::string_view key, int defaultValue);
bool GetProfileBool(std::string_view section, std::string_view key, bool defaultValue);
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
bool WriteProfileInt(std::string_view section, std::string_view key, int value);
bool WriteProfileBool(std::string_view section, std::string_view key, bool value);

// The leading decimal number of a text as the profile reads it: nullopt when the text (after
// blanks) does not begin with an optional sign and a digit; saturates at the limits of int.
std::optional<int> ParseProfileInt(std::string_view text);

} // namespace platform
