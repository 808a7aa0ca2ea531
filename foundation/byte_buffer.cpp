#include "foundation/byte_buffer.h"

#include "foundation/object_list.h"

#include <algorithm>
#include <cstring>
#include <new>

QORBuffer_c::~QORBuffer_c() {
    FreeStorage();
}

void QORBuffer_c::FreeStorage() {
    if (m_storage != nullptr && m_ownership == QOR_OWNS) {
        delete[] m_storage;
    }
    m_storage = nullptr;
}

std::unique_ptr<QORBuffer_c> QORBuffer_c::New(std::int32_t size) {
    std::unique_ptr<QORBuffer_c> buffer(new (std::nothrow) QORBuffer_c());
    if (buffer && buffer->Resize(size) != QOR_OK) {
        buffer.reset();
    }
    return buffer;
}

std::unique_ptr<QORObject_c> QORBuffer_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORBuffer_c());
}

std::uint8_t QORBuffer_c::CopyTo(QORObject_c* target) const {
    std::uint8_t status = QORObject_c::CopyTo(target);
    if (status != QOR_OK) {
        return status;
    }
    auto* other = dynamic_cast<QORBuffer_c*>(target);
    if (other == nullptr) {
        return QOR_ERROR;
    }
    if (other == this) {
        return QOR_OK;
    }
    other->Resize(0);
    std::int32_t end = ReadableEnd();
    if (end < 1 || m_storage == nullptr) {
        return QOR_OK;
    }
    if (other->Resize(end) != QOR_OK) {
        return QOR_ERROR;
    }
    std::int32_t copied = CopyOut(end, other->m_storage);
    return copied < other->m_size ? QOR_ERROR : QOR_OK;
}

std::uint8_t QORBuffer_c::Resize(std::int32_t size) {
    std::uint8_t status = QOR_OK;
    if (size != m_size) {
        std::uint8_t* fresh = nullptr;
        if (size >= 1) {
            fresh = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + 1];
            if (fresh == nullptr) {
                status = QOR_ERROR;
                size = 0;
            } else {
                std::int32_t keep = m_storage != nullptr ? std::min(size, m_size) : 0;
                if (keep > 0) {
                    std::memcpy(fresh, m_storage, static_cast<std::size_t>(keep));
                }
                // Bytes beyond the old content start as zeros, never as garbage.
                std::memset(fresh + keep, 0, static_cast<std::size_t>(size - keep) + 1);
            }
        } else {
            size = 0;
        }
        FreeStorage();
        m_storage = fresh;
        m_size = size;
        m_ownership = QOR_OWNS;
    }
    Rewind(m_size);
    return status;
}

std::uint8_t QORBuffer_c::Attach(std::uint8_t* storage, std::int32_t size, std::uint8_t ownership) {
    if (storage == nullptr) {
        m_storage = nullptr;
        m_size = 0;
        m_cursor = nullptr;
        m_position = 0;
        m_remaining = 0;
        return QOR_OK;
    }
    if (m_storage != nullptr) {
        return QOR_ERROR;
    }
    m_storage = storage;
    m_size = std::max(size, 0);
    m_ownership = ownership;
    Rewind(m_size);
    return QOR_OK;
}

std::int32_t QORBuffer_c::Read(void* destination, std::int32_t length) {
    if (destination == nullptr || m_cursor == nullptr) {
        return 0;
    }
    std::int32_t k =
        length < 0 ? (length == QOR_WHOLE ? m_remaining : 0) : std::min(m_remaining, length);
    if (k > 0) {
        std::memcpy(destination, m_cursor, static_cast<std::size_t>(k));
    }
    Seek(m_position + k);
    return k;
}

std::int32_t QORBuffer_c::Write(const void* source, std::int32_t length) {
    if (source == nullptr || m_cursor == nullptr) {
        return 0;
    }
    std::int32_t k =
        length < 0 ? (length == QOR_WHOLE ? m_remaining : 0) : std::min(m_remaining, length);
    if (k > 0) {
        std::memmove(m_cursor, source, static_cast<std::size_t>(k));
    }
    Seek(m_position + k);
    return k;
}

std::int32_t QORBuffer_c::CopyOut(std::int32_t count, void* destination) const {
    if (destination == nullptr || m_storage == nullptr) {
        return 0;
    }
    std::int32_t k = count == QOR_WHOLE ? m_size : std::clamp(count, 0, m_size);
    if (k > 0) {
        std::memcpy(destination, m_storage, static_cast<std::size_t>(k));
    }
    return k;
}

std::int32_t QORBuffer_c::CopyIn(std::int32_t count, const void* source) {
    if (source == nullptr || m_storage == nullptr) {
        return 0;
    }
    std::int32_t k = count == QOR_WHOLE ? m_size : std::clamp(count, 0, m_size);
    if (k > 0) {
        std::memmove(m_storage, source, static_cast<std::size_t>(k));
    }
    Rewind(k);
    return k;
}

