// Child frames that remember where they were. Qt hides a child's normal rectangle while it is
// maximised or minimised, so the frame tracks it itself: every move or size in the normal state
// updates it, and the stored record always holds the rectangle the window restores to.
#pragma once

#include "platform/qt/mdi_view.h"

#include <QRect>
#include <cstdint>
#include <functional>

namespace platform::qt {

// A stored placement: x, y, width, height in the MDI area's coordinates (-1 in any of them: no
// placement yet) and the two state flags.
struct PlacementRecord {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t width = -1;
    std::int32_t height = -1;
    bool maximised = false;
    bool minimised = false;

    bool HasRect() const { return x != -1 && y != -1 && width != -1 && height != -1; }
    QRect Rect() const { return QRect(x, y, width, height); }
    void SetRect(const QRect& rect);
    bool operator==(const PlacementRecord&) const = default;
};

// The rectangle a frame opens at: the default rectangle when none is stored; the part inside
// the usable area when the rectangle reaches into it; else the stored size at the default
// position.
QRect ClampPlacement(const PlacementRecord& stored, const QRect& defaultRect, const QRect& usable);

// `size` made to fit the available area of the screen `widget` is on (the primary screen when
// it has none yet), leaving room for a window manager's frame.
QSize FitToScreen(QSize size, const QWidget* widget);

enum class FirstShow { Normal, Maximised, Minimised };
// How a frame shows the first time: minimised when its record says so, else maximised when its
// record says so or the active child is maximised, else normal.
FirstShow ChooseFirstShow(const PlacementRecord& stored, bool activeChildMaximised);

class PlacementFrame : public MdiChildFrame {
public:
    // `defaultSize` of the window kind; the default position is where the frame was created.
    explicit PlacementFrame(QSize defaultSize, QWidget* parent = nullptr);

    // Told the current placement after every move, size or state change once the frame has
    // been shown the first time.
    std::function<void(const PlacementRecord&)> savePlacement;

    // The first activation: clamps the stored rectangle into the MDI area, shows the frame in
    // the chosen state and captures the result. Later calls only bring the frame forward.
    void ActivateFirst(const PlacementRecord& stored, bool activeChildMaximised);
    bool FirstActivationPending() const { return pending_; }
    // The stored record of the frame's kind, for the first show.
    std::function<PlacementRecord()> storedPlacement;
    // At the position the area's cascade gives it, then as ActivateFirst places it.
    void InitialShow() override;

    // The placement as it stands: the normal rectangle and the state flags.
    const PlacementRecord& Current() const { return current_; }
    QRect DefaultRect() const { return defaultRect_; }
    void SetDefaultPosition(QPoint position) { defaultRect_.moveTopLeft(position); }
    // The normal size, within the area: what the area's cascade gives each window (Qt's own
    // hint of a frame is its bare title bar).
    QSize sizeHint() const override;

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Capture();
    void Changed();

    QRect defaultRect_;
    PlacementRecord current_;
    bool pending_ = true;
    bool restoreMaximised_ = false;
};

} // namespace platform::qt
