#include "script/time_conversions.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TimeConversions, FrameRateFromCode) {
    EXPECT_EQ(FrameRateFromCode(0), 24.0);
    EXPECT_EQ(FrameRateFromCode(1), 25.0);
    EXPECT_EQ(FrameRateFromCode(2), 29.97);
    EXPECT_EQ(FrameRateFromCode(3), 30.0);
    EXPECT_EQ(FrameRateFromCode(77), 30.0);
}

TEST(TimeConversions, RoundHalfUpLooksAtTheFirstDecimalOnly) {
    struct Case {
        double in, out;
    } cases[] = {{2.49, 2},  {2.45, 2}, {2.5, 3}, {2.95, 3},   {-2.5, -3},
                 {-2.4, -3}, {7.0, 7},  {0.0, 0}, {1e17, 1e17}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfUp(c.in), c.out) << c.in;
}

TEST(TimeConversions, HmsfToFrames) {
    EXPECT_DOUBLE_EQ(HmsfToFrames(1, 2, 3, 4, 30), 3600 * 30 + 2 * 60 * 30 + 3 * 30 + 4);
    EXPECT_DOUBLE_EQ(HmsfToFrames(0, 0, 1, 0, 29.97), 29.97);
    EXPECT_DOUBLE_EQ(HmsfToFrames(0, 0, 0, 0, 25), 0);
}

