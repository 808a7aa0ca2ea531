// Result conventions of the foundation classes. Nothing here throws: every operation answers a
// status byte, a count or a pointer, and the caller tests it.
#pragma once

#include <cstdint>

// Status bytes (unsigned 8-bit).
constexpr std::uint8_t QOR_OK = 2;
constexpr std::uint8_t QOR_TRUE = 3;
constexpr std::uint8_t QOR_FALSE = 253;
constexpr std::uint8_t QOR_ERROR = 254;
constexpr std::uint8_t QOR_TIMEOUT = 251;
constexpr std::uint8_t QOR_IDLE = 250;

// Counts (signed 32-bit): 0 or more done, or one of these.
constexpr std::int32_t QOR_COUNT_ERROR = -2;
constexpr std::int32_t QOR_COUNT_TIMEOUT = -5;

// Comparison results: 0 equal, 1 and 255 the two orders, 254 not comparable.
constexpr std::uint8_t QOR_CMP_EQUAL = 0;
constexpr std::uint8_t QOR_CMP_ONE = 1;
constexpr std::uint8_t QOR_CMP_OTHER = 255;
constexpr std::uint8_t QOR_CMP_NONE = 254;

// Ownership of storage or items: the holder frees them (3) or only borrows them (253).
constexpr std::uint8_t QOR_OWNS = 3;
constexpr std::uint8_t QOR_BORROWS = 253;

// List direction for removal: towards the front; any other value goes towards the back.
constexpr std::uint8_t QOR_TOWARDS_FRONT = 249;

// Length argument meaning "up to the zero byte" (texts) or "the whole readable extent" (buffers).
constexpr std::int32_t QOR_WHOLE = -1;
