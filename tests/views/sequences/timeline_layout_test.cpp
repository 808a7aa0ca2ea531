#include "views/sequences/timeline_layout.h"

#include "compiler/name_lookups.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace timeline;

CEvntList Events(std::initializer_list<const char*> times) {
    CEvntList events;
    for (const char* time : times) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = time;
        events.push_back(std::move(event));
    }
    return events;
}

TimelineSettings Settings(int level, const char* start = "00:00:00.00", bool added = false,
                          bool frames = false) {
    return *MakeSettings(level, start, 30.0, frames, added);
}

// The placement as the pane's steps describe it, one box and one pixel at a time, kept here to
// check the indexed placement against.
struct LiteralBox {
    TimelineRect rect;
    int group = 0;
    bool head = false;
};

int LiteralFindOverlap(const std::vector<LiteralBox>& boxes, std::size_t self) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (i != self && boxes[i].rect.Overlaps(boxes[self].rect))
            return int(i);
    }
    return -1;
}

int LiteralPushRowRight(std::vector<LiteralBox>& boxes, int group) {
    int found = -1;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].group != group)
            continue;
        boxes[i].rect = boxes[i].rect.Offset(140, 0);
        if (const int q = LiteralFindOverlap(boxes, i); q >= 0)
            found = q;
    }
    return found;
}

std::vector<LiteralBox> LiteralLayout(const CEvntList& events, const TimelineSettings& s) {
    std::vector<LiteralBox> boxes;
    const int band = s.framesPerStep / 5;
    std::size_t i = 0;
    int group = 0;
    bool open = false;
    for (long long start = s.startOffset; start <= s.endTime; start += band) {
        while (i < events.size()) {
            const double frames = EventTimeToFrames(events[i]->m_strTime, s.frameRate);
            if (static_cast<long long>(frames + s.startOffset) >= start + band)
                break;
            LiteralBox box;
            box.group = group;
            box.head = !open;
            open = true;
            boxes.push_back(box);
            const std::size_t self = boxes.size() - 1;
            int y = FramesToPixel(static_cast<int>(frames), s.framesPerStep);
            boxes[self].rect = {100, y - 7, 230, y + 7};
            int q = LiteralFindOverlap(boxes, self);
            if (box.head) {
                while (q >= 0)
                    q = LiteralPushRowRight(boxes, boxes[std::size_t(q)].group);
            } else {
                while (LiteralFindOverlap(boxes, self) >= 0) {
                    ++y;
                    boxes[self].rect = {100, y - 7, 230, y + 7};
                }
            }
            ++i;
        }
        if (open) {
            ++group;
            open = false;
        }
    }
    return boxes;
}

CEventBoxList Build(const CEvntList& events, const TimelineSettings& settings) {
    CEventBoxList list;
    list.Build(events, settings, nullptr);
    return list;
}

TEST(TimelineLayout, ZoomTableConversionsAndDragGrid) {
    const int framesPerStep[16] = {5,    10,    20,    60,     150,    300,     600,     1800,
                                   9000, 18000, 36000, 108000, 540000, 1080000, 2160000, 6480000};
    for (int level = 0; level < 16; ++level) {
        const auto zoom = LookUpZoomLevel(level);
        ASSERT_TRUE(zoom) << level;
        EXPECT_EQ(zoom->framesPerStep, framesPerStep[level]) << level;
        EXPECT_EQ(zoom->unitCode, 4 - level / 4) << level;
    }
    EXPECT_FALSE(LookUpZoomLevel(16));
    EXPECT_FALSE(LookUpZoomLevel(-1));
    EXPECT_FALSE(MakeSettings(16, "00:00:00.00", 30.0, false, false));

    // The grid the frame's levels 1 to 9 give, and level 0's that would be 0 frames.
    const int grid[10] = {1, 1, 2, 6, 15, 30, 60, 180, 900, 1800};
    for (int level = 0; level < 10; ++level)
        EXPECT_EQ(SnapGridFrames(LookUpZoomLevel(level)->framesPerStep), grid[level]) << level;
    EXPECT_EQ(SnapPixel(123, 5), 120); // level 0 snaps to whole frames (10 pixels a frame)

    struct Case {
        int y, framesPerStep, frames, snapped;
    };
    const Case cases[] = {
        {10, 9000, 0, 10},    {60, 9000, 9000, 60},  {5, 9000, 0, 10},    // above the axis start
        {64, 9000, 9720, 60}, {67, 9000, 10260, 65}, {37, 1800, 972, 35}, // grid 180 at level 7
        {14, 10, 0, 10},      {15, 10, 1, 15},       {19, 10, 1, 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelToFrames(c.y, c.framesPerStep), c.frames) << c.y;
        EXPECT_EQ(SnapPixel(c.y, c.framesPerStep), c.snapped) << c.y;
    }
    EXPECT_EQ(FramesToPixel(9000, 9000), 60);
    EXPECT_EQ(FramesToPixel(8999, 9000), 59);
}

