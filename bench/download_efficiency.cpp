// How much of a 9600-baud line a download uses: the emulator takes the bytes at the line's
// character rate (11 bits a character: start, eight data bits, the ninth bit, stop), and the
// download runs with the pacing its settings ask for. Counters: the stream's and the whole
// download's share of the line, in percent.
#include "link/script_transfer.h"

#include "tests/link/link_fixtures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

struct PacingRun {
    const char* name;
    int packetSize;
    int pacing;
    int timeoutMs;
    int bitMode;
};

const PacingRun kRuns[] = {
    {"defaults: 128-byte packets, pacing 3 (165 ms), 9-bit", 128, 3, 3000, 1},
    {"256-byte packets, pacing 0, 9-bit", 256, 0, 30000, 1},
    {"defaults, 8-bit framing", 128, 3, 3000, 0},
};

void BM_DownloadAt9600Baud(benchmark::State& state) {
    constexpr std::size_t kPayload = 4096;
    constexpr double kBaud = 9600.0;
    const PacingRun& run = kRuns[state.range(0)];
    state.SetLabel(run.name);
    const int bitsPerCharacter = run.bitMode == 1 ? 11 : 10;
    const double charactersPerSecond = kBaud / bitsPerCharacter;
    for (auto _ : state) {
        testing_support::ScriptedUi ui;
        link_tests::MemoryApplication app;
        app.settings.serialBandwidth = run.packetSize;
        app.settings.serialDelay = run.pacing;
        app.settings.serialTimeout = run.timeoutMs;
        app.settings.serialBitMode = run.bitMode;
        app.settings.noArchiveOffer = true;
        testing_support::EmulatorOptions options;
        options.baud = static_cast<int>(kBaud);
        options.bitsPerByte = bitsPerCharacter;
        link_tests::EmulatedPort port(options);
        if (!port.started) {
            state.SkipWithError("the emulator did not start");
            return;
        }
        link_tests::FakeScript script(kPayload);

        const auto start = std::chrono::steady_clock::now();
        const bool downloaded = showlink::DownloadCompiledScript(script, app);
        const std::chrono::duration<double> total = std::chrono::steady_clock::now() - start;
        const std::chrono::duration<double> stream = port.emulator.LastStreamDuration();
        if (!downloaded || port.emulator.StoredImage().size() != kPayload) {
            state.SkipWithError("the download failed");
            return;
        }
        const double streamEfficiency = kPayload / (stream.count() * charactersPerSecond);
        state.counters["stream %"] = 100.0 * streamEfficiency;
        state.counters["stream s"] = stream.count();
        state.counters["download %"] = 100.0 * kPayload / (total.count() * charactersPerSecond);
        // The line cannot carry more than its capacity; pacing may only cost what it asks for.
        const double packetTime = run.packetSize / charactersPerSecond;
        const double expected = packetTime / std::max(packetTime, run.pacing * 0.055);
        if (streamEfficiency > 1.02 || streamEfficiency < expected * 0.8)
            state.SkipWithError("the stream's share of the line is out of bounds");
    }
}
BENCHMARK(BM_DownloadAt9600Baud)
    ->DenseRange(0, static_cast<int>(std::size(kRuns)) - 1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
