// A file descriptor that closes itself on every path out of a scope, and the one way files are
// opened for reading.
#pragma once

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Opens `path` for reading when it is a regular file. Anything else (a directory, a device, a
// FIFO) is refused before a read could block: the open does not wait for a FIFO's writer. On
// failure the handle is not open and `reason` gets the system's word ("No such file or
// directory", "Is a directory", "Not a regular file", ...), and errno is the open's when it
// failed; `info` gets the file's status.
FileHandle OpenRegularFile(const std::string& path, std::string* reason = nullptr,
                           struct stat* info = nullptr);

} // namespace platform
