// The MDI child adapter: a view of a document shown in a child window of a QMdiArea. The child
// window owns the view's widget; the view tells the document's frame requests (title, close,
// activate) to its child window.
#pragma once

#include "platform/document.h"

#include <QMdiSubWindow>
#include <functional>

class QCloseEvent;
class QMdiArea;

namespace platform::qt {

class MdiDocTemplate;
class MdiView;

// A child window that asks before it closes and reports when it has closed.
class MdiChildFrame : public QMdiSubWindow {
public:
    explicit MdiChildFrame(QWidget* parent = nullptr);
    // The first show after the view's initial update.
    virtual void InitialShow() { show(); }
    // Asked when the user closes the window; false keeps it open.
    std::function<bool()> canClose;
    // Told once the window is closing for good (before it is deleted).
    std::function<void()> closed;
    // The template that made the frame and the view it shows (null for frames made by hand).
    MdiDocTemplate* docTemplate = nullptr;
    MdiView* view = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
};

class MdiView : public platform::View {
public:
    // The frame must outlive the view (it owns the view's widget).
    void SetFrame(MdiChildFrame* frame) { frame_ = frame; }
    MdiChildFrame* Frame() const { return frame_; }
    // The first update, after the view is attached to its document and before it shows.
    virtual void OnInitialUpdate() {}

    const void* FrameId() const override { return frame_; }
    void SetFrameTitle(const std::string& title) override;
    void CloseFrame() override;
    void ActivateFrame() override;

private:
    MdiChildFrame* frame_ = nullptr;
};

} // namespace platform::qt