TEST(TimelineLayout, RectangleHitTestIncludesEdgesAndTouchingIsNoOverlap) {
    const TimelineRect r{100, 3, 230, 17};
    EXPECT_TRUE(r.HitTest(100, 3));
    EXPECT_TRUE(r.HitTest(230, 17));
    EXPECT_FALSE(r.HitTest(231, 10));
    EXPECT_FALSE(r.Overlaps({100, 17, 230, 31}));
    EXPECT_TRUE(r.Overlaps({100, 16, 230, 30}));
    EXPECT_FALSE(r.Overlaps({230, 3, 360, 17}));

    CEventBoxList list = Build(Events({"00:00.00", "00:00.00"}), Settings(8));
    EXPECT_EQ(list.HitTest(100, 17), 0); // the shared edge belongs to the first box
    EXPECT_EQ(list.HitTest(100, 18), 1);
    EXPECT_EQ(list.HitTest(99, 10), -1);
}

TEST(TimelineLayout, GeometryTable) {
    struct Expect {
        TimelineRect rect;
        int group;
        bool head;
    };
    struct Case {
        const char* what;
        int level;
        CEvntList events;
        std::vector<Expect> boxes;
    };
    std::vector<Case> cases;
    cases.push_back({"two events of one time stack 14 pixels apart",
                     8,
                     Events({"00:00.00", "00:00.00"}),
                     {{{100, 3, 230, 17}, 0, true}, {{100, 17, 230, 31}, 0, false}}});
    cases.push_back({"9,000 frames at level 8 sit at y 60",
                     8,
                     Events({"05:00.00"}),
                     {{{100, 53, 230, 67}, 0, true}}});
    cases.push_back({"a head overlapping an earlier group pushes it right",
                     8,
                     Events({"00:00.00", "00:00.00", "01:00.00"}),
                     {{{240, 3, 370, 17}, 0, true},
                      {{240, 17, 370, 31}, 0, false},
                      {{100, 13, 230, 27}, 1, true}}});
    cases.push_back({"a head touching an earlier box does not push",
                     8,
                     Events({"00:00.00", "01:24.00"}), // 2,520 frames: y 24
                     {{{100, 3, 230, 17}, 0, true}, {{100, 17, 230, 31}, 1, true}}});
    cases.push_back({"the push cascades through the groups in the way",
                     8,
                     Events({"00:00.00", "00:00.00", "00:00.00", "00:00.00", "01:00.00", "01:00.00",
                             "01:00.00", "01:00.00", "02:00.00"}),
                     {{{380, 3, 510, 17}, 0, true},
                      {{380, 17, 510, 31}, 0, false},
                      {{380, 31, 510, 45}, 0, false},
                      {{380, 45, 510, 59}, 0, false},
                      {{240, 13, 370, 27}, 1, true},
                      {{240, 27, 370, 41}, 1, false},
                      {{240, 41, 370, 55}, 1, false},
                      {{240, 55, 370, 69}, 1, false},
                      {{100, 23, 230, 37}, 2, true}}});
    cases.push_back({"a head touching the stack keeps it; its late box steps below all",
                     8,
                     Events({"00:00.00", "00:00.00", "02:48.00", "00:00.00"}), // y 10, 10, 38, 10
                     {{{100, 3, 230, 17}, 0, true},
                      {{100, 17, 230, 31}, 0, false},
                      {{100, 31, 230, 45}, 1, true},
                      {{100, 45, 230, 59}, 1, false}}});
    cases.push_back({"an out-of-order event joins the band being scanned",
                     7, // 1,800 frames a step, bands of 360
                     Events({"00:20.00", "00:19.00", "00:30.00"}), // y 26, 25, 35
                     {{{240, 19, 370, 33}, 0, true},
                      {{240, 33, 370, 47}, 0, false},
                      {{100, 28, 230, 42}, 1, true}}});
    cases.push_back({"at level 1 a frame is 5 pixels and a band 2 frames",
                     1,
                     Events({"00:00.01", "00:00.02", "00:00.02"}), // y 15, 20, 20
                     {{{240, 8, 370, 22}, 0, true},
                      {{100, 13, 230, 27}, 1, true},
                      {{100, 27, 230, 41}, 1, false}}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TimelineSettings settings = Settings(c.level);
        const CEventBoxList list = Build(c.events, settings);
        ASSERT_EQ(list.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(list[i].m_rcBox, c.boxes[i].rect) << "box " << i;
            EXPECT_EQ(list[i].m_nGroup, c.boxes[i].group) << "box " << i;
            EXPECT_EQ(list[i].m_bGroupHead, c.boxes[i].head) << "box " << i;
            EXPECT_EQ(list[i].m_nEvent, int(i));
        }
        const auto literal = LiteralLayout(c.events, settings);
        ASSERT_EQ(literal.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i)
            EXPECT_EQ(literal[i].rect, c.boxes[i].rect) << "literal box " << i;
    }
}

TEST(TimelineLayout, StartOffsetMovesLabelsNotBoxes) {
    const CEvntList events = Events({"00:00.00", "05:00.00"});
    const TimelineSettings added = Settings(8, "00:01:00.00", true);
    EXPECT_EQ(added.startOffset, 1800);
    EXPECT_EQ(added.endTime, 65535 + 1800);
    const CEventBoxList list = Build(events, added);
    EXPECT_EQ(list[0].m_rcBox.top, 3);
    EXPECT_EQ(list[1].m_rcBox.top, 53);
    EXPECT_EQ(list[1].m_nFrames, 9000); // without the offset
    EXPECT_EQ(AxisX(added), 80);

    const TimelineSettings off = Settings(8, "00:01:00.00", false);
    EXPECT_EQ(off.startOffset, 0);
    EXPECT_EQ(off.endTime, 65535);
    EXPECT_EQ(AxisX(off), 60);
    // 65,535 frames at 9,000 a step: ceil(364.08) pixels.
    EXPECT_EQ(AxisSpan(off), 365);
    EXPECT_EQ(ScrollHeight(off), 395);
}

TEST(TimelineLayout, AxisTicksAndLabels) {
    struct Case {
        const char* what;
        TimelineSettings settings;
        int y;
        const char* label;
    };
    const Case cases[] = {
        {"minutes and seconds", Settings(8), 60, "05:00.00"},
        {"frames", Settings(8, "00:00:00.00", false, true), 60, "9000"},
        {"timecode with the start added", Settings(8, "00:01:00.00", true), 10, "00:01:00.00"},
        {"timecode with the start added", Settings(8, "00:01:00.00", true), 60, "00:06:00.00"},
        {"frames with the start added", Settings(8, "00:01:00.00", true, true), 60, "10800"},
        {"level 4", Settings(4), 110, "00:10.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto ticks = AxisTicks(c.settings, c.y, c.y + 1);
        ASSERT_EQ(ticks.size(), 1u);
        EXPECT_EQ(ticks[0].y, c.y);
        EXPECT_TRUE(ticks[0].major);
        EXPECT_EQ(ticks[0].label, c.label);
    }
    // Only the rows inside the range, minor ones without a label, none past the axis end.
    const auto ticks = AxisTicks(Settings(8), 15, 61);
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_EQ(ticks.front().y, 20);
    EXPECT_FALSE(ticks.front().major);
    EXPECT_TRUE(ticks.front().label.empty());
    EXPECT_EQ(ticks.back().y, 60);
    EXPECT_TRUE(AxisTicks(Settings(8), 376, 1000).empty()); // the axis ends at y 375
    EXPECT_EQ(AxisTicks(Settings(8), 370, 1000).size(), 1u);
}

TEST(TimelineLayout, BoxesTakeLabelsTimesAndOperandColours) {
    testing_support::ScriptedUi ui;
    testing_support::AppFixture app;
    CVLDoc doc{app.App()};
    doc.InitNewScript(CVLDoc::kDefaultProduct);
    doc.m_pProduct->m_Outputs[2].m_strName = "Lamp";
    doc.m_pProduct->m_Inputs[1].m_strName = "Door";
    doc.m_poSeqList.push_back(std::make_unique<CSeq>("Intro", 1));

    struct Case {
        const char* data[4];
        Colour colour;
        const char* label;
    };
    const Case cases[] = {
        {{"Lamp", "", "", ""}, 0xC4C4FF, "Nop: Lamp"},
        {{"12", "door", "", ""}, 0xB6FF9D, "Nop: 12: door"}, // the first data with a letter
        {{"", "", "", "Intro"}, 0xE6FFE6, "Nop: Intro"},
        {{"Nowhere", "Lamp", "", ""}, 0xC8FFFF, "Nop: Nowhere: Lamp"}, // the first one decides
        {{"1", "2", "", ""}, 0xC8FFFF, "Nop: 1: 2"},
    };
    CEvntList events;
    for (const Case& c : cases) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = "00:01.00";
        event->m_strData1 = c.data[0];
        event->m_strData2 = c.data[1];
        event->m_strData3 = c.data[2];
        event->m_strData4 = c.data[3];
        events.push_back(std::move(event));
    }
    CEventBoxList list;
    list.Build(events, Settings(8), OperandColours(doc));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(list[i].m_crNormal, cases[i].colour) << i;
        EXPECT_EQ(list[i].m_crFill, cases[i].colour) << i;
        EXPECT_EQ(list[i].m_strLabel, cases[i].label) << i;
        EXPECT_EQ(list[i].m_strTime, "00:01.00");
        EXPECT_EQ(list[i].m_nFrames, 30);
    }
    EXPECT_EQ(GetBoxColor(doc, *events[1]), 0xB6FF9Du);
    EXPECT_EQ(BoxColourForKind(kOperandOutput), 0xC4C4FFu);
    EXPECT_EQ(BoxColourForKind(kOperandLcdString), 0xC8DCF0u);
    EXPECT_EQ(BoxColourForKind(kOperandDataString), 0xE6E6E6u);

    list[0].Select(0x123456, 0xFFFFFF);
    EXPECT_TRUE(list[0].m_bSelected);
    EXPECT_EQ(list[0].m_crFill, 0x123456u);
    list[0].Deselect();
    EXPECT_EQ(list[0].m_crFill, 0xC4C4FFu);
    EXPECT_EQ(list[0].m_crText, 0u);
}

