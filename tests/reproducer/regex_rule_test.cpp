#include "reproducer/regex_rule.h"

#include "foundation/variant_value.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

void Put(QORString_c& out, std::string_view text) {
    out.Assign(text.data(), static_cast<std::int32_t>(text.size()), QOR_FALSE);
}

void Fill(QORBuffer_c& buffer, std::string_view bytes) {
    buffer.Resize(static_cast<std::int32_t>(bytes.size()));
    buffer.CopyIn(static_cast<std::int32_t>(bytes.size()), bytes.data());
}

std::string BytesOf(QORObject_c* object) {
    auto* value = dynamic_cast<QORValue_c*>(object);
    if (value == nullptr) {
        return "<none>";
    }
    QORBuffer_c* bytes = value->GetBytes(nullptr);
    return std::string(reinterpret_cast<const char*>(bytes->Data()),
                       static_cast<size_t>(bytes->ReadableEnd()));
}

TEST(ShowRegex, MatchesAnywhereInTheSubject) {
    struct Case {
        const char* pattern;
        const char* subject;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"b", "abc", QOR_OK},    {"^b", "abc", QOR_ERROR},   {"^A", "AB", QOR_OK},
        {"^A", "BA", QOR_ERROR}, {"c$", "abc", QOR_OK},      {"x", "", QOR_ERROR},
        {"", "", QOR_OK},        {"a.c", "a\nc", QOR_ERROR}, {"[0-9]+", "v12", QOR_OK},
    };
    for (const Case& c : cases) {
        QORBuffer_c code;
        QORBuffer_c study;
        QORString_c pattern;
        Put(pattern, c.pattern);
        ASSERT_EQ(ShowRegexCompile(&code, &pattern, &study), QOR_OK) << c.pattern;
        QORBuffer_c subject;
        Fill(subject, c.subject);
        EXPECT_EQ(ShowRegexMatch(&study, &subject, nullptr, &code), c.expected)
            << c.pattern << " on " << c.subject;
    }
}

TEST(ShowRegex, BadPatternLeavesTheBuffersAlone) {
    QORBuffer_c code;
    QORBuffer_c study;
    Fill(code, "keep");
    Fill(study, "me");
    for (const char* bad : {"(", "[a-", "a{2,1}", "*"}) {
        QORString_c pattern;
        Put(pattern, bad);
        EXPECT_EQ(ShowRegexCompile(&code, &pattern, &study), QOR_ERROR) << bad;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(code.Data()), 4), "keep");
    EXPECT_EQ(study.ReadableEnd(), 2);

    QORBuffer_c emptyCode;
    QORBuffer_c emptyStudy;
    QORString_c pattern;
    Put(pattern, "(");
    ShowRegexCompile(&emptyCode, &pattern, &emptyStudy);
    QORBuffer_c subject;
    for (const char* s : {"", "(", "abc"}) {
        Fill(subject, s);
        EXPECT_EQ(ShowRegexMatch(&emptyStudy, &subject, nullptr, &emptyCode), QOR_ERROR);
    }
    // Garbage where the compiled code should be is refused, not run.
    EXPECT_EQ(ShowRegexMatch(&study, &subject, nullptr, &code), QOR_ERROR);
}

TEST(ShowRegex, NullBuffersAreRefused) {
    QORBuffer_c code;
    QORBuffer_c study;
    QORString_c pattern;
    Put(pattern, "a");
    ASSERT_EQ(ShowRegexCompile(&code, &pattern, &study), QOR_OK);
    QORBuffer_c subject;
    Fill(subject, "a");
    EXPECT_EQ(ShowRegexMatch(nullptr, &subject, nullptr, &code), QOR_ERROR);
    EXPECT_EQ(ShowRegexMatch(&study, nullptr, nullptr, &code), QOR_ERROR);
    EXPECT_EQ(ShowRegexMatch(&study, &subject, nullptr, nullptr), QOR_ERROR);
    EXPECT_EQ(ShowRegexCompile(&code, nullptr, &study), QOR_ERROR);
}

TEST(ShowRegex, CapturesGiveTheBytesBack) {
    QORBuffer_c code;
    QORBuffer_c study;
    QORString_c pattern;
    Put(pattern, "a(b)(x)?c");
    ASSERT_EQ(ShowRegexCompile(&code, &pattern, &study), QOR_OK);
    QORBuffer_c subject;
    Fill(subject, std::string_view("\x01"
                                   "abc\"\\",
                                   6));
    QORList_c captures;
    ASSERT_EQ(ShowRegexMatch(&study, &subject, &captures, &code), QOR_OK);
    ASSERT_EQ(captures.Count(), 2);
    EXPECT_EQ(BytesOf(captures.First()->object), "abc");
    EXPECT_EQ(BytesOf(captures.First()->next->object), "b");

    // Bytes that need escaping survive the text form.
    QORString_c odd;
    Put(odd, "\"\\\\");
    ASSERT_EQ(ShowRegexCompile(&code, &odd, &study), QOR_OK);
    QORList_c quoted;
    ASSERT_EQ(ShowRegexMatch(&study, &subject, &quoted, &code), QOR_OK);
    EXPECT_EQ(BytesOf(quoted.First()->object), "\"\\");
}

TEST(ShowRegex, AtMostTwentySubstringsAreReported) {
    std::string pattern;
    std::string subject;
    for (int i = 0; i < 25; ++i) {
        pattern += "(.)";
        subject += static_cast<char>('a' + i);
    }
    QORBuffer_c code;
    QORBuffer_c study;
    QORString_c text;
    Put(text, pattern);
    ASSERT_EQ(ShowRegexCompile(&code, &text, &study), QOR_OK);
    QORBuffer_c bytes;
    Fill(bytes, subject);
    QORList_c captures;
    ASSERT_EQ(ShowRegexMatch(&study, &bytes, &captures, &code), QOR_OK);
    EXPECT_EQ(captures.Count(), 20);
    EXPECT_EQ(BytesOf(captures.Last()->object), "s");
}

} // namespace
