#include "views/gridbase/sorting_cel.h"

#include "platform/ui_services.h"

void SortingCel::SortBy(int column, int flags) {
    if (column < 0 || column >= GetColumnCount())
        return;
    platform::WaitCursor wait;
    SortRowsByColumn(column, flags);
    RepaintAll();
}

void SortingCel::NotifyTopHeadingLeftClick(int column, int, int down, const QRect&, const QPoint&,
                                           int) {
    if (!down)
        SortBy(column, 1);
}

void SortingCel::NotifyTopHeadingRightClick(int column, int, int down, const QRect&, const QPoint&,
                                            int) {
    if (!down)
        SortBy(column, 2);
}

int SortingCel::CompareCellsForSort(const CELCell* first, const CELCell* second, int flags) {
    return CompareTextOnly(first, second, flags);
}
