// The grid on a 10,000 x 9 sheet: a full-screen paint, a page scroll with its repaint, a find
// that misses over the whole sheet and sorting the rows by text or numeric keys.
#include "controls/grid/cel_ctrl.h"
#include "controls/grid/cel_mem.h"
#include "controls/grid/cel_parts.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 9;

QApplication& App() {
    static std::unique_ptr<QApplication> app = [] {
        static int argc = 1;
        static char name[] = "bench_grid";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

void Fill(CELCtrl& grid) {
    grid.SetColumnCount(kColumns, false);
    grid.SetRowCount(kRows, false);
    for (int c = 0; c < kColumns; ++c)
        grid.WriteCellText(c, -1, "Column " + std::to_string(c + 1));
    for (int r = 0; r < kRows; ++r) {
        grid.WriteCellText(-1, r, std::to_string(r + 1));
        for (int c = 0; c < kColumns; ++c)
            grid.WriteCellText(c, r, "Cell " + std::to_string(r) + "/" + std::to_string(c));
    }
}

// A full-screen grid: columns wide enough to fill 1920 pixels.
std::unique_ptr<CELCtrl> ScreenGrid() {
    App();
    auto grid = std::make_unique<CELCtrl>();
    grid->setAttribute(Qt::WA_DontShowOnScreen);
    grid->CreateInParent(0, QRect(0, 0, 1920, 1080), nullptr, 1);
    Fill(*grid);
    for (int c = 0; c < kColumns; ++c)
        grid->ResizeColumn(c, 205);
    grid->LockColumns(1);
    grid->RelayoutChildren();
    return grid;
}

void BM_GridFullScreenPaint(benchmark::State& state) {
    auto grid = ScreenGrid();
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        grid->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_GridFullScreenPaint)->Unit(benchmark::kMillisecond);

void BM_GridPageScrollAndRepaint(benchmark::State& state) {
    auto grid = ScreenGrid();
    QImage image(1920, 1080, QImage::Format_RGB32);
    grid->render(&image);
    for (auto _ : state) {
        if (grid->GetTopRow() >= grid->Info().lastTopRow)
            grid->SetTopRow(0);
        grid->ScrollRowsBy(3);
        grid->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_GridPageScrollAndRepaint)->Unit(benchmark::kMillisecond);

void BM_CELMemFindMissing(benchmark::State& state) {
    App();
    CELCtrl grid;
    Fill(grid);
    for (auto _ : state) {
        int column = 0, row = 0;
        const int answer = grid.GetDataSource()->FindFirst("no such text", column, row, 8 | 2 | 1);
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_CELMemFindMissing)->Unit(benchmark::kMillisecond);

// Sorting the rows by one key column in random order: text keys (state 0) or numbers (1).
void BM_GridSortRows(benchmark::State& state) {
    App();
    CELCtrl grid;
    grid.SetColumnCount(kColumns, false);
    grid.SetRowCount(kRows, false);
    std::mt19937 rng(2026);
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 0; r < kRows; ++r) {
            CELCell cell;
            if (state.range(0) == 0)
                cell.SetText("Name " + std::to_string(rng() % 100000));
            else
                cell.SetNumber(static_cast<double>(rng() % 100000));
            grid.StoreCell(2, r, cell);
            grid.WriteCellText(0, r, std::to_string(r));
        }
        state.ResumeTiming();
        grid.SortRowsByColumn(2, 0);
    }
}
BENCHMARK(BM_GridSortRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
