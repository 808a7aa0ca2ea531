// File-system services: where the installation is, names matched without regard to case,
// directory listings in a stable order, and the path separators of stored texts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The folder that holds the running program (from /proc/self/exe), without a trailing '/'.
// A program may override it (tests point it at the installation tree of the build).
std::string InstallDirectory();
void SetInstallDirectory(std::string dir);

// Case-insensitive ASCII compare of two names.
bool EqualsNoCase(std::string_view a, std::string_view b);
// Orders names as a listing without regard to case does (ties broken by the bytes).
bool LessNoCase(std::string_view a, std::string_view b);

// Finds the entry of `dir` whose name equals `name` without regard to case. An exact match wins.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& dir,
                                                std::string_view name);

// Resolves a relative path such as "PROTOCOL/My Protocols/x.pcl" or "PROTOCOL\\QOREVNTS.PCL"
// below `base`, matching each component without regard to case. Answers nullopt when a
// component does not exist.
std::optional<std::filesystem::path> ResolveNoCase(const std::filesystem::path& base,
                                                   std::string_view relative);

// The regular files of `dir` whose extension equals `extension` (with the dot, any case; an
// empty extension lists every file), sorted by name without regard to case.
std::vector<std::filesystem::path> ListFilesSorted(const std::filesystem::path& dir,
                                                   std::string_view extension = {});

// A path read from a file or setting may use '\' or '/': answers it with '/'.
std::string ToForwardSlashes(std::string_view path);

} // namespace platform
