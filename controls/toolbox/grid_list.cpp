#include "controls/toolbox/grid_list.h"

#include "platform/cp1252.h"
#include "platform/qt/key_characters.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <algorithm>
#include <string>

using platform::qt::COLORREF;
using platform::qt::GdiRect;
namespace gdi = platform::qt;

namespace {

// A row: the caller's value and, while sorting, the sort column's key.
class GridListItem : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 0x4C;
    GridListItem() : QTreeWidgetItem(kType) {}

    qintptr value = 0;
    std::string key;

    bool operator<(const QTreeWidgetItem& other) const override {
        if (other.type() == kType)
            return key < static_cast<const GridListItem&>(other).key;
        return QTreeWidgetItem::operator<(other);
    }
};

// Texts compare as Windows-1252 bytes with upper-case letters made lower case.
std::string SortKey(const QString& text) {
    std::string bytes = platform::Utf8ToCp1252(text.toStdString());
    for (char& c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
            u += 0x20;
        else if (u == 0x8A || u == 0x8C || u == 0x8E)
            u += 0x10;
        else if (u == 0x9F)
            u = 0xFF;
        c = static_cast<char>(u);
    }
    return bytes;
}

unsigned AlignmentFlags(int format) {
    switch (format & 3) {
    case CYNGridList::LVCFMT_RIGHT:
        return gdi::DT_RIGHT;
    case CYNGridList::LVCFMT_CENTER:
        return gdi::DT_CENTER;
    default:
        return gdi::DT_LEFT;
    }
}

Qt::Alignment QtAlignment(int format) {
    switch (format & 3) {
    case CYNGridList::LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case CYNGridList::LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// Fixed rows: one text cell high and a pixel above and below.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const QFontMetrics fm(option.font);
        return QSize(0, fm.ascent() + fm.descent() + 2);
    }
};

} // namespace

// ---- heading ----

CYNGridHeader::CYNGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setSortIndicatorShown(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CYNGridHeader::SetSortArrow(int column, int direction) {
    sortColumn_ = column;
    direction_ = direction > 0 ? 1 : direction < 0 ? -1 : 0;
    viewport()->update();
}

void CYNGridHeader::SetResizingAllowed(bool allowed) {
    resizingAllowed_ = allowed;
    setSectionResizeMode(allowed ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void CYNGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!IsOwnerDrawn(logicalIndex)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    painter->save();
    // The style draws the item's frame; the inside is ours.
    QStyleOptionHeader frame;
    initStyleOption(&frame);
    frame.rect = rect;
    frame.section = logicalIndex;
    if (pressed_ == logicalIndex)
        frame.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_HeaderSection, &frame, painter, this);
    DrawSortItem(*painter, rect, logicalIndex);
    painter->restore();
}

void CYNGridHeader::DrawSortItem(QPainter& painter, const QRect& rect, int logicalIndex) const {
    gdi::BeginGdiPainting(painter);
    painter.setFont(font());
    const GdiRect item = GdiRect::FromQRect(rect);
    gdi::FillSolidRect(painter, item.Inflated(-1, -1), gdi::GetSysColor(gdi::COLOR_BTNFACE));

    const QFontMetrics fm(font());
    const int u = std::max(fm.horizontalAdvance(QLatin1Char(' ')), 1);
    GdiRect textRect{item.left + 2 * u, item.top, item.right - 2 * u - 6 * u, item.bottom};
    if (pressed_ == logicalIndex)
        textRect = textRect.Offset(1, 2);
    const QVariant alignment =
        model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole)
                : QVariant();
    unsigned align = gdi::DT_LEFT;
    if (alignment.isValid()) {
        const auto a = Qt::Alignment(alignment.toInt());
        if (a & Qt::AlignRight)
            align = gdi::DT_RIGHT;
        else if (a & Qt::AlignHCenter)
            align = gdi::DT_CENTER;
    }
    const QString text =
        model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString()
                : QString();
    if (!textRect.IsEmpty())
        gdi::DrawText(painter, textRect, text,
                      gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_END_ELLIPSIS | align,
                      gdi::GetSysColor(gdi::COLOR_BTNTEXT));

    // An outlined triangle 2u wide and 2u high, 3u from the right edge.
    const COLORREF light = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    const int half = u;
    const int x1 = item.right - 3 * u;
    const int x0 = x1 - 2 * half;
    const int apex = x0 + half;
    const int top = item.top + (item.Height() - 2 * half) / 2;
    const int bottom = top + 2 * half;
    if (x0 <= item.left)
        return;
    if (direction_ > 0) {
        gdi::DrawLine(painter, apex, top, x0, bottom, shadow);
        gdi::DrawLine(painter, apex, top, x1, bottom, light);
        gdi::DrawLine(painter, x0, bottom, x1 + 1, bottom, light);
    } else {
        gdi::DrawLine(painter, x0, top, x1 + 1, top, shadow);
        gdi::DrawLine(painter, x0, top, apex, bottom, shadow);
        gdi::DrawLine(painter, x1, top, apex, bottom, light);
        gdi::DrawLine(painter, apex, bottom, apex, bottom + 1, light);
    }
}

