#include "controls/commandbars/tool_bar.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/dock_bar.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/key_names.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"

#include <QCursor>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int kExpandReserve = 11;
}

CGVPToolBar::CGVPToolBar() {
    styleFlags_ = kStyleGripper;
    type_ = gvpBarTypeNormal;
    position_ = gvpBarNone;
}

CGVPToolBar::~CGVPToolBar() {
    if (dockBar_)
        dockBar_->RemoveCommandBar(this);
    if (expandPopup_)
        expandPopup_->InternalRelease();
    delete dockContext_;
}

void CGVPToolBar::EnableDocking(int flags) {
    if (!dockContext_)
        dockContext_ = new CGVPDockContext(this);
    dockingFlags_ = flags;
}

bool CGVPToolBar::LoadToolBar(unsigned id, bool loadImages) {
    barId_ = id;
    controls_->RemoveAll();
    hideButton_ = nullptr;
    expandButton_ = nullptr;
    const GVPToolBarResource* res = CGVPResources::Instance().FindToolBar(id);
    if (!res)
        return false;
    bool group = false;
    CGVPFrameSite* site = GetSite();
    for (int i = 0; i < int(res->ids.size()); ++i) {
        unsigned cmd = res->ids[size_t(i)];
        if (cmd == 0) {
            group = true;
            continue;
        }
        int type = gvpControlButton;
        CGVPControl* control = nullptr;
        if (site) {
            GVP_CREATE_CONTROL_INFO info;
            info.nID = cmd;
            info.bToolBar = true;
            info.nIndex = i;
            info.pCommandBar = this;
            info.strCaption = title_;
            info.controlType = type;
            if (site->OnCreateControl(info)) {
                cmd = info.nID;
                type = info.controlType;
                control = info.pControl;
            }
        }
        if (control)
            controls_->AddControl(control, cmd);
        else
            control = controls_->Add(type, cmd);
        if (control && group)
            control->SetBeginGroup(true);
        group = false;
    }
    if (loadImages) {
        CGVPImageManager* im =
            commandBars_ ? commandBars_->GetImageManager() : GetGlobalImageManager();
        std::vector<unsigned> ids;
        std::vector<QString> names;
        for (unsigned cmd : res->ids) {
            ids.push_back(cmd);
            auto it = res->iconNames.find(cmd);
            names.push_back(it == res->iconNames.end() ? QString() : it->second);
        }
        if (!im || !im->SetIconsFromArt(ids, names, QSize(res->buttonWidth, res->buttonHeight)))
            return false;
        if (res->buttonWidth != 16)
            imageSize_ = QSize(res->buttonWidth, res->buttonHeight);
    }
    controls_->SaveOriginalControls();
    pending_ |= 1;
    return true;
}

bool CGVPToolBar::SetVisible(bool visible) {
    GVPRef<CGVPCommandBar> hold(this);
    visible_ = visible;
    if (!visible && tracking_)
        SetTrackingMode(0, true, false);
    setVisible(visible);
    if (position_ != gvpBarFloating)
        if (CGVPFrameSite* site = GetSite())
            site->DelayRecalcLayout();
    if (!visible && temporary_ && commandBars_)
        commandBars_->RemoveToolBar(this);
    return true;
}

bool CGVPToolBar::SetPosition(int position) {
    if (!commandBars_)
        return false;
    if (position >= 0 && position <= 3)
        return commandBars_->DockCommandBar(this, position);
    if (position == gvpBarFloating)
        return commandBars_->FloatCommandBar(this);
    return false;
}

