#include "foundation/file.h"

#include <unistd.h>

QORFile_c::QORFile_c() = default;

QORFile_c::~QORFile_c() {
    if (m_handle.descriptor >= 0) {
        ::close(m_handle.descriptor); // nothing to be done about a failed close here
    }
    m_handle = HandleBlock{};
    m_mode = 0;
}

std::int32_t QORFile_c::Read(void* destination, std::int32_t length) {
    if ((m_mode & kReading) == 0 || length <= 0 || destination == nullptr ||
        m_handle.descriptor < 0) {
        return QOR_COUNT_ERROR;
    }
    const ssize_t got = ::read(m_handle.descriptor, destination, static_cast<std::size_t>(length));
    if (got < 0) {
        return QOR_COUNT_ERROR;
    }
    m_handle.transferred += static_cast<std::int32_t>(got);
    return static_cast<std::int32_t>(got);
}

std::int32_t QORFile_c::Write(const void* source, std::int32_t length) {
    if ((m_mode & kWriting) == 0 || length <= 0 || source == nullptr || m_handle.descriptor < 0) {
        return QOR_COUNT_ERROR;
    }
    const ssize_t put = ::write(m_handle.descriptor, source, static_cast<std::size_t>(length));
    if (put < 0) {
        return QOR_COUNT_ERROR;
    }
    m_handle.transferred += static_cast<std::int32_t>(put);
    return static_cast<std::int32_t>(put);
}
