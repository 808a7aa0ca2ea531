#include "foundation/text_string.h"

#include "foundation/conversions.h"
#include "foundation/object_list.h"

#include <algorithm>
#include <cstring>
#include <new>

QORString_c::QORString_c() {
    SetEmpty();
}

QORString_c::~QORString_c() = default;

void QORString_c::SetEmpty() {
    m_buffer.Attach(nullptr, 0, QOR_BORROWS); // forget, freeing nothing
    m_zero = 0;
    m_buffer.Attach(&m_zero, 1, QOR_BORROWS);
}

void QORString_c::Clear() {
    m_buffer.Resize(0); // frees owned storage
    SetEmpty();
}

void QORString_c::Install(std::uint8_t* storage, std::int32_t length) {
    m_buffer.Resize(0);
    m_buffer.Attach(nullptr, 0, QOR_BORROWS);
    m_buffer.Attach(storage, length + 1, QOR_OWNS);
    // Exactly the characters are readable, not the zero byte.
    m_buffer.Rewind(length);
}

std::unique_ptr<QORObject_c> QORString_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORString_c());
}

std::int32_t QORString_c::Length() const {
    return m_buffer.Size() - 1;
}

const char* QORString_c::Chars() const {
    const std::uint8_t* data = m_buffer.Data();
    return data != nullptr ? reinterpret_cast<const char*>(data) : "";
}

std::string_view QORString_c::View() const {
    return std::string_view(Chars(), static_cast<std::size_t>(std::max(Length(), 0)));
}

std::int32_t QORString_c::Assign(const char* text, std::int32_t length, std::uint8_t mode) {
    if (length < 0) {
        length = text != nullptr ? static_cast<std::int32_t>(std::strlen(text)) : 0;
    }
    if (length > INT32_MAX - 1) {
        Clear();
        return QOR_COUNT_ERROR;
    }
    if (text != nullptr && mode == QOR_FALSE && m_buffer.Ownership() == QOR_OWNS &&
        m_buffer.Data() != nullptr && m_buffer.Size() == length + 1) {
        // Owned storage of the right size takes the text in place; memmove, since the text may
        // be this one or a part of it.
        std::uint8_t* storage = m_buffer.Data();
        std::memmove(storage, text, static_cast<std::size_t>(length));
        storage[length] = 0;
        m_buffer.Rewind(length);
        return length;
    }
    if (text == nullptr || mode == QOR_FALSE) {
        // The new storage is made before the old is freed, so a text may be assigned from
        // itself or from a part of itself.
        auto* storage = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(length) + 1];
        if (storage == nullptr) {
            Clear();
            return QOR_COUNT_ERROR;
        }
        if (text != nullptr) {
            std::memcpy(storage, text, static_cast<std::size_t>(length));
        } else {
            std::memset(storage, 0, static_cast<std::size_t>(length));
        }
        storage[length] = 0;
        Install(storage, length);
        return text != nullptr ? length : QOR_COUNT_ERROR;
    }
    if (AssignEscaped(text, length) != QOR_OK) {
        return QOR_COUNT_ERROR;
    }
    return Length();
}

namespace {

enum class ByteClass { Escapable, Printable, Unprintable };

ByteClass Classify(std::uint8_t byte) {
    if (QOREscapeIndex(byte) >= 0) {
        return ByteClass::Escapable;
    }
    if (byte >= 0x20 && byte <= 0x7E) {
        return ByteClass::Printable;
    }
    return ByteClass::Unprintable;
}

} // namespace

std::uint8_t QORString_c::AssignEscaped(const void* bytes, std::int32_t count) {
    if (bytes == nullptr) {
        return QOR_ERROR;
    }
    if (count <= 0) {
        Clear();
        return QOR_ERROR;
    }
    const auto* in = static_cast<const std::uint8_t*>(bytes);
    // First the exact size, so that the text is allocated once.
    std::int64_t size = 0;
    bool open = false;
    for (std::int32_t i = 0; i < count; ++i) {
        ByteClass kind = Classify(in[i]);
        if (kind == ByteClass::Unprintable) {
            size += 3;
            open = false;
        } else {
            size += (kind == ByteClass::Escapable ? 2 : 1) + (open ? 0 : 2);
            open = true;
        }
    }
    if (size > INT32_MAX - 2) {
        Clear();
        return QOR_ERROR;
    }
    auto* storage = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + 1];
    if (storage == nullptr) {
        Clear();
        return QOR_ERROR;
    }
    static const char letters[] = "\\nrt\"'%";
    static const char hex[] = "0123456789ABCDEF";
    std::uint8_t* out = storage;
    open = false;
    for (std::int32_t i = 0; i < count; ++i) {
        ByteClass kind = Classify(in[i]);
        if (kind == ByteClass::Unprintable) {
            if (open) {
                *out++ = '"';
                open = false;
            }
            *out++ = 'h';
            *out++ = static_cast<std::uint8_t>(hex[in[i] >> 4]);
            *out++ = static_cast<std::uint8_t>(hex[in[i] & 0x0F]);
            continue;
        }
        if (!open) {
            *out++ = '"';
            open = true;
        }
        if (kind == ByteClass::Escapable) {
            *out++ = '\\';
            *out++ = static_cast<std::uint8_t>(letters[QOREscapeIndex(in[i])]);
        } else {
            *out++ = in[i];
        }
    }
    if (open) {
        *out++ = '"';
    }
    *out = 0;
    Install(storage, static_cast<std::int32_t>(size));
    return QOR_OK;
}

