#include "views/resources/resource_view.h"

#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_grid_info.h"
#include "platform/qt/qt_ui_services.h"

#include <QFontMetrics>
#include <QTimer>
#include <algorithm>

std::string CResourceView::FrameCaption() const {
    const CVLDoc& doc = Doc();
    return doc.ViewTitle(*this);
}

void CResourceView::OnDraw() {
    const std::string title = FrameCaption();
    if (Frame() && !title.empty() && platform::qt::FromQString(Frame()->windowTitle()) != title)
        SetFrameTitle(title);
}

void CResourceView::EnableCellTips(bool enable) {
    if (Grid())
        Grid()->EnableCellTips(enable);
}

void CResourceView::AutoSizeColumns() {
    VLCELCtrl* grid = Grid();
    if (!grid || grid->GetColumnCount() <= 0)
        return;
    grid->FitColumnWidths(0, grid->GetColumnCount() - 1, 0, 2);
    const std::vector<int> minimum = MinimumWidths();
    for (int c = 0; c < grid->GetColumnCount() && std::size_t(c) < minimum.size(); ++c)
        if (grid->GetColumnWidth(c) < minimum[std::size_t(c)])
            grid->ResizeColumn(c, minimum[std::size_t(c)]);
    StoreColumnWidths(WidthGroup());
    grid->RepaintAll();
}

void CResourceView::MarkChanged() {
    Doc().SetModifiedFlag(true);
    Doc().MarkForCompile();
}

void CResourceView::CloseFrameSoon() {
    // The key that asks is still being handled by the grid the frame is about to delete.
    QTimer::singleShot(0, this, [this] { CloseFrame(); });
}

void CResourceView::SetDefaultCell(VLCELCtrl& grid, COLORREF background, bool locked) {
    CELCell cell;
    grid.FetchGridDefault(cell);
    cell.SetEdgeStyle(0x2000);
    cell.SetBackground(background);
    if (locked)
        cell.SetEditLocked(true);
    grid.StoreGridDefault(cell);
}

void CResourceView::FitRowHeadings(VLCELCtrl& grid, const char* widest) {
    const QFont font = grid.Info().defaultFont ? *grid.Info().defaultFont : grid.font();
    const int width = QFontMetrics(font).horizontalAdvance(QString::fromLatin1(widest)) + 10;
    if (grid.GetRowHeadingWidth() < width)
        grid.SetRowHeadingWidth(width);
}
