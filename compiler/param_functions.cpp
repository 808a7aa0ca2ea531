#include "compiler/param_functions.h"

#include "compiler/compiler_state.h"
#include "compiler/template_expressions.h"
#include "platform/paths.h"
#include "script/protocol.h"
#include "script/text_utils.h"
#include "script/value_parsers.h"
#include "script/vl_doc.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr std::array<std::string_view, kParamFunctionCount> kFunctionNames = {
    "@byte",       "@word",    "@length", "@string",      "@decstring", "@hexstring",
    "@index",      "@hour",    "@minute", "@second",      "@frame",     "@track",
    "@trackindex", "@complex", "@barco",  "@checksum",    "@msg",       "@msgposition",
    "@lsb",        "@msb",     "@qornet", "@unitaddress", "@msglength"};

enum Function {
    kByte = 0,
    kWord,
    kLength,
    kString,
    kDecString,
    kHexString,
    kIndex,
    kHour,
    kMinute,
    kSecond,
    kFrame,
    kTrack,
    kTrackIndex,
    kComplex,
    kBarco,
    kChecksum,
    kMsg,
    kMsgPosition,
    kLsb,
    kMsb,
    kQornet,
    kUnitAddress,
    kMsgLength
};

// 0-based index n when the normalised text equals prefix + (n + 1) for n below count.
int FindNumberedReference(std::string_view text, std::string_view prefix, int count) {
    const std::string name = NormalizeName(text, true);
    for (int n = 0; n < count; ++n)
        if (platform::EqualsNoCase(name, std::string(prefix) + std::to_string(n + 1)))
            return n;
    return -1;
}

// Byte k of a value; the byte just past the end reads 0 (the reader's terminator).
std::uint8_t ByteAt(const ByteString& value, std::size_t k) {
    return k < value.size() ? value[k] : 0;
}

const ByteString* ParamValue(std::string_view argument) {
    const int n = FindParamReference(argument);
    if (n < 0)
        return nullptr;
    return &CurrentParamValues()[static_cast<std::size_t>(n)];
}

// A single-expression argument, evaluated: only while expressions are allowed.
std::optional<std::uint16_t> ExpressionValue(std::string_view argument) {
    if (!GetCompilerState().expressionsAllowed || ParameterCount(argument) != 1)
        return std::nullopt;
    std::uint16_t value = 0;
    if (!EvaluateExpressionText(argument, EvaluateParamCall, value))
        return std::nullopt;
    return value;
}

