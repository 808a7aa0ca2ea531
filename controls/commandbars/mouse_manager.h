// Per-thread mouse manager (tracking bars, lock count, mouse-leave emulation, the app-wide
// filter that closes menus on outside clicks and hands drags to the bar under the pointer) and
// the process-wide hook manager (message listeners of windows and the keyboard listeners).
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <vector>

class CGVPCommandBar;
class QEvent;

// A listener of hooked window events and of the keyboard while it tracks.
// Answers: 0 not handled (ask the next), 1 handled, 2 not handled and ask no further.
class IHookAble {
public:
    virtual ~IHookAble() = default;
    virtual int OnHookMessage(QObject* window, QEvent* event) = 0;
    // A key press handed over by the frame's pre-translation (virtual key, modifiers held).
    virtual int OnHookKey(int vk) = 0;
};

class CGVPMouseManager : public QObject {
public:
    static CGVPMouseManager* GetMouseManager();
    // Destroys the calling thread's manager; the next GetMouseManager builds a fresh one.
    static void ReleaseThreadManager();
    ~CGVPMouseManager() override;

    bool IsLocked() const { return lock_ > 0; }
    void LockMouseMove() { ++lock_; }
    void UnlockMouseMove() {
        if (lock_ > 0)
            --lock_;
    }
    int LockCount() const { return lock_; }
    bool IsTrackedLock(const CGVPCommandBar* bar = nullptr) const;
    void AddTracked(CGVPCommandBar* bar);
    void RemoveTracked(CGVPCommandBar* bar);
    void EndTracking();
    const std::vector<CGVPCommandBar*>& GetTrackArray() const { return tracked_; }
    bool IsTracking() const { return !tracked_.empty(); }
    void SetSelected(CGVPCommandBar* bar) { selected_ = bar; }
    CGVPCommandBar* GetSelected() const { return selected_; }
    void TrackMouseLeave(QWidget* window);
    void SetExpanded(bool on) { expanded_ = on; }
    bool IsExpanded() const { return expanded_; }
    // A bar that is destroyed forgets itself here.
    void Forget(CGVPCommandBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CGVPMouseManager();
    void OnLeaveTimer();
    CGVPCommandBar* BarAt(QPoint global) const;
    int lock_ = 0;
    std::vector<CGVPCommandBar*> tracked_;
    CGVPCommandBar* selected_ = nullptr;
    QPointer<QWidget> hover_;
    QTimer leaveTimer_;
    bool expanded_ = false;
    bool filtering_ = false;
    QPoint lastPoint_{-100000, -100000};
};

class CGVPHookManager : public QObject {
public:
    static CGVPHookManager& Instance();
    static void Release();

    void SetHook(QObject* window, IHookAble* listener);
    void RemoveHook(QObject* window, IHookAble* listener);
    void RemoveAll(IHookAble* listener);
    void RemoveAll(QObject* window);
    void AddKeyboardListener(IHookAble* listener);
    void RemoveKeyboardListener(IHookAble* listener);
    bool HasKeyboardListeners() const { return !keyboard_.empty(); }
    // Asks the keyboard listeners from the last added to the first; while any listener exists
    // a key that none took counts as consumed.
    bool DispatchKey(int vk);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CGVPHookManager() = default;
    std::vector<IHookAble*> keyboard_;
    std::map<QObject*, std::vector<IHookAble*>> sinks_;
};
