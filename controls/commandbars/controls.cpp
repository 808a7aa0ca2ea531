#include "controls/commandbars/controls.h"

#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/resources.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <optional>

namespace {

constexpr int kGroupGap = 6;

// The popup bar for a popup control: the frame may supply one, else a new one.
CGVPCommandBar* MakePopupBar(CGVPControls* controls, QString& caption, unsigned id) {
    CGVPCommandBar* bar = controls->GetCommandBar();
    CGVPFrameSite* site = nullptr;
    if (!bar && controls->GetCommandBars())
        site = controls->GetCommandBars()->GetSite();
    else if (bar)
        site = bar->GetSite();
    if (site) {
        GVP_CREATE_COMMANDBAR_INFO info;
        info.bPopup = true;
        info.strCaption = caption;
        info.nID = id;
        if (site->OnCreateCommandBar(info) && dynamic_cast<CGVPPopupBar*>(info.pCommandBar)) {
            caption = info.strCaption;
            return info.pCommandBar;
        }
        if (info.pCommandBar)
            info.pCommandBar->InternalRelease();
    }
    auto* popup = new CGVPPopupBar;
    popup->SetCommandBars(controls->GetCommandBars());
    return popup;
}

} // namespace

CGVPControls::~CGVPControls() {
    RemoveAll();
    if (savedDeep_)
        savedDeep_->InternalRelease();
    if (savedShallow_)
        savedShallow_->InternalRelease();
}

CGVPControl* CGVPControls::GetAt(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return controls_[size_t(index)];
}

CGVPControl* CGVPControls::GetNextInOrder(const CGVPControl* control) const {
    if (!control || control->controls_ != this)
        return nullptr;
    return GetAt(control->index_ + 1);
}

CGVPControl* CGVPControls::Add(int type, unsigned id, const QString& parameter, int before,
                               bool temporary) {
    CGVPControl* control = nullptr;
    switch (type) {
    case gvpControlButton:
        control = new CGVPControlButton;
        break;
    case gvpControlComboBox:
        control = new CGVPControlComboBox;
        break;
    case gvpControlEdit:
        control = new CGVPControlEdit;
        break;
    case gvpControlCustom:
        // Hosted windows are created by their owners; nothing of this system asks for one.
        return nullptr;
    default: {
        auto* popup = new CGVPControlPopup;
        QString caption;
        GVPMenuPtr submenu;
        if (id > 0) {
            if (auto menu = CGVPResources::Instance().FindMenu(id)) {
                submenu = menu->FirstSubmenu();
                if (!menu->items.empty())
                    caption = menu->items.front().text.left(1024);
            }
        }
        CGVPCommandBar* bar = MakePopupBar(this, caption, id);
        popup->SetCaption(caption);
        if (submenu)
            bar->LoadMenu(submenu.get());
        popup->SetCommandBar(bar);
        bar->InternalRelease(); // the control holds it now
        control = popup;
        break;
    }
    }
    control->SetType(type);
    control->SetParameter(parameter);
    control->SetTemporary(temporary);
    if (type != gvpControlPopup)
        control->SetID(id);
    before = (before < 0 || before > GetCount()) ? GetCount() : before;
    controls_.insert(controls_.begin() + before, control);
    Reindex();
    return control;
}

CGVPControl* CGVPControls::AddControl(CGVPControl* control, unsigned id, const QString& parameter,
                                      int before, bool temporary) {
    control->SetParameter(parameter);
    control->SetTemporary(temporary);
    control->SetID(id);
    before = (before < 0 || before > GetCount()) ? GetCount() : before;
    controls_.insert(controls_.begin() + before, control);
    Reindex();
    return control;
}

CGVPControl* CGVPControls::InsertClone(const CGVPControl* control, int before, bool recursive) {
    CGVPControl* copy = control->Clone(recursive);
    before = (before < 0 || before > GetCount()) ? GetCount() : before;
    controls_.insert(controls_.begin() + before, copy);
    Reindex();
    return copy;
}

void CGVPControls::Append(CGVPControl* control) {
    controls_.push_back(control);
}

