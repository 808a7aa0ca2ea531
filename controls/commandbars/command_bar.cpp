#include "controls/commandbars/command_bar.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/key_names.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

CGVPCommandBar::CGVPCommandBar() {
    controls_ = new CGVPControls;
    controls_->SetCommandBar(this);
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(300);
    expandTimer_.setSingleShot(true);
    expandTimer_.setInterval(800);
    QObject::connect(&hoverTimer_, &QTimer::timeout, this, [this] { OnHoverTimer(); });
    QObject::connect(&expandTimer_, &QTimer::timeout, this, [this] { OnExpandTimer(); });
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

CGVPCommandBar::~CGVPCommandBar() {
    hoverTimer_.stop();
    expandTimer_.stop();
    clickControl_.reset();
    auto* mm = CGVPMouseManager::GetMouseManager();
    if (tracking_) {
        tracking_ = 0;
        mm->RemoveTracked(this);
    }
    CGVPHookManager::Instance().RemoveKeyboardListener(this);
    CGVPHookManager::Instance().RemoveAll(static_cast<IHookAble*>(this));
    mm->Forget(this);
    controls_->RemoveAll();
    controls_->SetCommandBar(nullptr);
    controls_->InternalRelease();
}

void CGVPCommandBar::DeleteThis() {
    if (deleting_)
        return;
    deleting_ = true;
    if (eventDepth_ > 0) {
        hide();
        deleteLater();
    } else {
        delete this;
    }
}

bool CGVPCommandBar::event(QEvent* e) {
    ++eventDepth_;
    InternalAddRef();
    const bool result = QWidget::event(e);
    --eventDepth_;
    InternalRelease();
    return result;
}

void CGVPCommandBar::SetTitle(const QString& title) {
    title_ = title;
    setWindowTitle(title);
}

CGVPControl* CGVPCommandBar::GetControl(int index) const {
    return controls_->GetAt(index);
}
int CGVPCommandBar::GetControlCount() const {
    return controls_->GetCount();
}
IPaintedControl* CGVPCommandBar::GetPaintedControl(int index) const {
    return GetControl(index);
}
bool CGVPCommandBar::IsControlVisible(int index) const {
    CGVPControl* c = GetControl(index);
    return c && c->GetHiddenMask() == 0;
}

bool CGVPCommandBar::IsHorizontal() const {
    return position_ == gvpBarTop || position_ == gvpBarBottom || position_ == gvpBarFloating;
}

CGVPCommandBars* CGVPCommandBar::GetCommandBars() const {
    for (const CGVPCommandBar* bar = this; bar; bar = bar->GetParentCommandBar())
        if (bar->commandBars_)
            return bar->commandBars_;
    return nullptr;
}

bool CGVPCommandBar::IsCustomizeMode() const {
    CGVPCommandBars* bars = GetCommandBars();
    return bars && bars->IsCustomizeMode();
}

CGVPPaintManager* CGVPCommandBar::GetPaintManager() const {
    if (CGVPCommandBars* bars = GetCommandBars())
        return bars->GetPaintManager();
    return ::GetPaintManager();
}

QSize CGVPCommandBar::GetIconSize() const {
    if (imageSize_.width() > 0 && imageSize_.height() > 0)
        return imageSize_;
    QSize size(16, 16);
    if (commandBars_ && type_ != gvpBarTypePopup) {
        const auto* o = commandBars_->GetCommandBarsOptions();
        if (!o->szIcons.isEmpty())
            size = o->szIcons;
        if (o->bLargeIcons)
            size = o->szLargeIcons.isEmpty() ? size * 2 : o->szLargeIcons;
    }
    return size;
}

CGVPFrameSite* CGVPCommandBar::GetSite() const {
    if (commandBars_ && commandBars_->GetSite())
        return commandBars_->GetSite();
    if (ownerSite_)
        return ownerSite_;
    if (CGVPCommandBar* parent = GetParentCommandBar())
        return parent->GetSite();
    return nullptr;
}

CGVPFrameSite* CGVPCommandBar::GetOwnerSite() const {
    return commandTarget_ ? commandTarget_ : GetSite();
}

CGVPCommandBar* CGVPCommandBar::GetRootParent() const {
    const CGVPCommandBar* bar = this;
    while (CGVPCommandBar* parent = bar->GetParentCommandBar())
        bar = parent;
    return const_cast<CGVPCommandBar*>(bar);
}

int CGVPCommandBar::GetDefaultItem(bool byPosition) const {
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        if (c->GetHiddenMask() == 0 && c->IsDefaultItem())
            return byPosition ? i : c->GetID();
    }
    return -1;
}

