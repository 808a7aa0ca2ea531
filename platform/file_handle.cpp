#include "platform/file_handle.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace platform {

FileHandle OpenRegularFile(const std::string& path, std::string* reason, struct stat* info) {
    struct stat status {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (reason)
            *reason = std::strerror(error);
        errno = error;
        return FileHandle(-1);
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (reason)
            *reason = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
        ::close(fd);
        return FileHandle(-1);
    }
    if (info)
        *info = status;
    return FileHandle(fd);
}

} // namespace platform