CGVPControl* CGVPControls::CreateControlForItem(const GVPMenu* menu, int position) {
    if (!menu || position < 0 || position >= int(menu->items.size()))
        return nullptr;
    const GVPMenuItem& item = menu->items[size_t(position)];
    if (item.id == 0xFF00)
        return nullptr;
    unsigned id = item.id;
    QString text = item.text.left(1024);
    int type = item.submenu ? gvpControlPopup : gvpControlButton;

    CGVPFrameSite* site = nullptr;
    if (!bar_)
        site = commandBars_ ? commandBars_->GetSite() : nullptr;
    else
        site = bar_->GetSite();
    CGVPControl* control = nullptr;
    if (site) {
        GVP_CREATE_CONTROL_INFO info;
        info.nID = id;
        info.bToolBar = false;
        info.nIndex = position;
        info.pMenu = menu;
        info.pCommandBar = bar_;
        info.strCaption = text;
        info.controlType = type;
        if (site->OnCreateControl(info)) {
            id = info.nID;
            text = info.strCaption;
            type = info.controlType;
            control = info.pControl;
        }
    }
    if (!control) {
        switch (type) {
        case gvpControlButton:
            if (id == 35000)
                control = new CGVPControlWindowList;
            else if (id == 59392)
                control = new CGVPControlToolbars;
            else if (id == 57872 && text == "<<OLE VERBS GO HERE>>")
                control = new CGVPControlOleItems;
            else if (id == 57616)
                control = new CGVPControlRecentFileList;
            else
                control = new CGVPControlButton;
            break;
        case gvpControlComboBox:
            control = new CGVPControlComboBox;
            break;
        case gvpControlEdit:
            control = new CGVPControlEdit;
            break;
        case gvpControlPopup:
        case gvpControlButtonPopup:
        case gvpControlSplitButtonPopup: {
            auto* popup = new CGVPControlPopup;
            QString caption = CGVPPaintManager::StripMnemonics(text);
            CGVPCommandBar* bar = MakePopupBar(this, caption, id);
            bar->SetTitle(caption);
            if (item.submenu) {
                bar->LoadMenu(item.submenu.get());
            } else if (id > 0) {
                if (auto res = CGVPResources::Instance().FindMenu(id))
                    if (auto sub = res->FirstSubmenu())
                        bar->LoadMenu(sub.get());
            }
            popup->SetCommandBar(bar);
            bar->InternalRelease();
            control = popup;
            break;
        }
        default:
            return nullptr; // only types 1 to 6 can be created for an item
        }
        control->SetType(type);
    }
    control->SetID(id);
    control->SetCaptionWithShortcut(text);
    control->SetItemDefault(item.isDefault);
    Append(control);
    Reindex();
    return control;
}

void CGVPControls::Remove(CGVPControl* control) {
    if (!control || control->controls_ != this)
        return;
    if (bar_ && bar_->GetSelectedIndex() == control->index_ &&
        GetAt(bar_->GetSelectedIndex()) == control)
        bar_->SetSelected(-1);
    if (bar_ && bar_->GetKeyboardTarget() == control)
        bar_->SetKeyboardTarget(nullptr);
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end())
        return;
    controls_.erase(it);
    control->controls_ = nullptr;
    control->SetParent(nullptr);
    control->InternalRelease();
    Reindex();
}

void CGVPControls::RemoveAll() {
    std::vector<CGVPControl*> old;
    old.swap(controls_);
    for (CGVPControl* c : old) {
        if (bar_ && bar_->GetKeyboardTarget() == c)
            bar_->SetKeyboardTarget(nullptr);
        c->controls_ = nullptr;
        c->SetParent(nullptr);
        c->InternalRelease();
    }
}

CGVPControl* CGVPControls::FindControl(int type, int id, bool visibleOnly, bool recursive) const {
    for (CGVPControl* c : controls_) {
        if ((type == 0 || c->GetType() == type) && (id == -1 || c->GetID() == id) &&
            (!visibleOnly || c->GetHiddenMask() == 0))
            return c;
        if (recursive && c->GetType() >= gvpControlPopup &&
            c->GetType() <= gvpControlSplitButtonPopup) {
            auto* popup = static_cast<CGVPControlPopup*>(c);
            if (popup->GetCommandBar() && popup->GetCommandBar()->GetControls())
                if (CGVPControl* found = popup->GetCommandBar()->GetControls()->FindControl(
                        type, id, visibleOnly, recursive))
                    return found;
        }
    }
    return nullptr;
}

CGVPControl* CGVPControls::HitTest(QPoint point) const {
    for (CGVPControl* c : controls_)
        if (c->GetHiddenMask() == 0 && c->GetRect().contains(point))
            return c;
    return nullptr;
}