void CGVPCommandBar::SetMessageText(CGVPControl* control) {
    if (CGVPFrameSite* site = GetSite())
        site->SetMessageText(control ? control->GetDescription() : QString());
}

void CGVPCommandBar::RedrawAll() {
    for (CGVPCommandBar* bar = this; bar; bar = bar->GetParentCommandBar())
        bar->update();
}

bool CGVPCommandBar::SetTrackingMode(int mode, bool selectFirst, bool keyboard) {
    if ((tracking_ && mode) || mode == tracking_) {
        tracking_ = mode;
        return false;
    }
    auto* mm = CGVPMouseManager::GetMouseManager();
    GVPRef<CGVPCommandBar> hold(this);
    if (mode) {
        tracking_ = mode;
        mouseStarted_ = !selectFirst && !keyboard;
        if (!focusWindow_) {
            QWidget* focus = QApplication::focusWidget();
            if (!focus && GetSite())
                focus = GetSite()->SiteWindow();
            focusWindow_ = focus;
        }
        mm->AddTracked(this);
        CGVPHookManager::Instance().AddKeyboardListener(this);
        if (selectFirst)
            SetSelected(controls_->GetNext(-1, 1), true);
    } else {
        tracking_ = 0;
        mouseStarted_ = false;
        mm->RemoveTracked(this);
        CGVPHookManager::Instance().RemoveKeyboardListener(this);
        SetPopuped(-1);
        if (selectFirst)
            SetSelected(-1);
        focusWindow_ = nullptr;
        update();
        if (!mm->IsTracking())
            mm->SetExpanded(false);
    }
    ignoreButtonUp_ = false;
    return true;
}

bool CGVPCommandBar::SetSelected(int index, bool keyboard) {
    if (index == selected_)
        return false;
    GVPRef<CGVPCommandBar> hold(this);
    if (CGVPControl* old = GetControl(selected_))
        old->SetSelected(0);
    selected_ = index;
    CGVPControl* c = GetControl(index);
    if (index == -1 || !c) {
        hoverTimer_.stop();
    } else {
        c->SetSelected(keyboard ? 2 : 1);
        CGVPMouseManager::GetMouseManager()->SetSelected(this);
        if (!keyboard)
            hoverTimer_.start();
    }
    update();
    return true;
}

void CGVPCommandBar::OnHoverTimer() {
    hoverTimer_.stop();
    if (CGVPControl* c = GetControl(selected_)) {
        GVPRef<CGVPControl> hold(c);
        c->OnMouseHover();
    }
}

void CGVPCommandBar::OnExpandTimer() {
    expandTimer_.stop();
    CGVPControl* c = GetControl(popuped_);
    if (!c || popuped_ != selected_ || !c->IsPopupControl())
        return;
    if (!c->GetRect().contains(mapFromGlobal(QCursor::pos())))
        return;
    if (auto* popup = dynamic_cast<CGVPControlPopup*>(c))
        if (auto* bar = dynamic_cast<CGVPPopupBar*>(popup->GetCommandBar()))
            bar->ExpandHiddenCommands();
}

