// The window base of every bar: the menu bar, toolbars and popup bars. It holds the controls,
// runs the menu loop (tracking, selection, popups, keyboard navigation, mnemonics), the idle
// command update of its controls and paints through the paint manager.
#pragma once

#include "controls/commandbars/control_base.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/ref_object.h"
#include "controls/commandbars/resources.h"
#include "platform/qt/command_target.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class CGVPControls;
class CGVPCommandBars;
class CGVPFrameSite;
class CGVPPaintManager;

// A combo box's drop-down list.
inline constexpr int gvpBarListBox = 6;

// Docking flags, by value.
inline constexpr int kDockTop = 1;
inline constexpr int kDockBottom = 2;
inline constexpr int kDockLeft = 4;
inline constexpr int kDockRight = 8;
inline constexpr int kDockFloat = 0x10;
inline constexpr int kDockHideWrap = 0x20;
inline constexpr int kDockStretch = 0x40;

// Layout mode bits.
inline constexpr int LM_STRETCH = 0x01;
inline constexpr int LM_HORZ = 0x02;
inline constexpr int LM_MRUWIDTH = 0x04;
inline constexpr int LM_HORZDOCK = 0x08;
inline constexpr int LM_VERTDOCK = 0x10;
inline constexpr int LM_LENGTHY = 0x20;
inline constexpr int LM_COMMIT = 0x40;
inline constexpr int LM_HIDEWRAP = 0x80;
inline constexpr int LM_POPUP = 0x100;

inline constexpr int kStyleGripper = 0x400000;

// Virtual keys the menu loop uses.
namespace gvpkey {
inline constexpr int Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
                     Escape = 0x1B, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27,
                     Down = 0x28, F10 = 0x79;
}

class CGVPCommandBar : public QWidget, public CGVPRefObject, public IHookAble, public IPaintedBar {
public:
    CGVPCommandBar();

    // --- fields
    int GetRememberedWidth() const { return rememberedWidth_; }
    void SetRememberedWidth(int w) { rememberedWidth_ = w; }
    int GetSelectedIndex() const { return selected_; }
    int GetPopupedIndex() const { return popuped_; }
    unsigned GetBarID() const { return barId_; }
    void SetBarID(unsigned id) { barId_ = id; }
    int GetTrackingMode() const { return tracking_; }
    bool IsTrackingMode() const { return tracking_ != 0; }
    void SetOwnerSite(CGVPFrameSite* site) { ownerSite_ = site; }
    int GetPending() const { return pending_; }
    void SetPendingLayout() { pending_ |= 1; }
    int GetDockingFlags() const { return dockingFlags_; }
    int GetStyleFlags() const { return styleFlags_; }
    void SetStyleFlags(int flags) { styleFlags_ = flags; }
    QString GetTitle() const override { return title_; }
    void SetTitle(const QString& title);
    int GetType() const override { return type_; }
    CGVPControl* GetKeyboardTarget() const { return keyboardTarget_; }
    void SetKeyboardTarget(CGVPControl* control) { keyboardTarget_ = control; }
    CGVPControls* GetControls() const { return controls_; }
    int GetPosition() const override { return position_; }
    void SetCommandBars(CGVPCommandBars* bars) { commandBars_ = bars; }
    void SetCommandTarget(CGVPFrameSite* target) { commandTarget_ = target; }
    QSize GetImageSize() const { return imageSize_; }
    void SetImageSize(QSize size) { imageSize_ = size; }
    void SetCustomizable(bool on) { customizable_ = on; }
    bool GetIgnoreButtonUp() const { return ignoreButtonUp_; }
    void SetIgnoreButtonUp(bool on) { ignoreButtonUp_ = on; }
    int* GetModalResult() const { return modalResult_; }
    void SetModalResult(int* result) { modalResult_ = result; }
    bool IsMouseStarted() const { return mouseStarted_; }
    void ClearMouseStarted() { mouseStarted_ = false; }
    bool IsInContextMenu() const { return inContextMenu_; }
    void SetInContextMenu(bool on) { inContextMenu_ = on; }
    QWidget* GetFocusWindow() const { return focusWindow_; }
    void SetFocusWindow(QWidget* w) { focusWindow_ = w; }

    // --- virtual operations
    virtual void DelayRedraw() { pending_ |= 2; }
    virtual bool SetTrackingMode(int mode, bool selectFirst = true, bool keyboard = false);
    virtual bool SetSelected(int index, bool keyboard = false);
    virtual bool LoadToolBar(unsigned /*id*/, bool /*loadImages*/ = true) { return false; }
    virtual bool SetVisible(bool) { return false; }
    virtual bool IsVisible() const { return false; }
    virtual bool SetPosition(int) { return false; }
    virtual bool IsCustomizable() const { return customizable_; }
    virtual void DelayLayout() {}
    virtual CGVPCommandBar* GetParentCommandBar() const { return nullptr; }
    virtual int OnHookKeyDown(int vk);
    virtual QSize CalcDynamicLayout(int /*length*/, int /*mode*/) { return {0, 0}; }
    virtual bool ProcessKeyAction(int action);
    virtual void DrawCommandBar(QPainter& dc);
    virtual void OnControlsChanged();
    virtual void Copy(const CGVPCommandBar* from, bool recursive);
    // A new bar of the same class holding a copy (one reference for the caller).
    static CGVPCommandBar* CloneBar(const CGVPCommandBar* bar);

