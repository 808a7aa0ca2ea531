// Text pasted into the grid: any bytes, from any cell, fill cells of the sheet only and never
// grow it. The first two bytes choose the starting cell.
#include "controls/grid/cel_ctrl.h"

#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kColumns = 6;
constexpr int kRows = 8;

CELCtrl& Grid() {
    static int argc = 1;
    static char name[] = "fuzz_grid_paste";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    static std::unique_ptr<CELCtrl> grid = [] {
        auto made = std::make_unique<CELCtrl>();
        made->CreateInParent(0, QRect(0, 0, 400, 300), nullptr, 1);
        made->SetColumnCount(kColumns);
        made->SetRowCount(kRows);
        made->EnableBlockSelection(1);
        return made;
    }();
    return *grid;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CELCtrl& grid = Grid();
    if (size < 2)
        return 0;
    grid.MoveActiveCell(data[0] % kColumns, data[1] % kRows);
    grid.PasteText(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
    if (grid.GetColumnCount() != kColumns || grid.GetRowCount() != kRows)
        __builtin_trap();
    std::string text;
    for (int column = 0; column < kColumns; ++column) {
        for (int row = 0; row < kRows; ++row)
            grid.CopyCellText(column, row, text);
    }
    return 0;
}
