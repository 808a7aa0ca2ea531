#include "controls/grid/cel_ctrl.h"

#include "controls/grid/cel_parts.h"
#include "controls/grid/cel_print.h"
#include "controls/grid/grid_colours.h"
#include "platform/cp1252.h"
#include "platform/one_line_text.h"
#include "platform/qt/colors.h"
#include "platform/qt/virtual_keys.h"
#include "platform/ui_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

using namespace grid_colours;

namespace {
constexpr int kMaxColumns = 32000;
constexpr int kMaxTableRows = 64000;
constexpr int kMaxHeading = 1024;
constexpr int kMaxSheets = 1024;
} // namespace

int CELGridInfo::RowHeight(int row) const {
    if (row < 0 || row >= rowCount)
        return 0;
    return uniformHeights ? defaultRowHeight : rowHeights[static_cast<std::size_t>(row)];
}

int CELGridInfo::ColumnWidth(int column) const {
    if (column < 0 || column >= columnCount)
        return 0;
    return columns[static_cast<std::size_t>(column)].width;
}

CELCtrl::CELCtrl(QWidget* parent) : QWidget(parent), print_(std::make_unique<CELPrintState>()) {
    normalType_.grid = this;
    normalType_.number = 0;
    types_.push_back(&normalType_);
    RecreatePens();
    // A system colour change renews the pens, the heading face and the types' colours.
    connect(&platform::qt::SystemColors::Instance(), &platform::qt::SystemColors::Changed, this,
            [this] {
                RecreatePens();
                for (CELCellType* type : types_)
                    if (type)
                        type->NotifySystemColours();
                RepaintAll();
            });
    platform::qt::KeyState::Instance(); // starts watching the input events
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetNumberSheets(1);
    CreateChildren();
    info_ = sheets_[0].get();
    print_->grid = this;
}

CELCtrl::~CELCtrl() {
    if (findDialog_) {
        findDialog_->disconnect();
        delete findDialog_;
        findDialog_ = nullptr;
    }
    // The parts call back into the grid while they go (focus changes): let them go while
    // the grid is still whole.
    const auto children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        delete child;
    cellArea_ = nullptr;
}

bool CELCtrl::CreateInParent(int /*style*/, const QRect& rect, QWidget* parent, int /*id*/) {
    setParent(parent);
    setGeometry(rect);
    show();
    RelayoutChildren();
    NotifyGridCreated();
    NotifySheetCreated(0);
    return true;
}

int CELCtrl::KeyFlags() const {
    if (keyFlags_ >= 0)
        return keyFlags_;
    const auto& keys = platform::qt::KeyState::Instance();
    int flags = 0;
    if (keys.IsDown(platform::qt::VK_SHIFT))
        flags |= kMkShift;
    if (keys.IsDown(platform::qt::VK_CONTROL))
        flags |= kMkControl;
    return flags;
}

void CELCtrl::RecreatePens() {
    highlightPen_ = QPen(ToQColor(SysColour(kButtonHighlight)), 0);
    shadowPen_ = QPen(ToQColor(SysColour(kButtonShadow)), 0);
    // The heading cells lie on the headings' section colour (a derived grid may choose it).
    for (auto& sheet : sheets_)
        sheet->headingDefault.SetBackground(GetSectionBackColour(2));
}

void CELCtrl::CreateChildren() {
    cellArea_ = new CELGrid(this);
    topHeading_ = new CELTopHdg(this);
    sideHeading_ = new CELSideHdg(this);
    corner_ = new CELCnrBtn(this);
    tabs_ = new CELTab(this);
    vScroll_ = new CELVScroll(this);
    hScroll_ = new CELHScroll(this);
    defaultEditor_ = new CELEdit(this, cellArea_);
    defaultEditor_->hide();
    editor_ = defaultEditor_;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (auto& sheet : sheets_) {
        sheet->vScrollWidth = extent;
        sheet->hScrollHeight = extent;
    }
}

// ---- cells ----

CELDataSource* CELCtrl::SourceFor(int column) const {
    if (column >= 0 && column < info_->columnCount) {
        CELDataSource* own = info_->columns[static_cast<std::size_t>(column)].source;
        if (own)
            return own;
    }
    return info_->dataSource;
}

int CELCtrl::SourceColumn(int column) const {
    if (column >= 0 && column < info_->columnCount)
        return info_->columns[static_cast<std::size_t>(column)].mapped;
    return column;
}

int CELCtrl::GetMappedColumn(int column) const {
    if (column < 0 || column >= info_->columnCount)
        return column;
    return info_->columns[static_cast<std::size_t>(column)].mapped;
}

void CELCtrl::SetMappedColumn(int column, int mapped) {
    if (column >= 0 && column < info_->columnCount)
        info_->columns[static_cast<std::size_t>(column)].mapped = mapped;
}

int CELCtrl::SetColumnDataSource(int column, CELDataSource* source, int mapped) {
    if (column < 0 || column >= info_->columnCount)
        return 1;
    auto& entry = info_->columns[static_cast<std::size_t>(column)];
    entry.source = source ? source : info_->dataSource;
    entry.mapped = mapped;
    if (source && !source->Grid())
        source->SetGrid(this);
    return 0;
}

void CELCtrl::SetDataSource(CELDataSource* source) {
    CELGridInfo& s = *info_;
    CELDataSource* previous = s.dataSource;
    s.dataSource = source ? source : s.ownSource.get();
    // Columns that followed the sheet's source follow the new one.
    for (auto& column : s.columns)
        if (column.source == previous)
            column.source = nullptr;
    if (!s.dataSource->Grid())
        s.dataSource->SetGrid(this);
}

int CELCtrl::FetchCell(int column, int row, CELCell& cell) {
    CELGridInfo& s = *info_;
    cell.SetAssignedMask(0);
    const bool heading = column < 0 || row < 0 || column >= s.columnCount;
    if (heading)
        cell.CopyFrom(s.headingDefault);
    else if (const auto& d = s.columns[static_cast<std::size_t>(column)].defaultCell)
        cell.CopyFrom(*d);
    if (row >= s.rowCount)
        return 0;
    // A heading cell lives in the sheet's own source under its own numbers.
    CELDataSource* source = (heading || row < 0) ? s.dataSource : SourceFor(column);
    const int sourceColumn = heading ? column : SourceColumn(column);
    source->GetCell(sourceColumn, row, cell);
    NotifyCellFetched(sourceColumn, row, cell);
    if (CELCellHook* hook = cell.GetHookObject())
        hook->OnCellFetched(cell);
    if (CELCell* overlay = cell.GetOverlayCell())
        overlay->AddTo(cell);
    return 0;
}

int CELCtrl::FetchStoredCell(int column, int row, CELCell& cell) {
    if (column >= info_->columnCount)
        return 1;
    cell.SetAssignedMask(0);
    const bool heading = column < 0 || row < 0;
    CELDataSource* source = heading ? info_->dataSource : SourceFor(column);
    return source->GetCell(heading ? column : SourceColumn(column), row, cell);
}

int CELCtrl::StoreCell(int column, int row, CELCell& cell) {
    NotifyCellStoring(column, row, cell);
    const bool heading = column < 0 || row < 0 || column >= info_->columnCount;
    CELDataSource* source = heading ? info_->dataSource : SourceFor(column);
    source->SetCell(heading ? column : SourceColumn(column), row, cell);
    return 0;
}

int CELCtrl::EraseCell(int column, int row) {
    if (column < 0 || column >= info_->columnCount)
        return 1;
    return SourceFor(column)->DeleteCell(SourceColumn(column), row);
}

const char* CELCtrl::ReadCellText(int column, int row) {
    scratch_.Reset();
    FetchStoredCell(column, row, scratch_);
    return scratch_.GetValueText();
}

int CELCtrl::CopyCellText(int column, int row, std::string& text) {
    const char* t = ReadCellText(column, row);
    text = t ? t : "";
    return 0;
}

int CELCtrl::WriteCellText(int column, int row, const std::string& text) {
    CELCell cell;
    FetchStoredCell(column, row, cell);
    cell.SetText(text);
    StoreCell(column, row, cell);
    return 0;
}

int CELCtrl::WriteCellTextColour(int column, int row, COLORREF colour) {
    CELCell cell;
    FetchStoredCell(column, row, cell);
    cell.SetTextColour(colour);
    StoreCell(column, row, cell);
    return 0;
}

int CELCtrl::StoreColumnDefault(int column, const CELCell& cell) {
    if (column < 0 || column >= info_->columnCount)
        return 1;
    auto& d = info_->columns[static_cast<std::size_t>(column)].defaultCell;
    if (!d)
        d = std::make_unique<CELCell>();
    d->CopyFrom(cell);
    return 0;
}

int CELCtrl::StoreGridDefault(const CELCell& cell) {
    info_->sheetDefault.CopyFrom(cell);
    return 0;
}

