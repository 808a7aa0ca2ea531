#include "script/time_wizard.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace timewizard;

std::vector<std::string> Apply(std::vector<std::string> times, const Outcome& outcome) {
    for (const auto& t : outcome.times)
        times[static_cast<std::size_t>(t.event)] = t.time;
    return times;
}

EventRun RunOf(int events, std::set<int> selected) {
    return SelectedRun(events, [&](int row) { return selected.count(row) > 0; });
}

TEST(TimeWizard, SelectedRun) {
    struct Case {
        int events;
        std::set<int> selected;
        int first, last;
        bool several;
    } cases[] = {
        {5, {}, 4, 4, false},       // nothing selected: the last event
        {5, {1, 2, 3}, 1, 3, true}, // a run
        {5, {1, 3}, 1, 1, false},   // the first run only
        {5, {4}, 4, 4, false},      // the last event alone
        {5, {3, 4, 5}, 3, 4, true}, // the empty row never joins
        {1, {}, 0, 0, false},
    };
    for (const auto& c : cases) {
        const EventRun run = RunOf(c.events, c.selected);
        EXPECT_EQ(run.first, c.first);
        EXPECT_EQ(run.last, c.last);
        EXPECT_EQ(run.Several(), c.several);
    }
}

TEST(TimeWizard, ChoicesOnASmallTable) {
    struct Case {
        const char* name;
        std::vector<std::string> times;
        EventRun run;
        Request request;
        double rate;
        FrameConversion conversion;
        std::vector<std::string> expected;
    } cases[] = {
        {"add, skip zero",
         {"00:00.00", "00:02.00", "00:05.00"},
         {0, 2},
         {kAdd, "00:01.00", "", true, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:00.00", "00:03.00", "00:06.00"}},
        {"add",
         {"00:00.00", "00:02.00", "00:05.00"},
         {0, 2},
         {kAdd, "00:01.00", "", false, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:01.00", "00:03.00", "00:06.00"}},
        {"subtract within the run only",
         {"00:04.00", "00:05.00", "00:09.00"},
         {1, 2},
         {kSubtract, "00:03.00", "", false, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:04.00", "00:02.00", "00:06.00"}},
        {"fill",
         {"00:00.00", "00:00.00", "00:00.00", "00:00.00"},
         {0, 3},
         {kFill, "00:10.00", "00:00.15", false, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:10.00", "00:10.15", "00:11.00", "00:11.15"}},
        {"compress to half, whatever is selected",
         {"00:00.01", "00:10.03", "01:00.00"},
         {0, 0},
         {kScale, "00:30.00", "", false, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:00.00", "00:05.01", "00:30.00"}},
        {"a percentage is the length it names",
         {"00:00.01", "00:10.03", "01:00.00"},
         {2, 2},
         {kScale, "50%", "", false, false},
         30,
         FrameConversion::RoundHalfUp,
         {"00:00.00", "00:05.01", "00:30.00"}},
        {"expand and round to the second",
         {"00:06.15", "00:10.00"},
         {0, 0},
         {kScale, "00:20.00", "", false, true},
         30,
         FrameConversion::RoundHalfUp,
         {"00:13.00", "00:20.00"}},
        {"expand at 25 frames per second",
         {"00:01.10", "00:02.00"},
         {0, 0},
         {kScale, "00:04.00", "", false, false},
         25,
         FrameConversion::RoundHalfUp,
         {"00:02.20", "00:04.00"}},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Plan(c.times, c.run, c.request, {c.rate, false, c.conversion});
        ASSERT_FALSE(outcome.Stopped()) << c.name << ": " << outcome.stopMessage;
        EXPECT_EQ(Apply(c.times, outcome), c.expected) << c.name;
    }
}

TEST(TimeWizard, FramesModeReadsEntriesAsCountsAndStoredTimesAsTexts) {
    const std::vector<std::string> times{"00:01.00", "00:02.00"};
    const Outcome add = Plan(times, {0, 1}, {kAdd, "15", "", false, false}, {30, true});
    ASSERT_FALSE(add.Stopped()) << add.stopMessage;
    EXPECT_EQ(Apply(times, add), (std::vector<std::string>{"00:01.15", "00:02.15"}));
    const Outcome colon = Plan(times, {0, 1}, {kAdd, "00:01.00", "", false, false}, {30, true});
    EXPECT_EQ(colon.stopMessage, "Time to Add is invalid.  " + RangeSentence(30));
    const Outcome half = Plan(times, {0, 0}, {kScale, "50%", "", false, false}, {30, true});
    ASSERT_FALSE(half.Stopped()) << half.stopMessage;
    EXPECT_EQ(Apply(times, half), (std::vector<std::string>{"00:00.15", "00:01.00"}));
}

TEST(TimeWizard, RoundingAgainstTruncationAt2997) {
    // 00:01.00 at 29.97 is 29.97 frames: the editor rounds it to 30, the timeline grid to 29.
    const std::vector<std::string> times{"00:00.00"};
    const Request request{kAdd, "00:01.00", "", false, false};
    const Outcome rounded = Plan(times, {0, 0}, request, {29.97});
    const Outcome truncated =
        Plan(times, {0, 0}, request, {29.97, false, FrameConversion::Truncate});
    ASSERT_FALSE(rounded.Stopped());
    ASSERT_FALSE(truncated.Stopped());
    EXPECT_EQ(rounded.times[0].time, "00:01.00");
    EXPECT_EQ(truncated.times[0].time, "00:00.29");
}

TEST(TimeWizard, StopMessagesCarryTheRateSentence) {
    struct Case {
        std::vector<std::string> times;
        EventRun run;
        Request request;
        bool frames;
        std::string message;
    } cases[] = {
        {{"00:02.00"},
         {0, 0},
         {kSubtract, "00:03.00", "", false, false},
         false,
         "New event time [00:-01.00] is invalid.  "},
        {{"00:02.00"},
         {0, 0},
         {kAdd, "99:00.00", "", false, false},
         false,
         "Time to Add is invalid.  "},
        {{"00:02.00"},
         {0, 0},
         {kSubtract, "1:40:00", "", false, false},
         false,
         "Time to Subtract is invalid.  "},
        {{"00:02.00", "00:03.00"},
         {0, 1},
         {kFill, "99:00.00", "00:01.00", false, false},
         false,
         "Start time to fill is invalid.  "},
        {{"00:02.00", "00:03.00"},
         {0, 1},
         {kFill, "00:01.00", "99:00.00", false, false},
         false,
         "Increment time to fill is invalid.  "},
        {{"00:02.00"},
         {0, 0},
         {kScale, "99:00.00", "", false, false},
         false,
         "New Overall Sequence Length is invalid.  "},
        {{"00:02.00", ""},
         {0, 0},
         {kScale, "00:01.00", "", false, false},
         false,
         "The Last Event's Time is invalid.  "},
        {{"00:02.00", "00:00.00"},
         {0, 0},
         {kScale, "00:01.00", "", false, false},
         false,
         "The Last Event's Time [00:00.00] is invalid.  "},
        {{"99:00.00", "00:04.00"},
         {0, 1},
         {kAdd, "00:01.00", "", false, false},
         false,
         "Highlighted event time [99:00.00] is invalid.  "},
        // Checked before anything changes: the first event would have been fine.
        {{"00:01.00", "30:00.00"},
         {0, 1},
         {kAdd, "10:00.00", "", false, false},
         false,
         "New event time [40:00.00] is invalid.  "},
        // 300% of 20 minutes is past the last frame: refused, not wrapped at the hour.
        {{"20:00.00"},
         {0, 0},
         {kScale, "300%", "", false, false},
         false,
         "New Overall Sequence Length is invalid.  "},
        {{"00:02.00"}, {0, 0}, {kAdd, "65536", "", true, false}, true, "Time to Add is invalid.  "},
    };
    for (double rate : {24.0, 25.0, 29.97, 30.0}) {
        for (const auto& c : cases) {
            // The new times' texts, and whether they pass, depend on the rate.
            if (c.message.rfind("New event time [", 0) == 0 && rate != 30.0)
                continue;
            const Outcome outcome = Plan(c.times, c.run, c.request, {rate, c.frames});
            EXPECT_TRUE(outcome.times.empty());
            EXPECT_EQ(outcome.stopMessage, c.message + RangeSentence(rate)) << rate;
        }
    }
}

TEST(TimeWizard, RangeSentences) {
    EXPECT_EQ(RangeSentence(24),
              "Range is ( 0 - 65535 ) or ( 00:00.00 - 45:30.15 ).  Event Wizard aborted...");
    EXPECT_EQ(RangeSentence(25),
              "Range is ( 0 - 65535 ) or ( 00:00.00 - 43:41.10 ).  Event Wizard aborted...");
    EXPECT_EQ(RangeSentence(29.97),
              "Range is ( 0 - 65535 ) or ( 00:00.00 - 36:26.20 ).  Event Wizard aborted...");
    EXPECT_EQ(RangeSentence(30),
              "Range is ( 0 - 65535 ) or ( 00:00.00 - 36:24.15 ).  Event Wizard aborted...");
}

} // namespace
