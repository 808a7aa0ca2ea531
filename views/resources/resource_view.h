// What the resource tables share on top of the view base: the frame title from the script's
// view titles, cell tips as the program's setting says, AutoSize with each table's minimum
// widths, and the one way an edit marks the script.
#pragma once

#include "views/common/cell_tips_view.h"
#include "views/common/column_fit_view.h"
#include "views/common/vl_view.h"
#include "views/gridbase/sorting_cel.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <string>
#include <vector>

namespace platform::qt {
class ViewRegistry;
}

class CResourceView;

// The grid of a resource table, on `Grid`: a column sized keeps the table's widths in the
// script, a double click edits the cell, and a visible character typed opens the editor with it.
template <class Grid = VLCELCtrl> class ResourceCel : public Grid {
public:
    explicit ResourceCel(CResourceView& table) : table_(table) {}

    void NotifyColumnSized(int column, int& width) override;
    void NotifyCellDoubleClick(int, int, const QRect&, const QPoint&, int) override {
        this->EditActiveCell();
    }
    void NotifyCharTyped(int& ch, int processed) override {
        if (!processed && StartsEdit(ch))
            this->EditActiveCellWithKey(ch);
    }

protected:
    // Visible characters open the editor with themselves; the blank does not.
    static bool StartsEdit(int ch) { return ch > 0x20 && ch != 0x7F; }

private:
    CResourceView& table_;
};

class CResourceView : public CVLView, public ColumnFitView, public CellTipsView {
public:
    CResourceView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr)
        : CVLView(doc, services, parent) {}

    std::string FrameCaption() const override;
    void EnableCellTips(bool enable) override;
    // Fits the columns to their widest text, raises each to its minimum and stores the widths.
    void AutoSizeColumns() override;

    // An edit the view stored: the script is modified and must be compiled again.
    void MarkChanged();
    // The columns' minimum widths after AutoSize, and where the widths are kept in the script.
    virtual std::vector<int> MinimumWidths() const = 0;
    virtual CVLDoc::ColGroup WidthGroup() const = 0;

    // Asks the view's frame to close (Escape in a table).
    void CloseFrameSoon();

protected:
    void OnDraw() override;
    // Writes the sheet's default cell: the 3-D frame edge and the table's colour.
    static void SetDefaultCell(VLCELCtrl& grid, COLORREF background, bool locked = false);
    // Widens the row headings to show `widest` whole.
    static void FitRowHeadings(VLCELCtrl& grid, const char* widest);
};

template <class Grid> void ResourceCel<Grid>::NotifyColumnSized(int, int&) {
    table_.StoreColumnWidths(table_.WidthGroup());
}

// Registers the resource tables with the program's registry under their class names, and the
// dialogs they open.
void RegisterResourceViews(platform::qt::ViewRegistry& registry, ViewServices& services);