int CELCtrl::FetchGridDefault(CELCell& cell) {
    cell.CopyFrom(info_->sheetDefault);
    return 0;
}

int CELCtrl::JoinCells(int startColumn, int startRow, int endColumn, int endRow) {
    const CELGridInfo& s = *info_;
    if (endColumn < startColumn || endRow < startRow || endColumn >= s.columnCount ||
        endRow >= s.rowCount || startColumn < -s.HeadingColumns() || startRow < -s.HeadingRows())
        return 1;
    for (int r = startRow; r <= endRow; ++r)
        for (int c = startColumn; c <= endColumn; ++c) {
            CELCell cell;
            FetchStoredCell(c, r, cell);
            cell.SetJoinInfo(0, startColumn - c, startRow - r);
            StoreCell(c, r, cell);
        }
    CELCell origin;
    FetchStoredCell(startColumn, startRow, origin);
    origin.SetJoinInfo(1, endColumn - startColumn, endRow - startRow);
    StoreCell(startColumn, startRow, origin);
    return 0;
}

int CELCtrl::FindJoinOrigin(int& column, int& row) {
    if (!info_->joins)
        return 1;
    CELCell cell;
    FetchCell(column, row, cell);
    int origin = 0, cp = 0, rp = 0;
    if (cell.GetJoinInfo(origin, cp, rp) != 0)
        return 2;
    if (origin == 0) {
        column += cp;
        row += rp;
    }
    return 0;
}

int CELCtrl::GetJoinRange(int& column, int& row, int& endColumn, int& endRow) {
    if (!info_->joins)
        return 1;
    CELCell cell;
    FetchCell(column, row, cell);
    int origin = 0, cp = 0, rp = 0;
    if (cell.GetJoinInfo(origin, cp, rp) != 0)
        return 2;
    if (origin == 0) {
        column += cp;
        row += rp;
        FetchCell(column, row, cell);
        if (cell.GetJoinInfo(origin, cp, rp) != 0)
            return 2;
    }
    endColumn = column + std::max(0, cp);
    endRow = row + std::max(0, rp);
    return 0;
}

// ---- structure ----

int CELCtrl::SetColumnCount(int count, bool redraw) {
    CELGridInfo& s = *info_;
    if (count < 0 || count > kMaxColumns)
        return 1;
    if (s.lockedColumns >= count && count > 0)
        LockColumns(count - 1);
    const int old = s.columnCount;
    s.columns.resize(static_cast<std::size_t>(count));
    for (int c = old; c < count; ++c) {
        auto& e = s.columns[static_cast<std::size_t>(c)];
        e.width = s.defaultColumnWidth;
        e.source = s.dataSource;
        e.defaultCell = std::make_unique<CELCell>(s.sheetDefault);
        e.mapped = c;
    }
    s.columnCount = count;
    RecomputeLastLeftColumn();
    if (s.currentColumn >= count) {
        s.currentColumn = count - 1;
        s.targetColumn = s.currentColumn;
    }
    if (s.targetColumn >= count)
        s.targetColumn = count - 1;
    RecomputeLockedWidth();
    if (s.currentColumn < 0 && count > 0)
        MoveActiveColumn(0);
    if (redraw && painting_)
        RelayoutChildren();
    return 0;
}

int CELCtrl::SetRowCount(int count, bool redraw) {
    CELGridInfo& s = *info_;
    if (count < 0)
        return 1;
    if (s.lockedRows >= count && count > 0)
        LockRows(count - 1);
    if (count > kMaxTableRows)
        s.uniformHeights = true;
    if (s.uniformHeights)
        s.rowHeights.clear();
    else
        s.rowHeights.resize(static_cast<std::size_t>(count), s.defaultRowHeight);
    s.rowCount = count;
    const int oldTop = s.topRow;
    RecomputeLastTopRow();
    if (s.topRow != oldTop)
        Update();
    if (s.currentRow >= count) {
        s.currentRow = count - 1;
        s.previousCurrentRow = s.currentRow;
        s.targetRow = s.currentRow;
    }
    if (s.targetRow >= count)
        s.targetRow = count - 1;
    RecomputeLockedHeight();
    if (s.currentRow < 0 && count > 0)
        MoveActiveRow(0);
    if (redraw && painting_)
        RelayoutChildren();
    return 0;
}

int CELCtrl::SetNumberSheets(int count) {
    if (count < 1 || count > kMaxSheets)
        return 1;
    const int old = static_cast<int>(sheets_.size());
    const int current = sheet_;
    if (count < old)
        sheets_.resize(static_cast<std::size_t>(count));
    const int extent = cellArea_ ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    for (int i = old; i < count; ++i) {
        auto sheet = std::make_unique<CELGridInfo>();
        sheet->dataSource = sheet->ownSource.get();
        sheet->ownSource->SetGrid(this);
        sheet->headingDefault.SetBackground(GetSectionBackColour(2));
        sheet->headingDefault.SetEdgeStyle(CELCell::kRaised);
        sheet->headingDefault.SetAlignment(CELCell::kCentre | CELCell::kVCentre);
        sheet->vScrollWidth = extent;
        sheet->hScrollHeight = extent;
        sheets_.push_back(std::move(sheet));
        info_ = sheets_.back().get();
        sheet_ = i;
        NotifySheetCreated(i);
    }
    sheet_ = current;
    if (sheet_ >= count)
        SetSheetNumber(count - 1, true);
    else
        info_ = sheets_[static_cast<std::size_t>(sheet_)].get();
    return 0;
}

int CELCtrl::SetSheetNumber(int sheet, bool redraw) {
    if (sheet < 0 || sheet >= static_cast<int>(sheets_.size()))
        return 1;
    const bool wasPainting = painting_;
    if (!redraw)
        painting_ = false;
    if (cellArea_)
        cellArea_->setFocus();
    const int tabWidth = info_ ? info_->tabWidth : 0;
    sheet_ = sheet;
    info_ = sheets_[static_cast<std::size_t>(sheet)].get();
    info_->tabWidth = tabWidth;
    info_->previousTopRow = -1;
    info_->previousLeftColumn = -1;
    if (vScroll_) {
        vScroll_->Reset();
        hScroll_->Reset();
        RelayoutChildren();
    }
    painting_ = wasPainting;
    return 0;
}

int CELCtrl::EnableTextOverflow(bool on) {
    info_->textOverflow = on;
    return 0;
}

int CELCtrl::SetBaseFont(const QFont* font) {
    if (!font)
        return 1;
    info_->defaultFont = font;
    return 0;
}

int CELCtrl::EnableCellTips(bool on) {
    info_->cellTips = on;
    return 0;
}

int CELCtrl::EnableBlockSelection(int mode) {
    info_->blockSelection = mode;
    info_->blocks.Empty();
    info_->blocks.mode = mode == 0 ? 0 : (info_->wholeRowHighlight ? 2 : 1);
    return 0;
}

int CELCtrl::SetVerticalScrollStyle(int style) {
    info_->vScrollStyle = style;
    if (vScroll_)
        vScroll_->UpdateRange();
    return 0;
}

int CELCtrl::SetHorizontalScrollStyle(int style) {
    info_->hScrollStyle = style;
    if (hScroll_)
        hScroll_->UpdateRange();
    return 0;
}

int CELCtrl::SetFindAllColumns(bool on) {
    findAllColumns_ = on;
    return 0;
}

int CELCtrl::EnablePainting(bool on) {
    painting_ = on;
    return 0;
}

void CELCtrl::RefreshParts() {
    if (!painting_)
        return;
    cellArea_->update();
    corner_->update();
    vScroll_->update();
    hScroll_->update();
    tabs_->update();
    topHeading_->update();
    sideHeading_->update();
}

int CELCtrl::RepaintAll() {
    RefreshParts();
    return 0;
}

int CELCtrl::RedrawCell(int column, int row) {
    if (column < 0)
        sideHeading_->update();
    else if (row < 0)
        topHeading_->update();
    else
        cellArea_->RedrawCell(column, row);
    return 0;
}

CELCellType* CELCtrl::GetCellTypeByNumber(int number) {
    if (number > 0 && number < static_cast<int>(types_.size()) && types_[number])
        return types_[static_cast<std::size_t>(number)];
    return &normalType_;
}

CELCellType* CELCtrl::GetCellTypeOfCell(int column, int row) {
    FetchCell(column, row, scratch_);
    return GetCellTypeByNumber(scratch_.GetCellType());
}

int CELCtrl::SortRowsByColumns(const int* columns, int count, int flags) {
    std::vector<int> mapped(columns, columns + std::max(0, count));
    for (int& c : mapped)
        if (c >= 0)
            c = GetMappedColumn(c);
    return info_->dataSource->SortBy(mapped.data(), count, flags);
}

int CELCtrl::SortRowsByColumn(int column, int flags) {
    return SortRowsByColumns(&column, 1, flags);
}

