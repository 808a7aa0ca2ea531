#include "controls/commandbars/popup_bar.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/key_names.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/shadow.h"
#include "controls/commandbars/sound.h"

#include <QApplication>
#include <QEventLoop>
#include <QPainter>
#include <QRandomGenerator>
#include <optional>

namespace {
std::optional<QRect> g_workAreaOverride;
constexpr int kArrowHeight = 16;
} // namespace

CGVPPopupBar::CGVPPopupBar() {
    type_ = gvpBarTypePopup;
    position_ = gvpBarPopup;
    // A popup never takes the focus and is placed by the toolkit, not the window manager.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
    scrollTimer_.setInterval(80);
    QObject::connect(&scrollTimer_, &QTimer::timeout, this, [this] { OnScrollTimer(scrollDown_); });
    QObject::connect(&animTimer_, &QTimer::timeout, this, [this] {
        if (++animStep_ >= (GetPaintManager() ? GetPaintManager()->m_nAnimationSteps : 10)) {
            animTimer_.stop();
            animType_ = 0;
        }
        update();
    });
}

CGVPPopupBar::~CGVPPopupBar() {
    scrollTimer_.stop();
    animTimer_.stop();
    if (tracking_)
        SetTrackingMode(0, false, false);
}

void CGVPPopupBar::SetWorkAreaOverride(const QRect* area) {
    if (area)
        g_workAreaOverride = *area;
    else
        g_workAreaOverride.reset();
}

QRect CGVPPopupBar::WorkAreaFor(const QRect& rect) {
    if (g_workAreaOverride)
        return *g_workAreaOverride;
    return GetWorkArea(rect);
}

CGVPCommandBar* CGVPPopupBar::GetParentCommandBar() const {
    return ownerControl_ ? ownerControl_->GetParent() : nullptr;
}

void CGVPPopupBar::UpdateHiddenCommands() {
    CGVPCommandBars* bars = GetCommandBars();
    if (!bars)
        return;
    const auto* o = bars->GetCommandBarsOptions();
    if (o->bAlwaysShowFullMenus) {
        for (int i = 0; i < GetControlCount(); ++i)
            GetControl(i)->SetRarelyUsed(false);
        showAll_ = true;
        return;
    }
    bool anyUnmarked = false;
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        c->SetRarelyUsed(bars->IsCommandHidden(unsigned(c->GetID())));
        anyUnmarked |= !c->IsRarelyUsed();
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        int mask = c->GetHiddenMask() & ~kHideExpand;
        if (c->IsRarelyUsed() && !showAll_ && anyUnmarked) {
            mask |= kHideExpand;
            hasHiddenCommands_ = true;
        }
        if (mask != c->GetHiddenMask())
            c->SetHiddenMask(mask);
    }
}

void CGVPPopupBar::ComputeAnchor() {
    direction_ = 0;
    if (!ownerControl_)
        return;
    CGVPCommandBar* bar = ownerControl_->GetParent();
    if (ownerControl_->GetFlags() & kFlagPopupRight)
        direction_ = 1;
    const int pos = bar ? bar->GetPosition() : gvpBarNone;
    if (pos == gvpBarTop || pos == gvpBarBottom || pos == gvpBarFloating || pos == gvpBarNone)
        direction_ |= 2;
    else if (pos == gvpBarRight)
        direction_ |= 1;
    else if (pos == gvpBarPopup) {
        auto* parentPopup = dynamic_cast<CGVPPopupBar*>(bar);
        if (parentPopup && parentPopup->GetType() == gvpBarTypePopup &&
            (parentPopup->direction_ & 1))
            direction_ |= 1;
    }
    QRect r = ownerControl_->GetRect();
    if (bar)
        r.moveTopLeft(bar->mapToGlobal(r.topLeft()));
    if (ownerControl_->GetType() == gvpControlComboBox && bar &&
        bar->GetType() != gvpBarTypePopup) {
        direction_ = 2;
    } else if (CGVPPaintManager* pm = GetPaintManager()) {
        pm->AdjustExcludeRect(r, ownerControl_);
    }
    exclude_ = r;
    const bool down = direction_ & 2;
    anchor_ = QPoint(down ? r.left() : r.left() + r.width(), down ? r.top() + r.height() : r.top());
}