TEST(TimelineLayout, EventsPastTheAxisEndStillGetABox) {
    // 99:00.00 is 178,200 frames: beyond the axis, but box i must still show event i.
    const CEventBoxList list = Build(Events({"00:00.00", "99:00.00", "99:00.00"}), Settings(8));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].m_nGroup, 1);
    EXPECT_EQ(list[2].m_nGroup, 1);
    EXPECT_FALSE(list[2].m_bGroupHead);
}

TEST(TimelineLayout, IndexedPlacementMatchesTheStepwisePlacement) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 36; ++round) {
        const int level = 1 + round % 9;
        const int framesPerStep = LookUpZoomLevel(level)->framesPerStep;
        const int count = 20 + int(random() % 200);
        CEvntList events;
        int frames = 0;
        for (int i = 0; i < count; ++i) {
            // Mostly forward in small steps, often equal times, sometimes backwards.
            const int choice = int(random() % 10);
            if (choice < 4)
                frames += int(random() % (framesPerStep / 4 + 1));
            else if (choice == 9)
                frames = std::max(0, frames - int(random() % framesPerStep));
            frames = std::min(frames, 65535);
            auto event = std::make_unique<CEvnt>();
            event->m_strTime = FramesToMinSecText(frames, 30.0);
            events.push_back(std::move(event));
        }
        SCOPED_TRACE("round " + std::to_string(round) + " level " + std::to_string(level));
        const TimelineSettings settings = Settings(level);
        const CEventBoxList list = Build(events, settings);
        const auto literal = LiteralLayout(events, settings);
        ASSERT_EQ(list.size(), literal.size());
        for (std::size_t i = 0; i < literal.size(); ++i) {
            ASSERT_EQ(list[i].m_rcBox, literal[i].rect) << "box " << i;
            ASSERT_EQ(list[i].m_nGroup, literal[i].group) << "box " << i;
            ASSERT_EQ(list[i].m_bGroupHead, literal[i].head) << "box " << i;
        }
    }
}

} // namespace
