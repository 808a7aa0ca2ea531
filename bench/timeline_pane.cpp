// The graphical timeline pane over a sequence of 5,000 events with its event grid beside it:
// the boxes laid out and one screen painted, and a drag of 50 selected boxes dropped (the times
// written, the events sorted, the grid and the boxes rebuilt).
#include "platform/ui_services.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"
#include "tests/support/view_services_fixture.h"
#include "views/sequences/time_grid_view.h"
#include "views/sequences/timeline_view.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "bench_timeline_pane";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    static platform::SilentUi ui;
    platform::SetUi(&ui);
}

std::unique_ptr<CVLDoc> Show(int events) {
    auto doc = std::make_unique<CVLDoc>();
    doc->SetTitle("Bench.ksf");
    auto seq = std::make_unique<CSeq>("Long", 1);
    for (int i = 0; i < events; ++i) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = FramesToMinSecText((i / 3) * 39, 30.0);
        event->m_strEvent = i % 2 ? "On" : "Off";
        event->m_strData1 = "Output" + std::to_string(i % 16);
        seq->m_poEventList.push_back(std::move(event));
    }
    doc->m_posCurrentSeq = seq.get();
    doc->m_poSeqList.push_back(std::move(seq));
    return doc;
}

struct Panes {
    explicit Panes(CVLDoc& doc) : timeline(doc, services), grid(doc, services) {
        services.settings.timecodeStartAdded = false;
        for (CVLView* view : {static_cast<CVLView*>(&timeline), static_cast<CVLView*>(&grid)}) {
            doc.AddView(view);
            view->OnInitialUpdate();
            view->resize(500, 600);
        }
    }
    testing_support::TestViewServices services;
    CVwTimeline timeline;
    CVwTimeGrid grid;
};

// Level 8, where the pane opens: the 5,000 events in 36 tall stacks.
void BM_LayOutAndPaintAScreen(benchmark::State& state) {
    EnsureApp();
    auto doc = Show(5000);
    Panes panes(*doc);
    QImage screen(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        panes.timeline.RebuildBoxes();
        QPainter painter(&screen);
        painter.translate(0, -2000);
        PaintTimeline(painter, panes.timeline.Boxes(), panes.timeline.Settings(),
                      QRect(0, 2000, 800, 600), nullptr);
    }
    doc->RemoveView(&panes.timeline);
    doc->RemoveView(&panes.grid);
}
BENCHMARK(BM_LayOutAndPaintAScreen)->Unit(benchmark::kMillisecond);

// 50 boxes selected with Shift, dragged 200 pixels down and dropped: the drop writes the times,
// sorts the events and rebuilds the grid and the boxes. Level 1 keeps the boxes apart.
void BM_DragFiftyBoxes(benchmark::State& state) {
    EnsureApp();
    auto doc = Show(5000);
    Panes panes(*doc);
    panes.timeline.SetZoomLevel(1);
    for (auto _ : state) {
        state.PauseTiming();
        const auto centre = [&](int box) {
            const auto& r = panes.timeline.Boxes()[static_cast<std::size_t>(box)].m_rcBox;
            return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
        panes.timeline.OnLButtonDown(centre(1000), {});
        panes.timeline.OnLButtonUp(centre(1000));
        panes.timeline.OnLButtonDown(centre(1049), Qt::ShiftModifier);
        state.ResumeTiming();
        panes.timeline.OnMouseMove(centre(1049) + QPoint(0, 200));
        panes.timeline.OnLButtonUp(centre(1049) + QPoint(0, 200));
        benchmark::DoNotOptimize(panes.grid.Cel().GetRowCount());
    }
    doc->RemoveView(&panes.timeline);
    doc->RemoveView(&panes.grid);
}
BENCHMARK(BM_DragFiftyBoxes)->Unit(benchmark::kMillisecond);

} // namespace