bool CGVPCommandBar::SetPopuped(int index, bool keyboard) {
    if (index == popuped_)
        return false;
    GVPRef<CGVPCommandBar> hold(this);
    if (popuped_ != -1) {
        CGVPControl* old = GetControl(popuped_);
        popuped_ = -1;
        if (old)
            old->SetPopuped(false);
    }
    if (index != -1) {
        CGVPControl* c = GetControl(index);
        if (!c || !c->IsPopupControl() || !c->GetEnabled())
            return false;
        SetTrackingMode(2, false, keyboard);
        SetSelected(index, keyboard);
        popuped_ = index;
        c->SetPopuped(true);
        CGVPCommandBars* bars = GetCommandBars();
        if (bars && bars->GetCommandBarsOptions()->bShowFullAfterDelay)
            expandTimer_.start();
    }
    update();
    return true;
}

int CGVPCommandBar::FindAccelerator(QChar ch, bool* ambiguous) const {
    if (ambiguous)
        *ambiguous = false;
    const int n = GetControlCount();
    ch = CharToUpper(ch);
    int amp = -1, first = -1;
    bool firstAmbiguous = false;
    for (int k = 1; k <= n; ++k) {
        const int i = ((selected_ < 0 ? -1 : selected_) + k + n) % n;
        const CGVPControl* c = GetControl(i);
        if (!c || c->GetHiddenMask() != 0 || (c->GetFlags() & kFlagSkipFocus))
            continue;
        const QString caption = c->GetCaption();
        if (caption.isEmpty())
            continue;
        QChar mnemonic;
        for (int p = 0; p + 1 < caption.size(); ++p) {
            if (caption[p] != '&')
                continue;
            if (caption[p + 1] == '&') {
                ++p;
                continue;
            }
            mnemonic = caption[p + 1];
            break;
        }
        if (!mnemonic.isNull()) {
            if (CharToUpper(mnemonic) == ch) {
                if (amp == -1) {
                    amp = i;
                } else {
                    if (ambiguous)
                        *ambiguous = true;
                    return amp;
                }
            }
        } else if (CharToUpper(caption[0]) == ch) {
            if (first == -1)
                first = i;
            else
                firstAmbiguous = true;
        }
    }
    if (amp != -1)
        return amp;
    if (first != -1 && ambiguous)
        *ambiguous = firstAmbiguous;
    return first;
}

void CGVPCommandBar::ClickControl(CGVPControl* control, bool keyboard) {
    if (!control)
        return;
    GVPRef<CGVPControl> hold(control);
    control->OnClick(keyboard, control->GetRect().center());
}

int CGVPCommandBar::OnHookKeyDown(int vk) {
    if (IsCustomizeMode())
        return 0;
    const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
    switch (vk) {
    case gvpkey::Tab:
        return ProcessKeyAction(shift ? 1 : 0);
    case gvpkey::Return:
        return ProcessKeyAction(5);
    case gvpkey::Escape:
        return ProcessKeyAction(4);
    default:
        break;
    }
    if (keyboardTarget_)
        return keyboardTarget_->OnHookKeyDown(vk);
    const bool horizontal = IsHorizontal();
    switch (vk) {
    case gvpkey::End:
        return ProcessKeyAction(7);
    case gvpkey::Home:
        return ProcessKeyAction(6);
    case gvpkey::Left:
        return ProcessKeyAction(horizontal ? 1 : 2);
    case gvpkey::Up:
        return ProcessKeyAction(horizontal ? 2 : 1);
    case gvpkey::Right:
        return ProcessKeyAction(horizontal ? 0 : 3);
    case gvpkey::Down:
        return ProcessKeyAction(horizontal ? 3 : 0);
    default:
        break;
    }
    const QChar ch = GvpKeyChar(vk);
    if (ch.isNull())
        return 1;
    bool ambiguous = false;
    const int index = FindAccelerator(ch, &ambiguous);
    if (index == -1) {
        QApplication::beep();
    } else if (ambiguous) {
        SetSelected(index, true);
    } else {
        ClickControl(GetControl(index), true);
    }
    return 1;
}

