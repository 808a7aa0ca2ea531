#include "foundation/byte_buffer.h"
#include "foundation/conversions.h"
#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::string Readable(const QORBuffer_c& b) {
    if (b.Cursor() == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(b.Cursor()),
                       static_cast<std::size_t>(b.Remaining()));
}

TEST(ParseBinaryText, Cases) {
    struct Case {
        std::string text;
        std::string bytes;
        std::uint8_t status;
    };
    const Case cases[] = {
        {"h41 $42 0x43 \\x44", "ABCD", 2},
        {"65,66,67", "ABC", 2},
        {"\"ABC\"", "ABC", 2},
        {"\"AB\\r\\n\"h01", "AB\r\n\x01", 2},
        {"h4 ", "\x04", 2},
        {"hZ", "", 254},
        {"300", std::string("\x1e\x00", 2), 2},
        {"255", "\xff", 2},
        {"256", "\x19\x06", 2},
        {"1 0", std::string("\x01\x00", 2), 2},
        {"\"a\\qb\"", "ab", 2}, // an unknown escape makes no byte and eats the q
        {"\"a\\q\"", "a", 254}, // ...and when it is the last thing, its status stays
        {"\"\\x41\"", "A", 2},
        {"h", "", 254}, // a prefix at the very end
        {"h4\"BC\"",
         "\x04"
         "BC",
         2}, // a quote after a single digit still opens a run
        {"H0aH0A", "\n\n", 2},
        {"\\y65", "A", 254}, // a stray backslash is rejected
        {"0X7f_0x1", "\x7f\x01", 2},
        {"012", "\x0c", 2},
        {"a", "", 254},
        {"", "", 2},
    };
    for (const Case& c : cases) {
        QORBuffer_c out;
        EXPECT_EQ(QORParseBinaryText(-1, c.text.c_str(), &out), c.status) << c.text;
        EXPECT_EQ(Readable(out), c.bytes) << c.text;
    }
    QORBuffer_c out;
    EXPECT_EQ(QORParseBinaryText(-1, nullptr, &out), QOR_ERROR);
    EXPECT_EQ(QORParseBinaryText(-1, "1", nullptr), QOR_ERROR);
    // The length bounds the text: no reading beyond it.
    EXPECT_EQ(QORParseBinaryText(2, "h41", &out), QOR_OK);
    EXPECT_EQ(Readable(out), "\x04");
}

TEST(Escapes, DecodeAndIndex) {
    std::uint8_t b = 0;
    EXPECT_EQ(QORDecodeEscape("n", 1, &b), 1);
    EXPECT_EQ(b, '\n');
    EXPECT_EQ(QORDecodeEscape("x4a", 3, &b), 3);
    EXPECT_EQ(b, 0x4A);
    EXPECT_EQ(QORDecodeEscape("x4", 2, &b), -2);
    EXPECT_EQ(QORDecodeEscape("q", 1, &b), -2);
    EXPECT_EQ(QORDecodeEscape("n", 0, &b), -2);
    EXPECT_EQ(QOREscapeIndex('%'), 6);
    EXPECT_EQ(QOREscapeIndex('\\'), 0);
    EXPECT_EQ(QOREscapeIndex('a'), -2);
}

TEST(TextToNumber, Integers) {
    struct Case {
        const char* text;
        std::uint32_t u;
        std::uint8_t uStatus;
        std::int32_t i;
        std::uint8_t iStatus;
    };
    const Case cases[] = {
        {"42", 42, 2, 42, 2},        {" 42", 42, 254, 42, 254},
        {"", 0, 254, 0, 254},        {"-12", 12, 254, -12, 2},
        {"x-12", 12, 254, -12, 254}, {"12ab", 12, 254, 12, 254},
        {"-x12", 12, 254, 12, 254},  {"4294967295", 4294967295u, 2, -1, 2},
        {"4294967296", 0, 2, 0, 2}, // wraps at 32 bits
    };
    for (const Case& c : cases) {
        std::uint8_t s = 0;
        EXPECT_EQ(QORTextToUInt(&s, -1, c.text), c.u) << c.text;
        EXPECT_EQ(s, c.uStatus) << c.text;
        EXPECT_EQ(QORTextToInt(c.text, -1, &s), c.i) << c.text;
        EXPECT_EQ(s, c.iStatus) << c.text;
    }
    std::uint8_t s = 0;
    EXPECT_EQ(QORTextToUInt(&s, 2, "123"), 12u);
    EXPECT_EQ(s, QOR_OK);
    EXPECT_EQ(QORTextToUInt(&s, -1, nullptr), 0u);
    EXPECT_EQ(s, QOR_ERROR);
    EXPECT_EQ(QORTextToUInt(nullptr, -1, "7"), 7u);
}

TEST(TextToNumber, Doubles) {
    struct Case {
        const char* text;
        double value;
        std::uint8_t status;
    };
    const Case cases[] = {
        {"2.5", 2.5, 2},   {".5", 0.5, 2},      {"-.5", -0.5, 2}, {"-2.25x", -2.25, 2},
        {"1.2.3", 1.2, 2}, {"abc", 0, 254},     {"x-3", -3, 2},   {"-x3", 3, 2},
        {"12", 12, 2},     {"0.125", 0.125, 2},
    };
    for (const Case& c : cases) {
        std::uint8_t s = 0;
        EXPECT_DOUBLE_EQ(QORTextToDouble(c.text, -1, &s), c.value) << c.text;
        EXPECT_EQ(s, c.status) << c.text;
    }
    std::uint8_t s = 0;
    EXPECT_DOUBLE_EQ(QORTextToUDouble("-7.5", -1, &s), 7.5);
    EXPECT_EQ(s, QOR_OK);
}

