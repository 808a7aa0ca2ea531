#include "script/value_parsers.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ValueParsers, ByteValues) {
    struct Case {
        const char* in;
        int out;
    } cases[] = {
        {"", -1},
        {"0", 0},
        {"255", 255},
        {"256", -1},
        {"12 ", -1},
        {" 12", -1},
        {"-1", -1},
        {"1.5", -1},
        {"hFF", 255},
        {"FFh", 255},
        {"0xff", 255},
        {"1Fh", 31},
        {"h1F", 31},
        {"0x1F", 31},
        {"ab", 171},
        {"h", 0},
        {"#11111111", 255},
        {"#111111111", -1},
        {"#102", -1},
        {"#", 0},
        {"1#01", 5},
        {"#1F", 31},
        {"100%", 255},
        {"101%", -1},
        {"%", 0},
        {"0%", 0},
        {"1%", 2},
        {"50%", 127},
        {"99%", 252},
        {"h50%", 204},
        {"%%5%", 12},
        {"g", -1},
        // Runaway digit strings are invalid, never wrapped into range.
        {"4294967296", -1},
        {"100000000000000000000000000000000000000001", -1},
        {"10000000000000000000000000000000000000000000000000001h", -1},
        {"00000000000000000000000000000000000000000000000000012", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseByteValue(c.in), c.out) << '"' << c.in << '"';
}

TEST(ValueParsers, WordValues) {
    struct Case {
        const char* in;
        int out;
    } cases[] = {
        {"65535", 65535},
        {"65536", -1},
        {"#1111111111111111", 65535},
        {"#11111111111111111", -1},
        {"50%", 32767},
        {"100%", 65535},
        {"1%", 655},
        {"FFFFh", 65535},
        {"10000h", -1},
        {"300", 300},
        {"", -1},
        {"4294967297", -1},
        {"x", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWordValue(c.in), c.out) << '"' << c.in << '"';
}

TEST(ValueParsers, DataElements) {
    struct Case {
        const char* in;
        ByteString out;
    } cases[] = {
        {"65", {0x41}},
        {"300", {0x2C, 0x01}},
        {"1000", {0xE8, 0x03}},
        {"\"AB\"", {'A', 'B'}},
        {"\"a\"b\"", {'a', '"', 'b'}},
        {"\"\"", {}},
        {"\"", {}},
        {"ab\"cd\"", {}},
        {"70000", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataElementToBytes(c.in), c.out) << c.in;
}

TEST(ValueParsers, ReadLeadingInt) {
    bool overflow = true;
    EXPECT_EQ(ReadLeadingInt("  -42xyz", &overflow), -42);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(ReadLeadingInt("+7"), 7);
    EXPECT_EQ(ReadLeadingInt("abc"), 0);
    EXPECT_EQ(ReadLeadingInt(""), 0);
    EXPECT_EQ(ReadLeadingInt("-2147483648"), INT_MIN);
    EXPECT_EQ(ReadLeadingInt("2147483647", &overflow), INT_MAX);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(ReadLeadingInt("2147483648", &overflow), INT_MAX);
    EXPECT_TRUE(overflow);
    EXPECT_EQ(ReadLeadingInt("-" + std::string(40, '9'), &overflow), INT_MIN);
    EXPECT_TRUE(overflow);
}

} // namespace