bool CGVPCommandBar::ProcessKeyAction(int action) {
    GVPRef<CGVPCommandBar> hold(this);
    switch (action) {
    case 0:
        SetSelected(controls_->GetNext(selected_, 1), true);
        return true;
    case 1:
        SetSelected(controls_->GetNext(selected_, -1), true);
        return true;
    case 2:
        if (popuped_ != -1) {
            SetPopuped(-1);
            SetTrackingMode(1, false, true);
            return true;
        }
        return false;
    case 3:
        if (selected_ != -1 && popuped_ != selected_) {
            if (CGVPControl* c = GetControl(selected_)) {
                c->SetSelected(2);
                return SetPopuped(selected_, true);
            }
        }
        return false;
    case 4:
        if (CGVPCommandBar* parent = GetParentCommandBar())
            parent->SetTrackingMode(1, false, true);
        SetTrackingMode(0, true, false);
        return true;
    case 5:
        if (CGVPControl* c = GetControl(selected_)) {
            c->SetSelected(2);
            ClickControl(c, true);
        }
        return true;
    case 6:
        SetSelected(controls_->GetNext(-1, 1), true);
        return true;
    case 7:
        SetSelected(controls_->GetNext(-1, -1), true);
        return true;
    default:
        return false;
    }
}

int CGVPCommandBar::OnHookMessage(QObject*, QEvent*) {
    return 0;
}

int CGVPCommandBar::OnHookKey(int vk) {
    if (!tracking_)
        return 0;
    GVPRef<CGVPCommandBar> hold(this);
    return OnHookKeyDown(vk);
}

void CGVPCommandBar::DrawCommandBar(QPainter& dc) {
    CGVPPaintManager* pm = GetPaintManager();
    if (!pm)
        return;
    pm->FillCommandBar(dc, this);
    if (styleFlags_ & kStyleGripper)
        pm->DrawCommandBarGripper(dc, this, true);
    bool first = true;
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        if (c->GetHiddenMask() != 0)
            continue;
        if (c->GetBeginGroup() && !first)
            pm->DrawCommandBarSeparator(dc, this, c, true);
        first = false;
        dc.setFont(pm->GetControlFont(this, c->IsDefaultItem()));
        c->Draw(dc);
    }
}

void CGVPCommandBar::OnControlsChanged() {
    pending_ |= 1;
    selected_ = -1;
    popuped_ = -1;
}

void CGVPCommandBar::Copy(const CGVPCommandBar* from, bool recursive) {
    type_ = from->type_;
    position_ = from->position_;
    barId_ = from->barId_;
    dockingFlags_ = from->dockingFlags_;
    styleFlags_ = from->styleFlags_;
    SetTitle(from->title_);
    customizable_ = from->customizable_;
    rememberedWidth_ = from->rememberedWidth_;
    imageSize_ = from->imageSize_;
    commandBars_ = from->commandBars_;
    CGVPControls* copy = from->controls_->Duplicate(recursive);
    controls_->RemoveAll();
    for (int i = 0; i < copy->GetCount(); ++i) {
        CGVPControl* c = copy->GetAt(i);
        c->InternalAddRef();
        controls_->Append(c);
    }
    copy->InternalRelease();
    controls_->Reindex();
}

CGVPCommandBar* CGVPCommandBar::CloneBar(const CGVPCommandBar* bar) {
    CGVPCommandBar* copy = bar->CreateSame();
    copy->Copy(bar, true);
    return copy;
}

bool CGVPCommandBar::LoadMenu(const GVPMenu* menu, bool removeExisting) {
    if (!menu)
        return false;
    if (removeExisting)
        controls_->RemoveAll();
    bool group = false;
    for (int i = 0; i < int(menu->items.size()); ++i) {
        const GVPMenuItem& item = menu->items[size_t(i)];
        if (!item.submenu && (item.separator || item.id == 0)) {
            group = true;
            continue;
        }
        CGVPControl* c = controls_->CreateControlForItem(menu, i);
        if (c && group)
            c->SetBeginGroup(true);
        if (c)
            group = false;
    }
    controls_->Reindex();
    pending_ |= 1;
    return true;
}

