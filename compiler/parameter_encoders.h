// Encoders of the text-shaped parameter types of protocol commands: each turns one parameter
// text into the bytes a command template places into the message, and answers an empty byte
// string for a text it cannot encode. The digit-string encoders produce ASCII digits, since the
// devices take those values as text.
#pragma once

#include "script/byte_string.h"

#include <string_view>

// Elements separated by ',', white space or '_' outside double quotes, each a byte, a word
// (low byte first) or a quoted text; elements that are none of these add nothing.
ByteString DataStringToBytes(std::string_view text);
// 1 to 6 decimal digits, unchanged.
ByteString FrameStringToDigits(std::string_view text);
// A timecode HH:MM:SS.FF (leading fields optional) as 8, 6 or 4 digits.
ByteString TimeStringToDigits(std::string_view text);
// "track-index" as 4 digits.
ByteString TrackStringToDigits(std::string_view text);
// A dotted address of up to four fields as 4 bytes.
ByteString IpAddressToBytes(std::string_view text);
// A number or a dotted address in the variable-length form of the network devices.
ByteString QornetValueToBytes(std::string_view text);
