#include "foundation/smpte_timecode.h"
#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const QORSMPTETimecode_c& tc) {
    QORString_c s;
    EXPECT_EQ(tc.ToText(&s), 2);
    return std::string(s.View());
}

std::uint8_t ParseText(QORSMPTETimecode_c& tc, const char* text) {
    QORString_c s;
    s.Assign(text, -1, 253);
    return tc.FromText(&s);
}

TEST(SmpteTimecode, NewTimecodeIsMidnightAtThirtyFrames) {
    QORSMPTETimecode_c tc;
    EXPECT_EQ(Text(tc), "00:00:00.00");
    EXPECT_EQ(tc.FrameRateIndex(), 5);
    EXPECT_EQ(tc.DropCounting(), 3);
    EXPECT_EQ(tc.DayLength(), 2592000u);
}

TEST(SmpteTimecode, LabelsBecomeCountsAndBackInEveryRate) {
    struct Case {
        std::uint8_t index, drop;
        std::uint32_t h, m, s, f;
        std::uint32_t count;
        const char* text;
    };
    const Case cases[] = {
        {5, 3, 23, 59, 59, 29, 2591999, "23:59:59.29"},
        {5, 3, 0, 0, 90, 0, 2700, "00:01:30.00"}, // fields may exceed their ranges
        {4, 3, 0, 1, 0, 2, 1800, "00:01:00.02"},
        {4, 3, 0, 0, 59, 29, 1799, "00:00:59.29"},
        {4, 3, 0, 10, 0, 0, 17982, "00:10:00.00"},
        {4, 3, 1, 0, 0, 0, 107892, "01:00:00.00"},
        {4, 3, 23, 59, 59, 29, 2589407, "23:59:59.29"},
        // Drop frame with plain counting: labels are plain 30 frames per second both ways.
        {4, 253, 0, 10, 0, 0, 18000, "00:10:00.00"},
        {4, 253, 0, 1, 0, 0, 1800, "00:01:00.00"},
        {3, 3, 0, 1, 0, 0, 1800, "00:01:00.00"}, // 29.97 non-drop labels at 30
        {2, 3, 0, 0, 1, 20, 45, "00:00:01.20"},
        {1, 3, 1, 0, 0, 0, 86400, "01:00:00.00"},
        {0, 3, 0, 0, 2, 23, 71, "00:00:02.23"}, // 23.976 labels at 24
    };
    for (const auto& c : cases) {
        QORSMPTETimecode_c tc;
        tc.SetFrameRate(c.index, c.drop);
        tc.SetTime(c.h, c.m, c.s, c.f);
        EXPECT_EQ(tc.FrameCount(), c.count) << c.text << " at " << int(c.index);
        EXPECT_EQ(Text(tc), c.text) << int(c.index);
        std::uint8_t bytes[4] = {};
        ASSERT_EQ(tc.ToBytes(bytes, 4), 4);
        QORSMPTETimecode_c back;
        back.SetFrameRate(c.index, c.drop);
        EXPECT_EQ(back.FromBytes(bytes), 4);
        EXPECT_EQ(back.FrameCount(), c.count) << c.text;
        QORSMPTETimecode_c parsed;
        parsed.SetFrameRate(c.index, c.drop);
        EXPECT_EQ(ParseText(parsed, c.text), 2);
        EXPECT_EQ(parsed.FrameCount(), c.count) << c.text;
    }
}

TEST(SmpteTimecode, AddTimeCarriesWholeDays) {
    QORSMPTETimecode_c tc;
    tc.SetTime(23, 59, 59, 29);
    EXPECT_EQ(tc.AddTime(0, 0, 1, 0), 1u);
    EXPECT_EQ(Text(tc), "00:00:00.00");
    EXPECT_EQ(tc.AddTime(49, 0, 0, 0), 2u);
    EXPECT_EQ(Text(tc), "01:00:00.00");
    QORSMPTETimecode_c df;
    df.SetFrameRate(4, 3);
    df.SetTime(23, 59, 59, 29);
    // The count wraps at 30 x 86400 also for drop frame, past the last label of the day.
    EXPECT_EQ(df.AddTime(0, 0, 1, 0), 0u);
    EXPECT_EQ(df.FrameCount(), 2589408u);
    EXPECT_EQ(Text(df), "00:00:00.00");
}

