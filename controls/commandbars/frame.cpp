#include "controls/commandbars/frame.h"

#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/dock_bar.h"
#include "controls/commandbars/key_names.h"
#include "controls/commandbars/menu_bar.h"
#include "controls/commandbars/paint_manager.h"
#include "platform/qt/colors.h"
#include "platform/qt/modality.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>

CGVPFrameWndBase::CGVPFrameWndBase(QWidget* parent) : QWidget(parent) {
    qApp->installEventFilter(this);
    platform::qt::IdleUpdater::Instance().Add(this, [this] { OnIdleUpdate(); });
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, this,
                     [this](Qt::ApplicationState state) {
                         if (commandBars_)
                             commandBars_->OnActivateApp(state == Qt::ApplicationActive);
                     });
    // Palette and font changes resize and recolour the bars.
    QObject::connect(&platform::qt::SystemColors::Instance(), &platform::qt::SystemColors::Changed,
                     this, [this] {
                         if (commandBars_)
                             commandBars_->OnSettingChange();
                     });
}

CGVPFrameWndBase::~CGVPFrameWndBase() {
    platform::qt::IdleUpdater::Instance().Remove(this);
    qApp->removeEventFilter(this);
    if (commandBars_) {
        CGVPCommandBars* bars = commandBars_;
        commandBars_ = nullptr;
        bars->InternalRelease();
    }
}

bool CGVPFrameWndBase::SetUpCommandBars() {
    if (!CGVPPaintManager::GetCurrent())
        CGVPPaintManager::SelectTheme(1);
    commandBars_ = CGVPCommandBars::NewCommandBars();
    commandBars_->AttachToFrame(this);
    commandBars_->CreateDockBars();
    for (int side = 0; side < 4; ++side)
        edges_.push_back({commandBars_->GetDockBar(side), side});
    return true;
}

void CGVPFrameWndBase::AddEdgeWindow(QWidget* window, int side) {
    window->setParent(this);
    edges_.push_back({window, side});
    window->show();
    DelayRecalcLayout();
}

void CGVPFrameWndBase::SetCentralWidget(QWidget* widget) {
    central_ = widget;
    widget->setParent(this);
    widget->show();
    DelayRecalcLayout();
}

void CGVPFrameWndBase::RecalcLayout() {
    layoutPending_ = false;
    QRect remaining = rect();
    for (const Edge& e : edges_) {
        QWidget* w = e.window;
        if (!w)
            continue;
        if (auto* dock = dynamic_cast<CGVPDockBar*>(w)) {
            dock->LayoutIn(remaining, true);
            continue;
        }
        if (!w->isVisible())
            continue;
        const QSize hint = w->sizeHint();
        switch (e.side) {
        case 0:
            w->setGeometry(remaining.left(), remaining.top(), remaining.width(), hint.height());
            remaining.setTop(remaining.top() + hint.height());
            break;
        case 1:
            w->setGeometry(remaining.left(), remaining.bottom() + 1 - hint.height(),
                           remaining.width(), hint.height());
            remaining.setBottom(remaining.bottom() - hint.height());
            break;
        case 2:
            w->setGeometry(remaining.left(), remaining.top(), hint.width(), remaining.height());
            remaining.setLeft(remaining.left() + hint.width());
            break;
        default:
            w->setGeometry(remaining.right() + 1 - hint.width(), remaining.top(), hint.width(),
                           remaining.height());
            remaining.setRight(remaining.right() - hint.width());
            break;
        }
    }
    if (central_)
        central_->setGeometry(remaining);
}

void CGVPFrameWndBase::DelayRecalcLayout() {
    if (layoutPending_)
        return;
    layoutPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (layoutPending_)
            RecalcLayout();
    });
}

void CGVPFrameWndBase::resizeEvent(QResizeEvent*) {
    RecalcLayout();
}

void CGVPFrameWndBase::SetMessageText(const QString& text) {
    if (statusHook)
        statusHook(text);
}

bool CGVPFrameWndBase::OnCmdMsg(platform::qt::CommandMessage& msg) {
    if (OnOwnCmdMsg(msg))
        return true;
    return app_ && app_->OnCmdMsg(msg);
}

