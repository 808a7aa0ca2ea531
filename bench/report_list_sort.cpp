// Sorting a report list of 10,000 rows in random order by a clicked column: text keys (times
// and names in mixed case) and numeric keys (compared as text, as the list does).
#include "controls/toolbox/grid_list.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

template <typename Key> void SortRows(benchmark::State& state, Key key) {
    App();
    CYNGridList list;
    list.InsertColumn(0, "Key");
    list.InsertColumn(1, "Shuffle");
    list.EnableSorting(true);
    list.resize(800, 600);
    std::mt19937 rng(2026);
    for (int i = 0; i < 10000; ++i) {
        const int item = list.InsertItem(i, key(rng), i);
        list.SetItemText(item, 1, QString::number(rng()));
    }
    bool ascending = true;
    for (auto _ : state) {
        state.PauseTiming();
        list.SortColumn(1); // a random order of the keys
        state.ResumeTiming();
        list.OnColumnClick(0); // ascending, then descending on the next click
        ascending = !ascending;
    }
    benchmark::DoNotOptimize(ascending);
}

void BM_SortTextKeys(benchmark::State& state) {
    static const char* const names[] = {"Fountain Jets", "stage left wash", "Fog Machine",
                                        "strobe bank",   "AUDIO CUE",       "Curtain Motor"};
    SortRows(state, [](std::mt19937& rng) {
        const unsigned frames = rng() % 90000;
        return QString::asprintf("%02u:%02u.%02u %s", frames / 1500 % 60, frames / 25 % 60,
                                 frames % 25, names[rng() % 6]);
    });
}
BENCHMARK(BM_SortTextKeys)->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_SortNumericKeys(benchmark::State& state) {
    SortRows(state, [](std::mt19937& rng) { return QString::number(rng() % 1000000); });
}
BENCHMARK(BM_SortNumericKeys)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace
