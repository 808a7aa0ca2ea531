#include "platform/paths.h"

#include <algorithm>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

std::string g_installDir;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::string InstallDirectory() {
    if (!g_installDir.empty()) return g_installDir;
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    std::string dir = exe.parent_path().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

void SetInstallDirectory(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    g_installDir = std::move(dir);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool LessNoCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(Lower(a[i]));
        auto y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& dir,
                                                std::string_view name) {
    std::error_code ec;
    auto exact = dir / std::string(name);
    if (std::filesystem::exists(exact, ec)) return exact;
    std::optional<std::filesystem::path> found;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (EqualsNoCase(entry, name)) {
            // Several spellings of one name: take the first in listing order, so it is stable.
            if (!found || LessNoCase(entry, found->filename().string())) found = it->path();
        }
    }
    return found;
}

std::optional<std::filesystem::path> ResolveNoCase(const std::filesystem::path& base,
                                                   std::string_view relative) {
    std::filesystem::path current = base;
    std::string rel = ToForwardSlashes(relative);
    size_t start = 0;
    while (start <= rel.size()) {
        size_t slash = rel.find('/', start);
        std::string part = rel.substr(start, slash == std::string::npos ? std::string::npos
                                                                         : slash - start);
        if (!part.empty() && part != ".") {
            auto next = FindNoCase(current, part);
            if (!next) return std::nullopt;
            current = *next;
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return current;
}

std::vector<std::filesystem::path> ListFilesSorted(const std::filesystem::path& dir,
                                                   std::string_view extension) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        if (!extension.empty() && !EqualsNoCase(it->path().extension().string(), extension))
            continue;
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return LessNoCase(a.filename().string(), b.filename().string());
    });
    return files;
}

std::string ToForwardSlashes(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

} // namespace platform
