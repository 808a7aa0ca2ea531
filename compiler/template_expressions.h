// The arithmetic expressions of command byte lines: a tokenizer that turns the text (with its
// nested '@' calls) into a token string, the split of parenthesised groups into a table of
// sub-expressions, and a strictly left-to-right evaluator in unsigned 16-bit arithmetic.
//
// Token string: bytes below 0x80 are operand characters; 0x80-0x8A the operators + - * / % >>
// << & | ^ ~; 0xFE ends the raw bytes of a multi-byte '@' result; 0xFF ends the expression.
// After the split, a lone operand byte 0x01-0x1F stands for the value of that sub-expression.
#pragma once

#include "script/byte_string.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

inline constexpr std::uint8_t kTokenMultiByteEnd = 0xFE;
inline constexpr std::uint8_t kTokenEnd = 0xFF;

struct SubExpression {
    ByteString tokens;
    std::uint16_t value = 0;
};

struct SubExpressionTable {
    static constexpr int kMaxEntries = 32;
    std::array<SubExpression, kMaxEntries> entries;
    int count = 0;
};

// Evaluates one complete '@' call text, "@name(arguments)"; empty when no function yields bytes.
using ParamCallEvaluator = std::function<ByteString(std::string_view call)>;

// The number of comma-separated arguments at parenthesis level 0; 0 for an empty or blank text.
int ParameterCount(std::string_view text);
// Argument n (from 1) of a comma-separated list, cut only at level 0; empty when there are fewer.
std::string_view NthArgument(std::string_view text, int n);

// The token string, or empty on error (unknown operator text, malformed or failing '@' call).
ByteString TokenizeExpression(std::string_view text, const ParamCallEvaluator& callEvaluator);
// Fills the table from a token string: 1 on success, 0 on error.
int SplitParentheses(const ByteString& tokens, SubExpressionTable& table);
// Computes every entry, the groups first: 1 on success, 0 on error.
int EvaluateExpression(SubExpressionTable& table);

// Tokenize, split and evaluate in one; false on any error.
bool EvaluateExpressionText(std::string_view text, const ParamCallEvaluator& callEvaluator,
                            std::uint16_t& value);
