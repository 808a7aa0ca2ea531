// QORList_c: the one container of the foundation classes, a doubly linked list of object
// pointers with one cursor that either owns its objects or borrows them. Also the byte and text
// compare functions and the file-time conversion.
#pragma once

#include "foundation/object.h"

#include <cstdint>
#include <memory>

struct QORListNode_c {
    QORObject_c* object = nullptr; // may be null
    QORListNode_c* prev = nullptr;
    QORListNode_c* next = nullptr;
};

class QORList_c : public QORObject_c {
public:
    QORList_c() = default;
    ~QORList_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // Clears the target and appends a clone of every object; the target borrows when this
    // list borrows, and then its clones are the caller's to free. 254 at the first object that
    // cannot be cloned (the earlier copies stay).
    std::uint8_t CopyTo(QORObject_c* target) const override;

    // A new node after (before) the cursor; the cursor moves to it. An owning list takes the
    // object over on success; on 254 (memory short) the caller keeps it.
    std::uint8_t InsertAfter(QORObject_c* object);
    std::uint8_t InsertBefore(QORObject_c* object);
    QORObject_c* Current() const { return m_cursor != nullptr ? m_cursor->object : nullptr; }
    std::uint8_t HasNext() const;
    // Unlinks the cursor node (deleting its object when owned); the cursor goes to the previous
    // node for direction 249, else to the next one, falling back to the other side.
    std::uint8_t RemoveCurrent(std::uint8_t direction);
    std::uint8_t Clear();
    std::uint8_t Select(const QORObject_c* object);
    std::uint8_t SelectNode(const QORListNode_c* node);
    std::uint8_t SelectIndex(std::int32_t index);
    std::int32_t CurrentIndex() const;

    QORListNode_c* First() const { return m_first; }
    QORListNode_c* Last() const { return m_last; }
    QORListNode_c* CursorNode() const { return m_cursor; }
    std::int32_t Count() const { return m_count; }
    std::uint8_t Ownership() const { return m_ownership; }
    void SetOwnership(std::uint8_t ownership) { m_ownership = ownership; }

private:
    std::uint8_t Insert(QORObject_c* object, bool after);

    QORListNode_c* m_cursor = nullptr;
    QORListNode_c* m_first = nullptr;
    QORListNode_c* m_last = nullptr;
    std::int32_t m_count = 0;
    std::uint8_t m_ownership = QOR_OWNS;
};

// Bytes as unsigned values; 1 when a is greater. 254 for a null pointer.
std::uint8_t QORCompareBytes(const void* a, const void* b, std::int32_t count);
// Characters as signed bytes, case-sensitive; 1 when b is greater. Stops after n characters,
// at the first difference, or where both texts end together.
std::uint8_t QORCompareTextN(std::int32_t count, const char* a, const char* b);
// As QORCompareTextN, but an ASCII letter equals the same letter in the other case. Other
// pairs order by their raw signed values ('a' against 'B' answers 255).
std::uint8_t QORCompareTextNoCaseN(const char* a, const char* b, std::int32_t count);
std::uint8_t QORCompareTextNoCase(const char* a, const char* b);

// A file time (100 ns intervals since 1601-01-01) to seconds since 1970 minus a bias, with the
// milliseconds apart.
std::uint8_t QORFileTimeToSeconds(const std::uint64_t* fileTime, std::uint32_t* milliseconds,
                                  std::int64_t* seconds, std::int64_t biasSeconds);
