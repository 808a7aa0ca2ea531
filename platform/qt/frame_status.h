// The status side of a program's main frame, set up the same way in every program: the
// user-interface services that show on the frame's status bar (the program's services while the
// frame lives), the bar of the program's layout, and its lock-key panes kept current.
// platform/qt knows no control of the toolkit: `Bar` is the toolkit's status bar.
#pragma once

#include "platform/qt/lock_keys.h"
#include "platform/qt/status_bar_ui.h"
#include "platform/ui_services.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace platform::qt {

template <typename Bar> class FrameStatus {
public:
    explicit FrameStatus(QWidget& frame) : frame_(frame), ui_(&frame) {}
    ~FrameStatus() {
        if (installed_)
            platform::SetUi(previousUi_);
    }
    FrameStatus(const FrameStatus&) = delete;
    FrameStatus& operator=(const FrameStatus&) = delete;

    // Makes the bar (owned by the frame) with `layout`; its lock panes follow the keyboard.
    Bar& CreateBar(const StatusBarLayout& layout) {
        bar_ = new Bar(&frame_);
        idleText_ = layout.idleText;
        SetUpStatusBar(*bar_, layout);
        ui_.SetBar(bar_);
        SetLockKeySource(MakeLockKeySource());
        return *bar_;
    }
    // The lock panes show this source's state from now on.
    void SetLockKeySource(std::unique_ptr<LockKeySource> source) {
        lockKeys_ = std::move(source);
        if (lockKeys_ && bar_)
            QObject::connect(lockKeys_.get(), &LockKeySource::Changed, bar_,
                             [this] { ShowLockKeys(); });
        ShowLockKeys();
    }
    // The message pane shows `text`; an empty one brings the layout's idle text back.
    void ShowMessage(const QString& text) {
        if (bar_)
            bar_->SetPaneText(0, text.isEmpty() ? idleText_ : text);
    }
    // The services become the program's until the frame goes; their status texts go to `sink`.
    void Install(std::function<void(const QString&)> sink) {
        ui_.SetStatusSink(std::move(sink));
        if (!installed_)
            previousUi_ = platform::SetUi(&ui_);
        installed_ = true;
    }

    StatusBarUi<Bar>& Ui() { return ui_; }
    Bar* StatusBar() const { return bar_; }

private:
    void ShowLockKeys() {
        if (bar_)
            ShowLockKeyPanes(*bar_, lockKeys_ ? lockKeys_->State() : LockKeyState{});
    }

    QWidget& frame_;
    StatusBarUi<Bar> ui_;
    Bar* bar_ = nullptr;
    QString idleText_;
    std::unique_ptr<LockKeySource> lockKeys_;
    platform::UiServices* previousUi_ = nullptr;
    bool installed_ = false;
};

} // namespace platform::qt