int CGVPControls::GetNext(int index, int step, bool skipFlagged) const {
    const int n = GetCount();
    if (n == 0)
        return -1;
    int pos = index + step;
    if (index == -1 && step == -1)
        pos = n - 1;
    for (int guard = 0; guard <= n + 1; ++guard) {
        if (pos >= n) {
            if (index == -1 && step == 1)
                return -1;
            pos = 0;
        }
        if (pos < 0) {
            if (index == -1 && step == -1)
                return -1;
            pos = n - 1;
        }
        if (pos == index)
            return index;
        const CGVPControl* c = controls_[size_t(pos)];
        if ((c->GetHiddenMask() & ~kHideScroll) == 0 &&
            (!skipFlagged || !(c->GetFlags() & kFlagSkipFocus)))
            return pos;
        pos += step;
    }
    return index;
}

int CGVPControls::GetVisibleCount(bool strict) const {
    int count = 0;
    for (const CGVPControl* c : controls_)
        if (strict ? c->GetHiddenMask() == 0 : (c->GetHiddenMask() & ~kHideWrap) == 0)
            ++count;
    return count;
}

void CGVPControls::SetCommandBar(CGVPCommandBar* bar) {
    bar_ = bar;
    if (!controls_.empty())
        Reindex();
}

void CGVPControls::Reindex() {
    for (size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->index_ = int(i);
        controls_[i]->controls_ = this;
        controls_[i]->SetParent(bar_);
    }
    if (bar_)
        bar_->OnControlsChanged();
}

CGVPControls* CGVPControls::Duplicate(bool recursive) const {
    auto* copy = new CGVPControls;
    copy->commandBars_ = GetCommandBars();
    for (const CGVPControl* c : controls_)
        copy->Append(c->Clone(recursive));
    copy->Reindex();
    if (savedDeep_)
        copy->savedDeep_ = savedDeep_->Duplicate(true);
    if (savedShallow_)
        copy->savedShallow_ = savedShallow_->Duplicate(false);
    return copy;
}

void CGVPControls::SaveOriginalControls() {
    if (savedDeep_)
        savedDeep_->InternalRelease();
    if (savedShallow_)
        savedShallow_->InternalRelease();
    savedDeep_ = savedShallow_ = nullptr;
    savedShallow_ = Duplicate(false);
    savedDeep_ = Duplicate(true);
}

bool CGVPControls::IsEqual(const CGVPControls* other) const {
    if (!other)
        return false;
    size_t i = 0, j = 0;
    for (;;) {
        while (i < controls_.size() && controls_[i]->IsTemporary())
            ++i;
        while (j < other->controls_.size() && other->controls_[j]->IsTemporary())
            ++j;
        const bool endA = i >= controls_.size(), endB = j >= other->controls_.size();
        if (endA || endB)
            return endA && endB;
        if (!controls_[i]->IsEqual(other->controls_[j]))
            return false;
        ++i;
        ++j;
    }
}

CGVPCommandBars* CGVPControls::GetCommandBars() const {
    if (bar_)
        return bar_->GetCommandBars();
    return commandBars_;
}

// --- layout ---------------------------------------------------------------------------------

int CGVPControls::Wrap(int length) {
    const bool vertical = (mode_ & LM_VERTDOCK) != 0;
    auto extent = [vertical](const LayoutRecord& r) {
        return vertical ? r.size.height() : r.size.width();
    };
    int position = 0;
    bool first = true;
    int wraps = 0;
    const int n = int(records_.size());
    for (int i = 0; i < n; ++i) {
        LayoutRecord& r = records_[size_t(i)];
        r.wrap = false;
        r.overflow = false;
        if (!r.visible)
            continue;
        position += extent(r) + ((r.beginGroup && !first) ? kGroupGap : 0);
        if (position > length) {
            if ((mode_ & LM_HIDEWRAP) && !first) {
                for (int j = i; j < n; ++j) {
                    records_[size_t(j)].overflow = true;
                    records_[size_t(j)].wrap = false;
                }
                mode_ |= LM_STRETCH;
                break;
            }
            int point = i;
            for (int j = i; j >= 0; --j) {
                const LayoutRecord& b = records_[size_t(j)];
                if (b.wrap)
                    break;
                if (b.visible && b.beginGroup) {
                    point = j;
                    break;
                }
            }
            records_[size_t(point)].wrap = true;
            position = extent(records_[size_t(point)]);
            ++wraps;
            if (!(mode_ & LM_HIDEWRAP))
                mode_ |= LM_STRETCH;
            i = point;
        }
        first = false;
    }
    return wraps + 1;
}

