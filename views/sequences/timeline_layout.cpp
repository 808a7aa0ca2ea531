#include "views/sequences/timeline_layout.h"

#include "compiler/name_lookups.h"
#include "script/time_conversions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

namespace timeline {

namespace {

// Frames per unit at 30 frames per second: frames, seconds, minutes, hours.
constexpr std::array<int, 4> kUnitFrames{1, 30, 1800, 108000};
constexpr std::array<int, 4> kSteps{5, 10, 20, 60};

int TruncToInt(double value) {
    if (!(value > -2147483648.0)) // also NaN
        return INT32_MIN;
    if (value >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int>(value);
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::optional<ZoomLevel> LookUpZoomLevel(int level) {
    if (level < 0 || level > 15)
        return std::nullopt;
    const int unitIndex = level / 4; // 0 frames ... 3 hours
    const int step = kSteps[static_cast<std::size_t>(level % 4)];
    return ZoomLevel{4 - unitIndex, step, step * kUnitFrames[static_cast<std::size_t>(unitIndex)]};
}

int FramesToPixel(double frames, int framesPerStep) {
    return TruncToInt(frames / framesPerStep * kPixelsPerStep + kAxisTop);
}

int PixelToFrames(int y, int framesPerStep) {
    if (y < kAxisTop)
        return 0;
    return TruncToInt(static_cast<double>(framesPerStep) / kPixelsPerStep * (y - kAxisTop));
}

int SnapGridFrames(int framesPerStep) {
    // Level 0 would give a grid of 0 frames (a division by zero when snapping).
    return std::max(1, (framesPerStep / 5) / 2);
}

int SnapPixel(int y, int framesPerStep) {
    const int grid = SnapGridFrames(framesPerStep);
    int frames = PixelToFrames(y, framesPerStep);
    frames -= frames % grid;
    return FramesToPixel(frames, framesPerStep);
}

std::optional<TimelineSettings> MakeSettings(int zoomLevel, std::string_view timecodeStart,
                                             double frameRate, bool eventsInFrames,
                                             bool startTimecodeAdded) {
    const std::optional<ZoomLevel> zoom = LookUpZoomLevel(zoomLevel);
    if (!zoom)
        return std::nullopt;
    TimelineSettings settings;
    settings.framesPerStep = zoom->framesPerStep;
    settings.frameRate = frameRate;
    settings.eventsInFrames = eventsInFrames;
    settings.startTimecodeAdded = startTimecodeAdded;
    settings.startOffset =
        startTimecodeAdded ? TruncToInt(EventTimeToFrames(timecodeStart, frameRate)) : 0;
    // A timecode start near the int limit must not wrap the end of the axis.
    settings.startOffset = std::clamp(settings.startOffset, 0, INT32_MAX - kMaxEventFrames);
    settings.endTime = kMaxEventFrames + settings.startOffset;
    return settings;
}

Colour BoxColourForKind(int kind) {
    switch (kind) {
    case kOperandInput:
        return 0xB6FF9D;
    case kOperandOutput:
        return 0xC4C4FF;
    case kOperandFlag:
        return 0xA0C8FF;
    case kOperandVariable:
        return 0xFFFFC8;
    case kOperandPort:
        return 0xFFDCFF;
    case kOperandLcdString:
        return 0xC8DCF0;
    case kOperandDataString:
        return 0xE6E6E6;
    case kOperandSequence:
        return 0xE6FFE6;
    default:
        return 0xC8FFFF;
    }
}

std::string_view ColouringOperand(const CEvnt& event) {
    for (const std::string* data :
         {&event.m_strData1, &event.m_strData2, &event.m_strData3, &event.m_strData4}) {
        if (!data->empty() && IsAsciiLetter(data->front()))
            return *data;
    }
    return {};
}

Colour GetBoxColor(const CVLDoc& doc, const CEvnt& event) {
    const std::string_view operand = ColouringOperand(event);
    if (operand.empty())
        return BoxColourForKind(kOperandNone);
    int index = -1;
    return BoxColourForKind(GetOperandKind(doc, operand, index));
}

std::function<Colour(const CEvnt&)> OperandColours(const CVLDoc& doc) {
    // Shows repeat the same few operands; each name is looked up once per build.
    auto cache = std::make_shared<std::unordered_map<std::string, Colour>>();
    return [&doc, cache](const CEvnt& event) {
        const std::string_view operand = ColouringOperand(event);
        if (operand.empty())
            return BoxColourForKind(kOperandNone);
        auto [it, added] = cache->try_emplace(std::string(operand), 0);
        if (added) {
            int index = -1;
            it->second = BoxColourForKind(GetOperandKind(doc, operand, index));
        }
        return it->second;
    };
}

std::string BoxLabel(const CEvnt& event) {
    std::string label = event.m_strEvent;
    for (const std::string* data :
         {&event.m_strData1, &event.m_strData2, &event.m_strData3, &event.m_strData4}) {
        if (!data->empty())
            label += ": " + *data;
    }
    return label;
}

} // namespace timeline

using namespace timeline;

void CEventBoxOb::Select(Colour highlight, Colour highlightText) {
    m_bSelected = true;
    m_crFill = highlight;
    m_crText = highlightText;
}

void CEventBoxOb::Deselect() {
    m_bSelected = false;
    m_crFill = m_crNormal;
    m_crText = 0;
}

TimelineRect CEventBoxOb::PlaceAt(int x, int y) {
    const TimelineRect old = m_rcBox;
    m_rcBox = {x, y - kBoxHalfHeight, x + kBoxWidth, y + kBoxHalfHeight};
    return old;
}

void CEventBoxOb::MoveBy(int dx, int dy) {
    m_rcBox = m_rcBox.Offset(dx, dy);
}

namespace {

// Placement with an index. Boxes never share pixels across columns (lefts are 100 + 140k and
// boxes 130 wide), a group's boxes always share one column, and a placed box keeps its top: so
// a push only moves a group from one column's list to the next, and an overlap is looked for
// among the groups of one column whose extent meets the rectangle, each searched by top. This
// gives the rectangles of the one-pixel-at-a-time placement in a fraction of its time.
class BoxPlacer {
public:
    explicit BoxPlacer(std::vector<CEventBoxOb>& boxes) : m_boxes(boxes) {}

    void Place(int index, int centreY) {
        CEventBoxOb& box = Box(index);
        const int group = box.m_nGroup;
        if (static_cast<std::size_t>(group) >= m_groups.size())
            m_groups.resize(static_cast<std::size_t>(group) + 1);
        if (box.m_bGroupHead) {
            box.PlaceAt(kBoxLeft, centreY);
            for (int q = FirstOverlap(box.m_rcBox, 0, index); q >= 0;)
                q = PushRowRight(Box(q).m_nGroup);
        } else {
            box.PlaceAt(kBoxLeft, FirstFreeRow(centreY));
        }
        AddToGroup(index);
    }

private:
    struct Group {
        std::vector<int> boxes; // by top
        int minTop = INT32_MAX;
        int maxBottom = INT32_MIN;
        int column = -1; // not yet in a column
    };
    struct Column {
        std::vector<int> groups; // by the top of their extent
        int tallest = 0;         // the tallest extent any group here has had: the search bound
    };

    CEventBoxOb& Box(int index) { return m_boxes[static_cast<std::size_t>(index)]; }
    Group& GroupAt(int group) { return m_groups[static_cast<std::size_t>(group)]; }
    Column& ColumnAt(int column) {
        if (static_cast<std::size_t>(column) >= m_columns.size())
            m_columns.resize(static_cast<std::size_t>(column) + 1);
        return m_columns[static_cast<std::size_t>(column)];
    }

    void Unlist(int group) {
        auto& groups = ColumnAt(GroupAt(group).column).groups;
        groups.erase(std::find(groups.begin(), groups.end(), group));
    }

    void List(int group, int column) {
        Group& g = GroupAt(group);
        g.column = column;
        Column& c = ColumnAt(column);
        c.tallest = std::max(c.tallest, g.maxBottom - g.minTop);
        const auto at =
            std::upper_bound(c.groups.begin(), c.groups.end(), g.minTop,
                             [this](int top, int other) { return top < GroupAt(other).minTop; });
        c.groups.insert(at, group);
    }

    void AddToGroup(int index) {
        const TimelineRect& rect = Box(index).m_rcBox;
        const int group = Box(index).m_nGroup;
        Group& g = GroupAt(group);
        const auto at =
            std::upper_bound(g.boxes.begin(), g.boxes.end(), rect.top,
                             [this](int top, int other) { return top < Box(other).m_rcBox.top; });
        g.boxes.insert(at, index);
        g.maxBottom = std::max(g.maxBottom, rect.bottom);
        if (rect.top < g.minTop || g.column < 0) {
            if (g.column >= 0)
                Unlist(group);
            g.minTop = std::min(g.minTop, rect.top);
            List(group, 0);
        } else {
            Column& c = ColumnAt(g.column);
            c.tallest = std::max(c.tallest, g.maxBottom - g.minTop);
        }
    }

    // Calls f(group) for each group of the column whose extent meets the rows [top, bottom).
    template <typename F> void ForEachGroupMeeting(int column, int top, int bottom, F&& f) {
        Column& c = ColumnAt(column);
        const auto from = std::lower_bound(
            c.groups.begin(), c.groups.end(), top - c.tallest,
            [this](int other, int value) { return GroupAt(other).minTop < value; });
        for (auto it = from; it != c.groups.end() && GroupAt(*it).minTop < bottom; ++it) {
            if (GroupAt(*it).maxBottom > top)
                f(GroupAt(*it));
        }
    }

    // The first box of the group's list (by top) that may reach down to row y.
    std::vector<int>::const_iterator FirstReaching(const Group& g, int y) {
        const int height = 2 * kBoxHalfHeight;
        return std::lower_bound(
            g.boxes.begin(), g.boxes.end(), y - height + 1,
            [this](int other, int value) { return Box(other).m_rcBox.top < value; });
    }

    // The overlapping box of the column that comes first in event order, or -1.
    int FirstOverlap(const TimelineRect& rect, int column, int self) {
        int first = -1;
        ForEachGroupMeeting(column, rect.top, rect.bottom, [&](const Group& g) {
            for (auto it = FirstReaching(g, rect.top);
                 it != g.boxes.end() && Box(*it).m_rcBox.top < rect.bottom; ++it) {
                if (*it != self && Box(*it).m_rcBox.Overlaps(rect) && (first < 0 || *it < first))
                    first = *it;
            }
        });
        return first;
    }

    // The first centre row from y down at which a box in the newest group's column overlaps
    // nothing. Moving down a pixel at a time stays in overlap with a box until its bottom is
    // cleared, so a pass over a group's boxes by top jumps from bottom to bottom; the passes
    // repeat until no group moves the row any more.
    int FirstFreeRow(int y) {
        for (bool moved = true; moved;) {
            moved = false;
            ForEachGroupMeeting(0, y - kBoxHalfHeight, INT32_MAX, [&](const Group& g) {
                for (auto it = FirstReaching(g, y - kBoxHalfHeight); it != g.boxes.end(); ++it) {
                    const TimelineRect& other = Box(*it).m_rcBox;
                    if (other.top >= y + kBoxHalfHeight)
                        break;
                    if (other.bottom > y - kBoxHalfHeight) {
                        y = other.bottom + kBoxHalfHeight;
                        moved = true;
                    }
                }
            });
        }
        return y;
    }

    // Moves a group one column right; answers the box that the group's last moved box (in
    // event order) with an overlap now overlaps first, or -1.
    int PushRowRight(int group) {
        const int column = GroupAt(group).column;
        Unlist(group);
        List(group, column + 1);
        for (int index : GroupAt(group).boxes)
            Box(index).MoveBy(kColumnStep, 0);
        int found = -1;
        int finder = -1;
        for (int index : GroupAt(group).boxes) {
            if (index < finder)
                continue;
            if (const int other = FirstOverlap(Box(index).m_rcBox, column + 1, index); other >= 0) {
                found = other;
                finder = index;
            }
        }
        return found;
    }

    std::vector<CEventBoxOb>& m_boxes;
    std::vector<Group> m_groups;
    std::vector<Column> m_columns;
};

} // namespace

void CEventBoxList::Build(const CEvntList& events, const TimelineSettings& settings,
                          const ColourOf& colourOf) {
    m_boxes.clear();
    m_boxes.resize(events.size());
    BoxPlacer placer(m_boxes);
    // Bands of a fifth of a step from the start offset; an event below the band being scanned
    // (out of order) joins it.
    const long long band = std::max(1, settings.framesPerStep / 5);
    long long bandStart = settings.startOffset;
    int group = 0;
    bool open = false;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const CEvnt& event = *events[i];
        const double frames = EventTimeToFrames(event.m_strTime, settings.frameRate);
        const long long t = TruncToInt(frames + settings.startOffset);
        if (t >= bandStart + band) {
            if (open) {
                ++group;
                open = false;
            }
            // Events past the end of the axis still get a box in a band of their own, so that
            // box i always shows event i.
            bandStart += (t - bandStart) / band * band;
        }
        CEventBoxOb& box = m_boxes[i];
        box.m_bGroupHead = !open;
        open = true;
        box.m_strTime = event.m_strTime;
        box.m_nFrames = TruncToInt(frames);
        box.m_nEvent = static_cast<int>(i);
        box.m_nGroup = group;
        box.m_strLabel = BoxLabel(event);
        placer.Place(static_cast<int>(i), FramesToPixel(box.m_nFrames, settings.framesPerStep));
        box.m_crNormal = box.m_crFill = colourOf ? colourOf(event) : BoxColourForKind(0);
    }
}

int CEventBoxList::HitTest(int x, int y) const {
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i].m_rcBox.HitTest(x, y))
            return static_cast<int>(i);
    }
    return -1;
}

