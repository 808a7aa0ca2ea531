#include "compiler/template_expressions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// '@' calls of the tests: @one(x) yields one byte 65, @digits(x) the characters "12",
// @raw(x) two bytes that are no value text, @none(x) nothing.
ByteString TestCalls(std::string_view call) {
    if (call.rfind("@one(", 0) == 0)
        return {65};
    if (call.rfind("@digits(", 0) == 0)
        return {'1', '2'};
    if (call.rfind("@raw(", 0) == 0)
        return {0x81, 0x01};
    return {};
}

struct Case {
    std::string text;
    bool ok;
    std::uint16_t value;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "[" << c.text << "]";
}

class ExpressionTable : public testing::TestWithParam<Case> {};

TEST_P(ExpressionTable, Evaluates) {
    const Case& c = GetParam();
    std::uint16_t value = 0xABCD;
    const bool ok = EvaluateExpressionText(c.text, TestCalls, value);
    EXPECT_EQ(ok, c.ok) << "[" << c.text << "]";
    if (c.ok && ok) {
        EXPECT_EQ(value, c.value) << "[" << c.text << "]";
    }
}

std::string Nested(int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "1" +
           std::string(static_cast<std::size_t>(depth), ')');
}

std::string ManyGroups(int groups) {
    std::string text = "(1)";
    for (int i = 1; i < groups; ++i)
        text += "+(1)";
    return text;
}

const Case kCases[] = {
    // No precedence: strictly left to right, parentheses group.
    {"2+3*4", true, 20},
    {"2+(3*4)", true, 14},
    {"((1+1)*(2+2))", true, 8},
    {"2 + 3", true, 5},
    // Unsigned 16-bit arithmetic.
    {"1-2", true, 65535},
    {"h8000 >> 15", true, 1},
    {"1 << 16", true, 0},
    {"1 << 33", true, 2},
    {"hFF * hFF", true, 65025},
    {"h100 * h100", true, 0},
    {"7 % 4", true, 3},
    {"12 & 10", true, 8},
    {"12 | 3", true, 15},
    {"12 ^ 10", true, 6},
    {"#101 + 1", true, 6},
    // Complement: 8 bits below 256, 16 above; it drops the operand before it.
    {"~0", true, 255},
    {"~h100", true, 65279},
    {"5 ~3", true, 252},
    {"2+ ~3", true, 254},
    // Failures.
    {"10/0", false, 0},
    {"10%0", false, 0},
    {"", false, 0},
    {"2+", false, 0},
    {"-5", false, 0},
    {"2+~3", false, 0},
    {"2 ** 3", false, 0},
    {"(1+2", false, 0},
    {"1+2)", false, 0},
    {"70000", false, 0},
    {"99999999999999999999999", false, 0},
    // '@' calls: one byte counts as its decimal value; malformed or empty calls fail.
    {"@one(Param1)+1", true, 66},
    {"@one(x", false, 0},
    {"@none(x)", false, 0},
    {"@ one(x)", false, 0},
    {"@raw(x)", false, 0},
    {"@digits(x) + 1", false, 0},
    // Table limits: 31 groups and their nesting fit, one more does not.
    {Nested(31), true, 1},
    {Nested(32), false, 0},
    {ManyGroups(31), true, 31},
    {ManyGroups(32), false, 0},
};

INSTANTIATE_TEST_SUITE_P(TemplateExpressions, ExpressionTable, testing::ValuesIn(kCases));

TEST(TemplateExpressions, MultiByteResultOfValueCharactersStaysRaw) {
    // A lone multi-byte result keeps its bytes, marked, for the byte-line passthrough.
    const ByteString tokens = TokenizeExpression("@digits(x)", TestCalls);
    EXPECT_EQ(tokens, (ByteString{'1', '2', kTokenMultiByteEnd, kTokenEnd}));
    SubExpressionTable table;
    ASSERT_EQ(SplitParentheses(tokens, table), 1);
    EXPECT_EQ(table.count, 1);
}

TEST(TemplateExpressions, SplitNumbersGroupsInTheOrderFound) {
    SubExpressionTable table;
    ASSERT_EQ(SplitParentheses(TokenizeExpression("(1+(2))*(3)", TestCalls), table), 1);
    ASSERT_EQ(table.count, 4);
    EXPECT_EQ(table.entries[0].tokens, (ByteString{0x01, 0x82, 0x02, kTokenEnd}));
    EXPECT_EQ(table.entries[1].tokens, (ByteString{'1', 0x80, 0x03, kTokenEnd}));
    ASSERT_EQ(EvaluateExpression(table), 1);
    EXPECT_EQ(table.entries[0].value, 9);
}

TEST(TemplateExpressions, ArgumentCountAndNthArgument) {
    struct {
        const char* text;
        int count;
    } counts[] = {{"a, (b, c), d", 3}, {"", 0}, {"  \t", 0}, {"abc", 1}, {"a,b", 2}, {"a),b,c", 1}};
    for (const auto& c : counts)
        EXPECT_EQ(ParameterCount(c.text), c.count) << c.text;

    EXPECT_EQ(NthArgument("a, (b, c), d", 1), "a");
    EXPECT_EQ(NthArgument("a, (b, c), d", 2), " (b, c)");
    EXPECT_EQ(NthArgument("a, (b, c), d", 3), " d");
    EXPECT_EQ(NthArgument("a, (b, c), d", 4), "");
    EXPECT_EQ(NthArgument("2,", 2), "");
}

} // namespace
