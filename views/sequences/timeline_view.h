// The graphical timeline: the left pane of the timeline frame, a scrolling picture of one
// sequence with time running down an axis and every event a coloured box at the height of its
// time. Boxes are selected (plain, Shift and Ctrl clicks), dragged to a new time on a snapping
// grid, nudged frame by frame, deleted, pasted and run; cut, copy and insert go to the frame's
// event grid. The pane owns no model data: after every change it rebuilds its boxes from the
// sequence (timeline_layout.h).
#pragma once

#include "controls/commandbars/resources.h"
#include "views/common/vl_view.h"
#include "views/sequences/event_frames.h"
#include "views/sequences/timeline_layout.h"

#include <QPoint>
#include <QWidget>
#include <string>
#include <vector>

class CVwTimeline;
class QPainter;
class QScrollArea;
namespace platform::qt {
class ViewRegistry;
}

// The time shown beside the mouse while boxes are dragged.
struct CMouseHoverBox {
    std::string m_strText;
    timeline::TimelineRect m_rcBox;
    timeline::TimelineRect m_rcOld;

    void SetText(std::string text) { m_strText = std::move(text); }
    // A 70 by 15 box up and to the left of the point; answers the rectangle before.
    timeline::TimelineRect MoveTo(int x, int y);
    const timeline::TimelineRect& GetRect() const { return m_rcBox; }
};

// Draws the part `area` (logical pixels) of the picture: white, the axis with its ticks and
// labels, the boxes that meet the area (and every group head, whose connector may cross it),
// and the hover box when one is given.
void PaintTimeline(QPainter& painter, const CEventBoxList& boxes,
                   const timeline::TimelineSettings& settings, const QRect& area,
                   const CMouseHoverBox* hover);

// The picture inside the pane's scroll area: its size is the scroll extent, its coordinates
// the logical pixels of the layout.
class TimelineCanvas : public QWidget {
public:
    explicit TimelineCanvas(CVwTimeline& view);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CVwTimeline& view_;
};

class CVwTimeline : public CVLView, public TimelinePane {
public:
    enum class MouseState { Idle, Armed, Dragging };

    CVwTimeline(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    ~CVwTimeline() override;

    const char* ViewClassName() const override { return "CVwTimeline"; }
    std::string ViewSubject() const override;
    const CSeq* ShownSequence() const override { return seq_; }
    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;

    // TimelinePane (the frame's zoom and nudge commands).
    int ZoomLevel() const override { return zoomLevel_; }
    void SetZoomLevel(int level) override;
    bool HasSelection() const override { return !selection_.empty(); }
    void NudgeSelection(int frames) override { NudgeSelectedEvents(frames < 0); }

    // Throws every box away and builds them again from the sequence; the selection goes.
    void RebuildBoxes();
    void NudgeSelectedEvents(bool earlier);

    // The mouse, in logical pixels of the picture.
    void OnLButtonDown(QPoint point, Qt::KeyboardModifiers modifiers);
    void OnMouseMove(QPoint point);
    void OnLButtonUp(QPoint point);
    void OnLButtonDblClk(QPoint point, Qt::KeyboardModifiers modifiers);
    void OnContextMenu(QPoint point, QPoint screenPoint);
    // Plain (no modifier), Shift or Ctrl selection of the box at `box` (-1: none); answers it.
    int SelectBox(Qt::KeyboardModifiers modifiers, int box);

    // Commands.
    void OnMoveEvent();
    void OnRunNow();
    void OnDeleteEvents();
    void PasteEvents();
    // Insert, Cut and Copy: carried out by the frame's event grid, on the rows the timeline's
    // selection selected there.
    void ForwardToGrid(unsigned id);
    // The pane's menu (189), built for each call.
    GVPMenuPtr BuildContextMenu() const;
    // The picture printed down the axis, one page after the other.
    void PrintTimeline(bool direct);
    void PrintPreviewTimeline();
    int PrintPageCount(const QRect& pageRect, double scale) const;
    void PrintPage(QPainter& painter, int page, const QRect& pageRect, double scale) const;

    const CEventBoxList& Boxes() const { return boxes_; }
    // Box indexes in the order they were selected.
    const std::vector<int>& Selection() const { return selection_; }
    const timeline::TimelineSettings& Settings() const { return settings_; }
    const std::string& TimecodeStart() const { return timecodeStart_; }
    MouseState State() const;
    const CMouseHoverBox& HoverBox() const { return hover_; }
    TimelineCanvas& Canvas() const { return *canvas_; }
    QScrollArea& ScrollArea() const { return *scroll_; }
    // The frame's event grid beside this pane; null outside a timeline frame.
    platform::qt::CommandTarget* GridPane() const;

private:
    friend class TimelineCanvas;
    void DeclareCommands();
    void ClearSelection();
    void AddToSelection(int box);
    void SendSelection();
    void InvalidateBox(int box);
    void DragSelectedBoxes(QPoint snapped);
    void ShowDragTime(QPoint snapped);
    void AutoScroll(QPoint snapped);
    // After times were written: sorted, flagged, every view told (hint 8, then 5).
    void TimesWritten();
    void Mark();
    void UpdateExtent();
    CEvnt* EventOfBox(int box) const;

    CSeq* seq_ = nullptr;
    CEventBoxList boxes_;
    std::vector<int> selection_;
    CMouseHoverBox hover_;
    std::string timecodeStart_ = "00:00:00.00";
    int zoomLevel_ = timeline::kDefaultZoomLevel;
    timeline::TimelineSettings settings_;
    bool armed_ = false;
    bool dragging_ = false;
    bool dragStarted_ = false;
    bool moveEventDrag_ = false; // armed by "Move Event": no button is held
    bool busy_ = false;
    QPoint anchor_;
    int anchorFrames_ = 0;
    int grabbed_ = -1;
    QScrollArea* scroll_;
    TimelineCanvas* canvas_;
};

// Registers the timeline as "CVwTimeline".
void RegisterTimelineView(platform::qt::ViewRegistry& registry, ViewServices& services);
