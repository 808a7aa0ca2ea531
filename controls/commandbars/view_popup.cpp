#include "controls/commandbars/view_popup.h"

#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/popup_bar.h"

#include "controls/commandbars/mouse_manager.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

// The popup's site: every update, probe and command goes to the owner alone, never on to a
// frame, so the owner decides what its menu offers.
class ViewPopupSite : public CGVPFrameSite {
public:
    ViewPopupSite(QWidget& window, platform::qt::CommandTarget& owner)
        : window_(&window), owner_(owner) {}
    QWidget* SiteWindow() override { return window_; }
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override { return owner_.OnCmdMsg(msg); }

private:
    QPointer<QWidget> window_;
    platform::qt::CommandTarget& owner_;
};

// The keys of a tracking popup come to the bars through their frame; a pane outside a frame
// with bars has none, so the popup takes the keys itself while it tracks. Installed last, it
// sees them before any frame does and leaves nothing for the pane underneath.
class PopupKeys : public QObject {
public:
    PopupKeys() { qApp->installEventFilter(this); }
    ~PopupKeys() override { qApp->removeEventFilter(this); }
    PopupKeys(const PopupKeys&) = delete;
    PopupKeys& operator=(const PopupKeys&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        // Key events propagate to parents: each is taken at its first receiver only.
        QWidget* focus = QApplication::focusWidget();
        if (focus ? widget != focus : !widget->isWindow())
            return false;
        CGVPHookManager& hooks = CGVPHookManager::Instance();
        if (!hooks.HasKeyboardListeners())
            return false;
        return hooks.DispatchKey(GvpVirtualKey(static_cast<QKeyEvent*>(event)->key()));
    }
};

constexpr int kReturnCommand = 0x100;

} // namespace

unsigned TrackViewPopup(const GVPMenu& menu, QWidget& window, platform::qt::CommandTarget& owner,
                        QPoint screenPoint) {
    ViewPopupSite site(window, owner);
    PopupKeys keys;
    // No command bars: their site is the main frame, which would answer the submenus' updates
    // in place of the owner.
    const int picked = CGVPPopupBar::TrackPopupMenu(&menu, kReturnCommand, screenPoint.x(),
                                                    screenPoint.y(), &site, nullptr, nullptr);
    if (picked <= 0)
        return 0;
    const auto id = static_cast<unsigned>(picked);
    // The owner takes the pick once the popup is closed, as a command sent after the menu.
    owner.RouteCommand(id);
    return id;
}
