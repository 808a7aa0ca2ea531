#include "controls/commandbars/mouse_manager.h"

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/process_slot.h"
#include "platform/qt/modality.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <algorithm>
#include <memory>

namespace {
// One per user-interface thread; the toolkit's exit releases the calling thread's.
GVPProcessSlot<CGVPMouseManager>& MouseSlot() {
    thread_local GVPProcessSlot<CGVPMouseManager> manager;
    return manager;
}
GVPProcessSlot<CGVPHookManager>& HookSlot() {
    static GVPProcessSlot<CGVPHookManager> manager;
    return manager;
}
} // namespace

CGVPMouseManager* CGVPMouseManager::GetMouseManager() {
    auto& slot = MouseSlot();
    if (!slot)
        slot.reset(new CGVPMouseManager);
    return slot.get();
}

void CGVPMouseManager::ReleaseThreadManager() {
    MouseSlot().reset();
}

CGVPMouseManager::CGVPMouseManager() {
    leaveTimer_.setInterval(50);
    QObject::connect(&leaveTimer_, &QTimer::timeout, this, [this] { OnLeaveTimer(); });
}

CGVPMouseManager::~CGVPMouseManager() = default;

bool CGVPMouseManager::IsTrackedLock(const CGVPCommandBar* bar) const {
    if (tracked_.empty())
        return false;
    if (!bar)
        return true;
    return std::find(tracked_.begin(), tracked_.end(), bar) == tracked_.end();
}

void CGVPMouseManager::AddTracked(CGVPCommandBar* bar) {
    if (tracked_.empty() && selected_ && selected_ != bar) {
        CGVPCommandBar* old = selected_;
        selected_ = nullptr;
        old->SetSelected(-1);
    }
    if (std::find(tracked_.begin(), tracked_.end(), bar) == tracked_.end())
        tracked_.push_back(bar);
    if (!filtering_ && qApp) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
}

void CGVPMouseManager::RemoveTracked(CGVPCommandBar* bar) {
    std::erase(tracked_, bar);
    if (tracked_.empty() && filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
        lastPoint_ = QPoint(-100000, -100000);
    }
}

void CGVPMouseManager::EndTracking() {
    if (tracked_.empty())
        return;
    CGVPCommandBar* first = tracked_.front();
    GVPRef<CGVPCommandBar> hold(first);
    first->SetTrackingMode(0, true, false);
}

void CGVPMouseManager::Forget(CGVPCommandBar* bar) {
    RemoveTracked(bar);
    if (selected_ == bar)
        selected_ = nullptr;
    if (hover_ == bar) {
        hover_ = nullptr;
        leaveTimer_.stop();
    }
}

void CGVPMouseManager::TrackMouseLeave(QWidget* window) {
    if (hover_ == window)
        return;
    if (QWidget* old = hover_)
        if (auto* bar = dynamic_cast<CGVPCommandBar*>(old))
            bar->OnMouseLeave();
    hover_ = window;
    leaveTimer_.start();
}

void CGVPMouseManager::OnLeaveTimer() {
    QWidget* w = hover_;
    if (!w) {
        leaveTimer_.stop();
        return;
    }
    const QRect global(w->mapToGlobal(QPoint(0, 0)), w->size());
    if (global.contains(QCursor::pos()) && w->isVisible())
        return;
    leaveTimer_.stop();
    hover_ = nullptr;
    QPointer<QWidget> target = w;
    QMetaObject::invokeMethod(
        this,
        [target] {
            if (auto* bar = dynamic_cast<CGVPCommandBar*>(target.data()))
                bar->OnMouseLeave();
        },
        Qt::QueuedConnection);
}