int CELCtrl::ClearBlockSelection() {
    int l, t, r, b;
    if (info_->blocks.WholeExtent(l, t, r, b) == 0)
        cellArea_->RedrawRange(l, t, r, b);
    info_->blocks.Empty();
    info_->targetColumn = info_->currentColumn;
    info_->targetRow = info_->currentRow;
    return 0;
}

int CELCtrl::IsCellSelected(int column, int row, int* block) {
    return info_->blocks.Holds(column, row, block);
}

int CELCtrl::SelectBlock(int startColumn, int startRow, int endColumn, int endRow) {
    if (info_->blockSelection) {
        info_->blocks.StartBlock(startColumn, startRow);
        info_->blocks.Stretch(endColumn, endRow);
    }
    info_->targetColumn = endColumn;
    info_->targetRow = endRow;
    cellArea_->RedrawRange(startColumn, startRow, endColumn, endRow);
    return 0;
}

int CELCtrl::SelectOneCell(int column, int row) {
    info_->blocks.StartBlock(column, row);
    info_->blocks.Stretch(column, row);
    cellArea_->RedrawCell(column, row);
    return 0;
}

void CELCtrl::HandleCommand(int id) {
    if (id >= 1000)
        NotifyMenuCommand(popupColumn_, popupRow_, popupSection_, id);
    OnCommand(id);
}

int CELCtrl::StartPopupMenu(int column, int row, const QPoint& /*screenPoint*/, int section) {
    // The grid's own menu starts empty and is never enabled here; the tables build theirs.
    if (!info_->popupEnabled)
        return 1;
    if (info_->joins)
        FindJoinOrigin(column, row);
    if (!AllowMenuStart(column, row, section))
        return 2;
    popupColumn_ = column;
    popupRow_ = row;
    popupSection_ = section;
    return 3;
}

void CELCtrl::ShowHelp(int column, int row, int section) {
    const int id = GetHelpContextId(column, row, section);
    if (helpHook_)
        helpHook_(id);
}

// ---- sizes ----

int CELCtrl::ReadColumnWidth(int column, int& width) const {
    if (column < 0 || column >= info_->columnCount)
        return 1;
    width = info_->columns[static_cast<std::size_t>(column)].width;
    return 0;
}

int CELCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= info_->columnCount)
        return 1;
    return info_->columns[static_cast<std::size_t>(column)].width;
}

int CELCtrl::ResizeColumn(int column, int width) {
    if (column >= 0 && column < info_->columnCount) {
        info_->columns[static_cast<std::size_t>(column)].width = width;
        if (column < info_->lockedColumns)
            RecomputeLockedWidth();
        return 0;
    }
    if (column < 0)
        SetRowHeadingColumnWidth(column, width);
    return 1;
}

int CELCtrl::FitColumnWidths(int firstColumn, int lastColumn, int rows, int flags) {
    CELGridInfo& s = *info_;
    if (firstColumn < -s.HeadingColumns())
        return 1;
    if (lastColumn >= s.columnCount)
        return 2;
    if (lastColumn < firstColumn)
        return 3;
    int limit = cellArea_->width() - s.vScrollWidth;
    if (cellArea_->width() == 0)
        limit = 300;
    bool headingsChanged = false;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        int best = 3;
        int measured = 0;
        const int firstRow = (flags & 1) ? -s.HeadingRows() : 0;
        for (int r = firstRow; r < s.rowCount; ++r) {
            if (r >= s.lockedRows && r < s.topRow && r >= 0) {
                r = s.topRow - 1;
                continue;
            }
            if (rows > 0 && measured >= rows)
                break;
            ++measured;
            CELCell cell;
            FetchCell(c, r, cell);
            int o, cp, rp;
            if (cell.GetJoinInfo(o, cp, rp) == 0 && (cp != 0 || rp != 0))
                continue;
            best =
                std::max(best, GetCellTypeByNumber(cell.GetCellType())->GetBestSize(cell).width());
        }
        const int width = best <= limit ? best + 2 : limit;
        if (c >= 0) {
            s.columns[static_cast<std::size_t>(c)].width = width;
        } else if (width <= kMaxHeading) {
            auto& w = s.headingColumnWidths[static_cast<std::size_t>(-c - 1)];
            if (w != width) {
                w = width;
                headingsChanged = true;
            }
        }
    }
    RecomputeLockedWidth();
    if (headingsChanged) {
        int total = 0;
        for (int w : s.headingColumnWidths)
            total += w;
        s.sideHeadingWidth = total;
    }
    RelayoutChildren();
    return 0;
}

int CELCtrl::MoveColumn(int from, int to, bool before) {
    CELGridInfo& s = *info_;
    const int target = before ? to : to + 1;
    if (from < 0 || from >= s.columnCount || target < 0 || target > s.columnCount)
        return 1;
    if (target == from || target == from + 1)
        return 0;
    CELColumnEntry entry = std::move(s.columns[static_cast<std::size_t>(from)]);
    s.columns.erase(s.columns.begin() + from);
    const int insertAt = target > from ? target - 1 : target;
    s.columns.insert(s.columns.begin() + insertAt, std::move(entry));
    RecomputeLockedWidth();
    return 0;
}

int CELCtrl::ReadRowHeight(int row, int& height) const {
    if (row < 0 || row >= info_->rowCount)
        return 1;
    height = info_->RowHeight(row);
    return 0;
}

int CELCtrl::GetRowHeight(int row) const {
    return info_->RowHeight(row);
}

int CELCtrl::SetRowHeight(int row, int height) {
    CELGridInfo& s = *info_;
    if (row >= 0 && row < s.rowCount) {
        if (s.uniformHeights)
            s.defaultRowHeight = height;
        else
            s.rowHeights[static_cast<std::size_t>(row)] = height;
    }
    RecomputeLockedHeight();
    return 0;
}

void CELCtrl::RescaleHeadings(std::vector<int>& parts, int total) {
    long sum = 0;
    for (int p : parts)
        sum += p;
    if (sum == 0) {
        std::fill(parts.begin(), parts.end(), 0);
        parts.front() = total;
        return;
    }
    int given = 0;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        parts[i] = static_cast<int>((static_cast<long>(parts[i]) * total + sum / 2) / sum);
        given += parts[i];
    }
    parts.back() = total - given;
}

int CELCtrl::SetColumnHeadingHeight(int height) {
    if (height < 0 || height > kMaxHeading)
        return 1;
    info_->topHeadingHeight = height;
    RescaleHeadings(info_->headingRowHeights, height);
    RelayoutChildren();
    return 0;
}

int CELCtrl::SetRowHeadingWidth(int width) {
    if (width < 0 || width > kMaxHeading)
        return 1;
    info_->sideHeadingWidth = width;
    RescaleHeadings(info_->headingColumnWidths, width);
    RelayoutChildren();
    return 0;
}

int CELCtrl::SetColumnHeadingRowHeight(int headingRow, int height) {
    if (headingRow >= 0 || headingRow < -info_->HeadingRows())
        return 1;
    if (height > kMaxHeading || height < 0)
        return 2;
    info_->headingRowHeights[static_cast<std::size_t>(-headingRow - 1)] = height;
    return 0;
}

int CELCtrl::SetRowHeadingColumnWidth(int headingColumn, int width) {
    if (headingColumn >= 0 || headingColumn < -info_->HeadingColumns())
        return 1;
    if (width > kMaxHeading || width < 0)
        return 2;
    auto& w = info_->headingColumnWidths[static_cast<std::size_t>(-headingColumn - 1)];
    if (w != width) {
        w = width;
        if (info_->HeadingColumns() == 1)
            SetRowHeadingWidth(width);
    }
    return 0;
}

void CELCtrl::RecomputeLockedWidth() {
    int w = 0;
    for (int c = 0; c < info_->lockedColumns; ++c)
        w += c < info_->columnCount ? info_->ColumnWidth(c) : 1;
    info_->lockedWidth = w;
}

void CELCtrl::RecomputeLockedHeight() {
    int h = 0;
    for (int r = 0; r < info_->lockedRows; ++r)
        h += info_->RowHeight(r);
    info_->lockedHeight = h;
}

int CELCtrl::LockColumns(int count) {
    CELGridInfo& s = *info_;
    if (count < 0 || count > s.columnCount)
        return 1;
    if (count == s.lockedColumns)
        return 0;
    s.lockedColumns = count;
    RecomputeLockedWidth();
    s.leftColumn = count;
    s.previousLeftColumn = count;
    RecomputeLastLeftColumn();
    if (painting_)
        RefreshParts();
    return 0;
}

int CELCtrl::LockRows(int count) {
    CELGridInfo& s = *info_;
    if (count < 0 || count > s.rowCount)
        return 1;
    if (count == s.lockedRows)
        return 0;
    s.lockedRows = count;
    RecomputeLockedHeight();
    s.topRow = count;
    s.previousTopRow = count;
    RecomputeLastTopRow();
    if (painting_)
        RefreshParts();
    return 0;
}

