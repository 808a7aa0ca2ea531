// DOS script listings (.ksx) for tests, laid out in the listing's fixed columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CProduct;

namespace testing_support {

// Left-justified in a column of `width` characters (longer texts are kept whole).
std::string Col(std::string_view text, std::size_t width);

// One line of the serial-port page.
std::string DosPortLine(int port, std::string_view name, std::string_view baud, char parity,
                        char dataBits, char stopBits, std::string_view type);
// One trigger line: kind label (18 characters), io name, logic, variable, comparison, value,
// sense ("Active On" or "Active Off").
std::string DosTriggerLine(std::string_view label, std::string_view io, std::string_view logic,
                           std::string_view variable, std::string_view comparison,
                           std::string_view value, std::string_view sense);
// One event line, every column padded to its full width.
std::string DosEventLine(std::string_view label, std::string_view time, std::string_view event,
                         std::string_view data1 = {}, std::string_view data2 = {},
                         std::string_view data3 = {}, std::string_view comment = {});
// The SMPTE trip line: "ENABLED" or "DISABLED", two blanks, "Frame - " and the time.
std::string DosSmpteLine(std::string_view state, std::string_view time);

struct DosSequencePage {
    std::string name;
    std::vector<std::string> comments; // the first on the Comments line, the rest below it
    std::vector<std::string> triggers; // four trigger lines; empty: all "none"
    std::string restart = "DISABLED";
    std::string lockout = "0";
    std::string loop = "DISABLED";
    std::string autoStart = "DISABLED";
    std::string smpte; // empty: DISABLED at 00:00:00.00
    std::vector<std::string> events;
};

class DosListing {
public:
    // A well-formed listing for the product: unit page, every resource and port with its
    // default name (ports "None" at 9600 N 8 1), no data strings, no sequence pages.
    explicit DosListing(const CProduct& product);

    std::vector<std::string> lines;

    // The first line beginning with `prefix` (the test fails when there is none).
    std::string& Line(std::string_view prefix);
    std::size_t Find(std::string_view prefix) const;
    // Replaces the line that begins with `prefix`.
    void Set(std::string_view prefix, std::string text) { Line(prefix) = std::move(text); }
    // Inserts lines before the line that begins with `prefix`.
    void InsertBefore(std::string_view prefix, const std::vector<std::string>& more);
    void AddDataString(std::string line);
    void AddPage(const DosSequencePage& page);

    // The lines, each followed by `lineEnd`.
    std::string Text(std::string_view lineEnd = "\r\n") const;
};

} // namespace testing_support
