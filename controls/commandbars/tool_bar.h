// The dockable bar of buttons and fields, built from a toolbar resource; docks in a dock bar
// or floats in a small top-level window with a title row and a close button.
#pragma once

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/control_popup.h"

class CGVPDockBar;
class CGVPDockContext;
class CGVPPopupBar;

class CGVPToolBar : public CGVPCommandBar {
public:
    CGVPToolBar();

    class CGVPControlButtonHide : public CGVPControlButton {
    public:
        CGVPControlButtonHide();
        void Execute() override;
        QSize GetSize(QPainter& dc) override;
        void Draw(QPainter& dc) override;

    protected:
        CGVPControl* CreateSame() const override { return new CGVPControlButtonHide; }
    };

    class CGVPControlExpandButton : public CGVPControlPopup {
    public:
        CGVPControlExpandButton();
        // Any control of the bar hidden for lack of room (mask exactly 2).
        bool HasHiddenControls() const;
        bool SetPopuped(bool open) override;
        QSize GetSize(QPainter& dc) override;
        void Draw(QPainter& dc) override;

    protected:
        CGVPControl* CreateSame() const override { return new CGVPControlExpandButton; }
    };

    CGVPDockBar* GetDockBar() const { return dockBar_; }
    void SetDockBar(CGVPDockBar* bar) { dockBar_ = bar; }
    CGVPDockContext* GetDockContext() const { return dockContext_; }
    void EnableDocking(int flags);
    bool IsBuiltIn() const { return builtIn_; }
    bool IsTemporary() const { return temporary_; }
    void SetTemporary(bool on) { temporary_ = on; }
    CGVPControlButtonHide* GetHideButton() const { return hideButton_; }
    CGVPControlExpandButton* GetExpandButton() const { return expandButton_; }
    bool IsFloating() const { return position_ == gvpBarFloating; }

    bool LoadToolBar(unsigned id, bool loadImages = true) override;
    bool SetVisible(bool visible) override;
    bool IsVisible() const override { return visible_; }
    bool SetPosition(int position) override;
    void DelayLayout() override;
    int OnHookKeyDown(int vk) override;
    QSize CalcDynamicLayout(int length, int mode) override;
    void Copy(const CGVPCommandBar* from, bool recursive) override;
    void DrawCommandBar(QPainter& dc) override;
    // Creates or re-parents the window: a child of the site, or a floating tool window.
    virtual bool Create(QWidget* site, bool floating);
    QSize CalcDockingLayout(int length, int mode, int minimum = 0);
    // Fits the floating window to its floating size at its current corner.
    void FitFloating();
    // The tooltip of the visible control under a point; empty when none is given.
    QString TooltipAt(QPoint point) const;
    // Border hit code of a point in a floating bar: 10 left, 11 right, 12 top, 15 bottom, 0.
    int HitTestBorder(QPoint point) const;
    // The expand button's popup; kept until the next one opens.
    CGVPPopupBar* GetExpandPopup() const { return expandPopup_; }

    void OnLButtonDownAt(QPoint point) override;
    void OnLButtonDblClkAt(QPoint point) override;
    void OnRButtonDownAt(QPoint point) override;
    void OnMouseMoveAt(QPoint point) override;
    void OnLButtonUpAt(QPoint point) override;

protected:
    ~CGVPToolBar() override;
    CGVPCommandBar* CreateSame() const override { return new CGVPToolBar; }
    bool event(QEvent* event) override;
    void OpenExpandPopup(CGVPControlExpandButton* button);

    CGVPDockBar* dockBar_ = nullptr;
    CGVPDockContext* dockContext_ = nullptr;
    bool builtIn_ = true;
    bool temporary_ = false;
    CGVPControlButtonHide* hideButton_ = nullptr;     // held by the controls when present
    CGVPControlExpandButton* expandButton_ = nullptr; // held by the controls when present
    CGVPPopupBar* expandPopup_ = nullptr;             // one reference
    friend class CGVPControlExpandButton;
};