void CYNGridHeader::mousePressEvent(QMouseEvent* event) {
    pressed_ = sectionsClickable() ? logicalIndexAt(event->position().toPoint()) : -1;
    QHeaderView::mousePressEvent(event);
    viewport()->update();
}

void CYNGridHeader::mouseReleaseEvent(QMouseEvent* event) {
    pressed_ = -1;
    QHeaderView::mouseReleaseEvent(event);
    viewport()->update();
}

// ---- list ----

CYNGridList::CYNGridList(QWidget* parent)
    : QTreeWidget(parent), gridHeader_(new CYNGridHeader(this)) {
    setHeader(gridHeader_);
    gridHeader_->setSectionsClickable(true); // the view resets it when it takes the header
    gridHeader_->setMinimumSectionSize(0);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new FixedRowDelegate(this));
    setColumnCount(0);
    connect(gridHeader_, &QHeaderView::sectionClicked, this, &CYNGridList::OnColumnClick);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) {
        const int row = indexOfTopLevelItem(item);
        if (row >= 0)
            emit ItemActivated(row, GetItemData(row));
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QItemSelection* changes : {&deselected, &selected})
                    for (const QModelIndex& index : changes->indexes())
                        if (index.column() == 0 && !index.parent().isValid())
                            emit ItemChanged(index.row(), GetItemData(index.row()));
            });
    connect(&gdi::SystemColors::Instance(), &gdi::SystemColors::Changed, viewport(),
            qOverload<>(&QWidget::update));
    InitGrid();
}

CYNGridList::~CYNGridList() = default;

void CYNGridList::InitGrid() {
    initialised_ = true;
    SetBkColor(gdi::GetSysColor(gdi::COLOR_WINDOW));
    SetTextBkColor(gdi::GetSysColor(gdi::COLOR_WINDOW));
    SetTextColor(gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
    setFont(QFont());
    highlightSelection_ = true;
}

void CYNGridList::SetBkColor(COLORREF colour) {
    bkColour_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, gdi::ToQColor(colour));
    setPalette(pal);
    viewport()->update();
}

void CYNGridList::SetTextColor(COLORREF colour) {
    textColour_ = colour;
    viewport()->update();
}

void CYNGridList::SetTextBkColor(COLORREF colour) {
    textBkColour_ = colour;
    viewport()->update();
}

int CYNGridList::EnableSorting(bool on) {
    if (!on) {
        sortColumn_ = -1;
        gridHeader_->SetSortArrow(-1, 0);
    }
    sortingEnabled_ = on;
    return 1;
}

void CYNGridList::OnColumnClick(int column) {
    if (!sortingEnabled_)
        return;
    ascending_ = column != sortColumn_ || !ascending_;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SortColumn(column);
    QGuiApplication::restoreOverrideCursor();
}