CGVPCommandBar* CGVPMouseManager::BarAt(QPoint global) const {
    // Later bars (popups) lie above earlier ones.
    for (auto it = tracked_.rbegin(); it != tracked_.rend(); ++it) {
        CGVPCommandBar* bar = *it;
        if (!bar->isVisible())
            continue;
        const QRect r(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        if (r.contains(global))
            return bar;
    }
    return nullptr;
}

bool CGVPMouseManager::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || tracked_.empty())
        return false;
    // Bars under a modal window take nothing the modal window is given.
    if (platform::qt::IsBlockedByModal(tracked_.front()))
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint global = me->globalPosition().toPoint();
    if (type == QEvent::MouseMove) {
        if (global == lastPoint_)
            return true;
        lastPoint_ = global;
    }
    CGVPCommandBar* under = BarAt(global);
    if (under) {
        // The bar itself (or a window inside it) takes its own events.
        for (QWidget* w = widget; w; w = w->parentWidget())
            if (w == under)
                return false;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            return false;
        // A drag that began elsewhere: the bar under the pointer takes the move or release.
        GVPRef<CGVPCommandBar> hold(under);
        const QPoint local = under->mapFromGlobal(global);
        if (type == QEvent::MouseMove)
            under->OnMouseMoveAt(local);
        else if (me->button() == Qt::LeftButton)
            under->OnLButtonUpAt(local);
        return true;
    }
    if (type == QEvent::MouseMove) {
        std::vector<CGVPCommandBar*> bars = tracked_;
        for (CGVPCommandBar* bar : bars) {
            if (std::find(tracked_.begin(), tracked_.end(), bar) == tracked_.end())
                continue;
            GVPRef<CGVPCommandBar> hold(bar);
            bar->OnMouseMoveAt(bar->mapFromGlobal(global));
        }
        return false;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (me->button() == Qt::LeftButton && !IsLocked()) {
            // A release that ends a press on a tracking bar's control stays with that bar.
            for (QWidget* w = widget; w; w = w->parentWidget())
                if (auto* bar = dynamic_cast<CGVPCommandBar*>(w))
                    if (bar->InClickLoop())
                        return false;
            EndTracking();
        }
        return false;
    }
    EndTracking();
    return false;
}

CGVPHookManager& CGVPHookManager::Instance() {
    auto& slot = HookSlot();
    if (!slot)
        slot.reset(new CGVPHookManager);
    return *slot;
}

void CGVPHookManager::Release() {
    HookSlot().reset();
}

void CGVPHookManager::SetHook(QObject* window, IHookAble* listener) {
    auto it = sinks_.find(window);
    if (it == sinks_.end()) {
        sinks_[window].push_back(listener);
        window->installEventFilter(this);
        QObject::connect(window, &QObject::destroyed, this,
                         [this, window] { sinks_.erase(window); });
        return;
    }
    if (std::find(it->second.begin(), it->second.end(), listener) == it->second.end())
        it->second.push_back(listener);
}

void CGVPHookManager::RemoveHook(QObject* window, IHookAble* listener) {
    auto it = sinks_.find(window);
    if (it == sinks_.end())
        return;
    std::erase(it->second, listener);
    if (it->second.empty())
        RemoveAll(window);
}

void CGVPHookManager::RemoveAll(IHookAble* listener) {
    std::vector<QObject*> empty;
    for (auto& [window, listeners] : sinks_) {
        std::erase(listeners, listener);
        if (listeners.empty())
            empty.push_back(window);
    }
    for (QObject* w : empty)
        RemoveAll(w);
}

void CGVPHookManager::RemoveAll(QObject* window) {
    if (sinks_.erase(window)) {
        window->removeEventFilter(this);
        QObject::disconnect(window, &QObject::destroyed, this, nullptr);
    }
}

void CGVPHookManager::AddKeyboardListener(IHookAble* listener) {
    if (std::find(keyboard_.begin(), keyboard_.end(), listener) == keyboard_.end())
        keyboard_.push_back(listener);
}

void CGVPHookManager::RemoveKeyboardListener(IHookAble* listener) {
    std::erase(keyboard_, listener);
}

bool CGVPHookManager::DispatchKey(int vk) {
    std::vector<IHookAble*> listeners = keyboard_;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
        if (std::find(keyboard_.begin(), keyboard_.end(), *it) == keyboard_.end())
            continue;
        const int answer = (*it)->OnHookKey(vk);
        if (answer)
            return answer != 2;
    }
    return true;
}

bool CGVPHookManager::eventFilter(QObject* watched, QEvent* event) {
    auto it = sinks_.find(watched);
    if (it == sinks_.end())
        return false;
    if (platform::qt::IsInputEvent(event->type()) &&
        platform::qt::IsBlockedByModal(qobject_cast<QWidget*>(watched)))
        return false;
    std::vector<IHookAble*> listeners = it->second;
    for (auto l = listeners.rbegin(); l != listeners.rend(); ++l) {
        const int answer = (*l)->OnHookMessage(watched, event);
        if (answer == 1)
            return true;
        if (answer == 2)
            break;
        if (sinks_.find(watched) == sinks_.end())
            break;
    }
    return false;
}
