// Expanding arbitrary bytes, as a damaged archive from a controller would be, must end cleanly
// within the source and the destination. The same bytes, packed and expanded, must come back.
#include "link/lzss_compressor.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks a destination size, small ones included, so the overflow path runs.
    std::size_t capacity = 4096;
    if (size > 0) {
        capacity = static_cast<std::size_t>(data[0]) * 16;
        ++data;
        --size;
    }
    {
        auto out = std::make_unique<std::uint8_t[]>(capacity);
        CYNCompressor compressor;
        const auto n = compressor.UnpackBuffer(data, size, out.get(), capacity);
        if (n < -1 || n > static_cast<std::ptrdiff_t>(capacity))
            std::abort();
    }

    const std::size_t packedCapacity = size + size / 8 + 2;
    auto packed = std::make_unique<std::uint8_t[]>(packedCapacity);
    CYNCompressor packer;
    const auto packedSize = packer.PackBuffer(data, size, packed.get(), packedCapacity);
    if (packedSize < 0)
        std::abort();
    auto back = std::make_unique<std::uint8_t[]>(size);
    CYNCompressor expander;
    const auto n =
        expander.UnpackBuffer(packed.get(), static_cast<std::size_t>(packedSize), back.get(), size);
    if (n != static_cast<std::ptrdiff_t>(size) || (size > 0 && std::memcmp(back.get(), data, size)))
        std::abort();
    return 0;
}