// A numeric argument: a byte value text, or the low byte of an expression while expressions
// are allowed.
std::optional<std::uint8_t> NumberArgument(std::string_view argument) {
    if (GetCompilerState().expressionsAllowed) {
        std::uint16_t value = 0;
        if (!EvaluateExpressionText(argument, EvaluateParamCall, value))
            return std::nullopt;
        return static_cast<std::uint8_t>(value);
    }
    const int value = ParseByteValue(argument);
    if (value < 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// The low byte a "ParamN or expression" argument gives: byte `k` of a long enough value, or
// the chosen byte of the expression.
std::optional<std::uint8_t> ByteOfParamOrExpression(std::string_view argument, std::size_t k,
                                                    bool highByte) {
    if (const ByteString* value = ParamValue(argument)) {
        if (value->size() <= k)
            return std::nullopt;
        return (*value)[k];
    }
    const std::optional<std::uint16_t> expression = ExpressionValue(argument);
    if (!expression)
        return std::nullopt;
    return static_cast<std::uint8_t>(highByte ? *expression >> 8 : *expression);
}

// Two decimal digits as atoi reads them: digits up to the first other character.
std::uint8_t TwoDigitNumber(const ByteString& value, std::size_t first) {
    int number = 0;
    for (std::size_t k = first; k < first + 2; ++k) {
        const std::uint8_t c = ByteAt(value, k);
        if (c < '0' || c > '9')
            break;
        number = number * 10 + (c - '0');
    }
    return static_cast<std::uint8_t>(number);
}

ByteString NumberString(std::string_view arguments, bool hex) {
    if (ParameterCount(arguments) != 2)
        return {};
    const std::string_view valueArgument = NthArgument(arguments, 1);
    unsigned value;
    if (const ByteString* param = ParamValue(valueArgument)) {
        if (param->empty())
            return {};
        value = ByteAt(*param, 0) + 256u * ByteAt(*param, 1);
    } else if (const auto expression = ExpressionValue(valueArgument)) {
        value = *expression;
    } else {
        return {};
    }
    const std::optional<std::uint8_t> digits = NumberArgument(NthArgument(arguments, 2));
    if (!digits || *digits < 1 || *digits > 5)
        return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, hex ? "%.*X" : "%.*u", static_cast<int>(*digits), value);
    const std::string text(buffer);
    return ByteString(text.begin(), text.end());
}

ByteString Complex(std::string_view argument) {
    const int line = FindByteLineReference(argument);
    const CCmnd* command = GetCompilerState().currentCommand;
    if (line < 0 || !command)
        return {};
    ByteString tokens;
    {
        // Operators and parentheses are expression syntax only while the line is tokenised.
        CompilerState& state = GetCompilerState();
        state.expressionsAllowed = true;
        tokens = TokenizeExpression(command->m_strBytes[static_cast<std::size_t>(line)],
                                    EvaluateParamCall);
        state.expressionsAllowed = false;
    }
    if (tokens.empty())
        return {};
    SubExpressionTable table;
    if (!SplitParentheses(tokens, table))
        return {};
    const ByteString& whole = table.entries[0].tokens;
    if (table.count == 1 && whole.size() >= 2 && whole[whole.size() - 2] == kTokenMultiByteEnd &&
        whole.back() == kTokenEnd) {
        // The line is a single call that yielded several bytes: those bytes as they are.
        return ByteString(whole.begin(), whole.end() - 2);
    }
    if (!EvaluateExpression(table))
        return {};
    return {static_cast<std::uint8_t>(table.entries[0].value)};
}

ByteString Checksum(std::string_view arguments) {
    if (ParameterCount(arguments) != 2)
        return {};
    const std::string_view lastText = NthArgument(arguments, 2);
    if (lastText.empty())
        return {};
    // A position that is no byte value counts as 255, which no message reaches.
    const std::uint8_t first = NumberArgument(NthArgument(arguments, 1)).value_or(255);
    const std::uint8_t last = NumberArgument(lastText).value_or(255);
    const std::uint8_t a = static_cast<std::uint8_t>(first - 1);
    const std::uint8_t b = static_cast<std::uint8_t>(last - 1);
    const ByteString& message = GetCompilerState().message;
    if (b < a || a >= message.size() || b >= message.size())
        return {};
    std::uint8_t sum = 0;
    for (std::size_t k = a; k <= b; ++k)
        sum = static_cast<std::uint8_t>(sum + message[k]);
    return {sum};
}

ByteString RunFunction(int number, std::string_view arguments) {
    const CompilerState& state = GetCompilerState();
    const ByteString* value = nullptr;
    switch (number) {
    case kByte:
    case kWord:
    case kLength:
    case kString:
    case kIndex:
    case kHour:
    case kMinute:
    case kSecond:
    case kFrame:
    case kTrack:
    case kTrackIndex:
        value = ParamValue(arguments);
        if (!value)
            return {};
        break;
    default:
        break;
    }
    switch (number) {
    case kByte:
        return value->empty() ? ByteString{} : ByteString{(*value)[0]};
    case kWord:
        return value->size() < 2 ? ByteString{} : ByteString{(*value)[0], (*value)[1]};
    case kLength:
        return {static_cast<std::uint8_t>(value->size())};
    case kString:
        return *value;
    case kDecString:
        return NumberString(arguments, false);
    case kHexString:
        return NumberString(arguments, true);
    case kIndex:
        return value->empty() ? ByteString{}
                              : ByteString{static_cast<std::uint8_t>((*value)[0] - 1)};
    case kHour:
        return {ByteAt(*value, 0)};
    case kMinute:
        return value->size() < 1 ? ByteString{} : ByteString{ByteAt(*value, 1)};
    case kSecond:
        return value->size() < 2 ? ByteString{} : ByteString{ByteAt(*value, 2)};
    case kFrame:
        return value->size() < 3 ? ByteString{} : ByteString{ByteAt(*value, 3)};
    case kTrack:
        return value->size() < 1 ? ByteString{} : ByteString{TwoDigitNumber(*value, 0)};
    case kTrackIndex:
        return value->size() < 3 ? ByteString{} : ByteString{TwoDigitNumber(*value, 2)};
    case kComplex:
        return Complex(arguments);
    case kBarco: {
        const auto b = ByteOfParamOrExpression(arguments, 0, false);
        if (!b)
            return {};
        if (*b == 0x80)
            return {0x80, 0x00};
        if (*b == 0xFE)
            return {0x80, 0x7E};
        if (*b == 0xFF)
            return {0x80, 0x7F};
        return {*b};
    }
    case kChecksum:
        return Checksum(arguments);
    case kMsg: {
        if (state.expressionsAllowed && ParameterCount(arguments) != 1)
            return {};
        const auto n = NumberArgument(arguments);
        if (!n || *n == 0 || *n > state.message.size())
            return {};
        return {state.message[*n - 1u]};
    }
    case kMsgPosition:
        if (ParameterCount(arguments) != 0)
            return {};
        return {static_cast<std::uint8_t>(state.message.size() + 1)};
    case kLsb: {
        const auto b = ByteOfParamOrExpression(arguments, 0, false);
        return b ? ByteString{*b} : ByteString{};
    }
    case kMsb: {
        const auto b = ByteOfParamOrExpression(arguments, 1, true);
        return b ? ByteString{*b} : ByteString{};
    }
    case kQornet: {
        if (const ByteString* param = ParamValue(arguments))
            return EscapeF0Bytes(*param);
        const auto expression = ExpressionValue(arguments);
        if (!expression)
            return {};
        return EscapeF0Bytes({static_cast<std::uint8_t>(*expression)});
    }
    case kUnitAddress:
        if (ParameterCount(arguments) != 0)
            return {};
        return {static_cast<std::uint8_t>(state.document ? state.document->m_wAddress : 0)};
    case kMsgLength: {
        if (state.expressionsAllowed && ParameterCount(arguments) != 1)
            return {};
        const auto n = NumberArgument(arguments);
        if (!n || *n == 0)
            return {};
        CurrentLengthBytePosition() = *n - 1;
        return {0x00};
    }
    default:
        return {};
    }
}

} // namespace

