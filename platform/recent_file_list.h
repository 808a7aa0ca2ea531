// Files recently opened, newest first, as a program's File menu lists them and its profile
// keeps them (Velmora in "Recent File List", Pactwright likewise).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CRecentFileList {
public:
    static constexpr std::size_t kSize = 4;
    const std::vector<std::string>& Entries() const { return entries_; }
    // Moves or inserts `path` at the front; the oldest entry beyond the size drops out.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    std::vector<std::string>& MutableEntries() { return entries_; }

private:
    std::vector<std::string> entries_;
};