QRect CGVPPopupBar::PlacePopup(QSize size, const QRect& wa, bool& scroll) {
    scroll = false;
    const int waLeft = wa.left(), waTop = wa.top();
    const int waRight = wa.left() + wa.width();
    const int waBottom = wa.top() + wa.height() - 5;
    const bool hasEx = !exclude_.isNull();
    const int exL = exclude_.left(), exT = exclude_.top();
    const int exR = exL + exclude_.width(), exB = exT + exclude_.height();
    int w = size.width(), h = size.height();
    int x = anchor_.x(), y = anchor_.y();
    if (direction_ == 3 && hasEx)
        x = exR - w;
    else if ((direction_ & 1) && hasEx)
        x = exL - w;
    if (!hasEx && y > waBottom) {
        y -= h;
    } else if (y + h > waBottom) {
        if (!hasEx) {
            if (anchor_.y() < waTop + wa.height() / 2)
                y = waBottom - h;
            else
                y = anchor_.y() - h;
        } else if (direction_ & 2) {
            y = exT - h;
            if (y < waTop) {
                scroll = true;
                if ((exT + exB) / 2 <= waTop + wa.height() / 2) {
                    y = exB;
                    h = waBottom - exB;
                } else {
                    y = waTop;
                    h = exT - waTop;
                }
            }
        } else {
            y = waBottom - h;
        }
    }
    if (y < waTop)
        y = waTop;
    if (y + h > waBottom) {
        h = waBottom - y;
        scroll = true;
    }
    if (x + w > waRight) {
        if (hasEx) {
            x = (direction_ & 2) ? waRight - w : exL - w;
            direction_ |= 1;
        } else {
            x = anchor_.x() > waRight ? anchor_.x() - w : waRight - w;
        }
    }
    if (x < waLeft && hasEx) {
        x = (direction_ & 2) ? waLeft : exR;
        direction_ &= ~1;
    }
    return QRect(x, y, w, h);
}

bool CGVPPopupBar::Popup(QPoint point, const QRect* exclude) {
    anchor_ = point;
    exclude_ = exclude ? *exclude : QRect();
    ownerControl_ = nullptr;
    direction_ = 0;
    return Popup(nullptr, false);
}

bool CGVPPopupBar::Popup(CGVPControl* owner, bool keyboard) {
    GVPRef<CGVPCommandBar> hold(this);
    if (owner)
        ownerControl_ = owner;
    hasHiddenCommands_ = false;
    auto* mm = CGVPMouseManager::GetMouseManager();
    showAll_ = IsCustomizeMode() || mm->IsExpanded();
    if (type_ == gvpBarTypePopup)
        UpdateHiddenCommands();
    if (ownerControl_)
        ComputeAnchor();
    const QSize size = CalcDynamicLayout(-1, 0);
    bool scroll = false;
    const QRect area = WorkAreaFor(exclude_.isNull() ? QRect(anchor_, QSize(1, 1)) : exclude_);
    const QRect place = PlacePopup(size, area, scroll);
    scrolling_ = scroll;
    setGeometry(place);
    if (scrolling_) {
        firstVisible_ = 0;
        ScrollLayout(true);
    }
    SetTrackingMode(1, keyboard, false);
    pending_ &= ~1;
    show();
    raise();
    OnIdleUpdateCmdUI();

    CGVPCommandBar* parent = GetParentCommandBar();
    const int animation = GetAnimationType();
    if ((!parent || parent->IsMouseStarted()) && !IsCustomizeMode() && animation >= 2 &&
        animation <= 4)
        StartAnimation(animation);
    if (parent)
        parent->ClearMouseStarted();
    if (auto* player = GetMenuSoundPlayer())
        player->Play(CGVPMenuSoundPlayer::MenuPopup);
    CGVPPaintManager* pm = GetPaintManager();
    if (position_ == gvpBarPopup && shadow_ && pm && pm->HasShadows())
        if (auto* shadows = GetShadowsManager()) {
            shadows->RemoveShadows(this);
            shadows->SetShadows(this, exclude_);
        }
    return true;
}

void CGVPPopupBar::StartAnimation(int type) {
    animType_ = type;
    animStep_ = 0;
    CGVPPaintManager* pm = GetPaintManager();
    const int steps = pm ? pm->m_nAnimationSteps : 10;
    const int time = pm ? pm->m_nAnimationTime : 100;
    animTimer_.start(std::max(1, time / std::max(1, steps)));
}