QSize CGVPControls::Arrange(bool vertical) {
    int x = 0, y = 0, line = 0;
    int w = 0, h = 0;
    bool firstPlaced = true;
    for (LayoutRecord& r : records_) {
        if (!r.visible || r.overflow)
            continue;
        const int cw = r.size.width(), ch = r.size.height();
        if (!vertical) {
            if (r.wrap) {
                y += line + (r.beginGroup ? kGroupGap : 0);
                x = 0;
                line = 0;
            } else if (r.beginGroup && !firstPlaced) {
                x += kGroupGap;
            }
            line = std::max(line, ch);
            r.rect = QRect(x, y, cw, ch);
            w = std::max(w, x + cw);
            h = std::max(h, y + ch);
            x += cw;
        } else {
            if (r.wrap) {
                x -= line + (r.beginGroup ? kGroupGap : 0);
                y = 0;
                line = 0;
            } else if (r.beginGroup && !firstPlaced) {
                y += kGroupGap;
            }
            line = std::max(line, cw);
            r.rect = QRect(x - cw, y, cw, ch);
            w = std::max(w, cw - x);
            h = std::max(h, y + ch);
            y += ch;
        }
        firstPlaced = false;
    }
    return {w, h};
}

void CGVPControls::FitLength(int length) {
    if (!(mode_ & LM_LENGTHY)) {
        const int rows = Wrap(length);
        if (Wrap(0) != rows && length > 0) {
            int low = 0, high = length;
            while (low < high) {
                const int middle = (low + high) / 2;
                if (Wrap(middle) == rows) {
                    high = middle;
                } else if (low == middle) {
                    Wrap(high);
                    break;
                } else {
                    low = middle;
                }
            }
            if (low >= high)
                Wrap(high);
        } else {
            Wrap(length);
        }
        Wrap(Arrange(false).width());
        return;
    }
    Wrap(0);
    QSize narrow = Arrange(false);
    int low = narrow.width();
    int lowHeight = narrow.height();
    Wrap(32767);
    int high = Arrange(false).width();
    for (int guard = 0; low < high && guard < 64; ++guard) {
        const int middle = (low + high) / 2;
        Wrap(middle);
        const QSize s = Arrange(false);
        if (s.height() > length) {
            if (s.width() == low && s.height() == lowHeight) {
                Wrap(high);
                break;
            }
            low = s.width();
            lowHeight = s.height();
        } else if (s.height() < length) {
            if (s.width() >= high)
                break;
            high = s.width();
        } else {
            break;
        }
    }
}

void CGVPControls::Align(const QMargins& border, const QSize& size, bool vertical) {
    const int n = int(records_.size());
    bool singleRow = true;
    bool seen = false;
    for (const LayoutRecord& r : records_) {
        if (!r.visible || r.overflow)
            continue;
        if (seen && r.wrap)
            singleRow = false;
        seen = true;
    }
    for (LayoutRecord& r : records_)
        if (r.visible && !r.overflow)
            r.rect.translate(border.left() + (vertical ? size.width() : 0), border.top());
    int i = 0;
    while (i < n) {
        // One row: from a record up to the next wrapping one.
        int end = i;
        int thickness = 0;
        bool firstInRow = true;
        for (; end < n; ++end) {
            const LayoutRecord& r = records_[size_t(end)];
            if (!r.visible || r.overflow)
                continue;
            if (r.wrap && !firstInRow)
                break;
            firstInRow = false;
            thickness = std::max(thickness, vertical ? r.rect.width() : r.rect.height());
        }
        if (singleRow)
            thickness = vertical ? size.width() : size.height();
        int lineRight = 0;
        for (int k = i; k < end; ++k) {
            const LayoutRecord& r = records_[size_t(k)];
            if (r.visible && !r.overflow)
                lineRight = std::max(lineRight, r.rect.left() + r.rect.width());
        }
        for (int k = i; k < end; ++k) {
            LayoutRecord& r = records_[size_t(k)];
            if (!r.visible || r.overflow)
                continue;
            if (!vertical) {
                r.rowRect = QRect(border.left(), r.rect.top(), size.width(), thickness);
                r.rect.translate(0, (thickness - r.rect.height()) / 2);
            } else {
                // Columns are arranged flush right: centre within the column's extent.
                const int right = lineRight;
                r.rowRect = QRect(right - thickness, border.top(), thickness, size.height());
                r.rect.moveLeft(right - thickness + (thickness - r.rect.width()) / 2);
            }
        }
        i = std::max(end, i + 1);
    }
}