TEST(NumberToText, UIntAndDigits) {
    char out[11];
    std::int32_t n = 0;
    char* end = QORUIntToText(out, sizeof out, 4294967295u, &n);
    ASSERT_NE(end, nullptr);
    EXPECT_STREQ(out, "4294967295");
    EXPECT_EQ(n, 10);
    EXPECT_EQ(*end, '\0');
    // Ten digits need eleven bytes: the zero byte always has its room.
    EXPECT_EQ(QORUIntToText(out, 10, 4294967295u, &n), nullptr);
    EXPECT_NE(QORUIntToText(out, 2, 0, &n), nullptr);
    EXPECT_STREQ(out, "0");
    EXPECT_EQ(QORDigitCount(0), 1);
    EXPECT_EQ(QORDigitCount(-55), 1);
    EXPECT_EQ(QORDigitCount(1000), 4);
}

TEST(NumberToText, Doubles) {
    struct Case {
        double value;
        std::int32_t decimals;
        const char* text;
    };
    const Case cases[] = {
        {2.5, 2, "2.50"},   {0.05, 2, "0.05"},    {1.999, 2, "2.00"},  {0.006, 2, "0.01"},
        {0.096, 2, "0.10"}, {0.001, 2, "0.00"},   {5, 2, "5.00"},      {5, 0, "5.0"},
        {2.56, 0, "2.6"},   {3, 0, "3.0"},        {9.999, 2, "10.00"}, {1.5, 12, "1.500000000"},
        {-2.5, 1, "-2.5"},  {-0.006, 2, "-0.01"},
    };
    for (const Case& c : cases) {
        char out[64];
        std::int32_t n = -1;
        char* end = QORSignedDoubleToText(c.value, sizeof out, out, &n, c.decimals);
        ASSERT_NE(end, nullptr);
        EXPECT_STREQ(out, c.text) << c.value;
        EXPECT_EQ(n, static_cast<std::int32_t>(std::string(c.text).size()));
        EXPECT_EQ(end, out + n);
    }
    char small[4];
    std::int32_t n = 0;
    EXPECT_NE(QORDoubleToText(&n, small, sizeof small, 2, 12.5), nullptr);
    EXPECT_STREQ(small, "12.");
    EXPECT_EQ(n, 3);
}

TEST(NumberToText, DecimalCommaLocaleChangesNothing) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char out[32];
    QORSignedDoubleToText(1.25, sizeof out, out, nullptr, 2);
    std::uint8_t s = 0;
    EXPECT_STREQ(out, "1.25");
    EXPECT_DOUBLE_EQ(QORTextToDouble("1.25", -1, &s), 1.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) {
        GTEST_LOG_(INFO) << "no decimal-comma locale installed; checked under the C locale";
    }
}

TEST(Rounding, Functions) {
    struct Case {
        double value, trunc, ceil, round;
    };
    const Case cases[] = {
        {-1.5, -1, -1, -2}, {1.5, 1, 2, 2},  {2.5, 2, 3, 3},
        {-2.5, -2, -2, -3}, {2.4, 2, 3, 2},  {3, 3, 3, 3},
        {0, 0, 0, 0},       {-0.4, 0, 0, 0}, {4294967296.5, 0, 1, 1}, // the cut wraps at 32 bits
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(QORTrunc(c.value), c.trunc) << c.value;
        EXPECT_DOUBLE_EQ(QORCeil(c.value), c.ceil) << c.value;
        EXPECT_DOUBLE_EQ(QORRound(c.value), c.round) << c.value;
    }
}

TEST(Hex, PairsAndRuns) {
    const std::uint8_t bytes[] = {0x0A, 0xFF, 0x00};
    char hex[7] = {};
    EXPECT_EQ(QORBytesToHex(5, 3, hex, bytes), QOR_ERROR);
    EXPECT_EQ(QORBytesToHex(6, 3, hex, bytes), QOR_OK);
    EXPECT_STREQ(hex, "0AFF00");
    std::uint8_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(QORHexToBytes(3, "0A1", out, 1), QOR_OK);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(QORHexToBytes(4, "0a1b", out, 1), QOR_ERROR);
    EXPECT_EQ(QORHexPairToByte('f', 'G'), 0xF0);
    char pair[2];
    EXPECT_EQ(QORByteToHexPair(pair, 0x9c), QOR_OK);
    EXPECT_EQ(std::string(pair, 2), "9C");

    QORString_c digits;
    digits.Assign("414243");
    QORBuffer_c buffer;
    EXPECT_EQ(QORBuffer_c::AssignHex(&buffer, &digits), QOR_OK);
    EXPECT_EQ(Readable(buffer), "ABC");
    digits.Assign("4");
    EXPECT_EQ(QORBuffer_c::AssignHex(&buffer, &digits), QOR_ERROR);
    EXPECT_EQ(QORBuffer_c::AssignHex(nullptr, &digits), QOR_ERROR);
}

} // namespace