bool CYNGridList::SortColumn(int column) {
    if (column < 0 || column >= columnCount())
        return false;
    CloseCellEditor(true); // the edited row is about to move
    const int count = topLevelItemCount();
    for (int i = 0; i < count; ++i)
        if (QTreeWidgetItem* item = topLevelItem(i); item->type() == GridListItem::kType)
            static_cast<GridListItem*>(item)->key = SortKey(item->text(column));
    // The model's sort is stable and keeps the selection and the current item.
    model()->sort(column, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    sortColumn_ = column;
    gridHeader_->SetSortArrow(column, ascending_ ? 1 : -1);
    return true;
}

int CYNGridList::DistributeColumnWidths() {
    const int count = columnCount();
    if (count <= 0)
        return 0;
    const int total = viewport()->width();
    const int each = total / count;
    for (int c = 0; c < count; ++c)
        setColumnWidth(c, c == count - 1 ? each + total % count : each);
    return 1;
}

void CYNGridList::SetShowSelectionAlways(bool on) {
    showSelectionAlways_ = on;
    viewport()->update();
}

bool CYNGridList::MarkItemSelected(int item, bool select) {
    auto apply = [&](int row, QItemSelectionModel::SelectionFlags flags) {
        selectionModel()->select(model()->index(row, 0), flags | QItemSelectionModel::Rows);
    };
    if (item == -1) {
        for (int row = 0; row < topLevelItemCount(); ++row)
            apply(row, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
        return true;
    }
    if (!ItemAt(item))
        return false;
    if (!select)
        apply(item, QItemSelectionModel::Deselect);
    else if (selectionMode() == QAbstractItemView::SingleSelection)
        apply(item, QItemSelectionModel::ClearAndSelect);
    else
        apply(item, QItemSelectionModel::Select);
    return true;
}

void CYNGridList::Settle() const {
    // Rows inserted since the last event loop pass are laid out (and the scroll ranges set)
    // only later; scrolling and page questions need them now.
    const_cast<CYNGridList*>(this)->executeDelayedItemsLayout();
}

int CYNGridList::ScrollItemIntoView(int item, int column, bool partialOk) {
    if (!ItemAt(item))
        return 0;
    Settle();
    // Rows: the scroll bar counts whole items.
    const int top = GetTopIndex();
    const int perPage = std::max(GetCountPerPage(), 1);
    const bool partlyShown = item == top + perPage && perPage * RowHeight() < viewport()->height();
    if (item < top)
        verticalScrollBar()->setValue(item);
    else if (item >= top + perPage && !(partialOk && partlyShown))
        verticalScrollBar()->setValue(item - perPage + 1);
    if (column < 0 || column >= columnCount())
        return 0;

    const int left = header()->sectionViewportPosition(column);
    const int right = left + header()->sectionSize(column);
    const int clientWidth = viewport()->width();
    if (partialOk && right > 0 && left < clientWidth)
        return 1;
    int delta = 0;
    if (right > clientWidth)
        delta = right - clientWidth;
    if (left - delta < 0)
        delta = left;
    if (delta != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + delta);
    return 1;
}

bool CYNGridList::IsLastItemVisible() const {
    Settle();
    return GetTopIndex() + GetCountPerPage() >= GetItemCount();
}

void CYNGridList::CheckLastItemVisible() {
    const bool visible = IsLastItemVisible();
    if (visible && !lastItemVisible_) {
        lastItemVisible_ = true;
        OnLastItemVisible();
        return;
    }
    lastItemVisible_ = visible;
}

int CYNGridList::InsertColumn(int column, const QString& heading, int format, int width) {
    const int count = columnCount();
    if (column < 0)
        return -1;
    column = std::min(column, count);
    setColumnCount(count + 1);
    // Move the texts of the columns from here on one to the right.
    QTreeWidgetItem* head = headerItem();
    for (int c = count; c > column; --c) {
        head->setText(c, head->text(c - 1));
        head->setTextAlignment(c, QtAlignment(formats_[c - 1]));
        setColumnWidth(c, columnWidth(c - 1));
        for (int row = 0; row < topLevelItemCount(); ++row)
            topLevelItem(row)->setText(c, topLevelItem(row)->text(c - 1));
    }
    for (int row = 0; row < topLevelItemCount(); ++row)
        topLevelItem(row)->setText(column, QString());
    formats_.insert(formats_.begin() + column, format);
    head->setText(column, heading);
    head->setTextAlignment(column, QtAlignment(format));
    if (width >= 0)
        setColumnWidth(column, width);
    if (sortColumn_ >= column) {
        ++sortColumn_;
        gridHeader_->SetSortArrow(sortColumn_, gridHeader_->SortDirection());
    }
    viewport()->update();
    return column;
}

bool CYNGridList::DeleteColumn(int column) {
    const int count = columnCount();
    if (column < 0 || column >= count)
        return false;
    QTreeWidgetItem* head = headerItem();
    for (int c = column; c + 1 < count; ++c) {
        head->setText(c, head->text(c + 1));
        head->setTextAlignment(c, QtAlignment(formats_[c + 1]));
        setColumnWidth(c, columnWidth(c + 1));
        for (int row = 0; row < topLevelItemCount(); ++row)
            topLevelItem(row)->setText(c, topLevelItem(row)->text(c + 1));
    }
    setColumnCount(count - 1);
    formats_.erase(formats_.begin() + column);
    if (sortColumn_ == column) {
        sortColumn_ = -1;
        gridHeader_->SetSortArrow(-1, 0);
    } else if (sortColumn_ > column) {
        --sortColumn_;
        gridHeader_->SetSortArrow(sortColumn_, gridHeader_->SortDirection());
    }
    viewport()->update();
    return true;
}

bool CYNGridList::SetColumn(int column, const QString& heading, int format) {
    if (column < 0 || column >= columnCount())
        return false;
    formats_[column] = format;
    headerItem()->setText(column, heading);
    headerItem()->setTextAlignment(column, QtAlignment(format));
    viewport()->update();
    return true;
}

int CYNGridList::GetColumnFormat(int column) const {
    return column >= 0 && column < static_cast<int>(formats_.size()) ? formats_[column] : 0;
}

QTreeWidgetItem* CYNGridList::ItemAt(int item) const {
    return item >= 0 && item < topLevelItemCount() ? topLevelItem(item) : nullptr;
}

int CYNGridList::InsertItem(int item, const QString& text, qintptr data) {
    if (item < 0)
        return -1;
    item = std::min(item, topLevelItemCount());
    auto* row = new GridListItem;
    row->value = data;
    row->setText(0, text);
    insertTopLevelItem(item, row); // the list owns the row
    return item;
}

bool CYNGridList::SetItemText(int item, int column, const QString& text) {
    QTreeWidgetItem* row = ItemAt(item);
    if (!row || column < 0 || column >= columnCount())
        return false;
    row->setText(column, text);
    return true;
}

QString CYNGridList::GetItemText(int item, int column) const {
    const QTreeWidgetItem* row = ItemAt(item);
    return row ? row->text(column) : QString();
}

bool CYNGridList::SetItemData(int item, qintptr data) {
    QTreeWidgetItem* row = ItemAt(item);
    if (!row || row->type() != GridListItem::kType)
        return false;
    static_cast<GridListItem*>(row)->value = data;
    return true;
}

qintptr CYNGridList::GetItemData(int item) const {
    const QTreeWidgetItem* row = ItemAt(item);
    if (!row || row->type() != GridListItem::kType)
        return 0;
    return static_cast<const GridListItem*>(row)->value;
}

bool CYNGridList::DeleteItem(int item) {
    if (!ItemAt(item))
        return false;
    CloseCellEditor(false); // its row may be the one going, or move up
    // At the end of a scrolled list, one row up so the view stays full; elsewhere the top
    // index stays (the view would otherwise follow a current row that moved).
    Settle();
    int top = verticalScrollBar()->value();
    if (top > 0 && IsLastItemVisible())
        --top;
    delete takeTopLevelItem(item);
    Settle();
    verticalScrollBar()->setValue(top);
    return true;
}

void CYNGridList::DeleteAllItems() {
    CloseCellEditor(false);
    clear();
}

int CYNGridList::FindItemByData(qintptr data, int start) const {
    for (int row = std::max(start + 1, 0); row < topLevelItemCount(); ++row)
        if (GetItemData(row) == data)
            return row;
    return -1;
}

bool CYNGridList::IsItemSelected(int item) const {
    const QTreeWidgetItem* row = ItemAt(item);
    return row && row->isSelected();
}

int CYNGridList::GetNextSelectedItem(int start) const {
    for (int row = std::max(start + 1, 0); row < topLevelItemCount(); ++row)
        if (topLevelItem(row)->isSelected())
            return row;
    return -1;
}

int CYNGridList::GetTopIndex() const {
    Settle();
    return topLevelItemCount() == 0 ? 0 : verticalScrollBar()->value();
}

int CYNGridList::RowHeight() const {
    const QFontMetrics fm(font());
    return fm.ascent() + fm.descent() + 2;
}

int CYNGridList::GetCountPerPage() const {
    return viewport()->height() / RowHeight();
}

void CYNGridList::DrawSubItemText(QPainter& painter, int item, int column, const GdiRect& cell,
                                  COLORREF text, COLORREF background) const {
    gdi::FillSolidRect(painter, cell, background);
    const GdiRect textRect{cell.left + 2, cell.top + 1, cell.right - 2, cell.bottom + 1};
    if (textRect.IsEmpty())
        return;
    painter.save();
    painter.setClipRect(cell.ToQRect(), Qt::IntersectClip);
    gdi::DrawText(painter, textRect, GetItemText(item, column),
                  gdi::DT_SINGLELINE | gdi::DT_END_ELLIPSIS | gdi::DT_NOPREFIX | gdi::DT_NOCLIP |
                      AlignmentFlags(GetColumnFormat(column)),
                  text);
    painter.restore();
}

void CYNGridList::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    if (index.parent().isValid())
        return;
    const int item = index.row();
    gdi::BeginGdiPainting(*painter);
    painter->setFont(font());
    const bool selected =
        IsItemSelected(item) && highlightSelection_ && (showSelectionAlways_ || hasFocus());
    COLORREF text = textColour_;
    COLORREF background = textBkColour_;
    if (selected) {
        text = gdi::GetSysColor(gdi::COLOR_HIGHLIGHTTEXT);
        background = gdi::GetSysColor(gdi::COLOR_HIGHLIGHT);
    } else if (!isEnabled()) {
        background = gdi::GetSysColor(gdi::COLOR_INACTIVEBORDER);
    }
    const int top = option.rect.top();
    const int bottom = option.rect.bottom() + 1;
    const GdiRect client = GdiRect::FromQRect(viewport()->rect());
    const int itemLeft = -header()->offset();
    int x = itemLeft;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int column = header()->logicalIndex(visual);
        if (header()->isSectionHidden(column))
            continue;
        const GdiRect cell{x, top, x + header()->sectionSize(column), bottom};
        if (cell.Intersects(client))
            DrawSubItemText(*painter, item, column, cell, text, background);
        x = cell.right;
    }
    if (highlightSelection_ && hasFocus() && currentIndex().isValid() &&
        currentIndex().row() == item && !currentIndex().parent().isValid())
        gdi::DrawFocusRect(*painter, GdiRect{itemLeft, top, x, bottom});
}

