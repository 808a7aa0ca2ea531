#include "controls/commandbars/control_base.h"

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/resources.h"
#include "controls/commandbars/sound.h"

#include <QPainter>

CGVPControl::CGVPControl() = default;
CGVPControl::~CGVPControl() = default;

int CGVPControl::GetImageId() const {
    if (customIconId_ != 0)
        return customIconId_;
    if (iconId_ > 0)
        return iconId_;
    return int(id_);
}

void CGVPControl::SetCaption(const QString& text) {
    if (caption_ == text)
        return;
    caption_ = text;
    RequestParentLayout();
}

void CGVPControl::SetRarelyUsed(bool on) {
    rarelyUsed_ = on;
    if (!on)
        hiddenMask_ &= ~kHideExpand;
}

void CGVPControl::SetID(unsigned id) {
    if (id != id_) {
        QString text;
        if (id != 0 && CGVPResources::Instance().LoadString(id, text)) {
            int nl = text.indexOf('\n');
            if (nl >= 0) {
                description_ = text.left(nl);
                tooltip_ = text.mid(nl + 1);
            } else {
                description_ = tooltip_ = text;
            }
            caption_ = tooltip_;
        }
    }
    id_ = id;
}

void CGVPControl::SetCaptionWithShortcut(const QString& text) {
    QString caption = text;
    int tab = text.indexOf('\t');
    if (tab >= 0) {
        shortcut_ = text.mid(tab + 1);
        caption = text.left(tab);
    }
    if (caption != caption_) {
        caption_ = caption;
        RequestParentLayout();
    }
}

void CGVPControl::SetCaptionFromResource(unsigned stringId) {
    QString text;
    if (CGVPResources::Instance().LoadString(stringId, text))
        SetCaptionWithShortcut(text);
}

void CGVPControl::RequestParentLayout() {
    if (parent_)
        parent_->SetPendingLayout();
}

void CGVPControl::RedrawParent() {
    if (parent_)
        parent_->update();
}

CGVPCommandBars* CGVPControl::GetCommandBars() const {
    return controls_ ? controls_->GetCommandBars() : nullptr;
}

CGVPPaintManager* CGVPControl::GetPaintManager() const {
    if (auto* bars = GetCommandBars())
        return bars->GetPaintManager();
    return ::GetPaintManager();
}

CGVPImageManager* CGVPControl::GetImageManager() const {
    if (auto* bars = GetCommandBars())
        return bars->GetImageManager();
    return GetGlobalImageManager();
}

bool CGVPControl::IsCustomizeMode() const {
    return parent_ && parent_->IsCustomizeMode();
}

IPaintedBar* CGVPControl::GetPaintedParent() const {
    return parent_;
}

void CGVPControl::SetBeginGroup(bool on) {
    beginGroup_ = on;
    RequestParentLayout();
}

void CGVPControl::SetEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    if (parent_)
        parent_->DelayRedraw();
}

bool CGVPControl::IsEqual(const CGVPControl* other) const {
    return other && type_ == other->type_ && id_ == other->id_ &&
           beginGroup_ == other->beginGroup_ && GetImageId() == other->GetImageId() &&
           GetCaption() == other->GetCaption() && tooltip_ == other->tooltip_ &&
           description_ == other->description_;
}

void CGVPControl::Execute() {
    if (auto* player = GetMenuSoundPlayer())
        player->Play(CGVPMenuSoundPlayer::MenuCommand);
    pressed_ = 2;
    // The control and its bar live until the command returns, even when the command reloads
    // the bar that holds them.
    GVPRef<CGVPControl> self(this);
    GVPRef<CGVPCommandBar> bar(parent_);
    CGVPCommandBar* root = parent_ ? parent_->GetRootParent() : nullptr;
    GVPRef<CGVPCommandBar> rootRef(root);
    auto* mouse = CGVPMouseManager::GetMouseManager();
    if (root && root->GetModalResult()) {
        int* result = root->GetModalResult();
        mouse->EndTracking();
        *result = int(id_);
        return;
    }
    CGVPFrameSite* receiver = parent_ ? parent_->GetOwnerSite() : nullptr;
    mouse->EndTracking();
    if (id_ == 0)
        return;
    if (auto* bars = GetCommandBars())
        bars->MarkCommandUsed(id_);
    if (receiver)
        receiver->OnExecuteControl(id_, this);
}

QSize CGVPControl::GetSize(QPainter& dc) {
    CGVPPaintManager* pm = GetPaintManager();
    return pm ? pm->DrawControl(dc, this, false) : QSize(23, 22);
}

void CGVPControl::Draw(QPainter& dc) {
    if (CGVPPaintManager* pm = GetPaintManager())
        pm->DrawControl(dc, this, true);
}

CGVPImageManagerIcon* CGVPControl::GetImage(int width) const {
    if (customIconId_ == 0 && iconId_ <= 0 && id_ == 0)
        return nullptr;
    CGVPImageManager* im = GetImageManager();
    // Rendered for the screen the bar is on.
    return im ? im->GetImage(unsigned(GetImageId()), width,
                             parent_ ? parent_->devicePixelRatioF() : 0)
              : nullptr;
}

void CGVPControl::Copy(const CGVPControl* from, bool) {
    id_ = from->id_;
    tag_ = from->tag_;
    flags_ = from->flags_;
    type_ = from->type_;
    caption_ = from->caption_;
    customCaption_ = from->customCaption_;
    shortcut_ = from->shortcut_;
    tooltip_ = from->tooltip_;
    description_ = from->description_;
    parameter_ = from->parameter_;
    iconId_ = from->iconId_;
    customIconId_ = from->customIconId_;
    temporary_ = from->temporary_;
    hiddenMask_ = from->hiddenMask_;
    defaultItem_ = from->defaultItem_;
    beginGroup_ = from->beginGroup_;
    shownFor_ = from->shownFor_;
    hiddenFor_ = from->hiddenFor_;
}

void CGVPControl::OnMouseHover() {
    if (parent_)
        parent_->SetPopuped(-1);
}

bool CGVPControl::SetSelected(int state) {
    if (state == selected_)
        return false;
    if (state == 2 && parent_)
        parent_->SetPopuped(-1);
    selected_ = state;
    if (parent_) {
        parent_->SetMessageText(state ? this : nullptr);
        parent_->update();
    }
    return true;
}

CGVPControl* CGVPControl::Clone(bool recursive) const {
    CGVPControl* copy = CreateSame();
    copy->Copy(this, recursive);
    return copy;
}

void CGVPControlButton::OnClick(bool keyboard, QPoint) {
    if (!GetEnabled() || !GetParent())
        return;
    if (IsCustomizeMode())
        return; // the customise drag is not part of this system
    if (keyboard) {
        Execute();
        return;
    }
    if (GetParent()->GetType() != gvpBarTypePopup)
        GetParent()->StartClickLoop(this);
}

void CGVPControlButton::OnLButtonUp(QPoint) {
    if (GetEnabled() && GetParent() && GetParent()->GetType() == gvpBarTypePopup)
        Execute();
}

void CGVPControlButton::Copy(const CGVPControl* from, bool recursive) {
    CGVPControl::Copy(from, recursive);
    if (auto* b = dynamic_cast<const CGVPControlButton*>(from))
        style_ = b->style_;
}
