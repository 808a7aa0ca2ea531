// Compiled bytes: the image, the events' compiled forms and the parameter encoders' output.
#pragma once

#include <cstdint>
#include <vector>

using ByteString = std::vector<std::uint8_t>;
