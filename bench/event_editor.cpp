// The event editor over a sequence of 10,000 events: opening it (the grid built and painted)
// and scrolling one page (the next rows painted).
#include "platform/ui_services.h"
#include "script/vl_doc.h"
#include "tests/support/view_services_fixture.h"
#include "views/sequences/event_view.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "bench_event_editor";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    static platform::SilentUi ui;
    platform::SetUi(&ui);
}

std::unique_ptr<CVLDoc> LongSequenceScript(int events) {
    auto doc = std::make_unique<CVLDoc>();
    doc->SetTitle("Bench.ksf");
    auto seq = std::make_unique<CSeq>("Long", 1);
    for (int i = 0; i < events; ++i) {
        auto event = std::make_unique<CEvnt>();
        event->m_strLabel = i % 10 == 0 ? "L" + std::to_string(i) : "";
        event->m_strTime = "00:" + std::to_string(10 + i % 50) + ".00";
        event->m_strEvent = i % 2 ? "On" : "Off";
        event->m_strData1 = "Output" + std::to_string(i % 16);
        event->m_strComment = "Event number " + std::to_string(i);
        seq->m_poEventList.push_back(std::move(event));
    }
    doc->m_posCurrentSeq = seq.get();
    doc->m_poSeqList.push_back(std::move(seq));
    return doc;
}

struct OpenEditor {
    explicit OpenEditor(CVLDoc& doc) : view(doc, services) {
        doc.AddView(&view);
        view.OnInitialUpdate();
        view.resize(780, 500);
        view.show();
        benchmark::DoNotOptimize(view.grab());
    }
    testing_support::TestViewServices services;
    CEvntView view;
};

void BM_OpenEditorOn10000Events(benchmark::State& state) {
    EnsureApp();
    auto doc = LongSequenceScript(10000);
    for (auto _ : state) {
        OpenEditor editor(*doc);
        benchmark::DoNotOptimize(editor.view.Cel().GetRowCount());
        doc->RemoveView(&editor.view);
    }
}
BENCHMARK(BM_OpenEditorOn10000Events)->Unit(benchmark::kMillisecond);

void BM_ScrollOnePage(benchmark::State& state) {
    EnsureApp();
    auto doc = LongSequenceScript(10000);
    OpenEditor editor(*doc);
    EventCel& cel = editor.view.Cel();
    for (auto _ : state) {
        // Page down, then the grid drawn as the screen shows it.
        if (cel.GetActiveRow() >= 9900)
            cel.MoveActiveCell(1, 0);
        cel.MoveRowBy(3);
        benchmark::DoNotOptimize(cel.grab());
    }
    doc->RemoveView(&editor.view);
}
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMillisecond);

// Copy then paste of 5,000 events: the block written to the clipboard, read back whole and
// inserted before the empty row, the grid rebuilt.
void BM_CopyThenPaste5000Events(benchmark::State& state) {
    EnsureApp();
    auto doc = LongSequenceScript(5000);
    OpenEditor editor(*doc);
    EventCel& cel = editor.view.Cel();
    CSeq& seq = *doc->m_poSeqList[0];
    for (auto _ : state) {
        cel.MoveActiveCell(1, 0);
        cel.SelectBlock(1, 0, 1, 4999);
        editor.view.CopyEvents(false);
        const int empty = cel.GetRowCount() - 1;
        cel.MoveActiveCell(1, empty);
        cel.SelectOneCell(1, empty);
        editor.view.PasteEvents();
        state.PauseTiming();
        seq.m_poEventList.resize(5000);
        editor.view.FillGrid();
        state.ResumeTiming();
    }
    doc->RemoveView(&editor.view);
}
BENCHMARK(BM_CopyThenPaste5000Events)->Unit(benchmark::kMillisecond);

} // namespace
