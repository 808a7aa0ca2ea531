#include "controls/commandbars/control_lists.h"

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/frame_site.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
unsigned g_firstMdiChildId = 0xFF00;

// Removes the items a placeholder inserted at its last expansion.
template <class Pred> void RemoveOldItems(CGVPControl* placeholder, Pred isOld) {
    CGVPControls* controls = placeholder->GetControls();
    if (!controls)
        return;
    for (;;) {
        CGVPControl* next = controls->GetAt(placeholder->GetIndex() + 1);
        if (!next || !isOld(next))
            break;
        controls->Remove(next);
    }
}

CGVPControl* Insert(CGVPControl* placeholder, CGVPControl* item, unsigned id,
                    const QString& parameter, int& at) {
    placeholder->GetControls()->AddControl(item, id, parameter, at, true);
    item->SetFlags(kFlagNoUpdate);
    ++at;
    return item;
}
} // namespace

unsigned CGVPControlWindowList::FirstMdiChildId() {
    return g_firstMdiChildId;
}
void CGVPControlWindowList::ResetFirstMdiChildId() {
    g_firstMdiChildId = 0xFF00;
}

void CGVPControlWindowList::OnCalcDynamicSize(int) {
    RemoveOldItems(this, [](CGVPControl* c) { return unsigned(c->GetID()) >= g_firstMdiChildId; });
    if (IsCustomizeMode()) {
        SetHiddenMask(0);
        return;
    }
    CGVPCommandBar* bar = GetParent();
    CGVPFrameSite* site = bar ? bar->GetSite() : nullptr;
    QMdiArea* client = site ? site->MdiClient() : nullptr;
    if (!client) {
        SetHiddenMask(0);
        return;
    }
    SetHiddenMask(GetHiddenMask() | kHideGeneric);
    const QList<QMdiSubWindow*> children = client->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow* active = client->activeSubWindow();
    int at = GetIndex() + 1;
    int listed = 0;
    for (int i = 0; i < children.size() && listed < 9; ++i) {
        QMdiSubWindow* child = children[i];
        if (!child->isVisible() && !child->isMinimized())
            continue;
        ++listed;
        auto* item = new CGVPControlButton;
        const QString text = child->windowTitle().left(255);
        Insert(this, item, g_firstMdiChildId + unsigned(i), QString(), at);
        item->SetCaption(QString("&%1 %2").arg(listed).arg(text));
        item->SetBeginGroup(listed == 1);
        item->SetChecked(child == active ? 1 : 0);
    }
}

void CGVPControlToolbars::CGVPControlToolbar::Execute() {
    CGVPCommandBars* bars = GetCommandBars();
    const int index = GetTag();
    CGVPMouseManager::GetMouseManager()->EndTracking();
    if (bars)
        bars->ToggleToolBar(index);
}

void CGVPControlToolbars::OnCalcDynamicSize(int) {
    RemoveOldItems(this, [](CGVPControl* c) { return c->GetParameter() == "CGVPControlToolbar"; });
    if (IsCustomizeMode()) {
        SetHiddenMask(0);
        return;
    }
    SetHiddenMask(GetHiddenMask() | kHideGeneric);
    CGVPCommandBars* bars = GetCommandBars();
    if (!bars)
        return;
    int at = GetIndex() + 1;
    for (int i = 0; i < bars->GetCount(); ++i) {
        CGVPCommandBar* bar = bars->GetToolBar(i);
        if (bar->GetType() != gvpBarTypeNormal)
            continue;
        auto* item = new CGVPControlToolbar;
        Insert(this, item, unsigned(i), "CGVPControlToolbar", at);
        item->SetTag(i);
        item->SetCaption(bar->GetTitle());
        item->SetChecked(bar->IsVisible() ? 1 : 0);
    }
}

void CGVPControlOleItems::OnCalcDynamicSize(int) {
    RemoveOldItems(this, [this](CGVPControl* c) {
        return c->GetIndex() == GetIndex() + 1 && c->GetParameter() == "OLEMENUPOPUP";
    });
    SetHiddenMask(IsCustomizeMode() ? 0 : (GetHiddenMask() | kHideGeneric));
}

QString CGVPControlRecentFileList::DisplayName(const QString& path, const QString& currentDir) {
    QString name = path;
    const QString dir = QDir::cleanPath(currentDir) + "/";
    if (name.startsWith(dir))
        name = name.mid(dir.size());
    name.replace("&", "&&");
    return name;
}

void CGVPControlRecentFileList::OnCalcDynamicSize(int) {
    CGVPCommandBars* bars = GetCommandBars();
    if (!bars || !bars->GetRecentFiles().entries)
        return;
    const GVPRecentFileSource& recent = bars->GetRecentFiles();
    RemoveOldItems(this, [](CGVPControl* c) { return c->GetID() >= 57616 && c->GetID() <= 57631; });
    if (IsCustomizeMode()) {
        SetHiddenMask(0);
        SetEnabled(true);
        return;
    }
    const QStringList entries = recent.entries();
    if (entries.isEmpty() || entries.front().isEmpty()) {
        SetHiddenMask(0);
        SetEnabled(false);
        return;
    }
    SetHiddenMask(GetHiddenMask() | kHideGeneric);
    const QString current = QDir::currentPath();
    int at = GetIndex() + 1;
    for (int i = 0; i < entries.size() && i < 16; ++i) {
        if (entries[i].isEmpty())
            break;
        auto* item = new CGVPControlButton;
        Insert(this, item, 57616u + unsigned(i), QString(), at);
        item->SetCaption(QString("&%1 %2")
                             .arg((recent.startNumber + i + 1) % 10)
                             .arg(DisplayName(entries[i], current)));
        if (i == 0 && GetIndex() > 0)
            item->SetBeginGroup(true);
    }
}
