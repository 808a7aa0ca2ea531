#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Str(const QORString_c& s) {
    return std::string(s.View());
}

TEST(String, NewAndClearedStringsAreEmptyWithoutOwnedStorage) {
    QORString_c s;
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Buffer()->Ownership(), QOR_BORROWS);
    EXPECT_STREQ(s.Chars(), "");
    EXPECT_EQ(s.Assign("abc"), 3);
    EXPECT_EQ(s.Buffer()->Ownership(), QOR_OWNS);
    s.Clear();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Buffer()->Ownership(), QOR_BORROWS);
}

TEST(String, PlainAssign) {
    QORString_c s;
    EXPECT_EQ(s.Assign("abc", -1, QOR_FALSE), 3);
    EXPECT_EQ(s.Chars()[3], '\0');
    EXPECT_EQ(s.Buffer()->Remaining(), 3); // the characters, not the zero byte, are readable
    EXPECT_EQ(s.Assign("abcdef", 2, QOR_FALSE), 2);
    EXPECT_EQ(Str(s), "ab");
    EXPECT_EQ(s.Assign(s.Chars() + 1, 1), 1); // from a part of itself
    EXPECT_EQ(Str(s), "b");
}

TEST(String, SameLengthAssignReusesTheStorageAndMayComeFromItself) {
    QORString_c s;
    s.Assign("abc");
    const char* storage = s.Chars();
    EXPECT_EQ(s.Assign("xyz"), 3);
    EXPECT_EQ(s.Chars(), storage);
    EXPECT_EQ(Str(s), "xyz");
    EXPECT_EQ(s.Buffer()->Ownership(), QOR_OWNS);
    EXPECT_EQ(s.Buffer()->Remaining(), 3);
    EXPECT_EQ(s.Assign(s.Chars(), 3), 3); // all of itself
    EXPECT_EQ(Str(s), "xyz");
    EXPECT_EQ(s.Assign("", 0), 0);
    EXPECT_EQ(s.Chars()[0], '\0');
    EXPECT_EQ(s.Assign("q", 1), 1); // a different length takes new storage
    EXPECT_EQ(Str(s), "q");
}

TEST(String, NullAssign) {
    QORString_c s;
    EXPECT_EQ(s.Assign(nullptr, 4, QOR_FALSE), -2);
    EXPECT_EQ(s.Length(), 4);
    EXPECT_EQ(Str(s), std::string(4, '\0'));
    // Without a length a null text counts as empty, and the string keeps its storage.
    EXPECT_EQ(s.Assign(nullptr, -1, QOR_TRUE), -2);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_STREQ(s.Chars(), "");
}

TEST(String, EscapedForms) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"AB\r\n\x01", "\"AB\\r\\n\"h01"},
        {"A\r", "\"A\\r\""},
        {"\x01\x02", "h01h02"},
        {"\x7f"
         "a\x80",
         "h7F\"a\"h80"},
        {"\\\"'%\t", "\"\\\\\\\"\\'\\%\\t\""},
        {"\xff", "hFF"},
    };
    for (const Case& c : cases) {
        QORString_c s;
        EXPECT_EQ(s.AssignEscaped(c.bytes.data(), static_cast<std::int32_t>(c.bytes.size())),
                  QOR_OK);
        EXPECT_EQ(Str(s), c.text);
        EXPECT_EQ(s.Chars()[s.Length()], '\0');
    }
    QORString_c s;
    EXPECT_EQ(s.Assign("A\r", 2, QOR_TRUE), 5);
    EXPECT_EQ(Str(s), "\"A\\r\"");
    EXPECT_EQ(s.AssignEscaped("x", 0), QOR_ERROR);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.AssignEscaped(nullptr, 3), QOR_ERROR);
}

