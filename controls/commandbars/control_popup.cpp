#include "controls/commandbars/control_popup.h"

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/shadow.h"

CGVPControlPopup::CGVPControlPopup() {
    SetType(gvpControlPopup);
}

CGVPControlPopup::~CGVPControlPopup() {
    if (commandBar_) {
        CGVPCommandBar* bar = commandBar_;
        commandBar_ = nullptr;
        if (bar->IsTrackingMode())
            bar->SetTrackingMode(0, false, false);
        bar->InternalRelease();
    }
}

void CGVPControlPopup::SetCommandBar(CGVPCommandBar* bar) {
    if (bar)
        bar->InternalAddRef();
    if (commandBar_)
        commandBar_->InternalRelease();
    commandBar_ = bar;
}

bool CGVPControlPopup::SetPopuped(bool open) {
    popuped_ = open;
    if (open) {
        auto* popup = dynamic_cast<CGVPPopupBar*>(commandBar_);
        if (!popup)
            return false;
        if (!popup->IsTrackingMode()) {
            GVPRef<CGVPCommandBar> hold(popup);
            popup->Popup(this, GetSelected() == 2);
        }
    } else {
        if (commandBar_ && commandBar_->IsTrackingMode())
            commandBar_->SetTrackingMode(0, false, false);
        RedrawParent();
    }
    return true;
}

bool CGVPControlPopup::SetSelected(int state) {
    if (!CGVPControl::SetSelected(state))
        return false;
    CGVPCommandBar* bar = GetParent();
    if (!bar)
        return true;
    const bool onPopupBar = bar->GetType() == gvpBarTypePopup;
    if ((GetType() == gvpControlButtonPopup || GetType() == gvpControlSplitButtonPopup) &&
        !onPopupBar) {
        if (GetEnabled() && state == 2 && bar->IsTrackingMode())
            bar->SetPopuped(GetIndex(), true);
        return true;
    }
    if (GetEnabled() && state && bar->GetTrackingMode() == 2 && !onPopupBar)
        bar->SetPopuped(GetIndex(), state == 2);
    else if (!state && popuped_ && !onPopupBar)
        bar->SetPopuped(-1);
    return true;
}

void CGVPControlPopup::OnMouseHover() {
    CGVPCommandBar* bar = GetParent();
    if (!bar)
        return;
    if (GetEnabled() && bar->IsTrackingMode() && bar->GetType() != gvpBarTypePopup)
        bar->SetPopuped(GetIndex());
    else if (bar->GetType() == gvpBarTypePopup)
        bar->SetPopuped(GetIndex());
    else
        CGVPControl::OnMouseHover();
}

void CGVPControlPopup::OnClick(bool keyboard, QPoint point) {
    if (!GetEnabled())
        return;
    CGVPCommandBar* bar = GetParent();
    if (!bar || IsCustomizeMode())
        return;
    const bool onPopupBar = bar->GetType() == gvpBarTypePopup;
    if (popuped_ && !onPopupBar) {
        bar->SetTrackingMode(0, true, false);
        return;
    }
    if (GetType() == gvpControlSplitButtonPopup) {
        if (onPopupBar && keyboard) {
            Execute();
            return;
        }
        if (!keyboard && onPopupBar && point.x() < GetRect().left() + GetRect().width() - 20)
            return;
        if (!keyboard && !onPopupBar && point.x() < GetRect().left() + GetRect().width() - 11) {
            bar->StartClickLoop(this);
            return;
        }
    }
    bar->SetPopuped(GetIndex(), keyboard);
}

void CGVPControlPopup::OnLButtonUp(QPoint point) {
    CGVPCommandBar* bar = GetParent();
    if (GetType() == gvpControlSplitButtonPopup && GetEnabled() && bar &&
        bar->GetType() == gvpBarTypePopup && point.x() < GetRect().left() + GetRect().width() - 20)
        Execute();
}

void CGVPControlPopup::OnLButtonDblClk(QPoint point) {
    if (GetType() != gvpControlPopup && GetType() != gvpControlButtonPopup)
        return;
    if (!popuped_)
        OnClick(false, point);
    auto* popup = dynamic_cast<CGVPPopupBar*>(commandBar_);
    if (!popup)
        return;
    int item = popup->GetDefaultItem(true);
    if (item >= 0) {
        if (CGVPControl* c = popup->GetControl(item))
            c->Execute();
    } else if (popup->HasHiddenCommands()) {
        popup->ExpandHiddenCommands();
    }
}

bool CGVPControlPopup::IsEqual(const CGVPControl* other) const {
    if (!CGVPControl::IsEqual(other))
        return false;
    auto* o = dynamic_cast<const CGVPControlPopup*>(other);
    if (!o)
        return false;
    if (commandBar_ && o->commandBar_)
        return commandBar_->GetControls()->IsEqual(o->commandBar_->GetControls());
    return true;
}

void CGVPControlPopup::Copy(const CGVPControl* from, bool recursive) {
    CGVPControl::Copy(from, recursive);
    auto* o = dynamic_cast<const CGVPControlPopup*>(from);
    if (!o || !o->commandBar_)
        return;
    if (recursive) {
        CGVPCommandBar* clone = CGVPCommandBar::CloneBar(o->commandBar_);
        SetCommandBar(clone);
        clone->InternalRelease();
    } else {
        SetCommandBar(o->commandBar_);
    }
}
