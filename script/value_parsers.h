// The number parsers shared by the compiler, the data-string encoder and the expression
// evaluator. Values are written in decimal, hexadecimal ('h', 'H', 'x', 'X' or a letter a-f
// anywhere), binary ('#') or per cent of full scale ('%'); the marks may stand anywhere.
#pragma once

#include "script/byte_string.h"

#include <string_view>

// 0-255, or -1 for a text that is not a byte value.
int ParseByteValue(std::string_view text);
// 0-65535, or -1 for a text that is not a word value.
int ParseWordValue(std::string_view text);

// One element of a data string: a byte, a word (low byte first), the characters between a
// pair of enclosing double quotes, or nothing.
ByteString DataElementToBytes(std::string_view element);

// A decimal number as the lists and time fields hold it: leading white space, an optional
// sign, the digits up to the first other character; 0 without digits. A value beyond int is
// clamped to INT_MIN or INT_MAX and *overflow is set, so runaway digits never wrap.
int ReadLeadingInt(std::string_view text, bool* overflow = nullptr);
