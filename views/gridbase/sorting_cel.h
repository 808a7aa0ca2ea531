// A grid whose rows sort by the text of a column: a left click on the column's heading sorts it
// up, a right click down.
#pragma once

#include "views/gridbase/vl_cel_ctrl.h"

class SortingCel : public VLCELCtrl {
public:
    void NotifyTopHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                   const QPoint& point, int processed) override;
    void NotifyTopHeadingRightClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    int CompareCellsForSort(const CELCell* first, const CELCell* second, int flags) override;

protected:
    void SortBy(int column, int flags);
};