TEST(String, CopyAppendFind) {
    QORString_c a, b;
    a.Assign("abc");
    a.SetTag(2);
    EXPECT_EQ(a.CopyTo(&b), QOR_OK);
    EXPECT_EQ(Str(b), "abc");
    EXPECT_EQ(b.Tag(), 2);
    EXPECT_EQ(a.CopyTo(nullptr), QOR_ERROR);
    EXPECT_EQ(a.AssignTo(nullptr), -2);

    QORString_c empty;
    EXPECT_EQ(empty.Append(&a), QOR_OK);
    EXPECT_EQ(Str(empty), "abc");
    EXPECT_EQ(a.Append(&b), QOR_OK);
    EXPECT_EQ(Str(a), "abcabc");
    EXPECT_EQ(a.Append(&a), QOR_OK);
    EXPECT_EQ(Str(a), "abcabcabcabc");
    EXPECT_EQ(a.Append(nullptr), QOR_ERROR);

    QORString_c hay, needle;
    hay.Assign("abcdef");
    needle.Assign("cd");
    EXPECT_EQ(hay.Find(&needle), 2);
    needle.Assign("fg");
    EXPECT_EQ(hay.Find(&needle), -2);
    needle.Clear();
    EXPECT_EQ(hay.Find(&needle), -2);
    EXPECT_EQ(hay.Find(nullptr), -2);
}

TEST(String, CompareCases) {
    struct Case {
        const char* text;
        const char* other;
        std::uint8_t mode;
        std::int32_t limit;
        std::uint8_t answer;
    };
    const Case cases[] = {
        {"abc", "ABd", QOR_TRUE, 0, 255},  {"abc", "ABd", QOR_FALSE, 0, 1},
        {"abcdef", "abc", QOR_TRUE, 3, 0}, {"ab", "abc", QOR_TRUE, 3, 1},
        {"abc", "abc", QOR_TRUE, 0, 0},    {"abc", "ab", QOR_TRUE, 0, 255},
        {"abc", "abcd", QOR_FALSE, 0, 1},  {"", "", QOR_TRUE, 0, 0},
    };
    for (const Case& c : cases) {
        QORString_c other;
        other.Assign(c.other);
        EXPECT_EQ(QORCompareText(c.text, &other, c.mode, c.limit, -1), c.answer)
            << c.text << " " << c.other;
        QORString_c self;
        self.Assign(c.text);
        EXPECT_EQ(self.Compare(&other, c.mode, c.limit), c.answer);
    }
    QORString_c other;
    EXPECT_EQ(QORCompareText(nullptr, &other, QOR_TRUE, 0, -1), 254);
}

TEST(String, SubstringAndTail) {
    struct Case {
        std::int32_t start, count;
        std::uint8_t answer;
        const char* result;
    };
    const Case cases[] = {
        {1, 3, 2, "bcd"}, {-2, 0, 2, "ef"}, {0, -1, 2, "abcde"},
        {4, 0, 0, ""},    {4, 99, 2, "ef"}, {-99, 2, 2, "ab"},
        {9, 1, 0, ""},    {3, -4, 0, ""},   {-3, -1, 2, "de"},
    };
    for (const Case& c : cases) {
        QORString_c s, target;
        s.Assign("abcdef");
        target.Assign("old");
        EXPECT_EQ(s.Substring(&target, c.start, c.count), c.answer) << c.start << "," << c.count;
        EXPECT_EQ(Str(target), c.result) << c.start << "," << c.count;
    }
    QORString_c s, t;
    s.Assign("abcdef");
    EXPECT_EQ(s.Substring(nullptr, 0, 1), QOR_ERROR);
    EXPECT_EQ(s.Tail(2, &t), QOR_OK);
    EXPECT_EQ(Str(t), "cdef");
    EXPECT_EQ(s.Tail(-2, &t), QOR_OK);
    EXPECT_EQ(Str(t), "ef");
    EXPECT_EQ(s.Substring(&s, 1, 2), QOR_OK); // into itself
    EXPECT_EQ(Str(s), "bc");
}

TEST(String, CloneIsAString) {
    QORString_c s;
    s.Assign("xyz");
    std::unique_ptr<QORObject_c> copy = s.Clone();
    auto* str = dynamic_cast<QORString_c*>(copy.get());
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(Str(*str), "xyz");
}

} // namespace
