#include "script/ini_file.h"

#include "platform/file_handle.h"
#include "platform/ui_services.h"

#include <cerrno>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileHandle;

bool IniFile::Open(const std::string& path) {
    struct stat info {};
    const FileHandle file = platform::OpenRegularFile(path, nullptr, &info);
    if (!file.IsOpen()) {
        platform::ShowMessage("Could not open " + path + " for reading");
        return false;
    }
    std::vector<char> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        platform::ShowMessage("Not enough memory to allocate file buffer ( m_hpbBuffer )");
        return false;
    } catch (const std::length_error&) {
        platform::ShowMessage("Not enough memory to allocate file buffer ( m_hpbBuffer )");
        return false;
    }
    // The size is the byte count actually read: a file that shrank meanwhile reads shorter.
    std::size_t got = 0;
    while (got < buffer.size()) {
        ssize_t n = ::read(file.Get(), buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    buffer.resize(got);
    m_Buffer = std::move(buffer);
    m_Scanner.SetBuffer(m_Buffer.data(), m_Buffer.size());
    return true;
}

void IniFile::Close() {
    m_Buffer.clear();
    m_Buffer.shrink_to_fit();
    m_Scanner.SetBuffer(nullptr, 0);
}