void CELCtrl::RecomputeLastLeftColumn() {
    CELGridInfo& s = *info_;
    int remain = s.cellAreaWidth - s.lockedWidth;
    int last = s.lockedColumns;
    for (int c = s.columnCount; c >= s.lockedColumns; --c) {
        remain -= c == s.columnCount ? 1 : s.ColumnWidth(c);
        if (remain < 0) {
            last = c + 1;
            break;
        }
    }
    last = std::min(last, s.columnCount - 1);
    last = std::max(last, s.lockedColumns);
    s.lastLeftColumn = last;
    s.leftColumn = std::clamp(s.leftColumn, s.lockedColumns, std::max(s.lockedColumns, last));
}

void CELCtrl::RecomputeLastTopRow() {
    CELGridInfo& s = *info_;
    const int before = s.lastTopRow;
    int remain = s.cellAreaHeight - s.lockedHeight;
    int last = s.lockedRows;
    for (int r = s.rowCount; r >= s.lockedRows; --r) {
        remain -= s.RowHeight(r);
        if (remain < 0) {
            last = r + 1;
            break;
        }
    }
    last = std::min(last, s.rowCount - 1);
    last = std::max(last, s.lockedRows);
    s.lastTopRow = last;
    s.topRow = std::clamp(s.topRow, s.lockedRows, std::max(s.lockedRows, last));
    if (!inRelayout_ && ((before == 0) != (last == 0)) && cellArea_)
        RelayoutChildren();
}

void CELCtrl::RelayoutChildren() {
    if (!cellArea_ || inRelayout_)
        return;
    inRelayout_ = true;
    CELGridInfo& s = *info_;
    const int W = width(), H = height();
    int V = s.vScrollWidth, B = s.hScrollHeight, T = s.tabWidth;
    const int S = s.sideHeadingWidth, P = s.topHeadingHeight;
    const int availW = W - S;
    if (T > availW - 20)
        T = std::max(0, availW - 20);
    long sumW = 0;
    for (int c = 0; c < s.columnCount && sumW <= availW; ++c)
        sumW += s.ColumnWidth(c);
    const bool colsFit = sumW <= availW;
    const bool colsFitLessBar = sumW <= availW - V;
    if (colsFitLessBar && T > 0)
        T = W - V + 3;
    const int availH = H - P;
    long sumH = 0;
    if (s.uniformHeights)
        sumH = static_cast<long>(s.rowCount) * s.defaultRowHeight;
    else
        for (int r = 0; r < s.rowCount && sumH <= availH; ++r)
            sumH += s.RowHeight(r);
    const bool rowsFit = sumH <= availH;
    const bool rowsFitLessBar = sumH <= availH - B;
    if (rowsFit && ((colsFit && T == 0) || rowsFitLessBar))
        V = 0;
    if (colsFit && T == 0 && (rowsFit || colsFitLessBar))
        B = 0;
    QRect vbar(W - V, 0, V, H - B);
    QRect hbar(T, H - B, W - V - T, B);
    QRect tabs(0, H - B, T, B);
    QRect top(S, 0, W - V - S, P);
    QRect side(0, P, S, H - B - P);
    QRect corner(0, 0, S, P);
    QRect area(S, P, W - V - S, H - B - P);
    AdjustChildLayout(area, top, side, corner, vbar, hbar, tabs);
    s.cellAreaRect = area;
    s.topRect = top;
    s.sideRect = side;
    s.cornerRect = corner;
    s.vbarRect = vbar;
    s.hbarRect = hbar;
    s.tabRect = tabs;
    s.cellAreaWidth = std::max(0, area.width());
    s.cellAreaHeight = std::max(0, area.height());
    auto place = [](QWidget* w, const QRect& r) {
        w->setGeometry(r);
        w->setVisible(r.width() > 0 && r.height() > 0);
    };
    if (layoutLimited_) {
        place(hScroll_, hbar);
        place(tabs_, tabs);
    } else {
        place(cellArea_, area);
        place(topHeading_, top);
        place(sideHeading_, side);
        place(corner_, corner);
        place(vScroll_, vbar);
        place(hScroll_, hbar);
        place(tabs_, tabs);
        RecomputeLastTopRow();
        RecomputeLastLeftColumn();
        vScroll_->UpdateRange();
        hScroll_->UpdateRange();
        RefreshParts();
    }
    s.previousTopRow = s.topRow;
    s.previousLeftColumn = s.leftColumn;
    inRelayout_ = false;
}

void CELCtrl::resizeEvent(QResizeEvent* /*event*/) {
    const bool was = painting_;
    painting_ = false;
    RelayoutChildren();
    painting_ = was;
    update();
    RefreshParts();
}

void CELCtrl::focusInEvent(QFocusEvent* /*event*/) {
    if (editing_ && editor_ && editor_->isVisible())
        editor_->setFocus();
    else
        cellArea_->setFocus();
}

void CELCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(SysColour(kButtonFace)));
}

int CELCtrl::SetTopRow(int row) {
    CELGridInfo& s = *info_;
    if (row == s.topRow)
        return 0;
    row = std::clamp(row, s.lockedRows, std::max(s.lockedRows, s.lastTopRow));
    if (row == s.topRow)
        return 0;
    if (!AllowViewMove(s.leftColumn, s.topRow, s.leftColumn, row))
        return 2;
    s.topRow = row;
    Update();
    return 0;
}

int CELCtrl::SetLeftColumn(int column) {
    CELGridInfo& s = *info_;
    if (column == s.leftColumn)
        return 0;
    column = std::clamp(column, s.lockedColumns, std::max(s.lockedColumns, s.lastLeftColumn));
    if (column == s.leftColumn)
        return 0;
    if (!AllowViewMove(s.leftColumn, s.topRow, column, s.topRow))
        return 2;
    s.leftColumn = column;
    Update();
    return 0;
}

int CELCtrl::RowHeightForPaging(int row) const {
    if (row >= info_->rowCount)
        return info_->defaultRowHeight;
    return info_->RowHeight(row);
}

int CELCtrl::ColumnWidthForPaging(int column) const {
    if (column < 0)
        return info_->defaultColumnWidth;
    if (column >= info_->columnCount)
        return 1;
    return info_->ColumnWidth(column);
}

int CELCtrl::ScrollRowsBy(int code) {
    CELGridInfo& s = *info_;
    const int avail = s.cellAreaHeight - s.lockedHeight;
    int row = s.topRow;
    switch (code) {
    case 0:
        row = s.topRow - 1;
        while (row > 0 && s.RowHeight(row) == 0)
            --row;
        row = std::max(row, 0);
        break;
    case 1:
        if (s.topRow >= s.rowCount - 1)
            return 0;
        row = s.topRow + 1;
        while (row < s.rowCount - 1 && s.RowHeight(row) == 0)
            ++row;
        break;
    case 2: {
        int remain = avail;
        int r = s.topRow - 1;
        for (; r >= 0; --r) {
            remain -= s.RowHeight(r);
            if (remain < 0)
                break;
        }
        row = std::min(r + 1, s.topRow - 1);
        break;
    }
    case 3: {
        int remain = avail;
        int r = s.topRow;
        for (;; ++r) {
            remain -= r >= s.lastTopRow ? s.defaultRowHeight : s.RowHeight(r);
            if (remain < 0 || s.defaultRowHeight <= 0)
                break;
        }
        row = std::max(r, s.topRow + 1);
        break;
    }
    case 4:
        row = 0;
        break;
    case 5:
        row = s.rowCount - 1;
        break;
    default:
        return 0;
    }
    return SetTopRow(row);
}

int CELCtrl::ScrollColumnsBy(int code) {
    CELGridInfo& s = *info_;
    const int avail = s.cellAreaWidth - s.lockedWidth;
    int column = s.leftColumn;
    switch (code) {
    case 0:
        column = s.leftColumn - 1;
        break;
    case 1:
        column = s.leftColumn + 1;
        break;
    case 2: {
        int remain = avail;
        int c = s.leftColumn;
        for (; c >= 0; --c) {
            remain -= ColumnWidthForPaging(c);
            if (remain < 0)
                break;
        }
        column = std::min(c, s.leftColumn - 1);
        break;
    }
    case 3: {
        int remain = avail;
        int c = s.leftColumn;
        for (; c < s.columnCount; ++c) {
            remain -= ColumnWidthForPaging(c);
            if (remain < 0)
                break;
        }
        column = std::max(c, s.leftColumn + 1);
        break;
    }
    case 4:
        column = 0;
        break;
    case 5:
        column = s.columnCount - 1;
        break;
    default:
        return 0;
    }
    return SetLeftColumn(column);
}