bool CGVPFrameWndBase::OnOwnCmdMsg(platform::qt::CommandMessage& msg) {
    // A focused edit field of a bar takes its own clipboard commands first.
    if (auto* edit = dynamic_cast<CGVPEdit*>(QApplication::focusWidget())) {
        if (msg.kind == platform::qt::CommandMessage::Command && edit->OnCommand(msg.id))
            return true;
        if (msg.kind == platform::qt::CommandMessage::Update && msg.ui &&
            edit->OnUpdateCommand(msg.id, *msg.ui))
            return true;
    }
    return CGVPFrameSite::OnCmdMsg(msg);
}

void CGVPFrameWndBase::OnIdleUpdate() {
    if (commandBars_ && isVisible())
        commandBars_->OnIdleUpdate();
}

bool CGVPFrameWndBase::OwnsWindow(QWidget* widget) const {
    // A frame nested in this one sees the key first (its filter was installed later); what it
    // leaves comes here.
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

bool CGVPFrameWndBase::PreTranslateMessage(QKeyEvent* event) {
    if (commandBars_ && commandBars_->PreTranslateFrameMessage(event))
        return true;
    if (event->type() != QEvent::KeyPress)
        return false;
    const int vk = platform::qt::VirtualKeyFromEvent(*event);
    if (!vk)
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers();
    for (const GVPAccel& a : accelerators_) {
        if (!(a.fVirt & GVPAccel::kVirtKey) || a.key != vk)
            continue;
        if (bool(a.fVirt & GVPAccel::kShift) != bool(mods & Qt::ShiftModifier) ||
            bool(a.fVirt & GVPAccel::kControl) != bool(mods & Qt::ControlModifier) ||
            bool(a.fVirt & GVPAccel::kAlt) != bool(mods & Qt::AltModifier))
            continue;
        if (commandBars_)
            commandBars_->OnFrameCommand(true);
        RouteCommand(a.cmd);
        return true;
    }
    return false;
}

bool CGVPFrameWndBase::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationFontChange && watched == qApp) {
        if (commandBars_)
            commandBars_->OnSettingChange();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease &&
        event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    // A dialog or box this frame opened is its child, yet its keys are not the frame's: nothing
    // of a frame a modal window blocks may act on them.
    if (platform::qt::IsBlockedByModal(this))
        return false;
    // Key events propagate to parents: take each only at its first receiver.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? widget != focus : !widget->isWindow())
        return false;
    if (!OwnsWindow(widget))
        return false;
    if (event->type() == QEvent::ShortcutOverride)
        return false;
    return PreTranslateMessage(static_cast<QKeyEvent*>(event));
}

// --- main frame -----------------------------------------------------------------------------

CGVPMDIFrameWnd::CGVPMDIFrameWnd(QWidget* parent) : CGVPFrameWndBase(parent) {
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setActivationOrder(QMdiArea::CreationOrder);
    SetCentralWidget(mdiArea_);
    QObject::connect(mdiArea_, &QMdiArea::subWindowActivated, this,
                     [this](QMdiSubWindow* child) { OnChildActivated(child); });
}

CGVPMDIFrameWnd::~CGVPMDIFrameWnd() {
    QObject::disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* child : mdiArea_->subWindowList())
        QObject::disconnect(child, nullptr, this, nullptr);
    // A child on its way out is no longer listed but still holds its connection, and it is
    // deleted after these maps are gone.
    for (const auto& entry : menus_)
        QObject::disconnect(entry.first, nullptr, this, nullptr);
    if (commandBars_) {
        CGVPCommandBars* bars = commandBars_;
        commandBars_ = nullptr;
        bars->InternalRelease();
    }
}

CGVPMenuBar* CGVPMDIFrameWnd::GetMenuBar() const {
    return commandBars_ ? commandBars_->GetMenuBar() : nullptr;
}

unsigned CGVPMDIFrameWnd::ChildId(QMdiSubWindow* child) const {
    const auto list = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    const int i = int(list.indexOf(child));
    return i < 0 ? 0 : CGVPControlWindowList::FirstMdiChildId() + unsigned(i);
}

QMdiSubWindow* CGVPMDIFrameWnd::ChildById(unsigned id) const {
    const auto list = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    const unsigned first = CGVPControlWindowList::FirstMdiChildId();
    if (id < first || id - first >= unsigned(list.size()))
        return nullptr;
    return list[int(id - first)];
}

