// What the resource tables share on top of the view base: the frame title from the script's
// view titles, cell tips as the program's setting says, AutoSize with each table's minimum
// widths, and the one way an edit marks the script.
#pragma once

#include "platform/qt/virtual_keys.h"
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

// The grid of a table the user edits cell by cell (names, ports, strings).
template <class Grid = VLCELCtrl> class EditedCel : public ResourceCel<Grid> {
public:
    explicit EditedCel(CResourceView& table) : ResourceCel<Grid>(table), edited_(table) {}
    // The keys every edited table shares, on the active cell: F2 edits it; Delete empties the
    // cell and its field (when the field may be emptied), and the script is changed when the
    // row has an entry. Every other key goes to OnTableKey.
    void NotifyKeyPressed(int& key, int processed) override;

protected:
    // A key of the table's own on the active cell (of `rows` rows).
    virtual void OnTableKey(int /*key*/, int /*column*/, int /*row*/, int /*rows*/) {}
    // Whether Delete may empty the cell; a field that refuses says why.
    virtual bool MayClear(int /*column*/, int /*row*/) { return true; }
    // Empties the field of a cleared cell; false when the row has no entry.
    virtual bool ClearField(int column, int row) = 0;

private:
    CResourceView& edited_;
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

template <class Grid> void EditedCel<Grid>::NotifyKeyPressed(int& key, int processed) {
    Grid::NotifyKeyPressed(key, processed);
    const int c = this->GetActiveColumn(), r = this->GetActiveRow();
    if (c < 0 || r < 0)
        return;
    if (key == platform::qt::VK_F1 + 1) {
        this->EditActiveCell();
    } else if (key == platform::qt::VK_DELETE) {
        if (!MayClear(c, r))
            return;
        this->EraseCell(c, r);
        this->RepaintAll();
        if (ClearField(c, r))
            edited_.MarkChanged();
    } else {
        OnTableKey(key, c, r, this->GetRowCount());
    }
}

// Registers the resource tables with the program's registry under their class names, and the
// dialogs they open.
void RegisterResourceViews(platform::qt::ViewRegistry& registry, ViewServices& services);
