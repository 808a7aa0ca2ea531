#include "controls/commandbars/command_bars.h"

#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/dock_bar.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/key_names.h"
#include "controls/commandbars/menu_bar.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/sound.h"

#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

CGVPCommandBars::CGVPCommandBars() = default;

CGVPCommandBars::~CGVPCommandBars() {
    while (!toolbars_.empty()) {
        CGVPCommandBar* bar = toolbars_.front();
        toolbars_.erase(toolbars_.begin());
        if (auto* tb = dynamic_cast<CGVPToolBar*>(bar))
            if (tb->GetDockBar())
                tb->GetDockBar()->RemoveCommandBar(tb);
        bar->hide();
        bar->SetCommandBars(nullptr);
        bar->InternalRelease();
    }
    for (CGVPDockBar*& dock : dockBars_) {
        delete dock;
        dock = nullptr;
    }
    if (paintManager_)
        paintManager_->InternalRelease();
    if (auto* player = GetMenuSoundPlayer())
        player->StopThread();
}

bool CGVPCommandBars::AttachToFrame(CGVPFrameSite* frame) {
    site_ = frame;
    customizable_ = frame && frame->HasHandler(35001);
    return customizable_;
}

QWidget* CGVPCommandBars::GetSiteWindow() const {
    return site_ ? site_->SiteWindow() : nullptr;
}

void CGVPCommandBars::CreateDockBars() {
    QWidget* parent = GetSiteWindow();
    dockBars_[0] = new CGVPDockBar(parent, kDockStyleTop, 59419, this);
    dockBars_[1] = new CGVPDockBar(parent, kDockStyleBottom, 59422, this);
    dockBars_[2] = new CGVPDockBar(parent, kDockStyleLeft, 59420, this);
    dockBars_[3] = new CGVPDockBar(parent, kDockStyleRight, 59421, this);
}

CGVPMenuBar* CGVPCommandBars::CreateMenuBar(const QString& title, unsigned menuId) {
    auto* bar = new CGVPMenuBar;
    bar->SetCommandBars(this);
    bar->EnableDocking(0x5F);
    bar->SetTitle(title);
    bar->SetBarID(1);
    if (!DockCommandBar(bar, 0) || !bar->LoadMenuBar(menuId)) {
        if (bar->GetDockBar())
            bar->GetDockBar()->RemoveCommandBar(bar);
        bar->SetCommandBars(nullptr);
        bar->InternalRelease();
        return nullptr;
    }
    if (menuId > 0) {
        bar->GetControls()->SaveOriginalControls();
        menuId_ = menuId;
    }
    toolbars_.push_back(bar);
    menuBar_ = bar;
    return bar;
}

CGVPToolBar* CGVPCommandBars::AddToolBar(const QString& title, int position,
                                         std::function<CGVPToolBar*()> factory) {
    CGVPToolBar* bar = factory ? factory() : new CGVPToolBar;
    bar->SetCommandBars(this);
    bar->EnableDocking(0x3F);
    bar->SetTitle(title);
    if (!bar->SetPosition(position)) {
        if (bar->GetDockBar())
            bar->GetDockBar()->RemoveCommandBar(bar);
        bar->SetCommandBars(nullptr);
        bar->InternalRelease();
        return nullptr;
    }
    toolbars_.push_back(bar);
    return bar;
}

CGVPPaintManager* CGVPCommandBars::GetPaintManager() const {
    return paintManager_ ? paintManager_ : ::GetPaintManager();
}

CGVPImageManager* CGVPCommandBars::GetImageManager() const {
    return imageManager_ ? imageManager_ : GetGlobalImageManager();
}

void CGVPCommandBars::SetPaintManager(CGVPPaintManager* pm) {
    if (pm)
        pm->InternalAddRef();
    if (paintManager_)
        paintManager_->InternalRelease();
    paintManager_ = pm;
}

void CGVPCommandBars::SetImageManager(CGVPImageManager* im) {
    imageManager_ = im;
}

CGVPCommandBar* CGVPCommandBars::GetToolBar(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return toolbars_[size_t(index)];
}

