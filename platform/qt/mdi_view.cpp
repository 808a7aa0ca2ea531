#include "platform/qt/mdi_view.h"

#include "platform/qt/qt_ui_services.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>

namespace platform::qt {

MdiChildFrame::MdiChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

MdiChildFrame::~MdiChildFrame() {
    // Focus moves while the window's parts go: this part is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void MdiChildFrame::AddView(FramedView* view, QWidget* pane) {
    views_.push_back(view);
    panes_.push_back({view, pane});
}

void MdiChildFrame::ClearViews() {
    views_.clear();
    panes_.clear();
    lastFocused_ = nullptr;
}

void MdiChildFrame::FocusChanged(QWidget* now) {
    // A bar's field or the splitter taking the focus leaves the last pane active.
    for (const Pane& pane : panes_) {
        if (pane.widget && now && (pane.widget == now || pane.widget->isAncestorOf(now))) {
            lastFocused_ = pane.view;
            return;
        }
    }
}

FramedView* MdiChildFrame::ActiveView() const {
    if (QWidget* focus = QApplication::focusWidget())
        for (const Pane& pane : panes_)
            if (pane.widget && (pane.widget == focus || pane.widget->isAncestorOf(focus)))
                return pane.view;
    if (lastFocused_)
        return lastFocused_;
    return views_.empty() ? nullptr : views_.front();
}

void MdiChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const bool maximised = isMaximized();
    if (bool(windowFlags() & Qt::FramelessWindowHint) != maximised) {
        // Changing the flags inside the state change would re-enter it: done once it is over.
        QPointer<MdiChildFrame> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                self->ShowCaption(!self->isMaximized());
        });
    }
}

void MdiChildFrame::ShowCaption(bool on) {
    if (!(windowFlags() & Qt::FramelessWindowHint) == on)
        return;
    const bool visible = isVisible();
    const Qt::WindowStates state = windowState();
    QMdiArea* area = mdiArea();
    const bool active = area && area->activeSubWindow() == this;
    // New flags hide the window; it comes back in the state it had.
    setWindowFlags(on ? (windowFlags() & ~Qt::FramelessWindowHint)
                      : (windowFlags() | Qt::FramelessWindowHint));
    setWindowState(state);
    if (visible)
        show();
    if (active && area)
        area->setActiveSubWindow(this);
}

void MdiChildFrame::closeEvent(QCloseEvent* event) {
    if (canClose && !canClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (closed) {
        auto tell = std::move(closed);
        closed = nullptr;
        tell();
    }
    QMdiSubWindow::closeEvent(event);
}

void SetFrameTitleOf(MdiChildFrame* frame, const std::string& title) {
    if (frame)
        frame->setWindowTitle(ToQString(title));
}

void CloseFrameOf(MdiChildFrame* frame) {
    if (frame) {
        // Closing on the document's behalf: nothing left to ask.
        frame->canClose = nullptr;
        frame->close();
    }
}

void ActivateFrameOf(MdiChildFrame* frame) {
    if (!frame)
        return;
    if (QMdiArea* area = frame->mdiArea())
        area->setActiveSubWindow(frame);
    frame->show();
}

} // namespace platform::qt
