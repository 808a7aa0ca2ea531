#include "platform/recent_file_list.h"

#include <algorithm>

void CRecentFileList::Add(const std::string& path) {
    Remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kSize)
        entries_.resize(kSize);
}

void CRecentFileList::Remove(const std::string& path) {
    std::erase(entries_, path);
}
