// QORFile_c: a platform file handle behind the byte reader and writer faces, so that code that
// writes bytes can be pointed at a file as well as at a buffer. Nothing opens one: a file object
// keeps its closed handle and empty mode for its whole life, and its Read and Write answer -2.
#pragma once

#include "foundation/object.h"
#include "foundation/text_string.h"

#include <cstdint>

class QORFile_c : public QORReader_c, public QORWriter_c {
public:
    QORFile_c();
    ~QORFile_c() override;
    QORFile_c(const QORFile_c&) = delete;
    QORFile_c& operator=(const QORFile_c&) = delete;

    // One synchronous read: the bytes read (0 at the end), or -2 when not open for reading,
    // for a length below 1 or on an error.
    std::int32_t Read(void* destination, std::int32_t length) override;
    // One synchronous write: the bytes written, or -2.
    std::int32_t Write(const void* source, std::int32_t length) override;

    const QORString_c& Path() const { return m_path; }
    std::uint8_t Mode() const { return m_mode; }
    // Bytes moved since construction, counted from -2.
    std::int32_t Transferred() const { return m_handle.transferred; }

private:
    static constexpr std::uint8_t kReading = 0x01;
    static constexpr std::uint8_t kWriting = 0x02;

    struct HandleBlock {
        int descriptor = -1;
        std::int32_t spare = -2;
        std::int32_t transferred = -2;
    };

    QORString_c m_path;
    std::uint8_t m_mode = 0;
    HandleBlock m_handle;
};
