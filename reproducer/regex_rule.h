// Regular-expression matching for the rules. A pattern is compiled once into plain bytes (the
// serialised compiled code, and a mark that the JIT compiler took it), so the results can be kept
// in buffers and matched from them later.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/object_list.h"
#include "foundation/text_string.h"

#include <cstdint>

// Most substrings a match reports: the whole match and 19 groups.
constexpr std::int32_t kShowRegexMaxCaptures = 20;

// Compiles the pattern into the compiled-code buffer and records in the study buffer whether
// the JIT compiler took it (one byte) or not (empty). 2, or 254 when the pattern does not compile
// or the results cannot be kept; the buffers are then left untouched.
std::uint8_t ShowRegexCompile(QORBuffer_c* code, QORString_c* pattern, QORBuffer_c* study);
// Matches the subject (the buffer from its start to its readable end) anywhere. With a capture
// list, each captured substring from the whole match on is appended as a new text value holding
// the escaped form of its bytes (the list's owner decides whether they are deleted). 2 for a
// match; 254 for no match, any library error or a null buffer.
std::uint8_t ShowRegexMatch(QORBuffer_c* study, QORBuffer_c* subject, QORList_c* captures,
                            QORBuffer_c* code);
