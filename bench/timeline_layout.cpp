// The graphical timeline's layout over a sequence of 5,000 events: every box built (grouped,
// stacked, older groups pushed right, coloured by operand) and what one screen paints (its axis
// ticks and labels, the boxes it meets) gathered, at a close and a far zoom level.
#include "views/sequences/timeline_layout.h"
#include "app/vl_app.h"
#include "platform/ui_services.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

struct Bench {
    Bench() {
        platform::SetUi(&ui);
        app.m_strAppDir = std::filesystem::path(VELMORA_DATA_DIR).string();
        app.LoadDeviceDefinitions();
        doc = std::make_unique<CVLDoc>(app);
        doc->InitNewScript("Harnel16");
        for (int i = 0; i < 16; ++i)
            doc->m_pProduct->m_Outputs[static_cast<std::size_t>(i)].m_strName =
                "Light" + std::to_string(i + 1);
        // A show of 5,000 cues over the 36 minutes the axis holds, several at one time.
        for (int i = 0; i < 5000; ++i) {
            auto event = std::make_unique<CEvnt>();
            event->m_strTime = FramesToMinSecText((i / 3) * 39, 30.0);
            event->m_strEvent = i % 2 ? "OutputOn" : "OutputOff";
            event->m_strData1 = "Light" + std::to_string(i % 20 + 1); // some match no output
            events.push_back(std::move(event));
        }
    }
    platform::SilentUi ui;
    CVLApp app;
    std::unique_ptr<CVLDoc> doc;
    CEvntList events;
};

void BM_LayOutAndGatherOneScreen(benchmark::State& state) {
    static Bench bench;
    const auto settings =
        *timeline::MakeSettings(static_cast<int>(state.range(0)), "00:00:00.00", 30.0, false, true);
    const CVLDoc& doc = *bench.doc;
    for (auto _ : state) {
        CEventBoxList boxes;
        boxes.Build(bench.events, settings, timeline::OperandColours(doc));
        // One screen of 800 by 600 pixels half way down.
        const timeline::TimelineRect screen{0, 2000, 800, 2600};
        const auto ticks = timeline::AxisTicks(settings, screen.top, screen.bottom);
        int visible = 0;
        for (const CEventBoxOb& box : boxes.Boxes())
            visible += box.m_rcBox.Overlaps(screen) || box.m_bGroupHead;
        benchmark::DoNotOptimize(ticks.size());
        benchmark::DoNotOptimize(visible);
    }
}
// Level 1 spreads the events far apart; level 8 (where the pane opens) piles them into 36
// tall stacks that push each other right. Level 4 is the push rule's worst case: every new
// group of three overlaps the one before, so each head shifts all earlier groups one column
// (1,667 groups, 1.4 million group moves), which no index can avoid while giving the same boxes.
BENCHMARK(BM_LayOutAndGatherOneScreen)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace
