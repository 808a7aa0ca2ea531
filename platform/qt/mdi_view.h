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

// A child window that asks before it closes and reports when it has closed.
class MdiChildFrame : public QMdiSubWindow {
public:
    explicit MdiChildFrame(QWidget* parent = nullptr);
    // Asked when the user closes the window; false keeps it open.
    std::function<bool()> canClose;
    // Told once the window is closing for good (before it is deleted).
    std::function<void()> closed;

protected:
    void closeEvent(QCloseEvent* event) override;
};

class MdiView : public platform::View {
public:
    // The frame must outlive the view (it owns the view's widget).
    void SetFrame(MdiChildFrame* frame) { frame_ = frame; }
    MdiChildFrame* Frame() const { return frame_; }

    const void* FrameId() const override { return frame_; }
    void SetFrameTitle(const std::string& title) override;
    void CloseFrame() override;
    void ActivateFrame() override;

private:
    MdiChildFrame* frame_ = nullptr;
};

} // namespace platform::qt
