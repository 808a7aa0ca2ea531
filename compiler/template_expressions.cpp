#include "compiler/template_expressions.h"

#include "script/text_utils.h"
#include "script/value_parsers.h"

#include <string>

namespace {

constexpr std::array<std::string_view, 11> kOperators = {"+",  "-", "*", "/", "%", ">>",
                                                         "<<", "&", "|", "^", "~"};
constexpr std::uint8_t kTokenFirstOperator = 0x80;
constexpr std::uint8_t kTokenComplement = 0x8A;
constexpr char kEndMark = static_cast<char>(0xFF);
// Nesting inside one group that a split still accepts.
constexpr int kMaxGroupNesting = 31;

bool IsOperatorChar(char c) {
    return std::string_view("%&*+-/<>^|~").find(c) != std::string_view::npos;
}

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The characters a value text may hold: a multi-byte '@' result is taken into an expression
// only when it is made of them, so that none of its bytes can pass for an operator, a group
// reference or the end mark.
bool IsValueTextChar(std::uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'h' ||
           c == 'H' || c == 'x' || c == 'X' || c == '#' || c == '%';
}

} // namespace

int ParameterCount(std::string_view text) {
    bool blank = true;
    for (char c : text)
        if (!IsNameWhiteSpace(c))
            blank = false;
    if (blank)
        return 0;
    int count = 1;
    int depth = 0;
    for (char c : text) {
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        else if (c == ',' && depth == 0)
            ++count;
    }
    return count;
}

std::string_view NthArgument(std::string_view text, int n) {
    int index = 1;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const char c = end ? ',' : text[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && (depth == 0 || end)) {
            if (index == n)
                return text.substr(start, i - start);
            ++index;
            start = i + 1;
        }
    }
    return {};
}

ByteString TokenizeExpression(std::string_view text, const ParamCallEvaluator& callEvaluator) {
    enum class State { Operand, Name, Arguments, Operator };
    std::string input(text);
    input += kEndMark;

    ByteString output;
    std::string pending;
    State state = State::Operand;
    int depth = 0;

    for (std::size_t i = 0; i < input.size(); ++i) {
        const char c = input[i];
        switch (state) {
        case State::Operand:
            if (c == kEndMark) {
                output.push_back(kTokenEnd);
            } else if (IsOperatorChar(c)) {
                pending.assign(1, c);
                state = State::Operator;
            } else if (c == '@') {
                pending = "@";
                state = State::Name;
            } else if (!IsNameWhiteSpace(c)) {
                output.push_back(static_cast<std::uint8_t>(c));
            }
            break;
        case State::Name:
            if (IsAsciiAlnum(c)) {
                pending += c;
            } else if (c == '(') {
                pending += c;
                depth = 0;
                state = State::Arguments;
            } else {
                return {};
            }
            break;
        case State::Arguments:
            if (c == kEndMark) // a call left open at the end of the text
                return {};
            pending += c;
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (depth > 0) {
                    --depth;
                    break;
                }
                const ByteString result = callEvaluator ? callEvaluator(pending) : ByteString{};
                if (result.empty())
                    return {};
                if (result.size() == 1) {
                    const std::string digits = std::to_string(result[0]);
                    output.insert(output.end(), digits.begin(), digits.end());
                } else {
                    for (std::uint8_t b : result)
                        if (!IsValueTextChar(b))
                            return {};
                    output.insert(output.end(), result.begin(), result.end());
                    output.push_back(kTokenMultiByteEnd);
                }
                pending.clear();
                state = State::Operand;
            }
            break;
        case State::Operator:
            if (c != kEndMark && IsOperatorChar(c)) {
                pending += c;
                break;
            }
            {
                int found = -1;
                for (std::size_t k = 0; k < kOperators.size(); ++k)
                    if (kOperators[k] == pending)
                        found = static_cast<int>(k);
                if (found < 0)
                    return {};
                output.push_back(static_cast<std::uint8_t>(kTokenFirstOperator + found));
            }
            pending.clear();
            state = State::Operand;
            if (!IsNameWhiteSpace(c))
                --i; // handled again as the start of an operand
            break;
        }
    }
    return output;
}