CGVPCommandBar* CGVPCommandBars::GetToolBarById(unsigned id) const {
    if (id == 0)
        return nullptr;
    for (CGVPCommandBar* bar : toolbars_)
        if (bar->GetBarID() == id)
            return bar;
    return nullptr;
}

void CGVPCommandBars::ToggleToolBar(int index) {
    if (CGVPCommandBar* bar = GetToolBar(index))
        bar->SetVisible(!bar->IsVisible());
}

void CGVPCommandBars::RemoveToolBar(CGVPCommandBar* bar) {
    auto it = std::find(toolbars_.begin(), toolbars_.end(), bar);
    if (it == toolbars_.end())
        return;
    bar->hide();
    if (auto* tb = dynamic_cast<CGVPToolBar*>(bar)) {
        if (site_)
            site_->DelayRecalcLayout();
        if (tb->GetDockBar())
            tb->GetDockBar()->RemoveCommandBar(tb);
        tb->SetDockBar(nullptr);
    }
    toolbars_.erase(it);
    if (bar == menuBar_)
        menuBar_ = nullptr;
    bar->InternalRelease();
}

void CGVPCommandBars::SetBarTitle(CGVPCommandBar* bar, const QString& text) {
    bar->SetTitle(text);
    bar->update();
}

bool CGVPCommandBars::IsCommandHidden(unsigned id) const {
    return options_.hiddenCommands.count(id) && !options_.usedCommands.count(id);
}

void CGVPCommandBars::MarkCommandUsed(unsigned id) {
    if (IsCommandHidden(id))
        options_.usedCommands.insert(id);
}

void CGVPCommandBars::ContextMenu(QPoint global) {
    if (customizeMode_)
        return;
    auto* popup = new CGVPPopupBar;
    popup->SetCommandBars(this);
    for (int i = 0; i < GetCount(); ++i) {
        CGVPCommandBar* bar = toolbars_[size_t(i)];
        if (bar->GetType() != gvpBarTypeNormal || !bar->IsInContextMenu())
            continue;
        auto* item = new CGVPControlToolbars::CGVPControlToolbar;
        popup->GetControls()->AddControl(item, unsigned(i), "CGVPControlToolbar");
        item->SetTag(i);
        item->SetCaption(bar->GetTitle());
        item->SetFlags(kFlagNoUpdate);
        item->SetChecked(bar->IsVisible() ? 1 : 0);
    }
    if (customizable_ && !toolbars_.empty()) {
        CGVPControl* c = popup->GetControls()->Add(gvpControlButton, 35001);
        c->SetBeginGroup(true);
    }
    if (popup->GetControlCount() == 0) {
        popup->InternalRelease();
        return;
    }
    // The popup lives until it stops tracking; nothing waits for it.
    popup->onTrackingEnded = [popup] {
        popup->onTrackingEnded = nullptr;
        popup->InternalRelease();
    };
    if (!popup->Popup(global, nullptr) && popup->onTrackingEnded)
        popup->onTrackingEnded();
}

bool CGVPCommandBars::PreTranslateFrameMessage(QKeyEvent* e) {
    auto* mm = CGVPMouseManager::GetMouseManager();
    auto& hooks = CGVPHookManager::Instance();
    const int vk = GvpVirtualKey(e->key());
    const bool alt = e->modifiers() & Qt::AltModifier;
    const bool ctrlOrShift = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (e->type() == QEvent::KeyRelease) {
        if (vk != gvpkey::Menu || e->isAutoRepeat())
            return false;
        if (altPending_) {
            altPending_ = false;
            if (menuBar_ && !mm->IsLocked() && menuBar_->isVisible()) {
                GVPRef<CGVPCommandBar> hold(menuBar_);
                if (menuBar_->IsTrackingMode())
                    menuBar_->SetTrackingMode(0, true, false);
                else
                    menuBar_->SetTrackingMode(1, true, true);
                return true;
            }
        }
        return false;
    }
    if (e->type() != QEvent::KeyPress)
        return false;
    if (vk == gvpkey::Menu) {
        if (e->isAutoRepeat())
            return mm->IsTracking();
        if (!mm->IsLocked() && mm->IsTracking()) {
            // Alt while a menu tracks closes it; its release must not start tracking again.
            altPending_ = false;
            mm->EndTracking();
            return true;
        }
        altPending_ = !ctrlOrShift;
        return false;
    }
    altPending_ = false;
    if (vk == gvpkey::F10 && !alt && !ctrlOrShift && menuBar_ && !mm->IsLocked() &&
        menuBar_->isVisible()) {
        GVPRef<CGVPCommandBar> hold(menuBar_);
        if (menuBar_->IsTrackingMode())
            menuBar_->SetTrackingMode(0, true, false);
        else
            menuBar_->SetTrackingMode(1, true, true);
        return true;
    }
    if (alt && !mm->IsLocked() && !mm->IsTracking() && menuBar_ && menuBar_->isVisible()) {
        const QChar ch = GvpKeyChar(vk);
        if (!ch.isNull()) {
            bool ambiguous = false;
            const int index = menuBar_->FindAccelerator(ch, &ambiguous);
            if (index >= 0) {
                GVPRef<CGVPCommandBar> hold(menuBar_);
                if (ambiguous) {
                    menuBar_->SetTrackingMode(1, false, true);
                    menuBar_->SetSelected(index, true);
                } else {
                    menuBar_->ClickControl(menuBar_->GetControl(index), true);
                }
                return true;
            }
        }
        return false;
    }
    if (hooks.HasKeyboardListeners())
        return hooks.DispatchKey(vk);
    return false;
}