void CGVPPopupBar::paintEvent(QPaintEvent* event) {
    if (!animType_) {
        CGVPCommandBar::paintEvent(event);
        return;
    }
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&buffer);
        DrawCommandBar(p);
    }
    QPainter screen(this);
    if (CGVPPaintManager* pm = GetPaintManager())
        screen.drawImage(0, 0, pm->AnimateFrame(buffer, QImage(), animType_, animStep_));
}

int CGVPPopupBar::GetAnimationType() const {
    CGVPCommandBars* bars = GetCommandBars();
    if (!bars)
        return 5;
    const int option = bars->GetCommandBarsOptions()->animationType;
    if (option == 0) {
        if (!QApplication::isEffectEnabled(Qt::UI_AnimateMenu))
            return 0;
        return QApplication::isEffectEnabled(Qt::UI_FadeMenu) ? 4 : 3;
    }
    if (option == 1) {
        switch (QRandomGenerator::global()->bounded(3)) {
        case 0:
            return 4;
        case 1:
            return 3;
        default:
            return 2;
        }
    }
    return option;
}

void CGVPPopupBar::ExpandHiddenCommands() {
    if (showAll_ || !hasHiddenCommands_)
        return;
    expanding_ = true;
    showAll_ = true;
    ignoreButtonUp_ = true;
    SetPopuped(-1);
    SetSelected(-1);
    UpdateHiddenCommands();
    DelayLayout();
    CGVPMouseManager::GetMouseManager()->SetExpanded(true);
    if (auto* player = GetMenuSoundPlayer())
        player->Play(CGVPMenuSoundPlayer::MenuPopup);
    expanding_ = false;
}

int CGVPPopupBar::TrackPopupMenu(const GVPMenu* menu, int flags, int x, int y, CGVPFrameSite* owner,
                                 const QRect* exclude, CGVPCommandBars* bars) {
    auto* popup = new CGVPPopupBar;
    GVPRef<CGVPCommandBar> release;
    popup->SetOwnerSite(owner);
    popup->SetCommandTarget(owner);
    popup->SetCommandBars(bars);
    if (!popup->LoadMenu(menu)) {
        popup->InternalRelease();
        return 0;
    }
    int result = 0;
    if (flags & 0x100)
        popup->SetModalResult(&result);
    if (!popup->Popup(QPoint(x, y), exclude)) {
        popup->InternalRelease();
        return 0;
    }
    if (popup->IsTrackingMode()) {
        QEventLoop loop;
        popup->onTrackingEnded = [&loop] { loop.quit(); };
        loop.exec();
        popup->onTrackingEnded = nullptr;
    }
    popup->SetModalResult(nullptr);
    popup->InternalRelease();
    return (flags & 0x100) ? result : 1;
}

bool CGVPPopupBar::SetTrackingMode(int mode, bool selectFirst, bool keyboard) {
    GVPRef<CGVPCommandBar> hold(this);
    const bool wasTracking = tracking_ != 0;
    const bool changed = CGVPCommandBar::SetTrackingMode(mode, selectFirst, keyboard);
    if (mode == 0 && wasTracking) {
        scrollTimer_.stop();
        animTimer_.stop();
        animType_ = 0;
        if (auto* shadows = GetShadowsManager())
            shadows->RemoveShadows(this);
        hide();
        SetSelected(-1);
        if (CGVPCommandBar* parent = GetParentCommandBar()) {
            CGVPControl* open = parent->GetControl(parent->GetPopupedIndex());
            auto* popupControl = dynamic_cast<CGVPControlPopup*>(open);
            if (popupControl && popupControl->GetCommandBar() == this)
                parent->SetPopuped(-1);
        }
        if (CGVPFrameSite* site = GetSite())
            if (QWidget* w = site->SiteWindow())
                w->update();
        ownerControl_ = nullptr;
        if (onTrackingEnded)
            onTrackingEnded();
    }
    return changed;
}

bool CGVPPopupBar::SetSelected(int index, bool keyboard) {
    CGVPControl* c = GetControl(index);
    if (scrolling_ && c && (c->GetHiddenMask() & kHideScroll))
        ScrollTo(index);
    return CGVPCommandBar::SetSelected(index, keyboard);
}