void CGVPCommandBar::OnIdleUpdateCmdUI() {
    if (!isVisible())
        return;
    GVPRef<CGVPCommandBar> hold(this);
    CGVPFrameSite* site = GetSite();
    unsigned key = site ? site->ActiveTemplateId() : 0;
    if (!key && GetCommandBars())
        key = GetCommandBars()->GetMenuId();
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        bool hide;
        if (!c->ShownForTemplates().empty())
            hide = !c->ShownForTemplates().count(key);
        else if (!c->HiddenForTemplates().empty())
            hide = c->HiddenForTemplates().count(key) != 0;
        else
            continue;
        const int mask = hide ? (c->GetHiddenMask() | kHideDocTemplate)
                              : (c->GetHiddenMask() & ~kHideDocTemplate);
        if (mask != c->GetHiddenMask()) {
            c->SetHiddenMask(mask);
            pending_ |= 1;
        }
    }
    if (CGVPFrameSite* receiver = GetOwnerSite()) {
        for (int i = 0; i < GetControlCount(); ++i) {
            CGVPControl* c = GetControl(i);
            if (c->GetPressed() == 2) {
                c->SetPressed(0);
                pending_ |= 2;
            }
            if (c->GetFlags() & kFlagNoUpdate)
                continue;
            CGVPCommandBarCmdUI ui(this, i, unsigned(c->GetID()));
            if (!receiver->DoUpdate(ui, false) && c->GetID() != 0)
                ui.Enable(IsCustomizeMode() || receiver->HasHandler(ui.Id()));
        }
    }
    if (pending_ & 2) {
        update();
        pending_ &= ~2;
    }
    if (pending_ & 1) {
        pending_ &= ~1;
        DelayLayout();
    }
}

void CGVPCommandBarCmdUI::Enable(bool on) {
    enableChanged = true;
    CGVPControl* c = bar_->GetControl(index_);
    if (c && c->GetEnabled() != on)
        c->SetEnabled(on);
}

void CGVPCommandBarCmdUI::SetText(const QString& text) {
    // What the item shows follows its handler; a shortcut after a tab goes to its own column.
    CGVPControl* c = bar_->GetControl(index_);
    if (!c)
        return;
    const QString before = c->GetCaption();
    const QString shortcut = c->GetShortcutText();
    if (text.contains(QLatin1Char('\t')))
        c->SetCaptionWithShortcut(text);
    else
        c->SetCaption(text);
    if (c->GetCaption() != before || c->GetShortcutText() != shortcut)
        bar_->DelayRedraw();
}

void CGVPCommandBarCmdUI::SetCheck(int state) {
    CGVPControl* c = bar_->GetControl(index_);
    if (c && c->GetCheckState() != state) {
        c->SetChecked(state);
        bar_->DelayRedraw();
    }
}

// --- painting and mouse ---------------------------------------------------------------------

void CGVPCommandBar::paintEvent(QPaintEvent*) {
    QPainter screen(this);
    CGVPBufferDC buffer(screen, rect());
    DrawCommandBar(buffer.dc());
}

void CGVPCommandBar::StartClickLoop(CGVPControl* control) {
    SetSelected(control->GetIndex(), false);
    control->SetPressed(1);
    update();
    clickControl_ = GVPRef<CGVPControl>(control);
    clickMoved_ = false;
    clickLast_ = QPoint();
}

void CGVPCommandBar::ClickLoopMove(QPoint point) {
    CGVPControl* c = clickControl_.get();
    clickMoved_ = true;
    clickLast_ = point;
    const int state = c->GetRect().contains(point) ? 1 : 0;
    if (c->GetSelected() != state) {
        c->SetSelected(state);
        update();
    }
}