void CGVPCommandBars::OnActivateApp(bool active) {
    if (!active)
        CGVPMouseManager::GetMouseManager()->EndTracking();
    if (!options_.bSyncFloatingBars)
        return;
    // Floating bars are top-level windows of their own: they leave with the application.
    for (CGVPCommandBar* bar : toolbars_)
        if (bar->GetPosition() == gvpBarFloating && bar->IsVisible())
            bar->setVisible(active);
}

void CGVPCommandBars::OnFrameCommand(bool menuCommand) {
    if (menuCommand)
        CGVPMouseManager::GetMouseManager()->EndTracking();
}

void CGVPCommandBars::OnSettingChange() {
    if (CGVPPaintManager* pm = GetPaintManager())
        pm->RefreshMetrics();
    if (site_) {
        site_->RecalcLayout();
        if (QWidget* w = site_->SiteWindow())
            w->repaint();
    }
}

void CGVPCommandBars::OnIdleUpdate() {
    std::vector<CGVPCommandBar*> bars = toolbars_;
    for (CGVPCommandBar* bar : bars) {
        GVPRef<CGVPCommandBar> hold(bar);
        bar->OnIdleUpdateCmdUI();
    }
}

bool CGVPCommandBars::DockCommandBar(CGVPToolBar* bar, const QRect* rect, CGVPDockBar* dockBar) {
    if (!dockBar || !site_)
        return false;
    if (!bar->Create(site_->SiteWindow(), false))
        return false;
    dockBar->DockCommandBar(bar, rect);
    bar->position_ = dockBar->GetSide();
    return true;
}

bool CGVPCommandBars::DockCommandBar(CGVPToolBar* bar, int side) {
    if (side < 0 || side > 3)
        return false;
    return DockCommandBar(bar, nullptr, dockBars_[side]);
}

bool CGVPCommandBars::FloatCommandBar(CGVPToolBar* bar) {
    if (!site_)
        return false;
    CGVPDockBar* old = bar->GetDockBar();
    if (old) {
        old->RemoveCommandBar(bar);
        bar->SetDockBar(nullptr);
    }
    if (!bar->Create(site_->SiteWindow(), true))
        return false;
    bar->position_ = gvpBarFloating;
    bar->FitFloating();
    return true;
}

CGVPDockBar* CGVPCommandBars::FindDockBar(QPoint p, CGVPDockBar* current) const {
    auto matches = [p](const CGVPDockBar* dock) {
        if (!dock)
            return false;
        const QPoint tl = dock->mapToGlobal(QPoint(0, 0));
        const int l = tl.x(), t = tl.y(), r = l + dock->width(), b = t + dock->height();
        return l - 20 < p.x() && p.x() < r + 20 && t - 20 < p.y() && p.y() < b + 20;
    };
    if (matches(current))
        return current;
    for (CGVPDockBar* dock : dockBars_)
        if (matches(dock))
            return dock;
    return nullptr;
}
