// The key lines of one section of an INI-like text, gathered in one pass so that many keys can
// be looked up without rescanning the section for each one (a sequence section of a script
// holds its whole event table below its keys).
//
// Lines are read by the rules of IniScanner's key lookup: a line ends at CR, at LF or at the
// end of the text; blanks before '=' belong to the key; keys compare without regard to case;
// a value starts at its first character that is not a blank or tab and runs to the line end
// (';' included); a line whose value is empty does not count, and the first line that counts
// wins. The scan ends at a line whose first character after blanks is '['.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class KeyLineIndex {
public:
    struct Options {
        // The scan ends after the first line of this key that counts: what follows it is no
        // key line (the event rows of a sequence section). Empty: no such key.
        std::string_view stopKey;
        // A value that begins with ';' counts as a value (a name line holding only a comment).
        bool commentOnlyValues = false;
    };

    // Forgets what was gathered and scans `text` from `from`.
    void Scan(std::string_view text, std::size_t from, const Options& options);

    // The value of `key` (';' belongs to it), or null.
    const std::string* Find(std::string_view key) const;
    std::string Text(std::string_view key, std::string_view defaultText) const;
    // The value's leading integer or decimal number, as the numeric lookups convert it.
    int Int(std::string_view key, std::uint16_t defaultValue) const;
    double Double(std::string_view key, double defaultValue) const;

    // Whether the stop key was found, and the position just after its line.
    bool StopKeyFound() const { return m_bStopFound; }
    std::size_t StopLineEnd() const { return m_nStopLineEnd; }

private:
    static std::string UpperKey(std::string_view key);

    std::unordered_map<std::string, std::string> m_Values;
    bool m_bStopFound = false;
    std::size_t m_nStopLineEnd = 0;
};
