// The frame's menu as a dockable bar: controls from a menu resource, reloaded when the active
// MDI child's document type brings another menu, and the maximised child's minimise, restore
// and close buttons at its right end.
#pragma once

#include "controls/commandbars/tool_bar.h"

#include <QPointer>

class QMdiSubWindow;

class CGVPMenuBar : public CGVPToolBar {
public:
    CGVPMenuBar();

    class CGVPControlMDIButton : public CGVPControlButton {
    public:
        CGVPControlMDIButton();
        void SetBeginGroup(bool) override {}
        QSize GetSize(QPainter& dc) override;
        void Draw(QPainter& dc) override;
        void Execute() override;

    protected:
        CGVPControl* CreateSame() const override { return new CGVPControlMDIButton; }
    };

    bool LoadMenuBar(unsigned menuId);
    QMdiSubWindow* GetActiveMdiChild(bool* maximised) const;
    void SyncActiveChild();
    void UpdateMdiButtons();
    void RefreshMdi();
    // The frame switches the menu for another kind of child; none restores the default menu.
    void SwitchMenu(const GVPMenu* menu);
    unsigned GetMenuId() const { return menuId_; }
    bool IsMdi() const { return mdi_; }
    int OnHookMessage(QObject* window, QEvent* event) override;
    void Copy(const CGVPCommandBar* from, bool recursive) override;

protected:
    CGVPCommandBar* CreateSame() const override { return new CGVPMenuBar; }
    void PostRefresh();

private:
    bool mdi_ = false;
    // Held as a QObject: its events still arrive while the child is being destroyed.
    QPointer<QObject> hookedChild_;
    GVPMenuPtr defaultMenu_;
    unsigned menuId_ = 0;
    bool refreshPosted_ = false;
};