void CGVPControls::PlaceTrailing(const QMargins& border, const QSize& size, bool vertical) {
    int farEnd = vertical ? size.height() - border.bottom() : size.width() - border.right();
    int firstVisible = -1;
    for (int k = 0; k < int(records_.size()); ++k)
        if (records_[size_t(k)].visible && !records_[size_t(k)].overflow) {
            firstVisible = k;
            break;
        }
    for (int k = int(records_.size()) - 1; k >= 0; --k) {
        LayoutRecord& r = records_[size_t(k)];
        if (!r.visible || r.overflow)
            continue;
        if (!(controls_[size_t(k)]->GetFlags() & kFlagRightAlign))
            break;
        const int extent = vertical ? r.rect.height() : r.rect.width();
        const int start = farEnd - extent;
        if (start < (vertical ? border.top() : border.left()))
            break;
        if (vertical)
            r.rect.moveTop(start);
        else
            r.rect.moveLeft(start);
        farEnd = start;
        if (r.wrap || k == firstVisible)
            break;
    }
}

QSize CGVPControls::CalcDynamicSize(QPainter* dc, int length, int mode, const QMargins& border,
                                    int minWidth) {
    for (int i = GetCount() - 1; i >= 0; --i)
        if (CGVPControl* c = GetAt(i))
            c->OnCalcDynamicSize(mode);
    mode_ = mode;
    if (GetVisibleCount(false) == 0) {
        QSize size(border.left() + border.right() + 23, border.top() + border.bottom() + 22);
        if (mode & LM_HORZDOCK)
            size.setHeight(std::max(size.height(), minWidth));
        else
            size.setWidth(std::max(size.width(), minWidth));
        return size;
    }
    QImage scratch;
    std::optional<QPainter> own;
    if (!dc) {
        scratch = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        own.emplace(&scratch);
        dc = &*own;
    }
    CGVPPaintManager* pm = bar_ ? bar_->GetPaintManager() : ::GetPaintManager();
    records_.assign(controls_.size(), LayoutRecord{});
    for (size_t i = 0; i < controls_.size(); ++i) {
        CGVPControl* c = controls_[i];
        LayoutRecord& r = records_[i];
        r.rect = c->GetRect();
        r.visible = (c->GetHiddenMask() & ~kHideWrap) == 0;
        r.beginGroup = c->GetBeginGroup();
        if (r.visible) {
            if (pm && bar_)
                dc->setFont(pm->GetControlFont(bar_, c->IsDefaultItem()));
            r.size = c->GetSize(*dc);
        }
    }
    if (mode & LM_MRUWIDTH)
        length = bar_ ? bar_->GetRememberedWidth() : length;
    if (mode & LM_POPUP) {
        const int remembered = bar_ ? bar_->GetRememberedWidth() : 32767;
        Wrap(remembered);
        Wrap(Arrange(false).width());
    } else if (mode & LM_HORZDOCK) {
        Wrap(length - border.left() - border.right());
    } else if (mode & LM_VERTDOCK) {
        Wrap(length - border.top() - border.bottom());
    } else {
        FitLength(length - ((mode & LM_LENGTHY) ? border.top() + border.bottom()
                                                : border.left() + border.right()));
    }
    const bool vertical = (mode & LM_VERTDOCK) != 0;
    QSize size = Arrange(vertical);
    if (minWidth > 0) {
        if (mode & LM_HORZDOCK)
            size.setHeight(std::max(size.height(), minWidth - border.top() - border.bottom()));
        else
            size.setWidth(std::max(size.width(), minWidth - border.left() - border.right()));
    }
    // Wrapping stretches a docked bar over its row; a floating bar keeps its own width.
    if ((mode & LM_STRETCH) || ((mode_ & LM_STRETCH) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))) {
        if (vertical)
            size.setHeight(std::max(size.height(), length - border.top() - border.bottom()));
        else
            size.setWidth(std::max(size.width(), length - border.left() - border.right()));
    }
    if (mode & LM_COMMIT)
        Align(border, size, vertical);
    size += QSize(border.left() + border.right(), border.top() + border.bottom());
    if (mode & LM_COMMIT) {
        PlaceTrailing(border, size, vertical);
        for (size_t i = 0; i < controls_.size(); ++i) {
            CGVPControl* c = controls_[i];
            const LayoutRecord& r = records_[i];
            const int mask =
                r.overflow ? (c->GetHiddenMask() | kHideWrap) : (c->GetHiddenMask() & ~kHideWrap);
            if (mask != c->GetHiddenMask())
                c->SetHiddenMask(mask);
            c->SetRowRect(r.rowRect);
            if (!r.overflow)
                c->SetRect(r.rect);
            c->SetWrap(r.wrap);
        }
    }
    records_.clear();
    return size;
}
