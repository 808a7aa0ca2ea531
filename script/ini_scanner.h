// The character-driven reader of INI-like texts (protocol files, script source files): section
// headers in square brackets at the start of a line, "key=value" lines, ';' comments. It scans a
// buffer it does not own; `IniFile` owns one loaded from a file, and the script document scans
// its own file buffer with the same rules.
//
// Lines end at CR, at LF or at the end of the buffer; a CR LF pair reads as one line end
// followed by white space. Sections and keys are matched without regard to case.
//
// The section searches go through an index of the buffer's headers, made in one pass at the
// first search: a script looks for sections that are often absent, and each such search would
// otherwise cross the whole buffer with its event tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniScanner {
public:
    IniScanner() = default;
    IniScanner(const char* buffer, std::size_t size) { SetBuffer(buffer, size); }

    // Scans another buffer (not owned) from its start.
    void SetBuffer(const char* buffer, std::size_t size);

    const char* Buffer() const { return m_pBuffer; }
    std::size_t Size() const { return m_nSize; }
    // Bytes consumed since the buffer start: where the cursor stands.
    std::size_t Position() const { return m_nPosition; }
    // Moves the cursor (clamped to the buffer's end).
    void SetPosition(std::size_t position);

    // Finds the next header whose name begins with `name` (prefix match, no case). Without
    // `continueSearch` the search restarts at the buffer start. On success the cursor stands
    // just after the end of the header line; on failure it is unchanged.
    bool FindSection(std::string_view name, bool continueSearch);
    // Finds the next header whatever its name and answers its whole name; empty when no
    // further header exists (the cursor is then unchanged).
    std::string NextSectionName(bool continueSearch);

    // The value of the first line of the current section (from the cursor to the next header)
    // whose key equals `key` and whose value is not empty; `defaultText` when there is none.
    // Text mode: a ';' inside the value belongs to it. The cursor does not move.
    std::string ReadKey(std::string_view key, std::string_view defaultText) const;
    // The keys of the section from the cursor, read in one pass: for many ReadKey calls on
    // one section. Find(key) answers what ReadKey(key) would, the buffer unchanged meanwhile.
    class SectionKeys {
    public:
        std::string Find(std::string_view key, std::string_view defaultText) const;

    private:
        friend class IniScanner;
        // Each line's key and value, where the value is not empty, in file order.
        std::vector<std::pair<std::string_view, std::string_view>> entries_;
    };
    SectionKeys ReadSectionKeys() const;
    // As ReadKey, but on success the cursor moves past the found line, so the next call finds
    // the next line with that key; on failure it stays.
    std::string ReadNextKey(std::string_view key, std::string_view defaultText);
    // Numeric mode: the value ends at a ';'. Its leading white space, optional sign and decimal
    // digits give the number (0 without digits); a number beyond the range of int saturates to
    // INT_MAX or INT_MIN, which every caller's range check refuses.
    int ReadIntKey(std::string_view key, std::uint16_t defaultValue) const;
    // Numeric mode: the value's leading decimal number (sign, digits, point, digits, optional
    // exponent), 0.0 without one. Too large a magnitude gives an infinity, too small 0.0.
    double ReadDoubleKey(std::string_view key, double defaultValue) const;

    // The conversions of the numeric lookups, for texts read by other means.
    static int TextToInt(std::string_view text);
    static double TextToDouble(std::string_view text);

private:
    struct Found {
        bool found = false;
        std::string value;
        std::size_t lineEnd = 0; // position just after the found line
    };
    // A header line of the buffer: where its '[' and its first ']' stand, and the position
    // just after its line end (the buffer's size when the buffer ends the line).
    struct Header {
        std::size_t open;
        std::size_t close;
        std::size_t next;
    };
    bool ScanSection(std::string_view name, bool anySection, bool continueSearch,
                     std::string* collected);
    // The header whose '[' stands at `open` on the line that ends at `lineEnd`, if it has a ']'.
    std::optional<Header> HeaderOnLine(std::size_t open, std::size_t lineEnd) const;
    void IndexHeaders();
    Found LookupKey(std::string_view key, bool numeric) const;

    const char* m_pBuffer = nullptr;
    std::size_t m_nSize = 0;
    std::size_t m_nPosition = 0;
    std::vector<Header> m_Headers; // in buffer order
    bool m_bIndexed = false;
};