int CELCtrl::GetCellFromPoint(int x, int y, int& column, int& row, QRect& rect) {
    const CELGridInfo& s = *info_;
    if (x < 0 || y < 0 || x >= s.cellAreaWidth || y >= s.cellAreaHeight)
        return 1;
    int foundColumn = -1, left = 0, right = 0;
    int sum = 0;
    for (int c = 0; c < s.columnCount; ++c) {
        if (c == s.lockedColumns && c < s.leftColumn)
            c = s.leftColumn;
        if (c >= s.columnCount)
            break;
        const int w = s.ColumnWidth(c);
        if (sum + w > x) {
            foundColumn = c;
            left = sum;
            right = sum + w;
            break;
        }
        sum += w;
        if (sum > s.cellAreaWidth)
            break;
    }
    int foundRow = -1, top = 0, bottom = 0;
    sum = 0;
    for (int r = 0; r < s.rowCount; ++r) {
        if (r == s.lockedRows && r < s.topRow)
            r = s.topRow;
        if (r >= s.rowCount)
            break;
        const int h = s.RowHeight(r);
        if (sum + h > y) {
            foundRow = r;
            top = sum;
            bottom = sum + h;
            break;
        }
        sum += h;
        if (sum > s.cellAreaHeight)
            break;
    }
    if (foundColumn < 0 || foundRow < 0)
        return 1;
    column = foundColumn;
    row = foundRow;
    rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (s.joins) {
        int c = column, r = row, ec, er;
        if (GetJoinRange(c, r, ec, er) == 0) {
            column = c;
            row = r;
            GetCellRect(column, row, rect);
        }
    }
    return 0;
}

int CELCtrl::GetCellRect(int& column, int& row, QRect& rect) {
    const CELGridInfo& s = *info_;
    int endColumn = column, endRow = row;
    if (s.joins) {
        int c = column, r = row, ec, er;
        if (GetJoinRange(c, r, ec, er) == 0) {
            column = c;
            row = r;
            endColumn = ec;
            endRow = er;
        }
    }
    auto xOf = [&](int c) { // left edge of column c in display order
        int x = 0;
        for (int i = 0; i < std::min(c, s.lockedColumns); ++i)
            x += s.ColumnWidth(i);
        if (c < s.lockedColumns)
            return x;
        if (c < s.leftColumn)
            return x;
        for (int i = s.leftColumn; i < c; ++i)
            x += s.ColumnWidth(i);
        return x;
    };
    auto yOf = [&](int r) {
        int y = 0;
        for (int i = 0; i < std::min(r, s.lockedRows); ++i)
            y += s.RowHeight(i);
        if (r < s.lockedRows || r < s.topRow)
            return y;
        if (s.uniformHeights)
            return y + (r - s.topRow) * s.defaultRowHeight;
        for (int i = s.topRow; i < r; ++i)
            y += s.RowHeight(i);
        return y;
    };
    const bool hiddenColumn = column >= s.lockedColumns && column < s.leftColumn;
    const bool hiddenRow = row >= s.lockedRows && row < s.topRow;
    const int left = xOf(column);
    const int right = hiddenColumn ? left : xOf(endColumn) + s.ColumnWidth(endColumn);
    const int top = yOf(row);
    const int bottom = hiddenRow ? top : yOf(endRow) + s.RowHeight(endRow);
    rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    return 0;
}

// ---- navigation ----

void CELCtrl::ScrollTargetIntoView() {
    CELGridInfo& s = *info_;
    const int tc = s.targetColumn, tr = s.targetRow;
    if (tc >= 0 && tc < s.columnCount) {
        if (tc < s.leftColumn && tc >= s.lockedColumns) {
            s.leftColumn = tc;
        } else if (tc >= s.lockedColumns) {
            int remain = s.cellAreaWidth - s.lockedWidth;
            for (int c = tc; c >= s.lockedColumns; --c) {
                remain -= s.ColumnWidth(c);
                if (remain < 0) {
                    const int left = std::min(std::min(c + 1, tc), s.lastLeftColumn);
                    if (left > s.leftColumn)
                        s.leftColumn = left;
                    break;
                }
            }
        }
    }
    if (tr >= 0 && tr < s.rowCount) {
        if (tr < s.topRow && tr >= s.lockedRows) {
            s.topRow = tr;
        } else if (tr >= s.lockedRows) {
            const int avail = s.cellAreaHeight - s.lockedHeight;
            if (s.uniformHeights) {
                if (s.defaultRowHeight > 0) {
                    const int top = tr - avail / s.defaultRowHeight + 1;
                    if (s.topRow < top)
                        s.topRow = std::min(top, tr);
                }
            } else {
                int remain = avail;
                for (int r = tr; r >= s.lockedRows; --r) {
                    remain -= s.RowHeight(r);
                    if (remain < 0) {
                        const int top = std::min(r + 1, tr);
                        if (top > s.topRow)
                            s.topRow = top;
                        break;
                    }
                }
            }
        }
    }
}

int CELCtrl::MoveActiveCell(int column, int row) {
    CELGridInfo& s = *info_;
    if (column == s.targetColumn && row == s.targetRow)
        return 0;
    if (column < 0 || row < 0 || column >= s.columnCount || row >= s.rowCount)
        return 2;
    if (s.joins)
        FindJoinOrigin(column, row);
    CELDataSource* source = s.dataSource;
    if (source->AllowMove(s.currentColumn, s.currentRow, column, row) != 1 ||
        !AllowActiveCellMove(s.currentColumn, s.currentRow, column, row))
        return 2;
    if (column >= s.rightColumn || row >= s.bottomRow || column < s.leftColumn || row < s.topRow) {
        if (!AllowViewMove(s.leftColumn, column, s.topRow, row))
            return 2;
    }
    s.targetColumn = column;
    s.targetRow = row;
    targetMoved_ = true;
    ScrollTargetIntoView();
    Update();
    return 0;
}

// A plain move (no mouse, no Shift or Ctrl) out of an open block starts from the current cell.
void CELCtrl::RestartTargetFromCurrent() {
    CELGridInfo& s = *info_;
    if (s.mouseState == 0 && !(KeyFlags() & (kMkShift | kMkControl)) && s.blocks.IsOpen()) {
        s.targetColumn = s.currentColumn;
        s.targetRow = s.currentRow;
    }
}

int CELCtrl::MoveActiveRow(int row) {
    CELGridInfo& s = *info_;
    RestartTargetFromCurrent();
    if (row == s.targetRow)
        return 0;
    if (row >= s.rowCount) {
        int added = 0;
        s.dataSource->NotifyHitBottom(s.rowCount, row - s.rowCount + 1, added);
        NotifyPastLastRow(s.rowCount, row - s.rowCount + 1, added);
        if (s.rowCount == 0 || s.targetRow == s.rowCount - 1)
            return 1;
        row = s.rowCount - 1;
    }
    if (row < 0)
        row = 0;
    if (s.joins && s.targetColumn >= 0 && s.targetRow >= 0) {
        int oc = s.targetColumn, orow = s.targetRow, ec, er;
        const bool fromJoined = GetJoinRange(oc, orow, ec, er) == 0;
        int nc = s.targetColumn, nr = row, nec, ner;
        if (GetJoinRange(nc, nr, nec, ner) == 0) {
            const bool same = fromJoined && nc == oc && nr == orow;
            if (row > s.targetRow)
                row = same ? (er + 1 < s.rowCount ? er + 1 : s.targetRow) : nr;
            else
                row = same ? (orow > 0 ? orow - 1 : s.targetRow) : nr;
        }
    }
    if (row == s.targetRow)
        return 0;
    if (!AllowActiveCellMove(s.targetColumn, s.targetRow, s.targetColumn, row))
        return 2;
    if (row >= s.bottomRow || row < s.topRow) {
        if (!AllowViewMove(s.leftColumn, s.leftColumn, s.topRow, row))
            return 2;
    }
    s.targetRow = row;
    targetMoved_ = true;
    ScrollTargetIntoView();
    Update();
    return 0;
}

int CELCtrl::MoveActiveColumn(int column) {
    CELGridInfo& s = *info_;
    RestartTargetFromCurrent();
    if (column == s.targetColumn)
        return 0;
    if (column >= s.columnCount) {
        if (s.columnCount == 0 || s.targetColumn == s.columnCount - 1)
            return 1;
        column = s.columnCount - 1;
    }
    if (column < 0)
        column = 0;
    if (s.joins && s.targetRow >= 0 && s.targetColumn >= 0) {
        int oc = s.targetColumn, orow = s.targetRow, ec, er;
        const bool fromJoined = GetJoinRange(oc, orow, ec, er) == 0;
        int nc = column, nr = s.targetRow, nec, ner;
        if (GetJoinRange(nc, nr, nec, ner) == 0) {
            const bool same = fromJoined && nc == oc && nr == orow;
            if (column > s.targetColumn)
                column = same ? (ec + 1 < s.columnCount ? ec + 1 : s.targetColumn) : nc;
            else
                column = same ? (oc > 0 ? oc - 1 : s.targetColumn) : nc;
        }
    }
    if (column == s.targetColumn)
        return 0;
    if (s.dataSource->AllowMove(s.targetColumn, s.targetRow, column, s.targetRow) != 1 ||
        !AllowActiveCellMove(s.targetColumn, s.targetRow, column, s.targetRow))
        return 2;
    if (column >= s.rightColumn || column < s.leftColumn) {
        if (!AllowViewMove(s.leftColumn, column, s.topRow, s.topRow))
            return 2;
    }
    s.targetColumn = column;
    targetMoved_ = true;
    ScrollTargetIntoView();
    Update();
    return 0;
}

