// The protocol file as Pactwright writes it: the [Device] keys in a fixed order, then one
// section per command. Velmora's reader depends on none of the order; it is kept so files
// written here look alike. Lines end in CR LF and are written whole, however long.
#pragma once

#include "script/protocol.h"

#include <string>
#include <vector>

namespace pactwright {

// Appends "key=value", a bare key, or (both empty) an empty line, each ending in CR LF.
void WriteLine(std::string& out, std::string_view key, std::string_view value);
void WriteLine(std::string& out, std::string_view key);
// The whole text of the protocol. Throws std::bad_alloc only when memory runs out.
std::string WriteProtocolText(const CProtocol& protocol);

// A parameter or byte line that reads as missing (empty, blanks, or ';' after blanks) while a later
// one of the same command is not: the reader stops at the empty one, so it and every later one are
// lost on reading.
struct EmptyLineGap {
    const CCmnd* command = nullptr;
    bool param = true; // else a byte line
    int line = 0;      // 1-based
};
std::vector<EmptyLineGap> FindEmptyLineGaps(const CProtocol& protocol);

} // namespace pactwright
