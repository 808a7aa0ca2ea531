#include "platform/qt/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace platform::qt {

void PlacementRecord::SetRect(const QRect& rect) {
    x = rect.x();
    y = rect.y();
    width = rect.width();
    height = rect.height();
}

QRect ClampPlacement(const PlacementRecord& stored, const QRect& defaultRect, const QRect& usable) {
    const QRect rect = stored.HasRect() ? stored.Rect() : defaultRect;
    if (rect.intersects(usable))
        return rect.intersected(usable);
    return QRect(defaultRect.topLeft(), rect.size());
}

QSize FitToScreen(QSize size, const QWidget* widget) {
    QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return size;
    // Room for the title bar and borders a window manager adds outside the window.
    const QSize frame(16, 48);
    return size.boundedTo(screen->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
}

FirstShow ChooseFirstShow(const PlacementRecord& stored, bool activeChildMaximised) {
    if (stored.minimised)
        return FirstShow::Minimised;
    if (stored.maximised || activeChildMaximised)
        return FirstShow::Maximised;
    return FirstShow::Normal;
}

PlacementFrame::PlacementFrame(QSize defaultSize, QWidget* parent)
    : MdiChildFrame(parent), defaultRect_(QPoint(0, 0), defaultSize) {}

void PlacementFrame::ActivateFirst(const PlacementRecord& stored, bool activeChildMaximised) {
    if (!pending_) {
        if (QMdiArea* area = mdiArea())
            area->setActiveSubWindow(this);
        show();
        return;
    }
    QRect usable = defaultRect_;
    if (QMdiArea* area = mdiArea())
        usable = QRect(QPoint(0, 0), area->viewport()->size());
    const QRect normal = ClampPlacement(stored, defaultRect_, usable);
    current_.SetRect(normal);
    setGeometry(normal);
    switch (ChooseFirstShow(stored, activeChildMaximised)) {
    case FirstShow::Minimised: {
        // Restores to maximised when the record says so. The area makes a window it minimises
        // active: the one active before stays so.
        restoreMaximised_ = stored.maximised;
        QMdiArea* area = mdiArea();
        QMdiSubWindow* previous = area ? area->activeSubWindow() : nullptr;
        showMinimized();
        if (previous && previous != this && area->subWindowList().contains(previous))
            area->setActiveSubWindow(previous);
        break;
    }
    case FirstShow::Maximised:
        showMaximized();
        break;
    case FirstShow::Normal:
        showNormal();
        break;
    }
    if (QMdiArea* area = mdiArea(); area && !isMinimized())
        area->setActiveSubWindow(this);
    pending_ = false;
    Capture();
}

void PlacementFrame::InitialShow() {
    bool activeMaximised = false;
    if (QMdiArea* area = mdiArea()) {
        // Cascade like the area's own placement: one caption further per window.
        const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        const int n = int(area->subWindowList().size()) - 1;
        SetDefaultPosition(QPoint((n % 8) * step, (n % 8) * step));
        if (QMdiSubWindow* active = area->activeSubWindow(); active && active != this)
            activeMaximised = active->isMaximized();
    }
    ActivateFirst(storedPlacement ? storedPlacement() : PlacementRecord{}, activeMaximised);
}

QSize PlacementFrame::sizeHint() const {
    QSize size = current_.HasRect() ? current_.Rect().size() : defaultRect_.size();
    if (QMdiArea* area = mdiArea())
        size = size.boundedTo(area->viewport()->size());
    return size.expandedTo(minimumSizeHint());
}

void PlacementFrame::Capture() {
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) {
        current_.minimised = true;
        current_.maximised = restoreMaximised_;
    } else if (state & Qt::WindowMaximized) {
        current_.maximised = true;
        current_.minimised = false;
    } else {
        current_.maximised = false;
        current_.minimised = false;
        current_.SetRect(geometry());
    }
}

void PlacementFrame::Changed() {
    if (pending_)
        return;
    Capture();
    if (savePlacement)
        savePlacement(current_);
}

void PlacementFrame::moveEvent(QMoveEvent* event) {
    MdiChildFrame::moveEvent(event);
    Changed();
}

void PlacementFrame::resizeEvent(QResizeEvent* event) {
    MdiChildFrame::resizeEvent(event);
    Changed();
}

void PlacementFrame::changeEvent(QEvent* event) {
    MdiChildFrame::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !pending_) {
        const Qt::WindowStates state = windowState();
        if (state & Qt::WindowMaximized)
            restoreMaximised_ = true;
        else if (!(state & Qt::WindowMinimized))
            restoreMaximised_ = false;
        Changed();
    }
}

} // namespace platform::qt