int CELCtrl::MoveRowBy(int code) {
    CELGridInfo& s = *info_;
    const int t = s.targetRow;
    const int avail = s.cellAreaHeight - s.lockedHeight;
    switch (code) {
    case 0:
        return MoveActiveRow(t - 1);
    case 1:
        return MoveActiveRow(t + 1);
    case 2: {
        int remain = avail, r = t;
        while (r > 0) {
            remain -= RowHeightForPaging(r - 1);
            if (remain < 0)
                break;
            --r;
        }
        return MoveActiveRow(std::min(r, t - 1));
    }
    case 3: {
        int remain = avail, r = t;
        while (s.defaultRowHeight > 0 || RowHeightForPaging(r + 1) > 0) {
            remain -= RowHeightForPaging(r + 1);
            if (remain < 0)
                break;
            ++r;
            if (r > s.rowCount + avail)
                break;
        }
        return MoveActiveRow(std::max(r, t + 1));
    }
    case 4:
        return MoveActiveRow(0);
    case 5:
        return MoveActiveRow(s.rowCount - 1);
    default:
        return 0;
    }
}

int CELCtrl::MoveColumnBy(int code) {
    CELGridInfo& s = *info_;
    const int t = s.targetColumn;
    const int avail = s.cellAreaWidth - s.lockedWidth;
    switch (code) {
    case 0:
        return MoveActiveColumn(t - 1);
    case 1:
        return MoveActiveColumn(t + 1);
    case 2: {
        int remain = avail, c = t;
        for (; c >= 0; --c) {
            remain -= ColumnWidthForPaging(c);
            if (remain < 0)
                break;
        }
        return MoveActiveColumn(std::min(c, t - 1));
    }
    case 3: {
        int remain = avail, c = t;
        for (; c < s.columnCount; ++c) {
            remain -= ColumnWidthForPaging(c);
            if (remain < 0)
                break;
        }
        return MoveActiveColumn(std::max(c, t + 1));
    }
    case 4:
        return MoveActiveColumn(0);
    case 5:
        return MoveActiveColumn(s.columnCount - 1);
    default:
        return 0;
    }
}

void CELCtrl::ApplySelectionForUpdate() {
    CELGridInfo& s = *info_;
    CELBlockList& b = s.blocks;
    if (b.mode == 0)
        return;
    const int c = s.targetColumn, r = s.targetRow;
    const int flags = KeyFlags();
    const bool shift = (flags & kMkShift) != 0;
    const bool ctrl = (flags & kMkControl) != 0;
    auto redrawAll = [&] {
        int l, t, rr, bb;
        if (b.WholeExtent(l, t, rr, bb) == 0)
            cellArea_->RedrawRange(l, t, rr, bb);
    };
    switch (s.mouseState) {
    case 0:
        // A keyboard or program move selects its cell even when it returns to the last
        // click cell; a Shift move stretches onto any cell.
        if (shift) {
            b.Stretch(c, r);
            return;
        }
        if (!ctrl) {
            redrawAll();
            b.Empty();
        }
        b.StartBlock(c, r);
        return;
    case 1:
        if (c == b.lastClickColumn && r == b.lastClickRow)
            return;
        b.lastClickColumn = c;
        b.lastClickRow = r;
        if (!ctrl) {
            if (shift) {
                b.Stretch(c, r);
                return;
            }
            redrawAll();
            b.Empty();
            b.lastClickColumn = c;
            b.lastClickRow = r;
        }
        b.StartBlock(c, r);
        return;
    case 2:
        if (!b.Holds(c, r, nullptr)) {
            redrawAll();
            b.Empty();
            b.StartBlock(c, r);
        }
        return;
    default:
        b.Stretch(c, r);
        return;
    }
}

void CELCtrl::Update() {
    CELGridInfo& s = *info_;
    if (!s.blockSelection || editing_) {
        s.currentColumn = s.targetColumn;
        s.currentRow = s.targetRow;
    } else {
        if (targetMoved_)
            ApplySelectionForUpdate();
        int ac, ar;
        if (s.blocks.Anchor(ac, ar) == 0) {
            s.currentColumn = ac;
            s.currentRow = ar;
        } else {
            s.currentColumn = s.targetColumn;
            s.currentRow = s.targetRow;
        }
    }
    targetMoved_ = false;
    const int pc = s.previousCurrentColumn, pr = s.previousCurrentRow;
    const bool columnChanged = s.currentColumn != pc;
    const bool rowChanged = s.currentRow != pr;
    if (columnChanged) {
        s.dataSource->NotifyColumnChanged(pc, s.currentColumn);
        NotifyActiveColumnChanged(pc, s.currentColumn);
    }
    if (rowChanged) {
        s.dataSource->NotifyRowChanged(pr, s.currentRow);
        NotifyActiveRowChanged(pr, s.currentRow);
    }
    if (columnChanged || rowChanged)
        NotifyActiveCellChanged(pc, s.currentColumn, pr, s.currentRow);
    const bool leftChanged = s.leftColumn != s.previousLeftColumn;
    const bool topChanged = s.topRow != s.previousTopRow;
    if (leftChanged)
        NotifyLeftColumnChanged(s.previousLeftColumn, s.leftColumn);
    if (topChanged)
        NotifyTopRowChanged(s.previousTopRow, s.topRow);
    if (columnChanged || rowChanged) {
        CELCell cell;
        if (pc >= 0 && pr >= 0 && pc < s.columnCount && pr < s.rowCount) {
            FetchCell(pc, pr, cell);
            GetCellTypeByNumber(cell.GetCellType())->NotifyLostFocus(pc, pr, cell);
        }
        if (s.currentColumn >= 0 && s.currentRow >= 0) {
            FetchCell(s.currentColumn, s.currentRow, cell);
            GetCellTypeByNumber(cell.GetCellType())
                ->NotifyGotFocus(s.currentColumn, s.currentRow, cell);
        }
    } else if ((leftChanged || topChanged) && s.currentColumn >= 0 && s.currentRow >= 0) {
        CELCell cell;
        FetchCell(s.currentColumn, s.currentRow, cell);
        GetCellTypeByNumber(cell.GetCellType())
            ->NotifyViewMoved(s.currentColumn, s.currentRow, cell);
    }
    if (cellArea_) {
        cellArea_->RedrawChanged();
        if (painting_) {
            sideHeading_->update();
            if (leftChanged)
                topHeading_->update();
        }
        vScroll_->UpdateRange();
        hScroll_->UpdateRange();
    }
    s.previousTopRow = s.topRow;
    s.previousCurrentRow = s.currentRow;
    s.previousLeftColumn = s.leftColumn;
    s.previousCurrentColumn = s.currentColumn;
    // The visible range follows the view at once (painting refines it).
    int x = s.lockedWidth, c = s.leftColumn;
    for (; c < s.columnCount; ++c) {
        x += s.ColumnWidth(c);
        if (x > s.cellAreaWidth)
            break;
    }
    s.rightColumn = c;
    int y = s.lockedHeight, r = s.topRow;
    if (s.uniformHeights && s.defaultRowHeight > 0) {
        r = std::min(s.rowCount, s.topRow + (s.cellAreaHeight - y) / s.defaultRowHeight);
    } else {
        for (; r < s.rowCount; ++r) {
            y += s.RowHeight(r);
            if (y > s.cellAreaHeight)
                break;
        }
    }
    s.bottomRow = r;
}

void CELCtrl::ExtendRowsOnDemand() {
    CELGridInfo& s = *info_;
    int added = 0;
    const int before = s.rowCount;
    s.dataSource->NotifyHitBottom(before, 1, added);
    if (added > 0 && s.rowCount == before)
        SetRowCount(before + added, false);
}

// ---- editing ----

int CELCtrl::EditActiveCell() {
    return StartEdit(info_->currentColumn, info_->currentRow, 0);
}

int CELCtrl::EditActiveCellWithKey(int ch) {
    return StartEdit(info_->currentColumn, info_->currentRow, ch);
}

