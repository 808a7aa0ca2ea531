// QORBuffer_c: the byte array of the foundation classes. It owns or borrows its storage and has
// one cursor through which it is read and written. It never grows by itself: writing stops at
// the readable end, and growth is an explicit resize to an exact size.
#pragma once

#include "foundation/object.h"

#include <cstdint>
#include <memory>

class QORList_c;
class QORString_c;

class QORBuffer_c : public QORObject_c, public QORReader_c, public QORWriter_c {
public:
    QORBuffer_c() = default;
    ~QORBuffer_c() override;

    // A new buffer resized to n bytes; null when it or its storage cannot be had.
    static std::unique_ptr<QORBuffer_c> New(std::int32_t size);

    std::unique_ptr<QORObject_c> Create() const override;
    // Copies the readable bytes (from the start up to the readable end) into a target buffer.
    std::uint8_t CopyTo(QORObject_c* target) const override;

    // Reallocates to exactly n bytes (plus a zero byte), keeping what fits; always rewinds to
    // the whole size. A failed resize leaves an empty owned buffer and answers 254.
    std::uint8_t Resize(std::int32_t size);
    // Takes storage of the given size; ownership 3 means the buffer frees it (it must come
    // from new[] of unsigned bytes). Null storage forgets the current storage without freeing.
    std::uint8_t Attach(std::uint8_t* storage, std::int32_t size, std::uint8_t ownership);
    std::uint8_t* Data() { return m_storage; }
    const std::uint8_t* Data() const { return m_storage; }

    // Bounded by the readable end; a length of -1 means everything that remains.
    std::int32_t Read(void* destination, std::int32_t length) override;
    std::int32_t Write(const void* source, std::int32_t length) override;

    // Copies from the start of the storage, at most size bytes; the cursor is unchanged.
    std::int32_t CopyOut(std::int32_t count, void* destination) const;
    // Copies to the start of the storage and leaves exactly the copied bytes readable.
    std::int32_t CopyIn(std::int32_t count, const void* source);
    std::int32_t Zero();
    // Puts n fill bytes in front of the content; the whole result is readable.
    std::uint8_t PrependFill(std::int32_t count, std::uint8_t fill);
    // Cursor to the start with limit bytes readable (-1 keeps the readable end).
    std::int32_t Rewind(std::int32_t limit);
    std::uint8_t Seek(std::int32_t position);
    // Moves forward to the next occurrence of the byte (the current one included): its position,
    // or -2 with the cursor left where it was.
    std::int32_t SeekByte(std::uint8_t byte);
    std::uint8_t Next();
    std::uint8_t Prev();
    // Cuts the bytes from the cursor to the readable end at each delimiter into new owned
    // buffers inserted after the list's cursor, in order. Answers the number of pieces or -2.
    std::int32_t Split(QORList_c* list, const char* delimiter) const;
    std::int32_t Split(QORList_c* list, char delimiter) const;

    // Resizes the buffer to half the text's length and fills it from the hexadecimal digit pairs.
    static std::uint8_t AssignHex(QORBuffer_c* buffer, const QORString_c* hex);

    std::int32_t Size() const { return m_size; }
    std::int32_t Position() const { return m_position; }
    std::int32_t Remaining() const { return m_remaining; }
    std::int32_t ReadableEnd() const { return m_position + m_remaining; }
    std::uint8_t* Cursor() { return m_cursor; }
    const std::uint8_t* Cursor() const { return m_cursor; }
    std::uint8_t Ownership() const { return m_ownership; }

private:
    void FreeStorage();

    std::int32_t m_size = 0;
    std::uint8_t* m_storage = nullptr;
    std::uint8_t m_ownership = QOR_OWNS;
    std::uint8_t* m_cursor = nullptr;
    std::int32_t m_remaining = 0;
    std::int32_t m_position = 0;
};
