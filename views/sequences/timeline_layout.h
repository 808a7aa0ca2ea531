// The graphical timeline's geometry, free of any window: the zoom table, the conversions between
// frames and heights on the time axis, the drag grid, the event boxes (grouped by time band,
// stacked inside a group, older groups pushed right out of the newest group's way), their
// colours by operand kind, and the axis ticks and labels. The pane paints and drags what this
// computes; tests and benchmarks use it alone.
#pragma once

#include "script/sequence.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CVLDoc;

namespace timeline {

// A colour with red in bits 0-7, green in 8-15, blue in 16-23 (the tables' COLORREF).
using Colour = std::uint32_t;

// Logical pixels of the scrolling view. Right and bottom are outside the rectangle for drawing
// and overlap; a hit test counts all four edges as inside.
struct TimelineRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool HitTest(int x, int y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    // A common part of at least one pixel; rectangles that only touch do not overlap.
    constexpr bool Overlaps(const TimelineRect& o) const {
        return (left > o.left ? left : o.left) < (right < o.right ? right : o.right) &&
               (top > o.top ? top : o.top) < (bottom < o.bottom ? bottom : o.bottom);
    }
    constexpr TimelineRect Offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr bool operator==(const TimelineRect&) const = default;
};

inline constexpr int kAxisTop = 10;       // the height of time 0
inline constexpr int kPixelsPerStep = 50; // axis pixels per zoom step
inline constexpr int kBoxLeft = 100;      // the newest group's column
inline constexpr int kBoxWidth = 130;
inline constexpr int kBoxHalfHeight = 7; // a box is 14 pixels high around its centre row
inline constexpr int kColumnStep = 140;  // how far a pushed group moves right
inline constexpr int kMaxEventFrames = 65535;
inline constexpr int kDefaultZoomLevel = 8;

// One row of the zoom table: the unit code (4 frames, 3 seconds, 2 minutes, 1 hours), the step
// in that unit and the frames (at 30 per second) that 50 pixels of the axis stand for.
struct ZoomLevel {
    int unitCode;
    int step;
    int framesPerStep;
};
// Levels 0 to 15; none outside the table.
std::optional<ZoomLevel> LookUpZoomLevel(int level);

// The height of a frame count: time 0 at y 10, 50 pixels per step, truncated.
int FramesToPixel(double frames, int framesPerStep);
// The frames at a height; 0 above the axis start.
int PixelToFrames(int y, int framesPerStep);
// The drag grid in frames: a tenth of a step, never below one frame.
int SnapGridFrames(int framesPerStep);
// The height snapped down to the drag grid.
int SnapPixel(int y, int framesPerStep);

// What the layout takes from the pane and the application's options.
struct TimelineSettings {
    int framesPerStep = 9000;
    int startOffset = 0;           // frames added to the axis labels
    int endTime = kMaxEventFrames; // the last frame the axis shows, offset included
    double frameRate = 30.0;
    bool eventsInFrames = false;    // labels as frame counts
    bool startTimecodeAdded = true; // labels and offset carry the timecode start
};
// The settings for a zoom level and a timecode start text (hh:mm:ss.ff); none for a level
// outside the table.
std::optional<TimelineSettings> MakeSettings(int zoomLevel, std::string_view timecodeStart,
                                             double frameRate, bool eventsInFrames,
                                             bool startTimecodeAdded);

// Fill colours by operand kind (0 none, 1 input ... 8 sequence).
Colour BoxColourForKind(int kind);
// The operand an event is coloured by: the first of Data1 to Data4 that begins with a letter;
// empty when none does.
std::string_view ColouringOperand(const CEvnt& event);
// The event's fill colour, its operand classified against the script's names.
Colour GetBoxColor(const CVLDoc& doc, const CEvnt& event);
// One build's colouring by GetBoxColor, remembering the colour of each operand it has seen.
// The document must outlive it.
std::function<Colour(const CEvnt&)> OperandColours(const CVLDoc& doc);
// The box text: the event name, then ": " and each non-empty Data1 to Data4.
std::string BoxLabel(const CEvnt& event);

} // namespace timeline

// One event's box. The boxes and their list keep the names the update hints know them by.
struct CEventBoxOb {
    timeline::TimelineRect m_rcBox;
    timeline::Colour m_crFill = 0;
    timeline::Colour m_crText = 0;
    timeline::Colour m_crNormal = 0;
    bool m_bGroupHead = false;
    int m_nGroup = 0;
    std::string m_strLabel;
    int m_nEvent = 0;
    bool m_bSelected = false;
    std::string m_strTime;
    int m_nFrames = 0; // without the start offset; follows the box while it is dragged

    void Select(timeline::Colour highlight, timeline::Colour highlightText);
    void Deselect();
    // Left edge x, centre row y; answers the rectangle before.
    timeline::TimelineRect PlaceAt(int x, int y);
    void MoveBy(int dx, int dy);
};

// Every box of a sequence, in event order (box i shows event i).
class CEventBoxList {
public:
    using ColourOf = std::function<timeline::Colour(const CEvnt&)>;

    // Builds one box per event: grouped by bands of a fifth of a step, a group's boxes stacked
    // below its head, and a head that overlaps an earlier group pushing that group (and in a
    // cascade the groups it then hits) 140 pixels right.
    void Build(const CEvntList& events, const timeline::TimelineSettings& settings,
               const ColourOf& colourOf);

    // The first box whose rectangle holds the point (edges included), or -1.
    int HitTest(int x, int y) const;
    // The rightmost right edge of all boxes (0 without boxes).
    int RightmostEdge() const;

    std::vector<CEventBoxOb>& Boxes() { return m_boxes; }
    const std::vector<CEventBoxOb>& Boxes() const { return m_boxes; }
    std::size_t size() const { return m_boxes.size(); }
    CEventBoxOb& operator[](std::size_t i) { return m_boxes[i]; }
    const CEventBoxOb& operator[](std::size_t i) const { return m_boxes[i]; }
    bool empty() const { return m_boxes.empty(); }
    void push_back(CEventBoxOb box) { m_boxes.push_back(std::move(box)); }
    void clear() { m_boxes.clear(); }

private:
    std::vector<CEventBoxOb> m_boxes;
};

namespace timeline {

// The axis's column: 80 with the timecode start added to labels, else 60.
int AxisX(const TimelineSettings& settings);
// The axis length in pixels below y 10.
int AxisSpan(const TimelineSettings& settings);
// The view height the axis needs.
int ScrollHeight(const TimelineSettings& settings);

struct AxisTick {
    int y = 0;
    bool major = false; // every 50 pixels, with a label
    std::string label;
};
// The ticks whose row lies in [top, bottom).
std::vector<AxisTick> AxisTicks(const TimelineSettings& settings, int top, int bottom);
// The label of an axis time (offset included).
std::string AxisLabel(int frames, const TimelineSettings& settings);

} // namespace timeline
