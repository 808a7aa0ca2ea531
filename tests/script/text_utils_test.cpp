#include "script/text_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(NormalizeName, TrimsAndConvertsBlanksOutsideQuotes) {
    struct Case {
        const char* in;
        bool convert;
        const char* out;
    } cases[] = {
        {"  Start Show ", true, "Start_Show"},
        {"  Start Show ", false, "Start Show"},
        {"\t\r\n\v\fA\tB C\r\n", true, "A_B_C"},
        {"Say \"hello  world\" now", true, "Say_\"hello  world\"_now"},
        {"a \"b c", true, "a_\"b c"}, // an unclosed quote protects the rest
        {"   ", true, ""},
        {"", true, ""},
        {"Plain", true, "Plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeName(c.in, c.convert), c.out) << '"' << c.in << '"';
}

TEST(NormalizeName, AcceptsTextsOfAnyLength) {
    std::string longName = "  " + std::string(5000, 'x') + " y  ";
    std::string expected = std::string(5000, 'x') + "_y";
    EXPECT_EQ(NormalizeName(longName, true), expected);
}

TEST(TextUtils, Ampersands) {
    EXPECT_EQ(StripAmpersands("&File && &Edit"), "File  Edit");
    EXPECT_EQ(DoubleAmpersands("R&D & Co"), "R&&D && Co");
    EXPECT_EQ(DoubleAmpersands(""), "");
}

TEST(TextUtils, ArrowReferences) {
    struct Case {
        const char* in;
        bool has;
        const char* before;
        const char* after;
    } cases[] = {
        {"Show1->Input3", true, "Show1", "Input3"},
        {"Input3", false, "", "Input3"},
        {"A->B->C", true, "A->B", "C"},
        {"My-Show>X", false, "My", "X"}, // the '-' need not touch the '>'
        {">X", false, "", "X"},
        {"X>", false, "", ""},
        {"-", false, "", "-"},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasArrow(c.in), c.has) << c.in;
        EXPECT_EQ(TextBeforeLastArrow(c.in), c.before) << c.in;
        EXPECT_EQ(TextAfterLastArrow(c.in), c.after) << c.in;
    }
}

TEST(TextUtils, DirectoryOfPath) {
    EXPECT_EQ(DirectoryOfPath("C:\\Shows\\Park\\main.ksf"), "C:\\Shows\\Park");
    EXPECT_EQ(DirectoryOfPath("/home/u/shows/main.ksf"), "/home/u/shows");
    EXPECT_EQ(DirectoryOfPath("main.ksf"), "");
    EXPECT_EQ(DirectoryOfPath("\\main.ksf"), "");
    EXPECT_EQ(DirectoryOfPath(""), "");
}

TEST(TextUtils, SplitFourInts) {
    struct Case {
        const char* in;
        std::array<int, 4> out;
    } cases[] = {
        {"10, 20, 30, 40", {10, 20, 30, 40}},
        {"5", {-1, -1, -1, -1}},
        {"", {-1, -1, -1, -1}},
        {"1,2", {1, 2, -1, -1}},
        {"1,2,3,4,5,6", {1, 2, 3, 4}},
        {" -7, +8,x,  12abc", {-7, 8, 0, 12}},
        {"99999999999999999999, 2, 3, 4", {-1, 2, 3, -1}}, // runaway digits count as missing
        {"-1, 5", {-1, -1, -1, -1}}, // the last field needs a stored first one
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitFourInts(c.in), c.out) << c.in;
}

TEST(TextUtils, CommaFieldToInt) {
    struct Case {
        const char* in;
        int n;
        int out;
    } cases[] = {
        {"80,120,40", 0, 80},  {"80,120,40", 1, 120},
        {"80,120,40", 2, 40},  {"80,120,40", 3, 0},
        {"80,120,40", -1, 0},  {"80", 0, 0},
        {"80,,40", 1, 0},      {"-1,5", 0, 0},
        {"70000,1", 0, 65535}, {"123456789012345678901234567890,1", 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommaFieldToInt(c.in, c.n), c.out) << c.in << " field " << c.n;
}

TEST(TextUtils, SplitTextAtBlank) {
    std::string text = std::string(55, 'a') + ' ' + std::string(14, 'b');
    ASSERT_EQ(text.size(), 70u);
    auto split = SplitTextAtBlank(text, 60);
    EXPECT_EQ(split.head, std::string(55, 'a'));
    EXPECT_EQ(split.tail, std::string(14, 'b'));

    auto shortText = SplitTextAtBlank("short text", 60);
    EXPECT_EQ(shortText.head, "short text");
    EXPECT_EQ(shortText.tail, "");

    std::string noBlank = std::string(60, 'c') + " tail";
    auto unsplit = SplitTextAtBlank(noBlank, 60);
    EXPECT_EQ(unsplit.head, noBlank);
    EXPECT_EQ(unsplit.tail, "");
}

} // namespace
