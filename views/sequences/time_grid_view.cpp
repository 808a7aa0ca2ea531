#include "views/sequences/time_grid_view.h"

#include "script/vl_doc.h"
#include "views/common/update_hints.h"
#include "views/common/view_services.h"
#include "views/sequences/timeline_layout.h"

#include <algorithm>
#include <vector>

void CVwTimeGrid::OnUpdate(platform::View* sender, long hint, void* object) {
    if (!HintConcernsView(hint, object))
        return;
    CVLDoc& doc = Doc();
    EventCel& cel = Cel();
    if (const auto* selection = hints::As<hints::TimelineSelection>(hint, object)) {
        cel.update();
        const int lastColumn = EventCel::kColumns - 1;
        std::vector<int> rows;
        for (const CEventBoxOb& box : selection->boxes->Boxes())
            if (box.m_nEvent >= 0 && box.m_nEvent < cel.GetRowCount() - 1)
                rows.push_back(box.m_nEvent);
        // The active cell first: moving it starts a new selection.
        if (!rows.empty())
            cel.MoveActiveCell(std::max(0, cel.GetActiveColumn()), rows.back());
        cel.ClearBlockSelection();
        for (int row : rows)
            cel.SelectBlock(0, row, lastColumn, row);
        cel.RepaintAll();
        return;
    }
    if (hints::As<hints::TimesMoved>(hint, object)) {
        cel.update();
        if (Sequence())
            Sequence()->SortEventsByTime(doc.GetFrameRate());
        FillGrid();
        cel.ClearBlockSelection();
        cel.MoveActiveCell(0, 0);
        cel.RepaintAll();
        return;
    }
    if (hints::As<hints::TimelineEventsChanged>(hint, object)) {
        cel.update();
        if (cel.IsEditing())
            cel.AbandonEdit(); // its row may hold another event now
        FillGrid();
        update();
        return;
    }
    CEvntView::OnUpdate(sender, hint, object);
}

void CVwTimeGrid::SendGridChanged(int event) {
    CVLDoc& doc = Doc();
    if (Sequence())
        hints::SendGridEventsChanged(doc, *Sequence(), event);
}

void CVwTimeGrid::EventsChanged(int event) {
    CEvntView::EventsChanged(event);
    SendGridChanged(event);
}

void CVwTimeGrid::EventTextChanged() {
    SendGridChanged(0);
}

void CVwTimeGrid::CellEdited() {
    SendGridChanged(0);
}

void CVwTimeGrid::EventsCopied() {
    SendGridChanged(0);
}

void CVwTimeGrid::EventPicked() {
    SendGridChanged(0);
}

void CVwTimeGrid::SkipMarkToggled(int row) {
    SendGridChanged(0);
    CVLDoc& doc = Doc();
    if (Sequence())
        hints::SendSkipToggled(doc, *Sequence(), row);
}

void RegisterTimeGridView(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CVwTimeGrid, CVLDoc>(registry, "CVwTimeGrid", services);
}