    // --- non-virtual operations
    bool SetPopuped(int index, bool keyboard = false);
    int FindAccelerator(QChar ch, bool* ambiguous) const;
    CGVPControl* GetControl(int index) const;
    int GetControlCount() const override;
    QWidget* GetWidget() const override { return const_cast<CGVPCommandBar*>(this); }
    IPaintedControl* GetPaintedControl(int index) const override;
    bool IsControlVisible(int index) const override;
    int GetDefaultItem(bool byPosition) const;
    CGVPCommandBars* GetCommandBars() const;
    bool IsCustomizeMode() const;
    CGVPPaintManager* GetPaintManager() const;
    QSize GetIconSize() const override;
    CGVPFrameSite* GetSite() const;
    CGVPFrameSite* GetOwnerSite() const;
    CGVPCommandBar* GetRootParent() const;
    bool LoadMenu(const GVPMenu* menu, bool removeExisting = true);
    void SetMessageText(CGVPControl* control);
    void RedrawAll();
    // The idle update: document-template hiding, control updates, deferred redraw and layout.
    void OnIdleUpdateCmdUI();
    bool IsHorizontal() const;
    // Clicks a control as by keyboard: a popup opens, a button executes.
    void ClickControl(CGVPControl* control, bool keyboard);

    // --- mouse entries (the mouse manager hands events of other windows here)
    virtual void OnMouseMoveAt(QPoint point);
    virtual void OnLButtonDownAt(QPoint point);
    virtual void OnLButtonUpAt(QPoint point);
    virtual void OnLButtonDblClkAt(QPoint point);
    virtual void OnRButtonDownAt(QPoint point);
    virtual void OnRButtonUpAt(QPoint point);
    virtual void OnMouseLeave();

    // The click loop of a button: press selects and presses it; release inside executes.
    void StartClickLoop(CGVPControl* control);
    bool InClickLoop() const { return clickControl_.get() != nullptr; }

    // IHookAble
    int OnHookMessage(QObject* window, QEvent* event) override;
    int OnHookKey(int vk) override;

    // Deletes the window and the object (deferred when called from one of its own events).
    void DeleteThis() override;

protected:
    ~CGVPCommandBar() override;
    virtual CGVPCommandBar* CreateSame() const { return new CGVPCommandBar; }
    virtual void OnHoverTimer();
    virtual void OnExpandTimer();
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void ClickLoopMove(QPoint point);
    void ClickLoopRelease(QPoint point);

    int rememberedWidth_ = 32767;
    int selected_ = -1;
    int popuped_ = -1;
    QPointer<QWidget> focusWindow_;
    unsigned barId_ = 0;
    bool visible_ = true;
    int tracking_ = 0;
    CGVPFrameSite* ownerSite_ = nullptr;
    int pending_ = 0;
    int dockingFlags_ = 0;
    int styleFlags_ = 0;
    QString title_;
    int type_ = gvpBarTypeNormal;
    CGVPControl* keyboardTarget_ = nullptr;
    CGVPControls* controls_ = nullptr;
    int position_ = gvpBarNone;
    CGVPCommandBars* commandBars_ = nullptr;
    CGVPFrameSite* commandTarget_ = nullptr;
    QSize imageSize_{0, 0};
    bool customizable_ = true;
    bool ignoreButtonUp_ = false;
    int* modalResult_ = nullptr;
    bool mouseStarted_ = false;
    bool inContextMenu_ = true;
    QTimer hoverTimer_;  // 300 ms
    QTimer expandTimer_; // 800 ms
    GVPRef<CGVPControl> clickControl_;
    bool clickMoved_ = false;
    QPoint clickLast_;
    int eventDepth_ = 0;
    bool deleting_ = false;

    friend class CGVPControls;
    friend class CGVPCommandBars;
};

// Update object bound to a bar and an index.
class CGVPCommandBarCmdUI : public platform::qt::CommandUi {
public:
    CGVPCommandBarCmdUI(CGVPCommandBar* bar, int index, unsigned id)
        : CommandUi(id), bar_(bar), index_(index) {}
    void Enable(bool on = true) override;
    void SetCheck(int state = 1) override;
    void SetText(const QString& text) override;

private:
    CGVPCommandBar* bar_;
    int index_;
};

// Maps a Qt key to the menu loop's virtual key and the character its mnemonics compare.
int GvpVirtualKey(int qtKey);
QChar GvpKeyChar(int vk);
