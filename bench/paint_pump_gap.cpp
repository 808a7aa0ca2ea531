// How long the windows go without a turn of the event loop while a serial download runs on the
// user-interface thread: a 16 KB image to the controller emulator at 9600 baud, with the
// download's default packets and pacing. Each paint pump stands for one turn; the counter is
// the longest gap between two of them (the target is under 100 ms).
#include "link/script_transfer.h"

#include "tests/link/link_fixtures.h"
#include "tests/support/scripted_ui.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Records when each paint pump came.
class GapUi : public testing_support::ScriptedUi {
public:
    void PumpPaint() override {
        const Clock::time_point now = Clock::now();
        if (last != Clock::time_point{})
            longest = std::max(longest, now - last);
        last = now;
        ++turns;
    }
    Clock::time_point last{};
    Clock::duration longest{};
    int turns = 0;
};

void BM_LongestGapBetweenPaintsDuringADownload(benchmark::State& state) {
    constexpr std::size_t kPayload = 16 * 1024;
    for (auto _ : state) {
        GapUi ui;
        link_tests::MemoryApplication app;
        app.settings.noArchiveOffer = true;
        testing_support::EmulatorOptions options;
        options.baud = 9600;
        link_tests::EmulatedPort port(options);
        if (!port.started) {
            state.SkipWithError("the emulator did not start");
            return;
        }
        link_tests::FakeScript script(kPayload);
        ui.last = Clock::now();
        const bool downloaded = showlink::DownloadCompiledScript(script, app);
        // The gap up to the end of the download counts too.
        ui.PumpPaint();
        if (!downloaded || port.emulator.StoredImage().size() != kPayload) {
            state.SkipWithError("the download failed");
            return;
        }
        state.counters["longest gap ms"] =
            std::chrono::duration<double, std::milli>(ui.longest).count();
        state.counters["turns"] = ui.turns;
    }
}
BENCHMARK(BM_LongestGapBetweenPaintsDuringADownload)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
