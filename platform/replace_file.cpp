#include "platform/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

fs::path FileBehindLinks(const fs::path& path) {
    fs::path target = path;
    std::error_code ec;
    for (int links = 0; fs::is_symlink(target, ec); ++links) {
        if (links == 40)
            return {}; // the system's own limit for a chain of links
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            return {};
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

ReplaceResult ReplaceFile(const std::string& path, std::string_view data) {
    const fs::path target = FileBehindLinks(path);
    if (target.empty())
        return ReplaceResult::CannotCreate;
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return ReplaceResult::CannotCreate;

    struct stat st {};
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return ReplaceResult::WriteFailed;
    }
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir); // makes the rename itself durable; a failure here loses nothing
        ::close(dir);
    }
    return ReplaceResult::Ok;
}

} // namespace platform