// Steps a drop-frame label one frame forward, as a counter on the wire would.
void StepDropLabel(std::uint32_t& h, std::uint32_t& m, std::uint32_t& s, std::uint32_t& f) {
    if (++f == 30) {
        f = 0;
        if (++s == 60) {
            s = 0;
            if (++m == 60) {
                m = 0;
                if (++h == 24) {
                    h = 0;
                }
            }
        }
    }
    if (f == 0 && s == 0 && m % 10 != 0) {
        f = 2;
    }
}

TEST(SmpteTimecode, DropFrameLabelsMatchCountingFrameByFrameOverTheWholeDay) {
    QORSMPTETimecode_c tc;
    tc.SetFrameRate(4, 3);
    std::uint32_t h = 0, m = 0, s = 0, f = 0;
    const std::uint32_t labelDay = 2589408; // labels of a day; the count runs on to 2592000
    for (std::uint32_t count = 0; count < tc.DayLength(); ++count) {
        tc.SetFrameCount(count);
        std::uint8_t b[4] = {};
        tc.ToBytes(b, 4);
        if (b[0] != h || b[1] != m || b[2] != s || b[3] != f) {
            FAIL() << "count " << count << " gives " << int(b[0]) << ":" << int(b[1]) << ":"
                   << int(b[2]) << "." << int(b[3]) << ", counting gives " << h << ":" << m << ":"
                   << s << "." << f;
        }
        const std::uint32_t expected = count % labelDay;
        if (QORDropFrameCount(h, m, f, s) != expected) {
            FAIL() << "label of count " << count << " converts to "
                   << QORDropFrameCount(h, m, f, s);
        }
        StepDropLabel(h, m, s, f);
    }
    EXPECT_EQ(h, 0u); // the count wrapped past one full day of labels
}

TEST(SmpteTimecode, DropFrameCountNormalisesFieldsFirst) {
    EXPECT_EQ(QORDropFrameCount(0, 0, 0, 60), QORDropFrameCount(0, 1, 0, 0));
    EXPECT_EQ(QORDropFrameCount(24, 0, 0, 0), 0u);
    EXPECT_EQ(QORDropFrameCount(0, 0, 1800, 0), 1798u); // a label that does not exist
}

TEST(SmpteTimecode, RateChangeKeepsTheLabelOrTheCount) {
    struct Case {
        const char* before;
        std::uint8_t drop;
        std::uint32_t count;
        const char* after;
    };
    const Case cases[] = {
        {"00:00:01.20", 3, 45, "00:00:01.20"},
        {"00:00:01.20", 253, 50, "00:00:02.00"},
        {"00:00:01.29", 3, 54, "00:00:02.04"}, // frames that 25 fps lacks carry
    };
    for (const auto& c : cases) {
        QORSMPTETimecode_c tc;
        ASSERT_EQ(ParseText(tc, c.before), 2);
        tc.SetFrameRate(2, c.drop);
        EXPECT_EQ(tc.FrameCount(), c.count) << c.before;
        EXPECT_EQ(Text(tc), c.after) << c.before;
        EXPECT_EQ(tc.DropCounting(), c.drop);
    }
    QORSMPTETimecode_c tc;
    tc.SetTime(1, 0, 0, 0);
    tc.SetFrameRate(9, 0); // no such rate
    EXPECT_EQ(tc.FrameRateIndex(), 5);
    EXPECT_EQ(tc.FrameCount(), 108000u);
    tc.SetFrameRate(1, 253); // the count stays, reduced by the shorter day
    tc.SetFrameCount(2591999);
    EXPECT_EQ(tc.FrameCount(), 2591999u % (24 * 86400));
}

