// A stored value is one line of its file, and the file formats have no escape for a line break:
// whatever way a text comes in (typed, pasted, from a clipboard block, imported), each CR LF,
// lone CR or lone LF in it becomes one blank before it reaches the model.
#pragma once

#include <string>
#include <string_view>

namespace platform {

bool HasLineBreak(std::string_view text);
std::string OneLineText(std::string_view text);
// The same in place.
void MakeOneLine(std::string& text);

} // namespace platform