int CEventBoxList::RightmostEdge() const {
    int right = 0;
    for (const CEventBoxOb& box : m_boxes)
        right = std::max(right, box.m_rcBox.right);
    return right;
}

namespace timeline {

int AxisX(const TimelineSettings& settings) {
    return settings.startTimecodeAdded ? 80 : 60;
}

int AxisSpan(const TimelineSettings& settings) {
    return TruncToInt(std::ceil(static_cast<double>(settings.endTime - settings.startOffset) /
                                settings.framesPerStep * kPixelsPerStep));
}

int ScrollHeight(const TimelineSettings& settings) {
    return AxisSpan(settings) + 30;
}

std::string AxisLabel(int frames, const TimelineSettings& settings) {
    if (settings.eventsInFrames)
        return std::to_string(frames);
    return settings.startTimecodeAdded ? FramesToTimecodeText(frames, settings.frameRate)
                                       : FramesToMinSecText(frames, settings.frameRate);
}

std::vector<AxisTick> AxisTicks(const TimelineSettings& settings, int top, int bottom) {
    std::vector<AxisTick> ticks;
    const int last = AxisSpan(settings) + kAxisTop;
    // The first tick row at or below top.
    int y = kAxisTop;
    if (top > kAxisTop)
        y += (top - kAxisTop + 9) / 10 * 10;
    for (; y <= last && y < bottom; y += 10) {
        AxisTick tick;
        tick.y = y;
        tick.major = (y - kAxisTop) % kPixelsPerStep == 0;
        if (tick.major) {
            const long long frames =
                settings.startOffset +
                static_cast<long long>((y - kAxisTop) / kPixelsPerStep) * settings.framesPerStep;
            tick.label =
                AxisLabel(static_cast<int>(std::min<long long>(frames, INT32_MAX)), settings);
        }
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

} // namespace timeline