void CGVPCommandBar::ClickLoopRelease(QPoint point) {
    GVPRef<CGVPControl> c = clickControl_;
    GVPRef<CGVPCommandBar> hold(this);
    clickControl_.reset();
    if (!clickMoved_)
        clickLast_ = point;
    const bool qualifies = c->GetSelected() != 0 && c->GetRect().contains(clickLast_);
    if (c->GetSelected())
        c->SetSelected(0);
    SetSelected(-1);
    c->SetPressed(0);
    update();
    if (qualifies)
        c->Execute();
}

void CGVPCommandBar::OnMouseMoveAt(QPoint point) {
    if (IsCustomizeMode())
        return;
    auto* mm = CGVPMouseManager::GetMouseManager();
    if (InClickLoop()) {
        ClickLoopMove(point);
        return;
    }
    if (mm->IsTrackedLock(this) || mm->IsLocked())
        return;
    int index = (tracking_ && !(type_ == gvpBarTypePopup && popuped_ == -1)) ? selected_ : -1;
    if (CGVPControl* c = controls_->HitTest(point)) {
        index = c->GetIndex();
        mm->TrackMouseLeave(this);
        c->OnMouseMove(point);
    }
    SetSelected(index, false);
}

void CGVPCommandBar::OnMouseLeave() {
    if (InClickLoop())
        return;
    auto* mm = CGVPMouseManager::GetMouseManager();
    if (mm->IsLocked())
        return;
    if (!tracking_ || (type_ == gvpBarTypePopup && popuped_ == -1))
        SetSelected(-1);
}

void CGVPCommandBar::OnLButtonDownAt(QPoint point) {
    ignoreButtonUp_ = false;
    if (CGVPControl* c = controls_->HitTest(point)) {
        if (IsCustomizeMode() && (!IsCustomizable() || (c->GetFlags() & kFlagNoMovable)))
            return;
        GVPRef<CGVPControl> hold(c);
        c->OnClick(false, point);
    }
}

void CGVPCommandBar::OnLButtonUpAt(QPoint point) {
    if (InClickLoop()) {
        ClickLoopRelease(point);
        return;
    }
    if (IsCustomizeMode() || ignoreButtonUp_)
        return;
    if (CGVPControl* c = controls_->HitTest(point)) {
        GVPRef<CGVPControl> hold(c);
        c->OnLButtonUp(point);
    }
}

void CGVPCommandBar::OnLButtonDblClkAt(QPoint point) {
    if (CGVPControl* c = controls_->HitTest(point)) {
        GVPRef<CGVPControl> hold(c);
        c->OnLButtonDblClk(point);
    }
}

void CGVPCommandBar::OnRButtonDownAt(QPoint) {}

void CGVPCommandBar::OnRButtonUpAt(QPoint point) {
    if (IsCustomizeMode())
        return;
    if (CGVPControl* c = controls_->HitTest(point))
        c->OnRButtonUp(point);
}

void CGVPCommandBar::mouseMoveEvent(QMouseEvent* e) {
    OnMouseMoveAt(e->position().toPoint());
}

void CGVPCommandBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        OnLButtonDownAt(e->position().toPoint());
    else if (e->button() == Qt::RightButton)
        OnRButtonDownAt(e->position().toPoint());
}

void CGVPCommandBar::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        OnLButtonUpAt(e->position().toPoint());
    else if (e->button() == Qt::RightButton)
        OnRButtonUpAt(e->position().toPoint());
}

void CGVPCommandBar::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        OnLButtonDblClkAt(e->position().toPoint());
}

void CGVPCommandBar::leaveEvent(QEvent*) {
    OnMouseLeave();
}

int GvpVirtualKey(int qtKey) {
    return platform::qt::VirtualKeyFromQtKey(qtKey);
}

QChar GvpKeyChar(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QChar(vk);
    if (vk >= platform::qt::VK_NUMPAD0 && vk <= platform::qt::VK_NUMPAD9)
        return QChar('0' + vk - platform::qt::VK_NUMPAD0);
    if (vk == platform::qt::VK_SPACE)
        return QChar(' ');
    return QChar();
}