ParamValueArray& CurrentParamValues() {
    static ParamValueArray values;
    return values;
}

std::int32_t& CurrentLengthBytePosition() {
    static std::int32_t position = -1;
    return position;
}

std::string_view ParamFunctionName(int number) {
    if (number < 0 || number >= kParamFunctionCount)
        return {};
    return kFunctionNames[static_cast<std::size_t>(number)];
}

ByteString DispatchParamFunction(std::string_view call, int number) {
    if (number < 0 || number >= kParamFunctionCount)
        return {};
    const std::size_t open = call.find('(');
    if (open == std::string_view::npos)
        return {};
    if (!platform::EqualsNoCase(call.substr(0, open),
                                kFunctionNames[static_cast<std::size_t>(number)]))
        return {};
    int depth = 0;
    for (std::size_t i = open + 1; i < call.size(); ++i) {
        if (call[i] == '(') {
            ++depth;
        } else if (call[i] == ')') {
            if (depth == 0)
                return RunFunction(number, call.substr(open + 1, i - open - 1));
            --depth;
        }
    }
    return {};
}

ByteString EvaluateParamCall(std::string_view call) {
    for (int number = 0; number < kParamFunctionCount; ++number) {
        if (number == kParamFunctionComplex)
            continue;
        ByteString result = DispatchParamFunction(call, number);
        if (!result.empty())
            return result;
    }
    return {};
}

int FindParamReference(std::string_view text) {
    return FindNumberedReference(text, "Param", 10);
}

int FindByteLineReference(std::string_view text) {
    return FindNumberedReference(text, "Byte", 20);
}

ByteString EscapeF0Bytes(const ByteString& bytes) {
    ByteString result;
    result.reserve(bytes.size());
    for (std::uint8_t b : bytes) {
        if (b >= 0xF0 && b <= 0xF2) {
            result.push_back(0xF0);
            result.push_back(static_cast<std::uint8_t>(b - 0xF0));
        } else {
            result.push_back(b);
        }
    }
    return result;
}