std::int32_t QORString_c::AssignTo(QORString_c* target) const {
    if (target == nullptr) {
        return QOR_COUNT_ERROR;
    }
    return target->Assign(Chars(), Length(), QOR_FALSE);
}

std::uint8_t QORString_c::CopyTo(QORObject_c* target) const {
    std::uint8_t status = QORObject_c::CopyTo(target);
    if (status != QOR_OK) {
        return status;
    }
    auto* other = dynamic_cast<QORString_c*>(target);
    if (other == nullptr || AssignTo(other) == QOR_COUNT_ERROR) {
        return QOR_ERROR;
    }
    return QOR_OK;
}

std::uint8_t QORString_c::Append(const QORString_c* other) {
    if (other == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t otherLength = other->Length();
    if (otherLength <= 0) {
        return QOR_OK;
    }
    const std::int32_t length = Length();
    if (length <= 0) {
        return other->AssignTo(this) == QOR_COUNT_ERROR ? QOR_ERROR : QOR_OK;
    }
    if (otherLength > INT32_MAX - 1 - length) {
        return QOR_ERROR;
    }
    const std::int32_t total = length + otherLength;
    auto* storage = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(total) + 1];
    if (storage == nullptr) {
        return QOR_ERROR;
    }
    std::memcpy(storage, Chars(), static_cast<std::size_t>(length));
    std::memcpy(storage + length, other->Chars(), static_cast<std::size_t>(otherLength));
    storage[total] = 0;
    Install(storage, total);
    return QOR_OK;
}

std::int32_t QORString_c::Find(const QORString_c* other) const {
    if (other == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const std::int32_t otherLength = other->Length();
    const std::int32_t length = Length();
    if (otherLength <= 0) {
        return QOR_COUNT_ERROR;
    }
    for (std::int32_t at = 0; at + otherLength <= length; ++at) {
        if (QORCompareTextN(otherLength, Chars() + at, other->Chars()) == QOR_CMP_EQUAL) {
            return at;
        }
    }
    return QOR_COUNT_ERROR;
}

std::uint8_t QORString_c::Compare(const QORString_c* other, std::uint8_t mode,
                                  std::int32_t limit) const {
    return QORCompareText(Chars(), other, mode, limit, Length());
}

std::uint8_t QORCompareText(const char* text, const QORString_c* other, std::uint8_t mode,
                            std::int32_t limit, std::int32_t textLength) {
    if (text == nullptr || other == nullptr) {
        return QOR_CMP_NONE;
    }
    if (textLength < 0) {
        textLength = static_cast<std::int32_t>(std::strlen(text));
    }
    const std::int32_t otherLength = std::max(other->Length(), 0);
    std::int32_t compared = otherLength;
    if (limit != 0) {
        compared = std::min(compared, limit);
    }
    compared = std::min(compared, textLength);
    if (compared > 0) {
        std::uint8_t result = mode == QOR_TRUE
                                  ? QORCompareTextN(compared, text, other->Chars())
                                  : QORCompareTextNoCaseN(text, other->Chars(), compared);
        if (result != QOR_CMP_EQUAL) {
            return result;
        }
    }
    if (limit != 0 && compared == limit) {
        return QOR_CMP_EQUAL;
    }
    if (otherLength > textLength) {
        return QOR_CMP_ONE;
    }
    return otherLength == textLength ? QOR_CMP_EQUAL : QOR_CMP_OTHER;
}

std::uint8_t QORString_c::Substring(QORString_c* target, std::int32_t start,
                                    std::int32_t count) const {
    if (target == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t length = std::max(Length(), 0);
    const bool fromEnd = start < 0;
    if (fromEnd) {
        start = std::max(length + start, 0);
    }
    start = std::min(start, length);
    std::int32_t end;
    if (count < 0) {
        end = length + count;
    } else if (count > 0) {
        end = count > length - start ? length : start + count;
    } else {
        end = fromEnd ? length : start;
    }
    end = std::clamp(end, start, length);
    m_buffer.Seek(start);
    if (end == start) {
        target->Clear();
        return 0;
    }
    // Assign copies before it frees, so the target may be this string itself.
    if (target->Assign(Chars() + start, end - start, QOR_FALSE) == QOR_COUNT_ERROR) {
        target->Clear();
        return QOR_ERROR;
    }
    return QOR_OK;
}

std::uint8_t QORString_c::Tail(std::int32_t start, QORString_c* target) const {
    const std::int32_t length = std::max(Length(), 0);
    if (start < 0) {
        start = std::max(start + length, 0);
    }
    return Substring(target, start, length - start);
}
