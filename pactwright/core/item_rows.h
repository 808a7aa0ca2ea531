// What the grid shows of one tree item, and how a finished edit of a Data cell is stored: the
// device's settings, a category's note, or one command with its parameters and byte lines.
#pragma once

#include "script/protocol.h"

#include <string>
#include <string_view>
#include <vector>

namespace pactwright {

struct GridRow {
    std::string heading;
    std::string data;
};

// The rows of item -1 (the category note), 0 (the device) or n (command n - 1). An item that
// names no command gives no rows.
std::vector<GridRow> RowsOfItem(const CProtocol& protocol, int item);
// The command of item n, or null.
CCmnd* CommandOfItem(const CProtocol& protocol, int item);

// A value never splits its line in the file: each CR, LF or CR LF becomes one blank.
std::string OneLine(std::string_view text);

inline constexpr const char* kBadNameMessage = "A command name must not be empty or contain ']'.";

struct StoreResult {
    bool stored = false;
    bool rebuildTree = false; // a command name or the device's Description changed
    std::string refusal;      // set when the text was refused: shown, the editor stays open
};
// Stores the finished edit of the Data cell of `row` (with its heading) of the item.
StoreResult StoreItemText(CProtocol& protocol, int item, int row, std::string_view heading,
                          std::string_view text);

// The number k of a heading "Param<k>" (1-10) or "Byte<k>" (1-20); 0 when it is none.
int ParamNumber(std::string_view heading);
int ByteNumber(std::string_view heading);

// New Param and New Byte: true when one was added (fewer than 10 or 20 were in use).
bool AddParam(CCmnd& command);
bool AddByte(CCmnd& command);
// Remove Param k and Remove Byte k: the later ones move down by one place.
bool RemoveParam(CCmnd& command, int k);
bool RemoveByte(CCmnd& command, int k);

} // namespace pactwright
