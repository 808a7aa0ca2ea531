// Replacing a file's contents without ever leaving it half written: the bytes go to a new file
// in the same folder, are flushed to the disk and then renamed over the target. On any failure
// the old file stays as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

enum class ReplaceResult {
    Ok,
    CannotCreate, // no temporary file could be made beside the target
    WriteFailed,  // writing, flushing or renaming failed; the target is untouched
};

// A link is followed: what it points to is replaced. The file keeps its mode (a new one gets
// the umask's).
ReplaceResult ReplaceFile(const std::string& path, std::string_view data);

// The file a path names once its symbolic links are followed, also when the last link points
// to nothing yet (a dangling link): a write there keeps the links. Empty for a loop of links.
std::filesystem::path FileBehindLinks(const std::filesystem::path& path);

} // namespace platform