void CGVPPopupBar::DelayLayout() {
    if (!isVisible())
        return;
    const QSize size = CalcDynamicLayout(-1, 0);
    if (!scrolling_)
        resize(size);
    else
        ScrollLayout(true);
    update();
}

void CGVPPopupBar::OnControlsChanged() {
    CGVPCommandBar::OnControlsChanged();
    expandItem_ = nullptr;
}

int CGVPPopupBar::OnHookKeyDown(int vk) {
    if (hasHiddenCommands_ && !showAll_ && vk == gvpkey::Down) {
        const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
        const int next = controls_->GetNext(selected_, 1);
        if (ctrl || (selected_ != -1 && next <= selected_)) {
            ExpandHiddenCommands();
            return 1;
        }
    }
    return CGVPCommandBar::OnHookKeyDown(vk);
}

QSize CGVPPopupBar::CalcDynamicLayout(int, int mode) {
    inLayout_ = true;
    // List placeholders expand before every layout.
    for (int i = GetControlCount() - 1; i >= 0; --i)
        if (CGVPControl* c = GetControl(i))
            c->OnCalcDynamicSize(mode);
    CGVPPaintManager* pm = GetPaintManager();
    const QRect wa = WorkAreaFor(exclude_.isNull() ? QRect(anchor_, QSize(1, 1)) : exclude_);
    const QMargins m = pm ? pm->GetCommandBarBorders(this) : QMargins(2, 2, 2, 2);
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter dc(&scratch);
    const int separator = (pm && GetControlCount())
                              ? pm->DrawCommandBarSeparator(dc, this, GetControl(0), false).height()
                              : 0;
    // Shortcut texts follow the frame's accelerators.
    const GVPAcceleratorTable* accel = nullptr;
    if (CGVPFrameSite* site = GetSite())
        accel = site->GetAccelerators();
    int y = m.top();
    int widest = 0;
    bool placed = false;
    int bottom = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        if (c->GetHiddenMask() & kHideScroll)
            c->SetHiddenMask(c->GetHiddenMask() & ~kHideScroll);
        if (c->GetHiddenMask() != 0)
            continue;
        if (accel) {
            QString text = c->GetShortcutText();
            if (CGVPShortcutManager::FindShortcut(unsigned(c->GetID()), text, accel))
                c->SetShortcutText(text);
        }
        if (c->GetBeginGroup() && placed)
            y += separator;
        if (pm)
            dc.setFont(pm->GetControlFont(this, c->IsDefaultItem()));
        QSize s = c->GetSize(dc);
        const int w = std::min(s.width(), (wa.left() + wa.width()) / 3);
        c->SetRect(QRect(m.left(), y, w, s.height()));
        c->SetWrap(false);
        widest = std::max(widest, w);
        y += s.height();
        bottom = y;
        placed = true;
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        CGVPControl* c = GetControl(i);
        if (c->GetHiddenMask() == 0) {
            QRect r = c->GetRect();
            r.setWidth(widest);
            c->SetRect(r);
        }
    }
    inLayout_ = false;
    return QSize(m.left() + m.right() + std::max(widest, 22), (placed ? bottom : 22) + m.bottom());
}

void CGVPPopupBar::ScrollLayout(bool) {
    CGVPPaintManager* pm = GetPaintManager();
    const QMargins m = pm ? pm->GetCommandBarBorders(this) : QMargins(2, 2, 2, 2);
    const int n = GetControlCount();
    const int bottom = height() - m.bottom();
    if (firstVisible_ < 0)
        firstVisible_ = 0;
    int y = m.top() + (firstVisible_ > 0 ? kArrowHeight : 0);
    int end = firstVisible_;
    bool placed = false;
    for (int i = 0; i < n; ++i) {
        CGVPControl* c = GetControl(i);
        const int mask = c->GetHiddenMask() & ~kHideScroll;
        if (mask != 0)
            continue;
        if (i < firstVisible_) {
            c->SetHiddenMask(mask | kHideScroll);
            continue;
        }
        const int h = c->GetRect().height();
        const bool lastRoom = (end == i) && y + h <= bottom - kArrowHeight;
        if (end == i && lastRoom) {
            QRect r = c->GetRect();
            r.moveTop(y);
            c->SetRect(r);
            c->SetHiddenMask(mask);
            y += h;
            end = i + 1;
            placed = true;
        } else {
            c->SetHiddenMask(mask | kHideScroll);
        }
    }
    if (!placed && firstVisible_ < n)
        end = firstVisible_;
    endVisible_ = end;
    upperArrow_ = firstVisible_ > 0
                      ? QRect(m.left(), m.top(), width() - m.left() - m.right(), kArrowHeight)
                      : QRect();
    bool more = false;
    for (int i = end; i < n; ++i)
        if ((GetControl(i)->GetHiddenMask() & ~kHideScroll) == 0)
            more = true;
    lowerArrow_ =
        more ? QRect(m.left(), bottom - kArrowHeight, width() - m.left() - m.right(), kArrowHeight)
             : QRect();
    update();
}

