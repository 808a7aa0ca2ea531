// A report list that draws its own rows, sorts by a clicked column (ascending, then descending
// on a second click) with an arrow in that column's heading, spreads its columns over its
// width, and selects and scrolls to items by index. Each row keeps a value of the caller's
// (its item data), answered unchanged whatever the sorting did.
#pragma once

#include "platform/qt/colors.h"
#include "platform/qt/gdi.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <vector>

// The list's heading: the sort column's item is drawn with an arrow, the others as the style
// draws headings.
class CYNGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit CYNGridHeader(QWidget* parent = nullptr);

    // direction: 1 ascending (apex up), -1 descending (apex down), 0 none.
    void SetSortArrow(int column, int direction);
    int SortColumn() const { return sortColumn_; }
    int SortDirection() const { return direction_; }
    // Whether the column's item is drawn by the header itself (the sort column with an arrow).
    bool IsOwnerDrawn(int column) const { return direction_ != 0 && column == sortColumn_; }

    // While resizing is not allowed, dividers neither drag nor fit on a double click.
    void SetResizingAllowed(bool allowed);
    bool ResizingAllowed() const { return resizingAllowed_; }

    // Draws the sort column's item (fill, text left of the arrow room, arrow) into rect.
    void DrawSortItem(QPainter& painter, const QRect& rect, int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int sortColumn_ = -1;
    int direction_ = 0;
    bool resizingAllowed_ = true;
    int pressed_ = -1;
};

class CYNGridList : public QTreeWidget {
    Q_OBJECT
public:
    // Column formats.
    static constexpr int LVCFMT_LEFT = 0;
    static constexpr int LVCFMT_RIGHT = 1;
    static constexpr int LVCFMT_CENTER = 2;

    explicit CYNGridList(QWidget* parent = nullptr);
    ~CYNGridList() override;

    // Back to the start state: window colours, the default font, highlighted selection.
    void InitGrid();

    // Sorting by heading clicks on or off; off forgets the sort column and its arrow.
    // Answers 1.
    int EnableSorting(bool on);
    bool SortingEnabled() const { return sortingEnabled_; }
    // Sorts the rows by the column's texts ignoring case, in the current direction (stable:
    // equal texts keep their order). Answers false for a column outside the list.
    bool SortColumn(int column);
    int GetSortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }
    // What a click on a heading does while sorting is enabled: a new column sorts ascending,
    // the sort column again reverses.
    void OnColumnClick(int column);

    // Every column width / count wide, the last one also taking the remainder. Answers 0
    // without columns, else 1.
    int DistributeColumnWidths();
    void SetShowSelectionAlways(bool on);
    bool ShowSelectionAlways() const { return showSelectionAlways_; }
    // Selects or deselects an item, or every item for -1. Answers false for a bad index.
    bool MarkItemSelected(int item, bool select);
    // Scrolls the item into view, then the column (its right edge, then its left edge, which
    // wins). With partialOk, a partly visible row or cell is enough. Answers 0 for a bad item
    // or column, else 1.
    int ScrollItemIntoView(int item, int column, bool partialOk);
    // Top index + items per page >= item count.
    bool IsLastItemVisible() const;

    CYNGridHeader* GridHeader() const { return gridHeader_; }

    // In-place editing of cells. While it is on, a double click on a cell or F2 (on the current
    // row, in the column last clicked) opens a line editor on the cell, and a double click no
    // longer activates the item (Enter on the list still does). Enter or the editor losing the
    // focus stores its text into the cell and tells CellEdited; Escape drops it. Switching
    // editing off drops an open editor.
    void EnableCellEditing(bool on);
    bool CellEditingEnabled() const { return cellEditing_; }
    // Opens the editor on a cell (editing on, the cell in the list); false otherwise.
    bool EditCell(int item, int column);
    QLineEdit* CellEditor() const { return editor_; }

    // Columns. InsertColumn answers the new column's index, -1 on failure; a width of -1 keeps
    // the default width.
    int InsertColumn(int column, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    bool DeleteColumn(int column);
    bool SetColumn(int column, const QString& heading, int format);
    int GetColumnCount() const { return columnCount(); }
    int GetColumnFormat(int column) const;

    // Items by row index. InsertItem answers the new item's index (at most the count), -1 on
    // failure.
    int InsertItem(int item, const QString& text, qintptr data = 0);
    bool SetItemText(int item, int column, const QString& text);
    QString GetItemText(int item, int column) const;
    bool SetItemData(int item, qintptr data);
    qintptr GetItemData(int item) const;
    bool DeleteItem(int item);
    void DeleteAllItems();
    int GetItemCount() const { return topLevelItemCount(); }
    // The first item after `start` whose data is `data`; -1 when none.
    int FindItemByData(qintptr data, int start = -1) const;
    bool IsItemSelected(int item) const;
    // The first selected item after `start`, -1 when none.
    int GetNextSelectedItem(int start = -1) const;
    int GetTopIndex() const;
    // Whole rows that fit in the view.
    int GetCountPerPage() const;
    int RowHeight() const;

    void SetBkColor(platform::qt::COLORREF colour);
    void SetTextColor(platform::qt::COLORREF colour);
    void SetTextBkColor(platform::qt::COLORREF colour);
    platform::qt::COLORREF GetBkColor() const { return bkColour_; }
    platform::qt::COLORREF GetTextColor() const { return textColour_; }
    platform::qt::COLORREF GetTextBkColor() const { return textBkColour_; }

signals:
    // An item's selection changed.
    void ItemChanged(int item, qintptr data);
    // An item was double-clicked or Enter was pressed on it.
    void ItemActivated(int item, qintptr data);
    // A context menu was asked for at a screen position.
    void ContextMenuRequested(QPoint globalPos);
    // An edited cell's text was stored.
    void CellEdited(int item, int column, const QString& text);
    // A key went down on the list while no cell editor was open, before the list acted on it:
    // its virtual key and its character without Shift (-1 when it has none).
    void KeyDown(int virtualKey, int unshiftedCharacter);

protected:
    // Called when the last item has just become visible after a key or a vertical scroll.
    virtual void OnLastItemVisible() {}

    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidgetItem* ItemAt(int item) const;
    // Closes the cell editor, storing its text when `store`.
    void CloseCellEditor(bool store);
    void Settle() const;
    void CheckLastItemVisible();
    void DrawSubItemText(QPainter& painter, int item, int column, const platform::qt::GdiRect& cell,
                         platform::qt::COLORREF text, platform::qt::COLORREF background) const;

    CYNGridHeader* gridHeader_;
    bool initialised_ = false;
    bool sortingEnabled_ = false;
    bool highlightSelection_ = true;
    bool showSelectionAlways_ = false;
    int sortColumn_ = -1;
    bool ascending_ = true;
    bool lastItemVisible_ = false;
    bool cellEditing_ = false;
    QPointer<QLineEdit> editor_;
    int editItem_ = -1;
    int editColumn_ = -1;
    std::vector<int> formats_;
    platform::qt::COLORREF bkColour_ = 0;
    platform::qt::COLORREF textColour_ = 0;
    platform::qt::COLORREF textBkColour_ = 0;
};
