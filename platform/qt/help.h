// The installation's help page, which the main frame and the views open alike.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform::qt {

// The installation's help page (Help/index.html, found without regard to case), when it is there.
std::optional<std::filesystem::path> HelpFile(const std::string& appDir);
// Opens the help page in the desktop's browser; "Failed to launch help." when that fails.
bool OpenHelp(const std::string& appDir);

} // namespace platform::qt