bool CGVPToolBar::Create(QWidget* site, bool floating) {
    if (floating) {
        const QPoint pos = (dockContext_ && dockContext_->hasFloatPos) ? dockContext_->lastFloatPos
                                                                       : QPoint(100, 100);
        setParent(site, Qt::Tool | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        position_ = gvpBarFloating;
        FitFloating();
        move(pos);
        if (visible_)
            show();
    } else if (isWindow()) {
        setParent(site, Qt::Widget);
        if (visible_)
            show();
    }
    return true;
}

void CGVPToolBar::FitFloating() {
    const QSize size = CalcDynamicLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
    resize(size);
}

void CGVPToolBar::DelayLayout() {
    if (position_ == gvpBarFloating) {
        FitFloating();
    } else if (CGVPFrameSite* site = GetSite()) {
        site->DelayRecalcLayout();
    }
    update();
}

int CGVPToolBar::OnHookKeyDown(int vk) {
    if (!(dockingFlags_ & 0x1F) && vk == gvpkey::Tab) {
        SetTrackingMode(0, true, false);
        return 0;
    }
    return CGVPCommandBar::OnHookKeyDown(vk);
}

QSize CGVPToolBar::CalcDockingLayout(int length, int mode, int minimum) {
    CGVPPaintManager* pm = GetPaintManager();
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter dc(&scratch);
    if (pm)
        dc.setFont(pm->GetControlFont(this, false));
    QMargins border = pm ? pm->GetCommandBarBorders(this) : QMargins(2, 2, 2, 2);
    if ((styleFlags_ & kStyleGripper) && pm) {
        const QSize g = pm->DrawCommandBarGripper(dc, this, false);
        border.setLeft(border.left() + g.width());
        border.setTop(border.top() + g.height());
    }
    if (hideButton_)
        hideButton_->SetHiddenMask(hideButton_->GetHiddenMask() | kHideGeneric);
    const bool always =
        commandBars_ ? commandBars_->GetCommandBarsOptions()->bShowExpandButtonAlways : true;
    const bool horizontal = mode & LM_HORZDOCK;
    QSize size;
    if (type_ != gvpBarTypeMenuBar && dockingFlags_) {
        if (!expandButton_) {
            expandButton_ = new CGVPControlExpandButton;
            controls_->AddControl(expandButton_, 9400, QString(), -1, true);
        }
        expandButton_->SetHiddenMask(expandButton_->GetHiddenMask() | kHideGeneric);
        QMargins reserved = border;
        if (horizontal)
            reserved.setRight(reserved.right() + kExpandReserve);
        else
            reserved.setBottom(reserved.bottom() + kExpandReserve);
        if (always) {
            size = controls_->CalcDynamicSize(&dc, length, mode, reserved, minimum);
        } else if (mode & LM_COMMIT) {
            size = controls_->CalcDynamicSize(&dc, length, mode, border, minimum);
            bool hidden = false;
            for (int i = 0; i < GetControlCount(); ++i)
                hidden |= GetControl(i)->GetHiddenMask() == kHideWrap;
            if (hidden)
                size = controls_->CalcDynamicSize(&dc, length, mode, reserved, minimum);
        } else {
            const QSize full = controls_->CalcDynamicSize(&dc, length, mode, border, minimum);
            const QSize least = controls_->CalcDynamicSize(&dc, 1, mode, border, minimum);
            size = full;
            if (horizontal)
                size.setWidth(std::max(full.width(), least.width() + kExpandReserve));
            else
                size.setHeight(std::max(full.height(), least.height() + kExpandReserve));
        }
        expandButton_->SetHiddenMask(expandButton_->GetHiddenMask() & ~(kHideGeneric | kHideWrap));
        if (pm && (mode & LM_COMMIT))
            pm->DrawSpecialControl(dc, gvpButtonExpandToolbar, expandButton_, this, false, size,
                                   expandButton_->HasHiddenControls());
    } else {
        size = controls_->CalcDynamicSize(&dc, length, mode, border, minimum);
    }
    return size;
}

QSize CGVPToolBar::CalcDynamicLayout(int length, int mode) {
    CGVPPaintManager* pm = GetPaintManager();
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter dc(&scratch);
    if (pm)
        dc.setFont(pm->GetControlFont(this, false));
    const int title = pm ? pm->DrawCommandBarGripper(dc, this, false).height() : 16;
    const QMargins border(3, title + 4, 3, 3);
    if (type_ != gvpBarTypeMenuBar) {
        if (!hideButton_) {
            hideButton_ = new CGVPControlButtonHide;
            controls_->AddControl(hideButton_, 9401, QString(), -1, true);
        }
        if (!expandButton_) {
            expandButton_ = new CGVPControlExpandButton;
            controls_->AddControl(expandButton_, 9400, QString(), -1, true);
        }
        hideButton_->SetHiddenMask(hideButton_->GetHiddenMask() | kHideGeneric);
        expandButton_->SetHiddenMask(expandButton_->GetHiddenMask() | kHideGeneric);
    }
    const QSize size = controls_->CalcDynamicSize(&dc, length, mode, border, 0);
    if (type_ != gvpBarTypeMenuBar) {
        const int right = size.width() - 3;
        hideButton_->SetRect(QRect(right - title, 3, title, title));
        hideButton_->SetHiddenMask(hideButton_->GetHiddenMask() & ~(kHideGeneric | kHideWrap));
        const bool always =
            commandBars_ ? commandBars_->GetCommandBarsOptions()->bShowExpandButtonAlways : true;
        if (always && right - 2 * title > 3) {
            expandButton_->SetRect(QRect(right - 2 * title, 3, title, title));
            expandButton_->SetHiddenMask(expandButton_->GetHiddenMask() &
                                         ~(kHideGeneric | kHideWrap));
        }
    }
    return size;
}

void CGVPToolBar::Copy(const CGVPCommandBar* from, bool recursive) {
    CGVPCommandBar::Copy(from, recursive);
    if (auto* t = dynamic_cast<const CGVPToolBar*>(from)) {
        builtIn_ = t->builtIn_;
        temporary_ = t->temporary_;
    }
    hideButton_ = nullptr;
    expandButton_ = nullptr;
}

void CGVPToolBar::DrawCommandBar(QPainter& dc) {
    CGVPCommandBar::DrawCommandBar(dc);
}

QString CGVPToolBar::TooltipAt(QPoint point) const {
    auto* mm = CGVPMouseManager::GetMouseManager();
    if (mm->IsTrackedLock(this) || mm->IsLocked() || (tracking_ == 2 && type_ != gvpBarTypePopup))
        return QString();
    if (commandBars_ && !commandBars_->GetCommandBarsOptions()->bToolBarScreenTips)
        return QString();
    CGVPControl* c = controls_->HitTest(point);
    if (!c)
        return QString();
    QString text = c->GetTooltip();
    if (text.isEmpty())
        return text;
    if (commandBars_ && commandBars_->GetCommandBarsOptions()->bToolBarAccelTips) {
        QString shortcut;
        const GVPAcceleratorTable* table = GetSite() ? GetSite()->GetAccelerators() : nullptr;
        if (CGVPShortcutManager::FindShortcut(unsigned(c->GetID()), shortcut, table))
            text += " (" + shortcut + ")";
    }
    return text;
}

int CGVPToolBar::HitTestBorder(QPoint p) const {
    if (position_ != gvpBarFloating)
        return 0;
    if (p.y() < 3)
        return 12;
    if (p.y() >= height() - 3)
        return 15;
    if (p.x() < 3)
        return 10;
    if (p.x() >= width() - 3)
        return 11;
    return 0;
}

bool CGVPToolBar::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString text = TooltipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    if (e->type() == QEvent::KeyPress && dockContext_ && dockContext_->IsTracking()) {
        if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            dockContext_->OnCancel();
            return true;
        }
    }
    return CGVPCommandBar::event(e);
}

