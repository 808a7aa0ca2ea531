// A grid of `rows` rows "r<row>c<column>" in three columns, for the tests of grids.
#pragma once

#include "views/gridbase/vl_cel_ctrl.h"

#include <string>

namespace testing_support {

inline void FillGrid(VLCELCtrl& grid, int rows) {
    grid.SetColumnCount(3);
    grid.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c)
            grid.WriteCellText(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
}

} // namespace testing_support