void CGVPPopupBar::ScrollTo(int index) {
    if (index < firstVisible_) {
        firstVisible_ = index;
    } else {
        for (int guard = 0; index >= endVisible_ && guard < GetControlCount(); ++guard) {
            ++firstVisible_;
            ScrollLayout(true);
        }
    }
    ScrollLayout(true);
}

void CGVPPopupBar::OnScrollTimer(bool down) {
    if (down) {
        if (lowerArrow_.isNull()) {
            scrollTimer_.stop();
            return;
        }
        ++firstVisible_;
    } else {
        if (firstVisible_ <= 0) {
            scrollTimer_.stop();
            return;
        }
        --firstVisible_;
    }
    ScrollLayout(down);
}

void CGVPPopupBar::OnMouseMoveAt(QPoint point) {
    if (CGVPCommandBar* parent = GetParentCommandBar())
        if (ownerControl_ && parent->GetSelectedIndex() != ownerControl_->GetIndex())
            parent->SetSelected(ownerControl_->GetIndex(), false);
    if (scrolling_) {
        if (lowerArrow_.contains(point) || upperArrow_.contains(point)) {
            scrollDown_ = lowerArrow_.contains(point);
            if (!scrollTimer_.isActive())
                scrollTimer_.start();
            return;
        }
        scrollTimer_.stop();
    }
    CGVPCommandBar::OnMouseMoveAt(point);
}

void CGVPPopupBar::DrawCommandBar(QPainter& dc) {
    CGVPCommandBar::DrawCommandBar(dc);
    if (!scrolling_)
        return;
    const QColor color = GetQColor(18);
    auto arrow = [&](const QRect& r, bool down) {
        if (r.isNull())
            return;
        const QPoint c = r.center();
        if (down)
            CGVPPaintManager::Triangle(dc, QPoint(c.x() - 4, c.y() - 2),
                                       QPoint(c.x() + 4, c.y() - 2), QPoint(c.x(), c.y() + 2),
                                       color);
        else
            CGVPPaintManager::Triangle(dc, QPoint(c.x() - 4, c.y() + 2),
                                       QPoint(c.x() + 4, c.y() + 2), QPoint(c.x(), c.y() - 2),
                                       color);
    };
    arrow(upperArrow_, false);
    arrow(lowerArrow_, true);
}

void CGVPPopupBar::Copy(const CGVPCommandBar* from, bool recursive) {
    CGVPCommandBar::Copy(from, recursive);
    if (auto* p = dynamic_cast<const CGVPPopupBar*>(from))
        margins_ = p->margins_;
}

CGVPPopupBar::CGVPControlExpandButton::CGVPControlExpandButton() {
    SetFlags(kFlagSkipFocus | kFlagNoUpdate | kFlagNoMovable);
}

void CGVPPopupBar::CGVPControlExpandButton::Execute() {
    if (auto* bar = dynamic_cast<CGVPPopupBar*>(GetParent()))
        bar->ExpandHiddenCommands();
}

void CGVPPopupBar::CGVPControlExpandButton::OnClick(bool, QPoint) {
    Execute();
}

CGVPPopupToolBar::CGVPPopupToolBar() {
    type_ = gvpBarTypeNormal;
}

QSize CGVPPopupToolBar::CalcDynamicLayout(int, int) {
    const QMargins m(margins_.x(), margins_.y(), margins_.width(), margins_.height());
    return controls_->CalcDynamicSize(nullptr, 32767, LM_POPUP | LM_COMMIT | LM_HORZ, m, 0);
}
