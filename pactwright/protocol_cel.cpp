#include "pactwright/protocol_cel.h"

#include "pactwright/pactwright_view.h"
#include "platform/qt/virtual_keys.h"

namespace pactwright {

ProtocolCel::ProtocolCel(CPactwrightView& view) : view_(view) {
    // No cell tips, no find dialog and no grid printing in this program.
    SetCellTipsOnCreate(false);
}

bool ProtocolCel::AllowEditFinish(int, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    return view_.StoreEdit(row, text);
}

bool ProtocolCel::AllowEditContinue(int, int, int&, int&) {
    return false; // an edit never moves on to another cell
}

void ProtocolCel::NotifyCellDoubleClick(int column, int row, const QRect&, const QPoint&, int) {
    if (column == 1 && row >= 0 && row < GetRowCount() && MoveActiveCell(1, row) == 0)
        EditActiveCell();
}

void ProtocolCel::NotifyCharTyped(int& ch, int) {
    if (IsEditing() || GetActiveColumn() != 1 || GetActiveRow() < 0)
        return;
    if (ch > ' ' && ch != 0x7F) {
        EditActiveCellWithKey(ch);
        ch = 0;
    }
}

void ProtocolCel::NotifyKeyPressed(int& key, int) {
    if (IsEditing())
        return;
    if (key == platform::qt::VK_RETURN && GetActiveColumn() == 1) {
        if (GetActiveRow() + 1 < GetRowCount())
            MoveActiveCell(1, GetActiveRow() + 1);
        key = 0;
    } else if (key == platform::qt::VK_DELETE && view_.CellTextActive()) {
        view_.DeleteActiveCell();
        key = 0;
    }
}

void ProtocolCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&,
                                             int) {
    if (down && row >= 0 && row < GetRowCount() - 1)
        MoveActiveCell(0, row);
}

void ProtocolCel::NotifySideHeadingRightClick(int, int row, int down, const QRect&, const QPoint&,
                                              int) {
    if (down && row >= 0 && row < GetRowCount())
        MoveActiveCell(0, row);
}

void ProtocolCel::NotifySideHeadingDoubleClick(int, int, const QRect&, const QPoint&, int) {
    // Passed on as a double click in the heading column, which opens nothing.
}

void ProtocolCel::AdjustChildLayout(QRect& cellArea, QRect& topHeading, QRect& sideHeading,
                                    QRect& corner, QRect& vScroll, QRect& hScroll, QRect& tabs) {
    // A resize closes an open editor without storing its text.
    if (IsEditing())
        AbandonEdit();
    VLCELCtrl::AdjustChildLayout(cellArea, topHeading, sideHeading, corner, vScroll, hScroll, tabs);
}

} // namespace pactwright