int CELCtrl::StartEdit(int column, int row, int ch) {
    CELGridInfo& s = *info_;
    if (editing_ && editor_ && editor_->isVisible())
        return 1;
    editing_ = true;
    int l, t, r, b;
    const bool hadBlock = s.blocks.WholeExtent(l, t, r, b) == 0;
    s.blocks.Empty();
    s.targetColumn = s.currentColumn;
    s.targetRow = s.currentRow;
    if (hadBlock && !(l == column && r == column && t == row && b == row))
        cellArea_->RedrawRange(l, t, r, b);
    if (column != s.currentColumn || row != s.currentRow) {
        if (MoveActiveCell(column, row) != 0) {
            editing_ = false;
            return 2;
        }
    }
    editColumn_ = column;
    editRow_ = row;
    editCell_.Reset();
    FetchCell(column, row, editCell_);
    CELCellType* type = GetCellTypeByNumber(editCell_.GetCellType());
    if (!type->usesEditor) {
        editing_ = false;
        return 1;
    }
    QRect rect;
    QWidget* parent = cellArea_;
    if (row < 0) {
        rect = topHeading_->CellRect(column, row);
        parent = topHeading_;
    } else if (column < 0) {
        rect = sideHeading_->CellRect(column, row);
        parent = sideHeading_;
    } else {
        int c = column, rr = row;
        GetCellRect(c, rr, rect);
    }
    rect.setRight(rect.right() - 1);
    rect.setBottom(rect.bottom() - 1);
    type->AdjustEditRect(rect);
    if (editCell_.IsEditLocked()) {
        editing_ = false;
        return 1;
    }
    const char* text = editCell_.GetValueText();
    defaultEditor_->SetText(text ? text : "");
    editor_ = defaultEditor_;
    if (SourceFor(column)->AllowEditStart(column, row, editor_) == 0 ||
        !AllowEditStart(column, row, editor_)) {
        editing_ = false;
        editor_ = defaultEditor_;
        return 1;
    }
    if (!editor_)
        editor_ = defaultEditor_;
    editor_->SetText(text ? text : "");
    editParent_ = parent;
    editor_->Begin(rect, parent, editCell_.GetFont() ? editCell_.GetFont() : s.defaultFont);
    if (ch > 0) {
        const char c8 = static_cast<char>(ch);
        const QString typed = QString::fromStdString(platform::Cp1252ToUtf8(std::string(1, c8)));
        editor_->setPlainText(QString());
        editor_->insertPlainText(typed);
    }
    return 0;
}

int CELCtrl::FinishEdit(std::string text, bool cancelled, bool continueEdit, int nextColumn,
                        int nextRow) {
    CELGridInfo& s = *info_;
    if (!editing_)
        cancelled = true;
    const bool wasEditing = editing_;
    const int column = editColumn_, row = editRow_;
    // A cell holds one line, however the text came into the editor (typed, pasted, dropped).
    platform::MakeOneLine(text);
    finishing_ = true;
    const bool allowed =
        SourceFor(column)->AllowEditFinish(column, row, editor_, text, cancelled) == 1 &&
        AllowEditFinish(column, row, editor_, text, cancelled);
    finishing_ = false;
    // A refusal keeps the editor open, unless the owner abandoned the edit while refusing it.
    if (!allowed)
        return wasEditing && editing_ ? 0 : 1;
    editor_->hide();
    if (!cancelled && wasEditing) {
        WriteCellText(column, row, text);
        RedrawCell(column, row);
    }
    if (continueEdit && wasEditing && editParent_ == cellArea_) {
        if (s.joins && nextColumn >= 0 && nextRow >= 0 && nextColumn < s.columnCount &&
            nextRow < s.rowCount) {
            int c = nextColumn, r = nextRow, ec, er;
            if (GetJoinRange(c, r, ec, er) == 0) {
                if (c == column && nextColumn > c)
                    nextColumn = ec + 1;
                else
                    nextColumn = c;
                if (r == row && nextRow > r)
                    nextRow = er + 1;
                else
                    nextRow = r;
            }
        }
        nextColumn = std::clamp(nextColumn, 0, std::max(0, s.columnCount - 1));
        nextRow = std::clamp(nextRow, 0, std::max(0, s.rowCount - 1));
        finishing_ = true;
        const bool sourceAllows =
            SourceFor(column)->AllowEditContinue(column, row, nextColumn, nextRow) == 1;
        const bool gridContinues =
            sourceAllows && AllowEditContinue(column, row, nextColumn, nextRow);
        finishing_ = false;
        if (sourceAllows) {
            editing_ = false;
            if (gridContinues) {
                if (StartEdit(nextColumn, nextRow, 0) == 0)
                    return 1; // editing goes on in the next cell
            } else {
                MoveActiveCell(nextColumn, nextRow);
                RepaintAll();
            }
        }
    }
    editing_ = false;
    if (cellArea_ && (editor_->hasFocus() || QApplication::focusWidget() == nullptr ||
                      QApplication::focusWidget() == editor_))
        cellArea_->setFocus();
    return 1;
}

int CELCtrl::AbandonEdit() {
    if (!editing_)
        return 0;
    editing_ = false;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus)
        cellArea_->setFocus();
    return 0;
}

// ---- find, paste, clipboard ----

int CELCtrl::OpenFindDialog() {
    return OpenFind(false);
}

int CELCtrl::OpenFindReplaceDialog() {
    return OpenFind(true);
}

// One modeless find dialog at a time; 1 when one is open already.
int CELCtrl::OpenFind(bool replace) {
    if (findDialogOpen_)
        return 1;
    findDialogOpen_ = true;
    findInProgress_ = true;
    findDialog_ = new CELFindDialog(this, replace);
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
    findDialog_->findEdit->setFocus();
    cellArea_->update();
    return 0;
}

void CELCtrl::FindDialogClosed() {
    findDialogOpen_ = false;
    findInProgress_ = false;
    findDialog_ = nullptr;
    NotifyFindDialogClosed();
    cellArea_->update();
}

namespace {

// Replaces in a cell text: ignoring case the first occurrence, with case every one.
bool ReplaceInText(std::string& text, const std::string& find, const std::string& with,
                   bool matchCase) {
    if (find.empty())
        return false;
    if (matchCase) {
        std::string out;
        std::size_t from = 0, at;
        bool any = false;
        while ((at = text.find(find, from)) != std::string::npos) {
            out.append(text, from, at - from);
            out += with;
            from = at + find.size();
            any = true;
        }
        out.append(text, from, std::string::npos);
        text = out;
        return any;
    }
    std::string upper(text), key(find);
    for (char& c : upper)
        c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
    for (char& c : key)
        c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
    const std::size_t at = upper.find(key);
    if (at == std::string::npos)
        return false;
    text.replace(at, find.size(), with);
    return true;
}

} // namespace

void CELCtrl::HandleFind(const std::string& findText, const std::string& replaceText,
                         bool matchCase, bool wholeCell, bool down, FindAction action) {
    CELGridInfo& s = *info_;
    int flags = 0;
    if (!matchCase)
        flags |= 2;
    if (!wholeCell)
        flags |= 1;
    if (!down)
        flags |= 4;
    if (findAllColumns_)
        flags |= 8;
    findInProgress_ = false;
    if (action == FindAction::ReplaceCurrent && s.currentColumn >= 0 && s.currentRow >= 0) {
        CELCell cell;
        FetchStoredCell(s.currentColumn, s.currentRow, cell);
        if (const char* t = cell.GetValueText()) {
            std::string text(t);
            if (ReplaceInText(text, findText, replaceText, matchCase)) {
                WriteCellText(s.currentColumn, s.currentRow, text);
                RedrawCell(s.currentColumn, s.currentRow);
            }
        }
    }
    // A replacement that still holds what is searched for would be found again at once.
    if (action != FindAction::FindNext &&
        (replaceText == findText ||
         ((flags & 1) && replaceText.find(findText) != std::string::npos)))
        return;
    int column = GetMappedColumn(std::max(0, s.currentColumn));
    int row = s.currentRow;
    auto gridColumnOf = [&](int sourceColumn) {
        for (int c = 0; c < s.columnCount; ++c)
            if (GetMappedColumn(c) == sourceColumn)
                return c;
        return sourceColumn;
    };
    if (s.dataSource->FindNext(findText, column, row, flags) != 0) {
        platform::MessageBoxRequest box;
        box.text = "Item not found";
        box.caption = "Not Found";
        box.buttons = platform::MsgButtons::Ok;
        platform::Ui().MessageBox(box);
        if (findDialog_)
            findDialog_->activateWindow();
        return;
    }
    MoveActiveCell(gridColumnOf(column), row);
    if (action != FindAction::ReplaceAll)
        return;
    std::set<std::pair<int, int>> replaced;
    for (;;) {
        if (!replaced.insert({column, row}).second)
            break; // back at a cell already replaced
        CELCell cell;
        const int gc = gridColumnOf(column);
        FetchStoredCell(gc, row, cell);
        if (const char* t = cell.GetValueText()) {
            std::string text(t);
            ReplaceInText(text, findText, replaceText, matchCase);
            cell.SetText(text);
            StoreCell(gc, row, cell);
            RedrawCell(gc, row);
        }
        if (s.dataSource->FindNext(findText, column, row, flags) != 0)
            break;
        if (replaced.count({column, row}))
            break;
        MoveActiveCell(gridColumnOf(column), row);
    }
}