TEST(TimeConversions, FramesToMinSecText) {
    struct Case {
        double frames, rate;
        const char* out;
    } cases[] = {
        {0, 30, "00:00.00"},     {108000, 30, "00:00.00"}, {108001, 30, "00:00.01"},
        {29, 29.97, "00:00.29"}, {30, 29.97, "00:01.00"},  {1798, 29.97, "01:00.00"},
        {1234, 30, "00:41.04"},  {49, 25, "00:01.24"},     {24 * 61, 24, "01:01.00"},
        {29.99, 30, "00:00.29"}, {65535, 30, "36:24.15"},  {-31, 30, "00:-01.-01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FramesToMinSecText(c.frames, c.rate), c.out) << c.frames << " @ " << c.rate;
}

TEST(TimeConversions, FramesToTimecodeText) {
    struct Case {
        double frames, rate;
        const char* out;
    } cases[] = {
        {2591999, 30, "23:59:59.29"}, {1798, 29.97, "00:00:59.29"}, {0, 24, "00:00:00.00"},
        {2592000, 30, "24:00:00.00"}, {90000, 25, "01:00:00.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FramesToTimecodeText(c.frames, c.rate), c.out) << c.frames << " @ " << c.rate;
}

TEST(TimeConversions, ParseTimecodeText) {
    struct Case {
        const char* in;
        int result;
        int h, m, s, f; // checked on success
    } cases[] = {
        {"12:34:56.12", 0, 12, 34, 56, 12},
        {"01 : 02 : 03 . 04", 0, 1, 2, 3, 4},
        {"1:2:3:4", 0, 1, 2, 3, 4},
        {"2:03.04", 0, 0, 2, 3, 4},
        {"3.04", 0, 0, 0, 3, 4},
        {"10:20", 0, 0, 0, 10, 20}, // MM:SS reads as seconds and frames
        {":", 0, 0, 0, 0, 0},
        {"12:00:00.30", 1, 0, 0, 0, 0},
        {"24:00:00.00", 1, 0, 0, 0, 0},
        {"10", 1, 0, 0, 0, 0},
        {"", 1, 0, 0, 0, 0},
        {"1:2:3:4:5", 1, 0, 0, 0, 0},
        {"1.2:3", 1, 0, 0, 0, 0},
        {"1.2.3", 1, 0, 0, 0, 0},
        {"1:2:3:4.5", 1, 0, 0, 0, 0},
        {"1a:2", 1, 0, 0, 0, 0},
        // A field beyond 16 bits must not wrap into range (65536 would read as 0).
        {"65536:00:00.00", 1, 0, 0, 0, 0},
        {"00:00:00.4294967296", 1, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint16_t h = 99, m = 99, s = 99, f = 99;
        EXPECT_EQ(ParseTimecodeText(c.in, h, m, s, f), c.result) << c.in;
        if (c.result == 0) {
            EXPECT_EQ(h, c.h) << c.in;
            EXPECT_EQ(m, c.m) << c.in;
            EXPECT_EQ(s, c.s) << c.in;
            EXPECT_EQ(f, c.f) << c.in;
        }
    }
    // The fields read stay in the outputs when the range check fails.
    std::uint16_t h = 0, m = 0, s = 0, f = 0;
    EXPECT_EQ(ParseTimecodeText("12:00:00.30", h, m, s, f), 1);
    EXPECT_EQ(h, 12);
    EXPECT_EQ(f, 30);
    EXPECT_EQ(ParseTimecodeText("99999:00:00.00", h, m, s, f), 1);
    EXPECT_EQ(h, 65535);
}

TEST(TimeConversions, TimeTextToFrames) {
    struct Case {
        const char* in;
        double rate, out;
    } cases[] = {
        {"1:00", 30, 1800},
        {"90", 30, 2700},
        {"1:00:00.00", 29.97, 107892},
        {"01:02.03", 25, 62 * 25 + 3},
        {".5", 30, 5},
        {"1:2:3.4", 24, 3600 * 24 + 120 * 24 + 3 * 24 + 4},
        {"", 30, 0},
        {" 2 : 3x.7", 30, 2 * 60 * 30 + 3 * 30 + 7},
        {"-1.00", 30, -30},
        {"00:00.45", 30, 45},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(TimeTextToFrames(c.in, c.rate), c.out) << c.in;
        EXPECT_DOUBLE_EQ(EventTimeToFrames(c.in, c.rate), c.out) << c.in;
    }
    // Runaway digits clamp rather than wrap, so a range check rejects them.
    EXPECT_GT(TimeTextToFrames("99999999999999999999.00", 30), 65535);
    EXPECT_LT(TimeTextToFrames("-99999999999999999999.00", 30), 0);
}

TEST(TimeConversions, TimeTextToBytes) {
    struct Case {
        const char* in;
        ByteString out;
    } cases[] = {
        {"1:30", {0, 1, 30, 0}},
        {".5", {0, 0, 0, 5}},
        {"1:2:", {1, 2, 0, 0}},
        {"1:2:3.4", {1, 2, 3, 4}},
        {"23:59:59.29", {23, 59, 59, 29}},
        {"1 2:00", {0, 12, 0, 0}}, // blanks do not end a number
        {"5", {}},
        {"", {}},
        {"24:00:00.00", {}},
        {"00:60.00", {}},
        {"00:00.30", {}},
        {"1.2.3", {}},
        {"1:2.3:4", {}},
        {"1:2:3:4:5", {}},
        {"1a:00", {}},
        {"99999999999999999999:00", {}},
        {"1:1:1:1:1:1:1:1:1:1", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeTextToBytes(c.in), c.out) << c.in;
}

TEST(TimeConversions, NormalizeTimeEntry) {
    const TimeEntrySettings timeMode{false, false};
    const TimeEntrySettings framesMode{true, false};
    const TimeEntrySettings framesAdded{true, true};
    const TimeEntrySettings timeAdded{false, true};
    struct Case {
        const char* in;
        double rate;
        int offset;
        TimeEntrySettings settings;
        const char* out;
    } cases[] = {
        {"1234", 30, 0, timeMode, "00:13.04"},
        {"1234", 30, 0, framesMode, "00:41.04"},
        {"00:10.00", 30, 0, framesMode, ""},
        {"50", 30, 100, framesAdded, ""},
        {"150", 30, 100, framesAdded, "00:01.20"},
        {"00:10.00", 30, 30, timeAdded, "00:09.00"},
        {"00:10.00", 30, 0, timeMode, "00:10.00"},
        {"1:05", 25, 0, timeMode, "01:05.00"},
        {"", 30, 0, timeMode, "00:00.00"},
        {"", 30, 0, framesMode, "00:00.00"},
        {"900012345", 30, 0, timeMode, "01:24.15"}, // last eight digits: 00:01:23.45
        {"65535", 30, 0, framesMode, "36:24.15"},
        {"65536", 30, 0, framesMode, ""},
        {"99999999999999999999999", 30, 0, framesMode, ""},
        {"37:00.00", 30, 0, timeMode, ""},
        {"-1.00", 30, 0, timeMode, ""},
        {"abc", 30, 0, timeMode, "00:00.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeTimeEntry(c.in, c.rate, c.offset, c.settings), c.out) << c.in;
}

TEST(TimeConversions, NormalizeTimeEntryForDoc) {
    struct Case {
        const char* in;
        double rate;
        const char* out;
    } cases[] = {
        {"01020304", 30, "01:02:03.04"}, {"1:00:00.00", 25, "01:00:00.00"},
        {"", 30, "00:00:00.00"},         {"23:59:59.29", 30, "23:59:59.29"},
        {"24:00:00.00", 30, ""},         {"-1", 30, ""},
        {"5.00", 24, "00:00:05.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeTimeEntryForDoc(c.in, c.rate), c.out) << c.in;
}

} // namespace