void CYNGridList::EnableCellEditing(bool on) {
    cellEditing_ = on;
    if (!on)
        CloseCellEditor(false);
}

bool CYNGridList::EditCell(int item, int column) {
    if (!cellEditing_ || !ItemAt(item) || column < 0 || column >= columnCount())
        return false;
    CloseCellEditor(true);
    QTreeWidgetItem* row = ItemAt(item);
    scrollToItem(row);
    editItem_ = item;
    editColumn_ = column;
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(true);
    editor_->setFont(font());
    editor_->setText(row->text(column));
    editor_->selectAll();
    editor_->setGeometry(visualRect(indexFromItem(row, column)));
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    return true;
}

void CYNGridList::CloseCellEditor(bool store) {
    if (!editor_)
        return;
    // Taken first: hiding the editor moves the focus, whose loss would close it again.
    QLineEdit* editor = editor_;
    editor_ = nullptr;
    editor->removeEventFilter(this);
    const QString text = editor->text();
    const int item = editItem_;
    const int column = editColumn_;
    editItem_ = editColumn_ = -1;
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    editor->deleteLater();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    if (store && ItemAt(item)) {
        SetItemText(item, column, text);
        emit CellEdited(item, column, text);
    }
}

bool CYNGridList::eventFilter(QObject* watched, QEvent* event) {
    if (editor_ && watched == editor_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                CloseCellEditor(key != Qt::Key_Escape);
                return true;
            }
        } else if (event->type() == QEvent::ShortcutOverride) {
            // Enter and Escape belong to the editor, not to a dialog's default or Close button.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                event->accept();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            CloseCellEditor(true);
            return false;
        }
    }
    return QTreeWidget::eventFilter(watched, event);
}

void CYNGridList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!cellEditing_) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !index.parent().isValid())
        EditCell(index.row(), index.column());
    event->accept();
}

void CYNGridList::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(platform::qt::VirtualKeyFromEvent(*event),
                 platform::qt::UnshiftedKeyCharacter(*event));
    if (cellEditing_ && event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier &&
        currentIndex().isValid()) {
        EditCell(currentIndex().row(), std::max(0, currentIndex().column()));
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
    CheckLastItemVisible();
}

void CYNGridList::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    CheckLastItemVisible();
}

void CYNGridList::scrollContentsBy(int dx, int dy) {
    // The editor would stay where its cell was: scrolling ends the edit, keeping the text.
    CloseCellEditor(true);
    QTreeWidget::scrollContentsBy(dx, dy);
    if (dy != 0)
        CheckLastItemVisible();
}

void CYNGridList::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    viewport()->update();
}

void CYNGridList::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
    viewport()->update();
}

void CYNGridList::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
    event->accept();
}
