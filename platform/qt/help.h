// The installation's help page, which the main frame and the views open alike.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::qt {

// A help page of the installation (Help/<page>, found without regard to case), when it is there.
std::optional<std::filesystem::path> HelpFile(const std::string& appDir,
                                              std::string_view page = "index.html");
// Opens the help page in the desktop's browser; "Failed to launch help." when that fails.
bool OpenHelp(const std::string& appDir, std::string_view page = "index.html");

} // namespace platform::qt