int CELCtrl::PasteText(const std::string& text) {
    CELGridInfo& s = *info_;
    const int startColumn = s.currentColumn, startRow = s.currentRow;
    int column = startColumn, row = startRow;
    int furthestColumn = -1, furthestRow = -1;
    std::string field;
    auto flush = [&] {
        if (column >= 0 && row >= 0 && column < s.columnCount && row < s.rowCount) {
            CELCell cell;
            FetchStoredCell(column, row, cell);
            cell.SetText(field);
            StoreCell(column, row, cell);
            if (!field.empty()) {
                furthestColumn = std::max(furthestColumn, column);
                furthestRow = std::max(furthestRow, row);
            }
        }
        field.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\t') {
            flush();
            ++column;
        } else if (c == '\n' || c == '\r') {
            flush();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++row;
            column = startColumn;
        } else {
            field += c;
        }
    }
    if (!field.empty() || text.empty() || (text.back() == '\t'))
        flush();
    s.blocks.Empty();
    s.targetColumn = s.currentColumn;
    s.targetRow = s.currentRow;
    if (furthestColumn < 0)
        SelectBlock(startColumn, startRow, startColumn, startRow);
    else
        SelectBlock(startColumn, startRow, std::max(furthestColumn, startColumn),
                    std::max(furthestRow, startRow));
    s.targetColumn = s.currentColumn;
    s.targetRow = s.currentRow;
    RepaintAll();
    return 0;
}

int CELCtrl::CopyTextToClipboard(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(platform::Cp1252ToUtf8(text)));
    return 0;
}

int CELCtrl::PasteTextFromClipboard(std::string& text) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return 1;
    text = platform::Utf8ToCp1252(data->text().toStdString());
    return 0;
}

// ---- printing ----

int CELCtrl::PaginateForPrint(const CELPageGeometry& page, int firstColumn, int firstRow,
                              int lastColumn, int lastRow) {
    return print_->Paginate(page, firstColumn, firstRow, lastColumn, lastRow);
}

int CELCtrl::RenderPrintPage(QPainter& painter, int page) {
    return print_->Render(painter, page);
}

int CELCtrl::SetPrintSetting(int code, int value) {
    return print_->Set(code, value);
}

int CELCtrl::GetPrintSetting(int code, int& value) const {
    return print_->Get(code, value);
}

bool CELCtrl::PageRange(int page, int& firstColumn, int& lastColumn, int& firstRow,
                        int& lastRow) const {
    return print_->Find(page, firstColumn, lastColumn, firstRow, lastRow);
}

// ---- notification defaults ----

void CELCtrl::NotifyFocusGained(int) {}
void CELCtrl::NotifyGridCreated() {}
void CELCtrl::NotifySheetCreated(int) {}
bool CELCtrl::AllowActiveCellMove(int, int, int, int) {
    return true;
}
bool CELCtrl::AllowViewMove(int, int, int, int) {
    return true;
}
void CELCtrl::NotifyPastLastRow(int, int, int) {}
bool CELCtrl::AllowColumnSizing(int) {
    return true;
}
void CELCtrl::NotifyColumnSizing(int, int&) {}
void CELCtrl::NotifyColumnSized(int, int&) {}
bool CELCtrl::AllowRowSizing(int) {
    return true;
}
void CELCtrl::NotifyRowSizing(int, int&) {}
void CELCtrl::NotifyRowSized(int, int&) {}
bool CELCtrl::AllowTopHeadingSizing() {
    return true;
}
bool CELCtrl::AllowSideHeadingSizing() {
    return true;
}
bool CELCtrl::NotifyTopHeadingSizing(int&) {
    return true;
}
bool CELCtrl::NotifySideHeadingSizing(int&) {
    return true;
}
bool CELCtrl::NotifyTopHeadingSized(int&) {
    return true;
}
bool CELCtrl::NotifySideHeadingSized(int&) {
    return true;
}
void CELCtrl::NotifyActiveColumnChanged(int, int) {}
void CELCtrl::NotifyActiveRowChanged(int, int) {}
void CELCtrl::NotifyActiveCellChanged(int, int, int, int) {}
void CELCtrl::NotifyLeftColumnChanged(int, int) {}
void CELCtrl::NotifyTopRowChanged(int, int) {}
void CELCtrl::NotifyCellLeftClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCellRightClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCellDoubleClick(int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCellMouseMove(int, int, const QPoint&, int, int) {}
void CELCtrl::NotifyTopHeadingLeftClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyTopHeadingRightClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyTopHeadingDoubleClick(int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifySideHeadingLeftClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifySideHeadingRightClick(int, int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifySideHeadingDoubleClick(int, int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCornerLeftClick(int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCornerRightClick(int, const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyCornerDoubleClick(const QRect&, const QPoint&, int) {}
void CELCtrl::NotifyKeyPressed(int&, int) {}
void CELCtrl::NotifyKeyReleased(int&, int) {}
void CELCtrl::NotifyCharTyped(int&, int) {}
void CELCtrl::NotifyCellFetched(int, int, CELCell&) {}
void CELCtrl::NotifyCellStoring(int, int, CELCell&) {}
bool CELCtrl::NotifyCellTypeEvent(int, int, int, int, void*) {
    return true;
}
bool CELCtrl::AllowEditStart(int, int, CELEdit*&) {
    return true;
}
bool CELCtrl::AllowEditKey(int, int, CELEdit*, int&) {
    return true;
}
bool CELCtrl::AllowEditFinish(int, int, CELEdit*, std::string&, bool) {
    return true;
}
bool CELCtrl::AllowEditContinue(int, int, int&, int&) {
    return true;
}
void CELCtrl::NotifyMenuCommand(int, int, int, int) {}
bool CELCtrl::AllowMenuStart(int, int, int) {
    return true;
}
int CELCtrl::GetHelpContextId(int, int, int) {
    return 0;
}
int CELCtrl::GetCellTipText(int column, int row, int, std::string& text) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Col:%d Row:%ld", column, static_cast<long>(row));
    text = buffer;
    return 1;
}
bool CELCtrl::GetVerticalScrollTip(int, std::string&) {
    return true;
}
bool CELCtrl::GetHorizontalScrollTip(int, std::string&) {
    return true;
}
int CELCtrl::NotifyDragEnter(const QMimeData*) {
    return 0;
}
int CELCtrl::NotifyDragOver(const QMimeData*, int, int) {
    return 0;
}
int CELCtrl::NotifyDrop(const QMimeData*, int, int) {
    return 0;
}
int CELCtrl::CompareCellsForSort(const CELCell* first, const CELCell* second, int flags) {
    return CompareCellsDefault(first, second, flags);
}
void CELCtrl::PrepareScreenDC(QPainter&, void*, int) {}
void CELCtrl::AdjustChildLayout(QRect&, QRect&, QRect&, QRect&, QRect&, QRect&, QRect&) {}
void CELCtrl::NotifySheetTabSelected(int) {}
COLORREF CELCtrl::GetSectionBackColour(int section) {
    return SysColour(section == 1 ? kWindow : kButtonFace);
}
void CELCtrl::DrawFocusFrame(QPainter& painter, const QRect& rect) {
    const int c = info_->currentColumn, r = info_->currentRow;
    if (c >= 0 && r >= 0) {
        CELCell cell;
        FetchCell(c, r, cell);
        if (GetCellTypeByNumber(cell.GetCellType())->DrawFocus(painter, rect, c, r))
            return;
    }
    // The dotted frame inside the cell, one pixel in at the right and bottom.
    const QRect frame(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor ink(Qt::white);
    auto dot = [&](int x, int y) { painter.fillRect(x, y, 1, 1, ink); };
    int phase = 0;
    for (int x = frame.left(); x < frame.right(); ++x, ++phase)
        if (phase % 2 == 0)
            dot(x, frame.top());
    for (int y = frame.top(); y < frame.bottom(); ++y, ++phase)
        if (phase % 2 == 0)
            dot(frame.right(), y);
    for (int x = frame.right(); x > frame.left(); --x, ++phase)
        if (phase % 2 == 0)
            dot(x, frame.bottom());
    for (int y = frame.bottom(); y > frame.top(); --y, ++phase)
        if (phase % 2 == 0)
            dot(frame.left(), y);
    painter.restore();
}
void CELCtrl::NotifyFocusLost(int) {}
bool CELCtrl::AllowColumnMoveStart(int) {
    return true;
}
bool CELCtrl::AllowColumnMove(int, int) {
    return true;
}
void CELCtrl::NotifyTrackingWindowMoved(const QRect&, const QRect&) {}
bool CELCtrl::NotifyFindDialogClosed() {
    return true;
}
void CELCtrl::OnCommand(int) {}
