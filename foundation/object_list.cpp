#include "foundation/object_list.h"

#include <new>

QORList_c::~QORList_c() {
    Clear();
}

std::unique_ptr<QORObject_c> QORList_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORList_c());
}

std::uint8_t QORList_c::Insert(QORObject_c* object, bool after) {
    auto* node = new (std::nothrow) QORListNode_c();
    if (node == nullptr) {
        return QOR_ERROR;
    }
    node->object = object;
    if (m_cursor == nullptr) {
        // Only an empty list has no cursor.
        m_first = m_last = node;
    } else if (after) {
        node->prev = m_cursor;
        node->next = m_cursor->next;
        if (m_cursor->next != nullptr) {
            m_cursor->next->prev = node;
        } else {
            m_last = node;
        }
        m_cursor->next = node;
    } else {
        node->next = m_cursor;
        node->prev = m_cursor->prev;
        if (m_cursor->prev != nullptr) {
            m_cursor->prev->next = node;
        } else {
            m_first = node;
        }
        m_cursor->prev = node;
    }
    m_cursor = node;
    ++m_count;
    return QOR_OK;
}

std::uint8_t QORList_c::InsertAfter(QORObject_c* object) {
    return Insert(object, true);
}

std::uint8_t QORList_c::InsertBefore(QORObject_c* object) {
    return Insert(object, false);
}

std::uint8_t QORList_c::HasNext() const {
    return m_cursor != nullptr && m_cursor->next != nullptr ? QOR_TRUE : QOR_FALSE;
}

std::uint8_t QORList_c::RemoveCurrent(std::uint8_t direction) {
    QORListNode_c* node = m_cursor;
    if (node == nullptr) {
        return QOR_ERROR;
    }
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        m_first = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    } else {
        m_last = node->prev;
    }
    if (direction == QOR_TOWARDS_FRONT) {
        m_cursor = node->prev != nullptr ? node->prev : node->next;
    } else {
        m_cursor = node->next != nullptr ? node->next : node->prev;
    }
    if (m_ownership != QOR_BORROWS) {
        delete node->object;
    }
    delete node;
    --m_count;
    return QOR_OK;
}

std::uint8_t QORList_c::Clear() {
    QORListNode_c* node = m_first;
    // Unlink first so that an object's destructor never sees a half-cleared list.
    m_cursor = m_first = m_last = nullptr;
    m_count = 0;
    while (node != nullptr) {
        QORListNode_c* next = node->next;
        if (m_ownership != QOR_BORROWS) {
            delete node->object;
        }
        delete node;
        node = next;
    }
    return QOR_OK;
}

std::uint8_t QORList_c::Select(const QORObject_c* object) {
    for (QORListNode_c* node = m_first; node != nullptr; node = node->next) {
        if (node->object == object) {
            m_cursor = node;
            return QOR_OK;
        }
    }
    return QOR_ERROR;
}

std::uint8_t QORList_c::SelectNode(const QORListNode_c* wanted) {
    for (QORListNode_c* node = m_first; node != nullptr; node = node->next) {
        if (node == wanted) {
            m_cursor = node;
            return QOR_OK;
        }
    }
    return QOR_ERROR;
}

std::uint8_t QORList_c::SelectIndex(std::int32_t index) {
    if (index < 0) {
        return QOR_ERROR;
    }
    QORListNode_c* node = m_first;
    for (std::int32_t i = 0; i < index && node != nullptr; ++i) {
        node = node->next;
    }
    if (node == nullptr) {
        return QOR_ERROR;
    }
    m_cursor = node;
    return QOR_OK;
}

std::int32_t QORList_c::CurrentIndex() const {
    if (m_cursor == nullptr) {
        return QOR_COUNT_ERROR;
    }
    std::int32_t index = 0;
    for (QORListNode_c* node = m_first; node != nullptr && node != m_cursor; node = node->next) {
        ++index;
    }
    return index;
}

std::uint8_t QORList_c::CopyTo(QORObject_c* target) const {
    std::uint8_t status = QORObject_c::CopyTo(target);
    if (status != QOR_OK) {
        return status;
    }
    auto* other = dynamic_cast<QORList_c*>(target);
    if (other == nullptr || other == this) {
        return other == this ? QOR_OK : QOR_ERROR;
    }
    other->Clear();
    other->m_ownership = m_ownership == QOR_BORROWS ? QOR_BORROWS : QOR_OWNS;
    for (QORListNode_c* node = m_first; node != nullptr; node = node->next) {
        if (node->object == nullptr) {
            if (other->InsertAfter(nullptr) != QOR_OK) {
                return QOR_ERROR;
            }
            continue;
        }
        std::unique_ptr<QORObject_c> copy = node->object->Clone();
        if (!copy || other->InsertAfter(copy.get()) != QOR_OK) {
            return QOR_ERROR;
        }
        // A borrowing target does not free its clones; whoever asked for it takes them over.
        copy.release();
    }
    return QOR_OK;
}

std::uint8_t QORCompareBytes(const void* a, const void* b, std::int32_t count) {
    if (a == nullptr || b == nullptr) {
        return QOR_CMP_NONE;
    }
    const auto* x = static_cast<const std::uint8_t*>(a);
    const auto* y = static_cast<const std::uint8_t*>(b);
    for (std::int32_t i = 0; i < count; ++i) {
        if (x[i] != y[i]) {
            return x[i] > y[i] ? QOR_CMP_ONE : QOR_CMP_OTHER;
        }
    }
    return QOR_CMP_EQUAL;
}

namespace {

bool IsAsciiLetter(signed char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool SameNoCase(signed char x, signed char y) {
    if (x == y) {
        return true;
    }
    return IsAsciiLetter(x) && IsAsciiLetter(y) && (x | 0x20) == (y | 0x20);
}

// The shared loop of the text compares; a negative count means no limit.
std::uint8_t CompareText(const char* a, const char* b, std::int32_t count, bool noCase) {
    if (a == nullptr || b == nullptr) {
        return QOR_CMP_NONE;
    }
    for (std::int32_t i = 0; count < 0 || i < count; ++i) {
        // Characters are signed bytes: bytes from 128 up sort before every ASCII character.
        const auto x = static_cast<signed char>(a[i]);
        const auto y = static_cast<signed char>(b[i]);
        if (noCase ? !SameNoCase(x, y) : x != y) {
            return y > x ? QOR_CMP_ONE : QOR_CMP_OTHER;
        }
        if (x == 0) {
            break; // both texts end here
        }
    }
    return QOR_CMP_EQUAL;
}

} // namespace

std::uint8_t QORCompareTextN(std::int32_t count, const char* a, const char* b) {
    return CompareText(a, b, count < 0 ? 0 : count, false);
}

std::uint8_t QORCompareTextNoCaseN(const char* a, const char* b, std::int32_t count) {
    return CompareText(a, b, count < 0 ? 0 : count, true);
}

std::uint8_t QORCompareTextNoCase(const char* a, const char* b) {
    return CompareText(a, b, -1, true);
}

std::uint8_t QORFileTimeToSeconds(const std::uint64_t* fileTime, std::uint32_t* milliseconds,
                                  std::int64_t* seconds, std::int64_t biasSeconds) {
    if (fileTime == nullptr || seconds == nullptr) {
        return QOR_ERROR;
    }
    const std::uint64_t ms = (*fileTime - 116444736000000000ULL) / 10000ULL;
    if (milliseconds != nullptr) {
        *milliseconds = static_cast<std::uint32_t>(ms % 1000ULL);
    }
    *seconds = static_cast<std::int64_t>(ms / 1000ULL) - biasSeconds;
    return QOR_OK;
}
