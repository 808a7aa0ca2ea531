#include "foundation/object.h"

#include <cstring>
#include <new>

std::uint8_t QORObject_c::CopyTo(QORObject_c* target) const {
    if (target == nullptr) {
        return QOR_ERROR;
    }
    target->m_tag = m_tag;
    return QOR_OK;
}

std::unique_ptr<QORObject_c> QORObject_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORObject_c());
}

std::unique_ptr<QORObject_c> QORObject_c::Clone() const {
    std::unique_ptr<QORObject_c> copy = Create();
    if (copy && CopyTo(copy.get()) == QOR_ERROR) {
        copy.reset();
    }
    return copy;
}

std::int32_t QORWriter_c::WriteText(QORWriter_c* writer, const char* text) {
    if (text == nullptr || text[0] == '\0' || writer == nullptr) {
        return 0;
    }
    return writer->Write(text, static_cast<std::int32_t>(std::strlen(text)));
}

std::uint8_t QORHostByteOrder() {
    // Set once on first use; nothing is probed (every supported host is little-endian).
    static const std::uint8_t order = QOR_OK;
    return order;
}

std::uint32_t QORByteSwap32(std::uint32_t value) {
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) |
           ((value & 0x00FF0000u) >> 8) | ((value & 0xFF000000u) >> 24);
}
