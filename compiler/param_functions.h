// The '@' functions of command templates, @name(arguments): they place parameter values,
// computed bytes, checksums and lengths into a command's message. Each answers an empty byte
// string when it does not apply; callers then try the next function. They read the compiler's
// cursor (current command and document), the message built so far and the parameter values of
// the command being compiled.
#pragma once

#include "script/byte_string.h"

#include <array>
#include <cstdint>
#include <string_view>

// The number of functions; the position in the table is the function number.
inline constexpr int kParamFunctionCount = 23;
inline constexpr int kParamFunctionComplex = 13;

// The encoded parameter values of the command being matched or compiled. They belong to one
// compile, not to the protocol objects every open script shares.
using ParamValueArray = std::array<ByteString, 10>;
ParamValueArray& CurrentParamValues();

// Where "@msglength" put its length byte in the message being built; -1 when none.
std::int32_t& CurrentLengthBytePosition();

// The function's name in the table ("@byte" ... "@msglength"); empty outside 0-22.
std::string_view ParamFunctionName(int number);

// The bytes that function `number` yields for the call text; empty when the name differs from
// that entry, the call is malformed, or the function yields nothing.
ByteString DispatchParamFunction(std::string_view call, int number);

// Tries every function but "@complex" in table order; the first non-empty result.
ByteString EvaluateParamCall(std::string_view call);

// 0-9 when the normalised text is "Param1".."Param10" (no case), else -1.
int FindParamReference(std::string_view text);
// 0-19 when the normalised text is "Byte1".."Byte20" (no case), else -1.
int FindByteLineReference(std::string_view text);

// 0xF0, 0xF1 and 0xF2 become 0xF0 0x00, 0xF0 0x01 and 0xF0 0x02.
ByteString EscapeF0Bytes(const ByteString& bytes);
