#include "controls/commandbars/menu_bar.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/paint_manager.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTimer>

CGVPMenuBar::CGVPMenuBar() {
    type_ = gvpBarTypeMenuBar;
}

bool CGVPMenuBar::LoadMenuBar(unsigned menuId) {
    if (menuId != 0) {
        GVPMenuPtr menu = CGVPResources::Instance().FindMenu(menuId);
        if (!menu || !LoadMenu(menu.get()))
            return false;
        menuId_ = menuId;
        defaultMenu_ = menu;
    }
    CGVPFrameSite* site = GetSite();
    QMdiArea* client = site ? site->MdiClient() : nullptr;
    mdi_ = client != nullptr;
    if (site && site->SiteWindow())
        CGVPHookManager::Instance().SetHook(site->SiteWindow(), this);
    if (client) {
        CGVPHookManager::Instance().SetHook(client, this);
        QObject::connect(client, &QMdiArea::subWindowActivated, this, [this] { PostRefresh(); });
    }
    return true;
}

QMdiSubWindow* CGVPMenuBar::GetActiveMdiChild(bool* maximised) const {
    if (maximised)
        *maximised = false;
    CGVPFrameSite* site = GetSite();
    QMdiArea* client = site ? site->MdiClient() : nullptr;
    if (!client)
        return nullptr;
    QMdiSubWindow* child = client->activeSubWindow();
    if (child && maximised)
        *maximised = child->isMaximized();
    return child;
}

void CGVPMenuBar::SyncActiveChild() {
    QMdiSubWindow* child = GetActiveMdiChild(nullptr);
    if (child == hookedChild_)
        return;
    if (hookedChild_)
        CGVPHookManager::Instance().RemoveHook(hookedChild_, this);
    hookedChild_ = child;
    if (child)
        CGVPHookManager::Instance().SetHook(child, this);
}

void CGVPMenuBar::UpdateMdiButtons() {
    bool maximised = false;
    QMdiSubWindow* child = GetActiveMdiChild(&maximised);
    const Qt::WindowFlags flags = child ? child->windowFlags() : Qt::WindowFlags();
    struct Button {
        unsigned id;
        const char* glyph;
        bool shown;
    };
    const Button buttons[] = {
        {9405, "0", bool(flags & Qt::WindowMinimizeButtonHint)},
        {9404, "2", bool(flags & Qt::WindowMaximizeButtonHint)},
        {9403, "r", true},
    };
    bool changed = false;
    for (const Button& b : buttons) {
        CGVPControl* existing = controls_->FindControlById(b.id);
        if (existing && (!child || !maximised)) {
            controls_->Remove(existing);
            changed = true;
        } else if (!existing && child && maximised && b.shown) {
            controls_->AddControl(new CGVPControlMDIButton, b.id, QString::fromLatin1(b.glyph), -1,
                                  true);
            changed = true;
        }
    }
    if (changed) {
        pending_ |= 1;
        DelayLayout();
    }
}

void CGVPMenuBar::RefreshMdi() {
    refreshPosted_ = false;
    SyncActiveChild();
    UpdateMdiButtons();
}

void CGVPMenuBar::PostRefresh() {
    if (refreshPosted_)
        return;
    refreshPosted_ = true;
    // Acting on the next turn of the loop lets the MDI window settle first.
    GVPRef<CGVPCommandBar> hold(this);
    QTimer::singleShot(0, this, [this] { RefreshMdi(); });
}

void CGVPMenuBar::SwitchMenu(const GVPMenu* menu) {
    CGVPCommandBars* bars = GetCommandBars();
    if (bars && bars->IsCustomizable())
        return;
    const GVPMenu* load = menu ? menu : defaultMenu_.get();
    if (load && !load->items.empty()) {
        if (tracking_)
            SetTrackingMode(0, true, false);
        LoadMenu(load);
        DelayLayout();
    }
    RefreshMdi();
}

int CGVPMenuBar::OnHookMessage(QObject* window, QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowStateChange:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Close:
    case QEvent::Hide:
    case QEvent::Show:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        if (window == hookedChild_ || window == (GetSite() ? GetSite()->MdiClient() : nullptr))
            PostRefresh();
        break;
    default:
        break;
    }
    return 0;
}

void CGVPMenuBar::Copy(const CGVPCommandBar* from, bool recursive) {
    CGVPToolBar::Copy(from, recursive);
    if (auto* m = dynamic_cast<const CGVPMenuBar*>(from))
        menuId_ = m->menuId_;
}

CGVPMenuBar::CGVPControlMDIButton::CGVPControlMDIButton() {
    SetFlags(kFlagRightAlign | kFlagSkipFocus | kFlagNoUpdate | kFlagNoMovable);
}

QSize CGVPMenuBar::CGVPControlMDIButton::GetSize(QPainter&) {
    return QSize(16, 16);
}

void CGVPMenuBar::CGVPControlMDIButton::Draw(QPainter& dc) {
    CGVPPaintManager* pm = GetPaintManager();
    if (!pm)
        return;
    pm->DrawControlEntry(dc, this);
    const QString glyph = GetParameter();
    if (!glyph.isEmpty())
        DrawMarlettGlyph(dc, GetRect(), glyph[0], dc.pen().color(), MarlettPixelSize());
}

void CGVPMenuBar::CGVPControlMDIButton::Execute() {
    auto* bar = dynamic_cast<CGVPMenuBar*>(GetParent());
    if (!bar)
        return;
    QPointer<QMdiSubWindow> child = bar->GetActiveMdiChild(nullptr);
    const unsigned id = unsigned(GetID());
    CGVPMouseManager::GetMouseManager()->EndTracking();
    // Posted, as the system command would be: the button is gone once the child changes.
    QTimer::singleShot(0, bar, [child, id] {
        if (!child)
            return;
        if (id == 9405)
            child->showMinimized();
        else if (id == 9404)
            child->showNormal();
        else
            child->close();
    });
}