std::int32_t QORBuffer_c::Zero() {
    if (m_storage != nullptr && m_size > 0) {
        std::memset(m_storage, 0, static_cast<std::size_t>(m_size));
    }
    Rewind(m_size);
    return ReadableEnd();
}

std::uint8_t QORBuffer_c::PrependFill(std::int32_t count, std::uint8_t fill) {
    if (count < 1 || count > INT32_MAX - 1 - m_size) {
        return QOR_ERROR;
    }
    std::int32_t newSize = m_size + count;
    auto* fresh = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(newSize) + 1];
    if (fresh == nullptr) {
        return QOR_ERROR;
    }
    std::memset(fresh, fill, static_cast<std::size_t>(count));
    if (m_storage != nullptr && m_size > 0) {
        std::memcpy(fresh + count, m_storage, static_cast<std::size_t>(m_size));
    } else {
        std::memset(fresh + count, 0, static_cast<std::size_t>(m_size));
    }
    fresh[newSize] = 0;
    FreeStorage();
    m_storage = fresh;
    m_size = newSize;
    m_ownership = QOR_OWNS;
    Rewind(m_size);
    return QOR_OK;
}

std::int32_t QORBuffer_c::Rewind(std::int32_t limit) {
    if (limit == QOR_WHOLE) {
        limit = ReadableEnd();
    }
    limit = std::clamp(limit, 0, m_size);
    m_cursor = m_storage;
    m_position = 0;
    m_remaining = m_storage != nullptr ? limit : 0;
    return m_remaining;
}

std::uint8_t QORBuffer_c::Seek(std::int32_t position) {
    std::uint8_t status = QOR_OK;
    std::int32_t end = ReadableEnd();
    if (position < 0) {
        position = 0;
        status = QOR_ERROR;
    } else if (position > end) {
        position = end;
        status = QOR_ERROR;
    }
    m_remaining = end - position;
    m_position = position;
    if (m_storage == nullptr) {
        m_cursor = nullptr;
        return QOR_ERROR;
    }
    m_cursor = m_storage + position;
    return status;
}

std::int32_t QORBuffer_c::SeekByte(std::uint8_t byte) {
    if (m_cursor == nullptr) {
        return QOR_COUNT_ERROR;
    }
    for (std::int32_t i = 0; i < m_remaining; ++i) {
        if (m_cursor[i] == byte) {
            Seek(m_position + i);
            return m_position;
        }
    }
    return QOR_COUNT_ERROR;
}

std::uint8_t QORBuffer_c::Next() {
    if (m_cursor == nullptr || m_remaining <= 0) {
        return QOR_ERROR;
    }
    ++m_cursor;
    ++m_position;
    --m_remaining;
    return QOR_OK;
}

std::uint8_t QORBuffer_c::Prev() {
    if (m_cursor == nullptr || m_position <= 0) {
        return QOR_ERROR;
    }
    --m_cursor;
    --m_position;
    ++m_remaining;
    return QOR_OK;
}

std::int32_t QORBuffer_c::Split(QORList_c* list, char delimiter) const {
    return Split(list, &delimiter);
}

std::int32_t QORBuffer_c::Split(QORList_c* list, const char* delimiter) const {
    if (list == nullptr || list->Ownership() == QOR_BORROWS || delimiter == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (m_cursor == nullptr || m_remaining <= 0) {
        return 0;
    }
    const auto mark = static_cast<std::uint8_t>(*delimiter);
    std::int32_t pieces = 0;
    // Makes one owned piece of the bytes [from, from + length) after the list's cursor.
    auto addPiece = [&](std::int32_t from, std::int32_t length) -> bool {
        std::unique_ptr<QORBuffer_c> piece(new (std::nothrow) QORBuffer_c());
        if (!piece) {
            return false;
        }
        QORBuffer_c* raw = piece.get();
        if (list->InsertAfter(raw) != QOR_OK) {
            return false;
        }
        piece.release(); // the owning list holds it now
        if (raw->Resize(length) != QOR_OK ||
            (length > 0 && raw->CopyIn(length, m_cursor + from) != length)) {
            list->RemoveCurrent(QOR_TOWARDS_FRONT);
            return false;
        }
        ++pieces;
        return true;
    };
    std::int32_t start = 0;
    for (std::int32_t i = 0; i < m_remaining; ++i) {
        if (m_cursor[i] == mark) {
            if (!addPiece(start, i - start)) {
                return QOR_COUNT_ERROR;
            }
            start = i + 1;
        }
    }
    if (start < m_remaining && !addPiece(start, m_remaining - start)) {
        return QOR_COUNT_ERROR;
    }
    return pieces;
}
