#include "controls/commandbars/control_combo_edit.h"

#include "controls/commandbars/colors.h"
#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/paint_manager.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

namespace {

// The field's window sits inside the control, right of its caption.
QRect FieldRect(const QRect& r, int labelWidth, int rightInset) {
    const int left = r.left() + labelWidth + 4, top = r.top() + 3;
    const int right = r.left() + r.width() - rightInset, bottom = r.top() + r.height() - 3;
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

void PlaceField(CGVPEdit* edit, CGVPControl* control, const QRect& field, const QString& text,
                bool visible) {
    CGVPCommandBar* bar = control->GetParent();
    if (!bar)
        return;
    const bool created = edit->parentWidget() != nullptr;
    if (edit->parentWidget() != bar) {
        edit->setParent(bar);
        if (CGVPPaintManager* pm = control->GetPaintManager())
            edit->setFont(pm->GetControlFont(bar, false));
    }
    if (!created && !text.isEmpty())
        edit->setText(text);
    edit->setEnabled(control->GetEnabled());
    edit->setGeometry(field);
    edit->setVisible(visible);
}

} // namespace

// --- edit window ----------------------------------------------------------------------------

CGVPEdit::CGVPEdit(CGVPControl* owner) : owner_(owner) {
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

void CGVPEdit::focusInEvent(QFocusEvent* event) {
    QWidget* old = QApplication::focusWidget() == this ? nullptr : QApplication::focusWidget();
    if (auto* edit = dynamic_cast<CGVPControlEdit*>(owner_))
        edit->OnSetFocus(old);
    else if (auto* combo = dynamic_cast<CGVPControlComboBox*>(owner_))
        combo->OnSetFocus(old);
    QLineEdit::focusInEvent(event);
    // Posted, so that the click that brought the focus does not undo the selection.
    QTimer::singleShot(0, this, [this] { selectAll(); });
}

void CGVPEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (auto* edit = dynamic_cast<CGVPControlEdit*>(owner_))
        edit->OnKillFocus();
    else if (auto* combo = dynamic_cast<CGVPControlComboBox*>(owner_))
        combo->OnKillFocus();
}

void CGVPEdit::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    if (owner_ && owner_->GetParent())
        owner_->GetParent()->OnMouseMoveAt(mapTo(owner_->GetParent(), event->position().toPoint()));
}

