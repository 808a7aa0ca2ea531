// Texts that users type become device bytes, numbers and formatted commands: none of them may
// read out of bounds or crash, whatever the text holds.
#include "foundation/byte_buffer.h"
#include "foundation/conversions.h"
#include "foundation/formatter.h"
#include "foundation/variant_value.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) {
        return 0;
    }
    // No zero byte at the end: the parsers must keep to the length they are given.
    const std::vector<char> text(data, data + size);
    const auto length = static_cast<std::int32_t>(size);

    QORBuffer_c bytes;
    QORParseBinaryText(length, text.data(), &bytes);
    std::uint8_t status = 0;
    QORTextToInt(text.data(), length, &status);
    QORTextToUInt(&status, length, text.data());
    QORTextToDouble(text.data(), length, &status);

    QORValue_c value;
    value.SetText(text.data(), length, QOR_TRUE);
    value.GetBytes();
    value.GetDouble();
    value.GetInt();
    QORValue_c other;
    other.SetBytes(&bytes);
    other.GetText();
    value.Compare(&other, QOR_TYPE_BYTES, QOR_TRUE, QOR_TRUE);
    value.Compare(&other, QOR_TYPE_TEXT, QOR_FALSE, QOR_TRUE);
    for (std::uint8_t type = 0; type <= QOR_TYPE_BYTES; ++type) {
        QORValue_c copy;
        copy.Assign(&value);
        copy.ConvertTo(type);
        copy.GetText();
    }

    QORBinaryString_c formatter;
    formatter.AddIntArg(-300);
    QORString_c argument;
    argument.Assign(text.data(), length);
    formatter.AddTextArg(&argument);
    formatter.FormatText()->Assign(text.data(), length);
    formatter.Format();
    return 0;
}
