// The drop-down bar of a submenu, a popup control, a toolbar's expand button and the toolbars
// context menu: a frameless top-level window that takes no focus and bypasses the window
// manager, placed beside its control within the work area, scrolling when it is too tall.
#pragma once

#include "controls/commandbars/command_bar.h"

#include <QImage>
#include <QRect>
#include <functional>

class CGVPPopupBar : public CGVPCommandBar {
public:
    CGVPPopupBar();

    bool Popup(CGVPControl* owner, bool keyboard);
    bool Popup(QPoint point, const QRect* exclude = nullptr);
    int GetAnimationType() const;
    void ExpandHiddenCommands();
    // Builds a popup from the menu and runs it until it closes; with flag 0x100 the picked
    // command is answered instead of being sent (0 when nothing was picked), else 1.
    static int TrackPopupMenu(const GVPMenu* menu, int flags, int x, int y, CGVPFrameSite* owner,
                              const QRect* exclude, CGVPCommandBars* bars);

    CGVPControl* GetControlPopup() const { return ownerControl_; }
    QPoint GetAnchor() const { return anchor_; }
    QRect GetExcludeRect() const { return exclude_; }
    int GetDirection() const { return direction_; }
    bool IsScrolling() const { return scrolling_; }
    int GetFirstVisible() const { return firstVisible_; }
    int GetEndVisible() const { return endVisible_; }
    bool HasHiddenCommands() const { return hasHiddenCommands_; }
    bool IsShowAll() const { return showAll_; }
    QRect GetLowerArrowRect() const { return lowerArrow_; }
    QRect GetUpperArrowRect() const { return upperArrow_; }
    QRect GetMargins() const { return margins_; }
    void SetMargins(const QRect& m) { margins_ = m; }
    bool HasShadow() const { return shadow_; }
    // Told once when the popup stops tracking (the modal loop of TrackPopupMenu waits on it).
    std::function<void()> onTrackingEnded;
    // The work area the popup was placed in (tests may set one).
    static void SetWorkAreaOverride(const QRect* area);
    static QRect WorkAreaFor(const QRect& rect);
    // Pure placement of a popup of a size (exposed for tests): answers the window rectangle
    // and sets scrolling when the height had to be cut.
    QRect PlacePopup(QSize size, const QRect& workArea, bool& scroll);

    bool SetTrackingMode(int mode, bool selectFirst = true, bool keyboard = false) override;
    bool SetSelected(int index, bool keyboard = false) override;
    void DelayLayout() override;
    void DelayRedraw() override { update(); }
    CGVPCommandBar* GetParentCommandBar() const override;
    // The opening control on screen, as placement left it out; the border it shares is drawn
    // open and the shadow cut around it.
    QRect GetOwnerControlScreenRect() const override { return ownerControl_ ? exclude_ : QRect(); }
    int OnHookKeyDown(int vk) override;
    QSize CalcDynamicLayout(int length, int mode) override;
    void DrawCommandBar(QPainter& dc) override;
    void OnControlsChanged() override;
    void Copy(const CGVPCommandBar* from, bool recursive) override;
    void OnMouseMoveAt(QPoint point) override;

    class CGVPControlExpandButton : public CGVPControlButton {
    public:
        CGVPControlExpandButton();
        void Execute() override;
        void OnClick(bool keyboard, QPoint point) override;
        void OnLButtonUp(QPoint) override {}

    protected:
        CGVPControl* CreateSame() const override { return new CGVPControlExpandButton; }
    };

protected:
    ~CGVPPopupBar() override;
    CGVPCommandBar* CreateSame() const override { return new CGVPPopupBar; }
    void UpdateHiddenCommands();
    void ComputeAnchor();
    void ScrollLayout(bool down);
    void ScrollTo(int index);
    void OnScrollTimer(bool down);

    CGVPControl* ownerControl_ = nullptr;
    QPoint anchor_;
    QRect exclude_;
    int direction_ = 0;
    bool scrolling_ = false;
    int firstVisible_ = 0;
    int endVisible_ = 0;
    bool inLayout_ = false;
    bool hasHiddenCommands_ = false;
    bool showAll_ = false;
    bool expanding_ = false;
    bool shadow_ = true;
    QRect margins_{2, 4, 2, 4}; // left, top, right, bottom as x, y, width, height
    QRect lowerArrow_, upperArrow_;
    QTimer scrollTimer_;
    bool scrollDown_ = false;
    CGVPControlExpandButton* expandItem_ = nullptr; // held by the controls when present
    int availableHeight_ = 0;
    // The first paint's animation: frames of the finished picture on a timer.
    void StartAnimation(int type);
    void paintEvent(QPaintEvent* event) override;
    QTimer animTimer_;
    int animType_ = 0;
    int animStep_ = 0;
    QImage animBuffer_;
    friend class CGVPCommandBars;
};

class CGVPPopupToolBar : public CGVPPopupBar {
public:
    CGVPPopupToolBar();
    QSize CalcDynamicLayout(int length, int mode) override;

protected:
    CGVPCommandBar* CreateSame() const override { return new CGVPPopupToolBar; }
};