void CGVPEdit::keyPressEvent(QKeyEvent* event) {
    // Reached only when no frame took the key first.
    if (owner_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        GVPRef<CGVPControl> hold(owner_);
        owner_->OnClick(true, QPoint());
        return;
    }
    if (owner_ && event->key() == Qt::Key_Escape && owner_->GetParent()) {
        owner_->GetParent()->SetTrackingMode(0, true, false);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool CGVPEdit::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    switch (id) {
    case 57634:
    case 57635:
        ui.Enable(hasSelectedText());
        return true;
    case 57637: {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        ui.Enable(data && data->hasText());
        return true;
    }
    default:
        return false;
    }
}

bool CGVPEdit::OnCommand(unsigned id) {
    switch (id) {
    case 57634:
        copy();
        return true;
    case 57635:
        cut();
        return true;
    case 57637:
        paste();
        return true;
    default:
        return false;
    }
}

// --- edit control ---------------------------------------------------------------------------

CGVPControlEdit::CGVPControlEdit() {
    SetType(gvpControlEdit);
    edit_ = new CGVPEdit(this);
}

CGVPControlEdit::~CGVPControlEdit() {
    if (locked_)
        CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
    edit_->ClearOwner();
    delete edit_;
}

QString CGVPControlEdit::GetEditText() {
    if (edit_->parentWidget())
        text_ = edit_->text();
    return text_;
}

void CGVPControlEdit::SetEditText(const QString& text) {
    if (edit_->parentWidget() && edit_->text() != text)
        edit_->setText(text);
    else
        text_ = text;
}

void CGVPControlEdit::SetEnabled(bool on) {
    CGVPControl::SetEnabled(on);
    edit_->setEnabled(on);
    RedrawParent();
}

void CGVPControlEdit::SetHiddenMask(int mask) {
    CGVPControl::SetHiddenMask(mask);
    if (edit_->parentWidget())
        edit_->setVisible(mask == 0);
    RequestParentLayout();
}

void CGVPControlEdit::OnCalcDynamicSize(int mode) {
    const int mask = (mode & LM_VERTDOCK) ? (GetHiddenMask() | kHideDockingPosition)
                                          : (GetHiddenMask() & ~kHideDockingPosition);
    if (mask != GetHiddenMask())
        SetHiddenMask(mask);
}

void CGVPControlEdit::SetRect(const QRect& rect) {
    if (rect == GetRect() && edit_->parentWidget() && edit_->parentWidget() == GetParent())
        return;
    CGVPControl::SetRect(rect);
    PlaceField(edit_, this, FieldRect(rect, labelWidth_, 3), text_, GetHiddenMask() == 0);
}

bool CGVPControlEdit::SetSelected(int state) {
    if (!CGVPControl::SetSelected(state))
        return false;
    if (state == 0 && edit_->hasFocus() && GetParent()) {
        if (QWidget* back = GetParent()->GetFocusWindow())
            back->setFocus();
        else
            edit_->clearFocus();
        RedrawParent();
    }
    return true;
}

void CGVPControlEdit::OnClick(bool keyboard, QPoint) {
    if (IsCustomizeMode())
        return;
    if (keyboard && edit_->hasFocus()) {
        Execute();
        return;
    }
    if (GetEnabled() && edit_->parentWidget())
        edit_->setFocus(Qt::MouseFocusReason);
}

void CGVPControlEdit::OnMouseHover() {
    if (CGVPMouseManager::GetMouseManager()->IsLocked())
        return;
    CGVPControl::OnMouseHover();
}

int CGVPControlEdit::OnHookKeyDown(int) {
    return 2;
}

void CGVPControlEdit::OnSetFocus(QWidget* oldFocus) {
    CGVPCommandBar* bar = GetParent();
    if (!bar)
        return;
    GVPRef<CGVPCommandBar> hold(bar);
    if (!bar->GetFocusWindow()) {
        QWidget* back = oldFocus;
        if (!back && bar->GetSite())
            back = bar->GetSite()->SiteWindow();
        bar->SetFocusWindow(back);
    }
    bar->SetPopuped(-1);
    bar->SetTrackingMode(1, false, false);
    bar->SetSelected(GetIndex(), true);
    if (!locked_) {
        CGVPMouseManager::GetMouseManager()->LockMouseMove();
        locked_ = true;
    }
    bar->SetKeyboardTarget(this);
}

void CGVPControlEdit::OnKillFocus() {
    if (locked_) {
        CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
        locked_ = false;
    }
    if (GetParent() && GetParent()->GetKeyboardTarget() == this)
        GetParent()->SetKeyboardTarget(nullptr);
}

void CGVPControlEdit::Copy(const CGVPControl* from, bool recursive) {
    if (auto* e = dynamic_cast<const CGVPControlEdit*>(from)) {
        width_ = e->width_;
        text_ = const_cast<CGVPControlEdit*>(e)->GetEditText();
        showLabel_ = e->showLabel_;
    }
    CGVPControl::Copy(from, recursive);
}

// --- combo box ------------------------------------------------------------------------------

CGVPControlComboBox::CGVPControlComboBox() {
    SetType(gvpControlComboBox);
    auto* list = new CGVPControlComboBoxList;
    SetCommandBar(list);
    list->InternalRelease();
}

CGVPControlComboBox::~CGVPControlComboBox() {
    if (locked_)
        CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
    if (edit_) {
        edit_->ClearOwner();
        delete edit_;
    }
}

CGVPControlComboBoxList* CGVPControlComboBox::GetList() const {
    return dynamic_cast<CGVPControlComboBoxList*>(GetCommandBar());
}

void CGVPControlComboBox::AddString(const QString& text) {
    if (auto* list = GetList())
        list->ListBox()->addItem(text);
}

int CGVPControlComboBox::GetCount() const {
    return GetList() ? GetList()->ListBox()->count() : 0;
}

int CGVPControlComboBox::GetCurSel() const {
    return GetList() ? GetList()->ListBox()->currentRow() : -1;
}

void CGVPControlComboBox::SetDropWidth(int w) {
    if (auto* list = GetList())
        list->SetDropWidth(w);
}

void CGVPControlComboBox::SetEditable(bool on) {
    editable_ = on;
    if (on && !edit_) {
        edit_ = new CGVPEdit(this);
    } else if (!on && edit_) {
        text_ = edit_->text();
        edit_->ClearOwner();
        delete edit_;
        edit_ = nullptr;
    }
}

QString CGVPControlComboBox::GetEditText() {
    if (edit_ && edit_->parentWidget())
        text_ = edit_->text();
    return text_;
}

QString CGVPControlComboBox::GetSelectedText() const {
    auto* list = GetList();
    if (!list || !list->ListBox()->currentItem())
        return QString();
    return list->ListBox()->currentItem()->text();
}

void CGVPControlComboBox::SelectListItem(int index) {
    auto* list = GetList();
    if (!list || list->ListBox()->currentRow() == index)
        return;
    list->ListBox()->setCurrentRow(index);
    ShowSelectedText();
}

void CGVPControlComboBox::ShowSelectedText() {
    const QString text = GetSelectedText();
    if (edit_)
        edit_->setText(text);
    else
        text_ = text;
    RedrawParent();
}

bool CGVPControlComboBox::IsDroppedDown() const {
    auto* list = GetList();
    return list && list->IsTrackingMode() && list->GetComboBox() == this;
}

bool CGVPControlComboBox::SetPopuped(bool open) {
    auto* list = GetList();
    if (!open)
        return CGVPControlPopup::SetPopuped(false);
    popuped_ = true;
    if (!list)
        return false;
    if (!list->IsTrackingMode()) {
        GVPRef<CGVPCommandBar> hold(list);
        list->PopupFor(this);
    }
    RedrawParent();
    return true;
}

void CGVPControlComboBox::SetEnabled(bool on) {
    CGVPControl::SetEnabled(on);
    if (edit_)
        edit_->setEnabled(on);
    RedrawParent();
}

void CGVPControlComboBox::SetHiddenMask(int mask) {
    CGVPControl::SetHiddenMask(mask);
    if (edit_ && edit_->parentWidget())
        edit_->setVisible(mask == 0);
    RequestParentLayout();
}

void CGVPControlComboBox::OnCalcDynamicSize(int mode) {
    const int mask = (mode & LM_VERTDOCK) ? (GetHiddenMask() | kHideDockingPosition)
                                          : (GetHiddenMask() & ~kHideDockingPosition);
    if (mask != GetHiddenMask())
        SetHiddenMask(mask);
}

void CGVPControlComboBox::SetRect(const QRect& rect) {
    if (rect == GetRect() && (!edit_ || edit_->parentWidget() == GetParent()))
        return;
    CGVPControl::SetRect(rect);
    if (edit_)
        PlaceField(edit_, this, FieldRect(rect, labelWidth_, dropButtonWidth_ + 3), text_,
                   GetHiddenMask() == 0);
}

void CGVPControlComboBox::SetParent(CGVPCommandBar* bar) {
    CGVPControlPopup::SetParent(bar);
}

bool CGVPControlComboBox::SetSelected(int state) {
    if (!CGVPControlPopup::SetSelected(state))
        return false;
    if (state == 0 && edit_ && edit_->hasFocus() && GetParent()) {
        if (QWidget* back = GetParent()->GetFocusWindow())
            back->setFocus();
        else
            edit_->clearFocus();
        RedrawParent();
    }
    return true;
}

void CGVPControlComboBox::OnClick(bool keyboard, QPoint point) {
    if (IsCustomizeMode() || !GetEnabled())
        return;
    if (keyboard && edit_ && edit_->hasFocus()) {
        Execute();
        return;
    }
    if (keyboard && editable_ && edit_) {
        edit_->setFocus(Qt::OtherFocusReason);
        return;
    }
    CGVPControlPopup::OnClick(keyboard, point);
}

void CGVPControlComboBox::OnMouseHover() {
    if (CGVPMouseManager::GetMouseManager()->IsLocked())
        return;
    CGVPControlPopup::OnMouseHover();
}

int CGVPControlComboBox::OnHookKeyDown(int) {
    return edit_ ? 2 : 1;
}

void CGVPControlComboBox::OnSetFocus(QWidget* oldFocus) {
    CGVPCommandBar* bar = GetParent();
    if (!bar)
        return;
    GVPRef<CGVPCommandBar> hold(bar);
    if (!bar->GetFocusWindow())
        bar->SetFocusWindow(oldFocus ? oldFocus
                                     : (bar->GetSite() ? bar->GetSite()->SiteWindow() : nullptr));
    bar->SetPopuped(-1);
    bar->SetTrackingMode(1, false, false);
    bar->SetSelected(GetIndex(), true);
    if (!locked_) {
        CGVPMouseManager::GetMouseManager()->LockMouseMove();
        locked_ = true;
    }
    bar->SetKeyboardTarget(this);
}

void CGVPControlComboBox::OnKillFocus() {
    if (locked_) {
        CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
        locked_ = false;
    }
    if (GetParent() && GetParent()->GetKeyboardTarget() == this)
        GetParent()->SetKeyboardTarget(nullptr);
}

void CGVPControlComboBox::Copy(const CGVPControl* from, bool recursive) {
    if (auto* c = dynamic_cast<const CGVPControlComboBox*>(from)) {
        labelStyle_ = c->labelStyle_;
        width_ = c->width_;
        text_ = c->text_;
        SetEditable(c->edit_ != nullptr);
    }
    CGVPControlPopup::Copy(from, recursive);
}

// --- drop-down list -------------------------------------------------------------------------

CGVPControlComboBoxList::CGVPControlComboBoxList() {
    position_ = gvpBarListBox;
    list_ = new QListWidget(this);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setMouseTracking(true);
    list_->viewport()->setMouseTracking(true);
    list_->viewport()->installEventFilter(this);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

CGVPControlComboBoxList::~CGVPControlComboBoxList() {
    if (locked_)
        CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
}

void CGVPControlComboBoxList::SyncListGeometry() {
    list_->setGeometry(rect().adjusted(2, 2, -2, -2));
}

void CGVPControlComboBoxList::resizeEvent(QResizeEvent*) {
    SyncListGeometry();
}

bool CGVPControlComboBoxList::PopupFor(CGVPControlComboBox* combo) {
    combo_ = combo;
    ownerControl_ = combo;
    if (CGVPPaintManager* pm = GetPaintManager())
        if (combo->GetParent())
            list_->setFont(pm->GetControlFont(combo->GetParent(), false));
    SetTrackingMode(1, false, false);
    const int count = list_->count();
    const int rows = count <= 0 ? 1 : std::min(count, 12);
    const int itemHeight =
        count > 0 ? std::max(list_->sizeHintForRow(0), 1) : QFontMetrics(list_->font()).height();
    const QSize size(dropWidth_ > 0 ? dropWidth_ : combo->GetWidth(), itemHeight * rows + 4);
    ComputeAnchor();
    bool scroll = false;
    const QRect area = WorkAreaFor(exclude_);
    setGeometry(PlacePopup(size, area, scroll));
    SyncListGeometry();
    show();
    raise();
    if (list_->currentRow() >= 0)
        list_->scrollToItem(list_->currentItem());
    return true;
}

bool CGVPControlComboBoxList::SetTrackingMode(int mode, bool selectFirst, bool keyboard) {
    const bool wasTracking = tracking_ != 0;
    if (mode && !wasTracking && !locked_) {
        CGVPMouseManager::GetMouseManager()->LockMouseMove();
        locked_ = true;
    }
    const bool changed = CGVPPopupBar::SetTrackingMode(mode, selectFirst, keyboard);
    if (!mode && wasTracking) {
        if (locked_) {
            CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
            locked_ = false;
        }
        CGVPControlComboBox* combo = combo_;
        combo_ = nullptr;
        if (combo)
            combo->RedrawParent();
    }
    return changed;
}

int CGVPControlComboBoxList::OnHookKeyDown(int vk) {
    if (vk == gvpkey::Tab)
        return 0;
    if (vk == gvpkey::Escape)
        return CGVPPopupBar::OnHookKeyDown(vk);
    if (vk == gvpkey::Return) {
        if (CGVPControlComboBox* combo = combo_) {
            GVPRef<CGVPControl> hold(combo);
            combo->Execute();
        }
        return 1;
    }
    const int before = list_->currentRow();
    const int qtKey = platform::qt::QtKeyFromVirtualKey(vk);
    if (qtKey) {
        QKeyEvent press(QEvent::KeyPress, qtKey, QGuiApplication::keyboardModifiers());
        QApplication::sendEvent(list_, &press);
    }
    if (list_->currentRow() != before && combo_)
        combo_->ShowSelectedText();
    return 1;
}

bool CGVPControlComboBoxList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (QListWidgetItem* item = list_->itemAt(me->position().toPoint()))
            if (list_->currentItem() != item)
                list_->setCurrentItem(item);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && combo_) {
            GVPRef<CGVPControl> hold(combo_);
            CGVPControlComboBox* combo = combo_;
            combo->ShowSelectedText();
            combo->Execute();
        }
        return true;
    default:
        return false;
    }
}

void CGVPControlComboBoxList::DrawCommandBar(QPainter& dc) {
    const QRect r = rect();
    dc.fillRect(r, GetQColor(5));
    dc.fillRect(QRect(r.left(), r.top(), r.width(), 1), GetQColor(43));
    dc.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), GetQColor(43));
    dc.fillRect(QRect(r.left(), r.top(), 1, r.height()), GetQColor(43));
    dc.fillRect(QRect(r.right(), r.top(), 1, r.height()), GetQColor(43));
}

void CGVPControlComboBoxList::Copy(const CGVPCommandBar* from, bool recursive) {
    CGVPPopupBar::Copy(from, recursive);
    if (auto* l = dynamic_cast<const CGVPControlComboBoxList*>(from)) {
        dropWidth_ = l->dropWidth_;
        for (int i = 0; i < l->list_->count(); ++i)
            list_->addItem(l->list_->item(i)->text());
    }
}