bool CGVPMDIFrameWnd::PreTranslateMessage(QKeyEvent* event) {
    if (CGVPFrameWndBase::PreTranslateMessage(event))
        return true;
    // Ctrl+F6 and Ctrl+Shift+F6 step through the children, as multi-document frames do.
    if (event->type() != QEvent::KeyPress || event->key() != Qt::Key_F6)
        return false;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (mods == Qt::ControlModifier)
        mdiArea_->activateNextSubWindow();
    else if (mods == (Qt::ControlModifier | Qt::ShiftModifier))
        mdiArea_->activatePreviousSubWindow();
    else
        return false;
    return true;
}

bool CGVPMDIFrameWnd::ActivateChildById(unsigned id) {
    QMdiSubWindow* child = ChildById(id);
    if (!child)
        return false;
    if (child->isMinimized())
        child->showNormal();
    mdiArea_->setActiveSubWindow(child);
    return true;
}

void CGVPMDIFrameWnd::SetChildMenu(QMdiSubWindow* child, GVPMenuPtr menu) {
    menus_[child] = std::move(menu);
    QObject::connect(child, &QObject::destroyed, this, [this, child] {
        menus_.erase(child);
        templates_.erase(child);
    });
    if (mdiArea_->activeSubWindow() == child)
        OnChildActivated(child);
}

unsigned CGVPMDIFrameWnd::ActiveTemplateId() const {
    auto it = templates_.find(mdiArea_->activeSubWindow());
    return it == templates_.end() ? 0 : it->second;
}

void CGVPMDIFrameWnd::OnChildActivated(QMdiSubWindow* child) {
    CGVPMenuBar* menuBar = GetMenuBar();
    if (!menuBar)
        return;
    GVPMenuPtr menu;
    auto it = menus_.find(child);
    if (it != menus_.end())
        menu = it->second;
    lastActive_ = child;
    // The bar reloads only when the kind of child, and with it the menu, changes.
    if (menu != loadedMenu_) {
        loadedMenu_ = menu;
        menuBar->SwitchMenu(menu.get());
    } else {
        menuBar->RefreshMdi();
    }
}

void CGVPMDIFrameWnd::ArrangeIcons() {
    // Minimised children line up along the bottom of the client area, left to right, a row
    // above the last when the width is full.
    const QRect area = mdiArea_->viewport()->rect();
    int x = 0;
    int y = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* child : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!child->isMinimized() || !child->isVisible())
            continue;
        const QSize size = child->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        if (rowHeight == 0)
            y -= size.height();
        rowHeight = std::max(rowHeight, size.height());
        child->move(x, y);
        x += size.width();
    }
}

bool CGVPMDIFrameWnd::OnCommand(unsigned id) {
    if (id == kArrangeIconsId) {
        ArrangeIcons();
        return true;
    }
    const unsigned first = CGVPControlWindowList::FirstMdiChildId();
    if (id >= first && id < first + 0x100)
        return ActivateChildById(id);
    return false;
}

bool CGVPMDIFrameWnd::HasCommandHandler(unsigned id) const {
    return id == kArrangeIconsId || ChildById(id) != nullptr;
}

bool CGVPMDIFrameWnd::OnCmdMsg(platform::qt::CommandMessage& msg) {
    // The active child frame routes first.
    if (QMdiSubWindow* child = mdiArea_->activeSubWindow())
        if (auto* frame = dynamic_cast<CGVPFrameWndBase*>(child->widget()))
            if (frame->OnCmdMsgFromMainFrame(msg))
                return true;
    return CGVPFrameWndBase::OnCmdMsg(msg);
}

void CGVPMDIFrameWnd::OnIdleUpdate() {
    CGVPFrameWndBase::OnIdleUpdate();
}

CGVPMDIChildWnd::CGVPMDIChildWnd(QWidget* parent) : CGVPFrameWndBase(parent) {}

bool CGVPMDIChildWnd::OnCmdMsg(platform::qt::CommandMessage& msg) {
    if (mainFrame_)
        return mainFrame_->OnCmdMsg(msg);
    return CGVPFrameWndBase::OnCmdMsg(msg);
}

bool CGVPMDIChildWnd::OnCmdMsgFromMainFrame(platform::qt::CommandMessage& msg) {
    if (!mainFrame_)
        return CGVPFrameWndBase::OnCmdMsg(msg);
    return OnOwnCmdMsg(msg);
}
