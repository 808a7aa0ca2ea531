// Column access to the lines of a DOS script listing. The listing is laid out in fixed columns
// for printing, but its lines may be cut short anywhere: every column past the end of a line
// reads as empty, so no reader of the listing can step outside a line.
#pragma once

#include <cstddef>
#include <string_view>

// Columns first to last (from 0, both included) of the line; the part that exists.
inline std::string_view DosField(std::string_view line, std::size_t first, std::size_t last) {
    if (first >= line.size() || last < first)
        return {};
    return line.substr(first, last - first + 1);
}

// The line from column first to its end; empty when the line is shorter.
inline std::string_view DosFieldFrom(std::string_view line, std::size_t first) {
    return first >= line.size() ? std::string_view{} : line.substr(first);
}

// One column as a text of at most one character.
inline std::string_view DosColumn(std::string_view line, std::size_t column) {
    return DosField(line, column, column);
}

// True when the line begins with the label, compared over the label's full length.
inline bool DosHasLabel(std::string_view line, std::string_view label) {
    return line.substr(0, label.size()) == label;
}
