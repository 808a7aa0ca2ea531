// Where a transfer writes its lines: the compile view of a script (with colours) or the list
// view of an image document (colours ignored).
#pragma once

#include <functional>
#include <string>

namespace showlink {

enum class LogColour { Default, Red, Blue };

using TransferLog = std::function<void(const std::string& text, LogColour colour)>;

} // namespace showlink