int SplitParentheses(const ByteString& tokens, SubExpressionTable& table) {
    table.entries[0].tokens = tokens;
    table.entries[0].value = 0;
    table.count = 1;
    for (int e = 0; e < table.count; ++e) {
        ByteString text;
        ByteString group;
        bool inGroup = false;
        int nesting = 0;
        for (std::uint8_t b : table.entries[static_cast<std::size_t>(e)].tokens) {
            if (!inGroup) {
                if (b == '(') {
                    // One entry per group; a text with more groups than the table holds is
                    // refused rather than written past it.
                    if (table.count >= SubExpressionTable::kMaxEntries)
                        return 0;
                    text.push_back(static_cast<std::uint8_t>(table.count));
                    inGroup = true;
                    nesting = 0;
                    group.clear();
                } else {
                    text.push_back(b);
                }
                continue;
            }
            if (b == '(') {
                if (nesting >= kMaxGroupNesting)
                    return 0;
                ++nesting;
                group.push_back(b);
            } else if (b == ')') {
                if (nesting > 0) {
                    --nesting;
                    group.push_back(b);
                } else {
                    group.push_back(kTokenEnd);
                    SubExpression& entry = table.entries[static_cast<std::size_t>(table.count)];
                    entry.tokens = std::move(group);
                    entry.value = 0;
                    group.clear();
                    ++table.count;
                    inGroup = false;
                }
            } else {
                group.push_back(b);
            }
        }
        // A '(' without its ')': the reference written for it names no entry.
        if (inGroup)
            return 0;
        table.entries[static_cast<std::size_t>(e)].tokens = std::move(text);
    }
    return 1;
}

int EvaluateExpression(SubExpressionTable& table) {
    if (table.count < 1 || table.count > SubExpressionTable::kMaxEntries)
        return 0;
    for (int e = table.count - 1; e >= 0; --e) {
        SubExpression& entry = table.entries[static_cast<std::size_t>(e)];
        bool first = true;
        bool complement = false;
        int pendingOperator = -1;
        std::uint32_t value = 0;
        std::string operand;
        for (std::uint8_t b : entry.tokens) {
            if (b < 0x80) {
                operand += static_cast<char>(b);
                continue;
            }
            if (b == kTokenComplement) {
                complement = true;
                operand.clear();
                continue;
            }
            std::uint32_t number;
            if (operand.size() == 1 && static_cast<std::uint8_t>(operand[0]) < 0x20) {
                const int ref = static_cast<std::uint8_t>(operand[0]);
                if (ref <= e || ref >= table.count)
                    return 0;
                number = table.entries[static_cast<std::size_t>(ref)].value;
            } else {
                const int parsed = ParseWordValue(operand);
                if (parsed < 0)
                    return 0;
                number = static_cast<std::uint32_t>(parsed);
            }
            if (complement) {
                number = number < 256 ? 255 - number : 65535 - number;
                complement = false;
            }
            if (first) {
                value = number;
                first = false;
            } else {
                switch (pendingOperator) {
                case 0x80:
                    value = value + number;
                    break;
                case 0x81:
                    value = value - number;
                    break;
                case 0x82:
                    value = value * number;
                    break;
                case 0x83:
                    if (number == 0)
                        return 0;
                    value = value / number;
                    break;
                case 0x84:
                    if (number == 0)
                        return 0;
                    value = value % number;
                    break;
                case 0x85:
                    value = value >> (number % 32);
                    break;
                case 0x86:
                    value = value << (number % 32);
                    break;
                case 0x87:
                    value = value & number;
                    break;
                case 0x88:
                    value = value | number;
                    break;
                case 0x89:
                    value = value ^ number;
                    break;
                default:
                    break; // after a multi-byte result or the end mark
                }
                value &= 0xFFFF;
            }
            pendingOperator = b;
            operand.clear();
        }
        if (first) // nothing was formed: no end mark reached
            return 0;
        entry.value = static_cast<std::uint16_t>(value);
    }
    return 1;
}

bool EvaluateExpressionText(std::string_view text, const ParamCallEvaluator& callEvaluator,
                            std::uint16_t& value) {
    const ByteString tokens = TokenizeExpression(text, callEvaluator);
    if (tokens.empty())
        return false;
    SubExpressionTable table;
    if (!SplitParentheses(tokens, table) || !EvaluateExpression(table))
        return false;
    value = table.entries[0].value;
    return true;
}
