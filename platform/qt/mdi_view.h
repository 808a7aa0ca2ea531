// The MDI child adapter: views of a document shown in a child window of a QMdiArea. The child
// window owns its content: one view, or bars or a splitter around one or more views. Each view
// tells the document's frame requests (title, close, activate) to its child window; the frame's
// active view is the one that has, or last had, the focus.
#pragma once

#include "platform/document.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QCloseEvent;
class QMdiArea;

namespace platform::qt {

class MdiDocTemplate;
class FramedView;

// A child window that asks before it closes and reports when it has closed.
class MdiChildFrame : public QMdiSubWindow {
public:
    explicit MdiChildFrame(QWidget* parent = nullptr);
    ~MdiChildFrame() override;
    // The first show after the view's initial update.
    virtual void InitialShow() { show(); }
    // Asked when the user closes the window; false keeps it open.
    std::function<bool()> canClose;
    // Told once the window is closing for good (before it is deleted).
    std::function<void()> closed;
    // The template that made the frame (null for frames made by hand).
    MdiDocTemplate* docTemplate = nullptr;

    // The frame's views in the order they were made; `pane` is the view's widget inside the
    // frame's content.
    void AddView(FramedView* view, QWidget* pane);
    const std::vector<FramedView*>& Views() const { return views_; }
    void ClearViews();
    // The view whose pane has the focus, else the one that had it last, else the first; null
    // when the frame shows no view.
    FramedView* ActiveView() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A maximised child's buttons are in the main frame's menu bar and its title in the main
    // title: it draws no caption of its own then.
    void changeEvent(QEvent* event) override;

private:
    void ShowCaption(bool on);
    void FocusChanged(QWidget* now);

    struct Pane {
        FramedView* view;
        QPointer<QWidget> widget;
    };
    std::vector<FramedView*> views_;
    std::vector<Pane> panes_;
    FramedView* lastFocused_ = nullptr;
};

// The frame side of a view: the frame it shows in and its first update.
class FramedView {
public:
    virtual ~FramedView() = default;
    // The frame must outlive the view (it owns the view's widget).
    void SetFrame(MdiChildFrame* frame) { frame_ = frame; }
    MdiChildFrame* Frame() const { return frame_; }
    // The first update, after the view is attached to its document and before it shows.
    virtual void OnInitialUpdate() {}
    // The title the view gives its frame whenever the frame is activated; empty when the
    // view has none of its own and the frame keeps the one it shows.
    virtual std::string FrameCaption() const { return {}; }
    // The document side of the same view.
    virtual platform::View& DocumentView() = 0;

private:
    MdiChildFrame* frame_ = nullptr;
};

// What a view asks of its frame, for the documents' frame requests.
void SetFrameTitleOf(MdiChildFrame* frame, const std::string& title);
void CloseFrameOf(MdiChildFrame* frame);
void ActivateFrameOf(MdiChildFrame* frame);

// A view of a document in a child frame, on any document-side view class (the core's view
// interfaces such as the image document's list view derive from platform::View).
template <typename Base = platform::View> class MdiViewOf : public Base, public FramedView {
public:
    using Base::Base;
    const void* FrameId() const override { return Frame(); }
    void SetFrameTitle(const std::string& title) override { SetFrameTitleOf(Frame(), title); }
    void CloseFrame() override { CloseFrameOf(Frame()); }
    void ActivateFrame() override { ActivateFrameOf(Frame()); }
    platform::View& DocumentView() override { return *this; }
};

class MdiView : public MdiViewOf<platform::View> {};

} // namespace platform::qt
