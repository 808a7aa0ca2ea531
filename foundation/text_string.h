// QORString_c: a zero-terminated run of 8-bit characters in an owned QORBuffer_c. Besides plain
// copies it can hold the escaped text form of arbitrary bytes: printable runs in double quotes
// with backslash escapes, other bytes as h and two hexadecimal digits.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/object.h"

#include <cstdint>
#include <memory>
#include <string_view>

class QORString_c : public QORObject_c {
public:
    QORString_c();
    ~QORString_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t CopyTo(QORObject_c* target) const override;
    // Buffer size - 1.
    virtual std::int32_t Length() const;

    // Back to the empty text, which allocates nothing.
    void Clear();
    // Mode 253: a plain copy of length bytes (-1 = up to the zero byte), answering the length.
    // Any other mode: the escaped text form of the bytes, answering the new length. A null
    // text gives length zero bytes and answers -2; so does a failed copy (leaving the empty text).
    std::int32_t Assign(const char* text, std::int32_t length = QOR_WHOLE,
                        std::uint8_t mode = QOR_FALSE);
    std::uint8_t AssignEscaped(const void* bytes, std::int32_t count);
    std::int32_t AssignTo(QORString_c* target) const;
    std::uint8_t Append(const QORString_c* other);
    // Index of the first occurrence of the other text, or -2.
    std::int32_t Find(const QORString_c* other) const;
    // QORCompareText of this text against the other: 1 when the other sorts after this one.
    std::uint8_t Compare(const QORString_c* other, std::uint8_t mode, std::int32_t limit) const;
    // Characters from start (negative: from the end) for count (negative: up to that many from
    // the end; 0: none, or up to the end for a negative start).
    std::uint8_t Substring(QORString_c* target, std::int32_t start, std::int32_t count) const;
    std::uint8_t Tail(std::int32_t start, QORString_c* target) const;

    // The zero-terminated characters; never null.
    const char* Chars() const;
    std::string_view View() const;
    QORBuffer_c* Buffer() const { return &m_buffer; }

private:
    void SetEmpty();
    // Installs owned storage holding length characters and a zero byte.
    void Install(std::uint8_t* storage, std::int32_t length);

    // Held inline: texts are made by the thousand (every value's text form), and a separate
    // buffer object would double their allocations.
    mutable QORBuffer_c m_buffer;
    // The empty text borrows this zero byte, so an empty string never allocates.
    std::uint8_t m_zero = 0;
};

// Compares the first characters of text and other: the compared length is the other's length,
// cut to the limit (when not 0) and to the text length. Case-sensitive for mode 3. 1 means the
// other text sorts after the text; with a limit, equal first characters up to the limit give 0.
std::uint8_t QORCompareText(const char* text, const QORString_c* other, std::uint8_t mode,
                            std::int32_t limit, std::int32_t textLength);
