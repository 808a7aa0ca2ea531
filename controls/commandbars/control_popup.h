// The control that opens a popup bar: a submenu item, a drop-down button, a split button.
#pragma once

#include "controls/commandbars/control_base.h"

class CGVPCommandBar;

class CGVPControlPopup : public CGVPControl {
public:
    CGVPControlPopup();
    bool GetPopuped() const override { return popuped_; }
    CGVPCommandBar* GetCommandBar() const { return commandBar_; }
    // Takes one reference on the new bar and releases the old one.
    void SetCommandBar(CGVPCommandBar* bar);

    bool SetPopuped(bool open) override;
    bool SetSelected(int state) override;
    void OnMouseHover() override;
    void OnClick(bool keyboard, QPoint point) override;
    void OnLButtonUp(QPoint point) override;
    void OnLButtonDblClk(QPoint point) override;
    bool IsEqual(const CGVPControl* other) const override;
    void Copy(const CGVPControl* from, bool recursive) override;
    bool IsPopupControl() const override { return true; }

protected:
    ~CGVPControlPopup() override;
    CGVPControl* CreateSame() const override { return new CGVPControlPopup; }
    bool popuped_ = false;
    CGVPCommandBar* commandBar_ = nullptr;
};
