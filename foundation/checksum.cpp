#include "foundation/checksum.h"

std::uint8_t QORChecksumByteSum_c::Update(const void* bytes, std::int32_t length) {
    if (bytes == nullptr || length < 0) {
        return 254;
    }
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    for (std::int32_t i = 0; i < length; ++i) {
        m_sum = static_cast<std::uint8_t>(m_sum + p[i]);
    }
    return 2;
}

std::int32_t QORChecksumByteSum_c::CopyOut(void* destination, std::int32_t length) const {
    if (destination == nullptr || length < 1) {
        return -2;
    }
    *static_cast<std::uint8_t*>(destination) = m_sum;
    return 1;
}