TEST(SmpteTimecode, TextIsReadFromTheRightInUpToFourGroups) {
    struct Case {
        const char* text;
        std::uint8_t status;
        const char* label;
    };
    const Case cases[] = {
        {"1:02:03.04", 2, "01:02:03.04"},
        {"01 02 03 04", 2, "01:02:03.04"},
        {"1;2;3;4", 2, "01:02:03.04"},
        {"5.10", 2, "00:00:05.10"},
        {"12", 2, "00:00:00.12"},
        {"1:2:3:4:5", 2, "02:03:04.05"}, // digits left of the fourth separator are ignored
        {"12x", 254, "00:00:00.12"},     // a stray character still lets the rest count
        {"01::05", 2, "00:01:00.05"},    // an empty group is 0 and still moves on
        {"00:00:01.00 \t\r\n", 2, "00:00:01.00"},
        {"", 2, "00:00:00.00"},
        {"00:00:90.00", 2, "00:01:30.00"},
    };
    for (const auto& c : cases) {
        QORSMPTETimecode_c tc;
        tc.SetTime(5, 5, 5, 5);
        EXPECT_EQ(ParseText(tc, c.text), c.status) << c.text;
        EXPECT_EQ(Text(tc), c.label) << c.text;
    }
    QORSMPTETimecode_c tc;
    EXPECT_EQ(tc.FromText(nullptr), 254);
    EXPECT_EQ(tc.ToText(nullptr), 254);
}

TEST(SmpteTimecode, BytesAndCopies) {
    QORSMPTETimecode_c tc;
    std::uint8_t b[4] = {};
    EXPECT_EQ(tc.ToBytes(b, 3), -2);
    const std::uint8_t label[4] = {1, 2, 3, 4};
    EXPECT_EQ(tc.FromBytes(label), 4);
    EXPECT_EQ(Text(tc), "01:02:03.04");

    QORSMPTETimecode_c pal;
    pal.SetFrameRate(2, 3);
    EXPECT_EQ(tc.CopyTimeTo(&pal), 4);
    EXPECT_EQ(Text(pal), "01:02:03.04");
    EXPECT_EQ(pal.FrameCount(), (3600u + 120 + 3) * 25 + 4);
    EXPECT_EQ(tc.CopyTimeTo(nullptr), -2);

    pal.SetTag(7);
    auto clone = pal.Clone();
    auto* copy = dynamic_cast<QORSMPTETimecode_c*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Tag(), 7);
    EXPECT_EQ(copy->FrameRateIndex(), 2);
    EXPECT_EQ(copy->FrameCount(), pal.FrameCount());
    QORObject_c plain;
    EXPECT_EQ(pal.CopyTo(&plain), 254);
    EXPECT_EQ(pal.CopyTo(nullptr), 254);
}

TEST(SmpteTimecode, FrameRateTextsAndIndexes) {
    struct Parse {
        const char* text;
        std::uint8_t index;
    };
    const Parse parses[] = {{"25", 2},    {"30d", 4},    {"30.0D", 4}, {"29.97D", 3},
                            {"abc", 255}, {"23.976", 0}, {"24", 1},    {"30", 5},
                            {"31", 255},  {"29.97", 3},  {"", 255}};
    for (const auto& p : parses) {
        QORString_c s;
        s.Assign(p.text, -1, 253);
        EXPECT_EQ(QORParseFrameRate(&s), p.index) << p.text;
    }
    EXPECT_EQ(QORParseFrameRate(nullptr), 255);

    const char* texts[] = {"23.976", "24.0", "25.0", "29.97", "30.0D", "30.0"};
    for (std::uint8_t i = 0; i < 6; ++i) {
        QORString_c s;
        EXPECT_EQ(QORFrameRateText(&s, i), 2);
        EXPECT_EQ(s.View(), texts[i]);
        // Every text names its own rate again.
        EXPECT_EQ(QORParseFrameRate(&s), i);
    }
    QORString_c s;
    EXPECT_EQ(QORFrameRateText(&s, 6), 254);
    EXPECT_EQ(QORFrameRateText(nullptr, 2), 254);
    EXPECT_EQ(QORFrameRateOfIndex(4), 29.97);
    EXPECT_EQ(QORFrameRateOfIndex(6), 0.0);
}

} // namespace
