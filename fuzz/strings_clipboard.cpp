// A "VelmoraStrings" block comes from the clipboard, where any program may have put anything
// under that name: its reader must never read past the block, and what it accepts must encode
// back to the same records.
#include "script/strings_clipboard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> block(data, size);
    const auto records = DecodeStringsBlock(block);
    if (!records)
        return 0;
    const auto again = DecodeStringsBlock(EncodeStringsBlock(*records));
    if (!again || again->size() != records->size())
        std::abort();
    for (std::size_t i = 0; i < records->size(); ++i)
        if ((*again)[i].name != (*records)[i].name || (*again)[i].data != (*records)[i].data ||
            (*again)[i].comment != (*records)[i].comment)
            std::abort();
    return 0;
}
