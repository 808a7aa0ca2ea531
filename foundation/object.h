// The roots of the foundation classes: QORObject_c with its copy, create and clone protocol, and
// the abstract byte source and sink that buffers and files implement.
#pragma once

#include "foundation/status.h"

#include <cstdint>
#include <memory>

class QORObject_c {
public:
    QORObject_c() = default;
    QORObject_c(const QORObject_c&) = delete;
    QORObject_c& operator=(const QORObject_c&) = delete;
    virtual ~QORObject_c() = default;

    // Copies the tag byte; 254 for a null target. Overrides perform this step first and then
    // copy their own content, answering 254 when the target is not of their class.
    virtual std::uint8_t CopyTo(QORObject_c* target) const;
    // A new default-constructed object of the same class, or null when memory is short.
    virtual std::unique_ptr<QORObject_c> Create() const;
    // Create followed by CopyTo; null when either fails.
    std::unique_ptr<QORObject_c> Clone() const;

    std::uint8_t Tag() const { return m_tag; }
    void SetTag(std::uint8_t tag) { m_tag = tag; }

private:
    std::uint8_t m_tag = 0;
};

class QORReader_c {
public:
    virtual ~QORReader_c() = default;
    // Copies up to length bytes into the destination: the count copied, or -2.
    virtual std::int32_t Read(void* destination, std::int32_t length) = 0;
};

class QORWriter_c {
public:
    virtual ~QORWriter_c() = default;
    // Takes up to length bytes from the source: the count taken, or -2.
    virtual std::int32_t Write(const void* source, std::int32_t length) = 0;

    // Writes a zero-terminated text through the writer; a null or empty text writes nothing
    // and answers 0.
    static std::int32_t WriteText(QORWriter_c* writer, const char* text);
};

// Always 2: the host is little-endian. Multi-byte device numbers are swapped when it answers 2.
std::uint8_t QORHostByteOrder();
std::uint32_t QORByteSwap32(std::uint32_t value);
