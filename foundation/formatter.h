// QORBinaryString_c: builds byte strings from a format text and a list of argument objects, in
// the manner of printf with a conversion set of its own (raw bytes, hexadecimal dump, fixed
// point, unsigned and signed decimal, text), so that one format can mix text and binary bytes.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/object_list.h"
#include "foundation/text_string.h"

#include <cstdint>

// Tag bytes marking the kind of each argument.
constexpr std::uint8_t QOR_ARG_VALUE = 1;
constexpr std::uint8_t QOR_ARG_STRING = 2;
constexpr std::uint8_t QOR_ARG_BUFFER = 3;

class QORBinaryString_c {
public:
    QORBinaryString_c() = default;
    virtual ~QORBinaryString_c() = default;
    QORBinaryString_c(const QORBinaryString_c&) = delete;
    QORBinaryString_c& operator=(const QORBinaryString_c&) = delete;

    // A value argument held in the narrowest signed type of -127..127, -32767..32767 or 32 bits.
    void AddIntArg(std::int32_t number);
    // A plain copy of the text (empty for null).
    void AddTextArg(const QORString_c* text);
    // Builds the output from the format and the arguments (each used by one directive, in
    // order); null when the output could not be grown.
    QORBuffer_c* Format();

    // The argument list (owning); empty it with Clear before building a new line.
    QORList_c* Arguments() { return &m_arguments; }
    // The format text; assign it directly.
    QORString_c* FormatText() { return &m_format; }
    QORBuffer_c* Output() { return &m_output; }

private:
    QORList_c m_arguments;
    QORString_c m_format;
    QORBuffer_c m_output;
};