void CGVPToolBar::OnLButtonDownAt(QPoint point) {
    if (position_ == gvpBarFloating)
        raise();
    if (controls_->HitTest(point)) {
        CGVPCommandBar::OnLButtonDownAt(point);
        return;
    }
    if (tracking_)
        SetTrackingMode(0, true, false);
    if (!dockContext_ || !(dockingFlags_ & 0x1F))
        return;
    if (const int hit = HitTestBorder(point))
        dockContext_->StartResize(hit, mapToGlobal(point));
    else
        dockContext_->StartDrag(mapToGlobal(point));
}

void CGVPToolBar::OnMouseMoveAt(QPoint point) {
    if (dockContext_ && dockContext_->IsTracking()) {
        dockContext_->OnMove(mapToGlobal(point));
        return;
    }
    if (position_ == gvpBarFloating && !InClickLoop()) {
        switch (HitTestBorder(point)) {
        case 10:
        case 11:
            setCursor(Qt::SizeHorCursor);
            break;
        case 12:
        case 15:
            setCursor(Qt::SizeVerCursor);
            break;
        default:
            unsetCursor();
        }
    }
    CGVPCommandBar::OnMouseMoveAt(point);
}

void CGVPToolBar::OnLButtonUpAt(QPoint point) {
    if (dockContext_ && dockContext_->IsTracking()) {
        dockContext_->OnRelease();
        return;
    }
    CGVPCommandBar::OnLButtonUpAt(point);
}

void CGVPToolBar::OnLButtonDblClkAt(QPoint point) {
    if (controls_->HitTest(point)) {
        CGVPCommandBar::OnLButtonDblClkAt(point);
        return;
    }
    if (dockContext_)
        dockContext_->OnDoubleClick();
}

void CGVPToolBar::OnRButtonDownAt(QPoint point) {
    if (!commandBars_ || IsCustomizeMode())
        return;
    GVPRef<CGVPCommandBar> hold(this);
    if (tracking_)
        SetTrackingMode(0, true, false);
    SetSelected(-1);
    update();
    commandBars_->ContextMenu(mapToGlobal(point));
}

// --- hide and expand buttons ----------------------------------------------------------------

CGVPToolBar::CGVPControlButtonHide::CGVPControlButtonHide() {
    SetFlags(kFlagSkipFocus | kFlagNoUpdate | kFlagNoMovable);
}

void CGVPToolBar::CGVPControlButtonHide::Execute() {
    auto* bar = dynamic_cast<CGVPToolBar*>(GetParent());
    if (!bar)
        return;
    GVPRef<CGVPCommandBar> hold(bar);
    CGVPMouseManager::GetMouseManager()->EndTracking();
    bar->SetVisible(false);
}

