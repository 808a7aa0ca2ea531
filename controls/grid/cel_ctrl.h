// The spreadsheet-like grid window. Every table of the programs derives from it and changes
// its behaviour only by overriding the ordered notification operations below, which the grid
// calls synchronously with fixed arguments and defaults. Operations answer 0 for success, 1 for
// bad arguments, 2 for a veto, 3 for a failed popup; notifications answer true to go on.
// Columns and rows are 32-bit; negative ones address heading cells. Cell texts are the model's
// Windows-1252 bytes.
#pragma once

#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_cell_type.h"
#include "controls/grid/cel_grid_info.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CELGrid;
class CELTopHdg;
class CELSideHdg;
class CELCnrBtn;
class CELTab;
class CELVScroll;
class CELHScroll;
class CELEdit;
class CELFindDialog;
class CELPrintState;
class QMimeData;
class QPainter;
class QPaintDevice;

// What pagination needs of a printer: the printable area in device pixels and millimetres.
struct CELPageGeometry {
    int widthPixels = 0;
    int heightPixels = 0;
    int widthMm = 0;
    int heightMm = 0;
};
CELPageGeometry PageGeometryOf(const QPaintDevice& device);

class CELCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CELCtrl(QWidget* parent = nullptr);
    ~CELCtrl() override;

    // Creates the grid's parts as children of `parent` at `rect`, then tells the owner.
    bool CreateInParent(int style, const QRect& rect, QWidget* parent, int id);

    // Cells and defaults.
    int FetchCell(int column, int row, CELCell& cell);
    int FetchStoredCell(int column, int row, CELCell& cell);
    int StoreCell(int column, int row, CELCell& cell);
    int EraseCell(int column, int row);
    const char* ReadCellText(int column, int row);
    int CopyCellText(int column, int row, std::string& text);
    int WriteCellText(int column, int row, const std::string& text);
    int WriteCellTextColour(int column, int row, COLORREF colour);
    int StoreColumnDefault(int column, const CELCell& cell);
    int StoreGridDefault(const CELCell& cell);
    int FetchGridDefault(CELCell& cell);
    int JoinCells(int startColumn, int startRow, int endColumn, int endRow);
    int FindJoinOrigin(int& column, int& row);
    int GetJoinRange(int& column, int& row, int& endColumn, int& endRow);

    // Structure, sheets and modes.
    int GetColumnCount() const { return info_->columnCount; }
    int GetRowCount() const { return info_->rowCount; }
    int SetColumnCount(int count, bool redraw = true);
    int SetRowCount(int count, bool redraw = true);
    int GetActiveColumn() const { return info_->currentColumn; }
    int GetActiveRow() const { return info_->currentRow; }
    int GetLeftColumn() const { return info_->leftColumn; }
    int GetRightColumn() const { return info_->rightColumn; }
    int GetTopRow() const { return info_->topRow; }
    int GetBottomRow() const { return info_->bottomRow; }
    int GetTargetColumn() const { return info_->targetColumn; }
    int GetTargetRow() const { return info_->targetRow; }
    int SetNumberSheets(int count);
    int SetSheetNumber(int sheet, bool redraw = true);
    int GetSheetNumber() const { return sheet_; }
    int EnableTextOverflow(bool on);
    int SetBaseFont(const QFont* font);
    int EnableCellTips(bool on);
    int EnableBlockSelection(int mode);
    int SetVerticalScrollStyle(int style);
    int SetHorizontalScrollStyle(int style);
    int SetFindAllColumns(bool on);
    int EnablePainting(bool on);
    bool IsPaintingEnabled() const { return painting_; }
    int RepaintAll();
    int RedrawCell(int column, int row);
    CELCellType* GetCellTypeByNumber(int number);
    CELCellType* GetCellTypeOfCell(int column, int row);
    int SortRowsByColumns(const int* columns, int count, int flags);
    int SortRowsByColumn(int column, int flags);
    int ClearBlockSelection();
    int IsCellSelected(int column, int row, int* block);
    int SelectBlock(int startColumn, int startRow, int endColumn, int endRow);
    int SelectOneCell(int column, int row);
    int GetMappedColumn(int column) const;
    void SetMappedColumn(int column, int mapped);
    // Binds a column to another data source under a column number of that source.
    int SetColumnDataSource(int column, CELDataSource* source, int mapped);
    CELDataSource* GetDataSource() const { return info_->dataSource; }
    // Puts another source (which the caller owns and keeps alive) in place of the sheet's own
    // memory; null puts the sheet's own memory back.
    void SetDataSource(CELDataSource* source);
    CELGridInfo& Info() { return *info_; }
    const CELGridInfo& Info() const { return *info_; }
    // The command of a popup menu the grid owns; ids from 1000 reach NotifyMenuCommand first.
    void HandleCommand(int id);
    int StartPopupMenu(int column, int row, const QPoint& screenPoint, int section);
    // The program's help: F1 hands it GetHelpContextId's answer.
    void SetHelpHook(std::function<void(int)> hook) { helpHook_ = std::move(hook); }
    void ShowHelp(int column, int row, int section);

    // Sizes and scrolling.
    int ReadColumnWidth(int column, int& width) const;
    int GetColumnWidth(int column) const;
    int ResizeColumn(int column, int width);
    int FitColumnWidths(int firstColumn, int lastColumn, int rows, int flags);
    int MoveColumn(int from, int to, bool before);
    int ReadRowHeight(int row, int& height) const;
    int GetRowHeight(int row) const;
    int SetRowHeight(int row, int height);
    int GetColumnHeadingHeight() const { return info_->topHeadingHeight; }
    int GetRowHeadingWidth() const { return info_->sideHeadingWidth; }
    int SetColumnHeadingHeight(int height);
    int SetRowHeadingWidth(int width);
    int SetColumnHeadingRowHeight(int headingRow, int height);
    int SetRowHeadingColumnWidth(int headingColumn, int width);
    int LockColumns(int count);
    int LockRows(int count);
    int SetTopRow(int row);
    int SetLeftColumn(int column);
    int ScrollRowsBy(int code);
    int ScrollColumnsBy(int code);
    int GetCellFromPoint(int x, int y, int& column, int& row, QRect& rect);
    int GetCellRect(int& column, int& row, QRect& rect);
    void RelayoutChildren();

    // Current cell, navigation and editing.
    int MoveActiveCell(int column, int row);
    int MoveActiveRow(int row);
    int MoveActiveColumn(int column);
    int MoveRowBy(int code);
    int MoveColumnBy(int code);
    void Update();
    int EditActiveCell();
    int EditActiveCellWithKey(int ch);
    int StartEdit(int column, int row, int ch);
    int FinishEdit(std::string text, bool cancelled, bool continueEdit, int nextColumn,
                   int nextRow);
    int AbandonEdit();
    bool IsEditing() const { return editing_; }
    int GetEditColumn() const { return editColumn_; }
    int GetEditRow() const { return editRow_; }
    CELEdit* Editor() const { return editor_; }
    void ExtendRowsOnDemand();

    // Find, replace, paste and clipboard.
    int OpenFindDialog();
    int OpenFindReplaceDialog();
    CELFindDialog* FindDialog() const { return findDialog_; }
    bool IsFindDialogOpen() const { return findDialogOpen_; }
    int PasteText(const std::string& text);
    int CopyTextToClipboard(const std::string& text);
    int PasteTextFromClipboard(std::string& text);
    // The find dialog's requests.
    enum class FindAction { FindNext, ReplaceCurrent, ReplaceAll };
    void HandleFind(const std::string& findText, const std::string& replaceText, bool matchCase,
                    bool wholeCell, bool down, FindAction action);
    void FindDialogClosed();

    // Printing.
    int PaginateForPrint(const CELPageGeometry& page, int firstColumn, int firstRow, int lastColumn,
                         int lastRow);
    int RenderPrintPage(QPainter& painter, int page);
    int SetPrintSetting(int code, int value);
    int GetPrintSetting(int code, int& value) const;
    // Column and row ranges of a page of the last pagination; false when there is none.
    bool PageRange(int page, int& firstColumn, int& lastColumn, int& firstRow, int& lastRow) const;

    // Parts.
    CELGrid* CellArea() const { return cellArea_; }
    CELTopHdg* TopHeading() const { return topHeading_; }
    CELSideHdg* SideHeading() const { return sideHeading_; }
    CELCnrBtn* Corner() const { return corner_; }
    CELVScroll* VScroll() const { return vScroll_; }
    CELHScroll* HScroll() const { return hScroll_; }
    const QPen& ButtonHighlightPen() const { return highlightPen_; }
    const QPen& ButtonShadowPen() const { return shadowPen_; }
    void RecreatePens();

    // Notifications, in their order.
    virtual void NotifyFocusGained(int section);
    virtual void NotifyGridCreated();
    virtual void NotifySheetCreated(int sheet);
    virtual bool AllowActiveCellMove(int oldColumn, int oldRow, int newColumn, int newRow);
    virtual bool AllowViewMove(int a, int b, int c, int d);
    virtual void NotifyPastLastRow(int rowCount, int rowsBeyond, int added);
    virtual bool AllowColumnSizing(int column);
    virtual void NotifyColumnSizing(int column, int& width);
    virtual void NotifyColumnSized(int column, int& width);
    virtual bool AllowRowSizing(int row);
    virtual void NotifyRowSizing(int row, int& height);
    virtual void NotifyRowSized(int row, int& height);
    virtual bool AllowTopHeadingSizing();
    virtual bool AllowSideHeadingSizing();
    virtual bool NotifyTopHeadingSizing(int& height);
    virtual bool NotifySideHeadingSizing(int& width);
    virtual bool NotifyTopHeadingSized(int& height);
    virtual bool NotifySideHeadingSized(int& width);
    virtual void NotifyActiveColumnChanged(int oldColumn, int newColumn);
    virtual void NotifyActiveRowChanged(int oldRow, int newRow);
    virtual void NotifyActiveCellChanged(int oldColumn, int newColumn, int oldRow, int newRow);
    virtual void NotifyLeftColumnChanged(int oldColumn, int newColumn);
    virtual void NotifyTopRowChanged(int oldRow, int newRow);
    virtual void NotifyCellLeftClick(int column, int row, int down, const QRect& rect,
                                     const QPoint& point, int processed);
    virtual void NotifyCellRightClick(int column, int row, int down, const QRect& rect,
                                      const QPoint& point, int processed);
    virtual void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                       int processed);
    virtual void NotifyCellMouseMove(int column, int row, const QPoint& point, int keyFlags,
                                     int processed);
    virtual void NotifyTopHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                           const QPoint& point, int processed);
    virtual void NotifyTopHeadingRightClick(int column, int row, int down, const QRect& rect,
                                            const QPoint& point, int processed);
    virtual void NotifyTopHeadingDoubleClick(int column, int row, const QRect& rect,
                                             const QPoint& point, int processed);
    virtual void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                            const QPoint& point, int processed);
    virtual void NotifySideHeadingRightClick(int column, int row, int down, const QRect& rect,
                                             const QPoint& point, int processed);
    virtual void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect,
                                              const QPoint& point, int processed);
    virtual void NotifyCornerLeftClick(int down, const QRect& rect, const QPoint& point,
                                       int processed);
    virtual void NotifyCornerRightClick(int down, const QRect& rect, const QPoint& point,
                                        int processed);
    virtual void NotifyCornerDoubleClick(const QRect& rect, const QPoint& point, int processed);
    // Windows key codes; setting the key to 0 stops the grid's own handling.
    virtual void NotifyKeyPressed(int& key, int processed);
    virtual void NotifyKeyReleased(int& key, int processed);
    // Windows-1252 character codes.
    virtual void NotifyCharTyped(int& ch, int processed);
    virtual void NotifyCellFetched(int column, int row, CELCell& cell);
    virtual void NotifyCellStoring(int column, int row, CELCell& cell);
    virtual bool NotifyCellTypeEvent(int type, int column, int row, int message, void* param);
    virtual bool AllowEditStart(int column, int row, CELEdit*& editor);
    virtual bool AllowEditKey(int column, int row, CELEdit* editor, int& ch);
    virtual bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                                 bool cancelled);
    virtual bool AllowEditContinue(int column, int row, int& nextColumn, int& nextRow);
    virtual void NotifyMenuCommand(int column, int row, int section, int id);
    virtual bool AllowMenuStart(int column, int row, int section);
    virtual int GetHelpContextId(int column, int row, int section);
    virtual int GetCellTipText(int column, int row, int section, std::string& text);
    virtual bool GetVerticalScrollTip(int row, std::string& text);
    virtual bool GetHorizontalScrollTip(int column, std::string& text);
    virtual int NotifyDragEnter(const QMimeData* data);
    virtual int NotifyDragOver(const QMimeData* data, int column, int row);
    virtual int NotifyDrop(const QMimeData* data, int column, int row);
    virtual int CompareCellsForSort(const CELCell* first, const CELCell* second, int flags);
    virtual void PrepareScreenDC(QPainter& painter, void* second, int part);
    virtual void AdjustChildLayout(QRect& cellArea, QRect& topHeading, QRect& sideHeading,
                                   QRect& corner, QRect& vScroll, QRect& hScroll, QRect& tabs);
    virtual void NotifySheetTabSelected(int sheet);
    virtual COLORREF GetSectionBackColour(int section);
    virtual void DrawFocusFrame(QPainter& painter, const QRect& rect);
    virtual void NotifyFocusLost(int section);
    virtual bool AllowColumnMoveStart(int column);
    virtual bool AllowColumnMove(int from, int to);
    virtual void NotifyTrackingWindowMoved(const QRect& oldRect, const QRect& newRect);
    virtual bool NotifyFindDialogClosed();
    // The framework's command routing; ids below 1000 reach only this.
    virtual void OnCommand(int id);

    // Internal state the parts share.
    bool InFinish() const { return finishing_; }
    void NoteTargetMoved() { targetMoved_ = true; }
    // The modifiers of the input being handled; -1 outside input, when the key state tells.
    void SetKeyFlags(int flags) { keyFlags_ = flags; }
    int KeyFlags() const;
    // The key that ended the edit now being finished (Windows code), 0 outside a finish.
    int FinishingKey() const { return finishingKey_; }
    void SetFinishingKey(int key) { finishingKey_ = key; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int OpenFind(bool replace);
    void RestartTargetFromCurrent();
    friend class CELGrid;
    void CreateChildren();
    CELDataSource* SourceFor(int column) const;
    int SourceColumn(int column) const;
    void RecomputeLastLeftColumn();
    void RecomputeLastTopRow();
    void RecomputeLockedWidth();
    void RecomputeLockedHeight();
    void ScrollTargetIntoView();
    void ApplySelectionForUpdate();
    int RowHeightForPaging(int row) const;
    int ColumnWidthForPaging(int column) const;
    void RescaleHeadings(std::vector<int>& parts, int total);
    void RefreshParts();

    std::vector<std::unique_ptr<CELGridInfo>> sheets_;
    int sheet_ = 0;
    CELGridInfo* info_ = nullptr;
    bool painting_ = true;
    CELCellType normalType_;
    std::vector<CELCellType*> types_;
    CELCell scratch_;
    CELGrid* cellArea_ = nullptr;
    CELTopHdg* topHeading_ = nullptr;
    CELSideHdg* sideHeading_ = nullptr;
    CELCnrBtn* corner_ = nullptr;
    CELTab* tabs_ = nullptr;
    CELVScroll* vScroll_ = nullptr;
    CELHScroll* hScroll_ = nullptr;
    CELEdit* defaultEditor_ = nullptr;
    bool layoutLimited_ = false;
    bool editing_ = false;
    int editColumn_ = -1;
    int editRow_ = -1;
    CELEdit* editor_ = nullptr;
    CELCell editCell_;
    QWidget* editParent_ = nullptr;
    QPen highlightPen_;
    QPen shadowPen_;
    bool findDialogOpen_ = false;
    bool findInProgress_ = false;
    bool findAllColumns_ = false;
    CELFindDialog* findDialog_ = nullptr;
    std::unique_ptr<CELPrintState> print_;
    int popupColumn_ = -1;
    int popupRow_ = -1;
    int popupSection_ = 0;
    std::function<void(int)> helpHook_;
    bool targetMoved_ = false;
    bool finishing_ = false;
    int keyFlags_ = -1;
    int finishingKey_ = 0;
    bool inRelayout_ = false;
};