QSize CGVPToolBar::CGVPControlButtonHide::GetSize(QPainter&) {
    return GetRect().size();
}

void CGVPToolBar::CGVPControlButtonHide::Draw(QPainter& dc) {
    if (CGVPPaintManager* pm = GetPaintManager())
        pm->DrawSpecialControl(dc, gvpButtonHideFloating, this, GetParent(), true);
}

CGVPToolBar::CGVPControlExpandButton::CGVPControlExpandButton() {
    SetType(gvpControlButtonPopup);
    SetFlags(kFlagPopupRight | kFlagNoUpdate | kFlagNoMovable);
}

bool CGVPToolBar::CGVPControlExpandButton::HasHiddenControls() const {
    CGVPCommandBar* bar = GetParent();
    if (!bar)
        return false;
    for (int i = 0; i < bar->GetControlCount(); ++i)
        if (bar->GetControl(i)->GetHiddenMask() == kHideWrap)
            return true;
    return false;
}

bool CGVPToolBar::CGVPControlExpandButton::SetPopuped(bool open) {
    auto* bar = dynamic_cast<CGVPToolBar*>(GetParent());
    if (open && bar)
        bar->OpenExpandPopup(this);
    return CGVPControlPopup::SetPopuped(open);
}

QSize CGVPToolBar::CGVPControlExpandButton::GetSize(QPainter&) {
    return GetRect().size();
}

void CGVPToolBar::CGVPControlExpandButton::Draw(QPainter& dc) {
    CGVPPaintManager* pm = GetPaintManager();
    CGVPCommandBar* bar = GetParent();
    if (!pm || !bar)
        return;
    const int kind =
        bar->GetPosition() == gvpBarFloating ? gvpButtonExpandFloating : gvpButtonExpandToolbar;
    pm->DrawSpecialControl(dc, kind, this, bar, true, bar->size(), HasHiddenControls());
}

void CGVPToolBar::OpenExpandPopup(CGVPControlExpandButton* button) {
    CGVPPopupBar* popup = nullptr;
    if (CGVPFrameSite* site = GetSite()) {
        GVP_CREATE_COMMANDBAR_INFO info;
        info.bExpandBar = true;
        info.strCaption = title_;
        info.nID = barId_;
        if (site->OnCreateCommandBar(info))
            popup = dynamic_cast<CGVPPopupBar*>(info.pCommandBar);
        if (!popup && info.pCommandBar)
            info.pCommandBar->InternalRelease();
    }
    if (!popup) {
        popup = new CGVPPopupToolBar;
        popup->SetCommandBars(commandBars_);
        popup->SetCustomizable(false);
    }
    std::vector<CGVPToolBar*> row;
    if (dockBar_)
        row = dockBar_->GetRowBars(dockBar_->FindBar(this));
    for (CGVPToolBar* bar : row)
        for (int i = 0; i < bar->GetControlCount(); ++i) {
            CGVPControl* c = bar->GetControl(i);
            if (c->GetHiddenMask() != kHideWrap)
                continue;
            CGVPControl* copy = popup->GetControls()->InsertClone(c, -1, false);
            copy->SetHiddenMask(0);
            copy->SetBeginGroup(false);
        }
    const bool always =
        commandBars_ ? commandBars_->GetCommandBarsOptions()->bShowExpandButtonAlways : true;
    const bool customizable = commandBars_ && commandBars_->IsCustomizable();
    if (always || customizable) {
        CGVPControl* entry = popup->GetControls()->Add(gvpControlPopup, 0);
        entry->SetCaption(CGVPResources::Instance().String(9300));
        if (popup->GetControlCount() > 1)
            entry->SetBeginGroup(true);
        auto* sub = static_cast<CGVPControlPopup*>(entry)->GetCommandBar();
        if (sub) {
            std::vector<CGVPToolBar*> bars = row.empty() ? std::vector<CGVPToolBar*>{this} : row;
            for (CGVPToolBar* bar : bars) {
                CGVPControl* item = sub->GetControls()->Add(gvpControlPopup, 0);
                item->SetCaption(bar->GetTitle());
                item->SetFlags(kFlagNoUpdate);
                // The list of buttons to add or remove needs customisation, which no frame
                // of this system offers.
                item->SetEnabled(customizable && bar->IsBuiltIn() && bar->IsCustomizable());
            }
        }
    }
    if (!always)
        popup->SetRememberedWidth(150);
    button->SetCommandBar(popup);
    popup->InternalRelease();
    if (expandPopup_)
        expandPopup_->InternalRelease();
    expandPopup_ = popup;
    expandPopup_->InternalAddRef();
}
