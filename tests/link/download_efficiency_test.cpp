// How much of a 9600-baud line a download uses: the emulator takes the bytes at the line's
// character rate (11 bits a character: start, eight data bits, the ninth bit, stop), and the
// download runs with the pacing its settings ask for. Prints the figures.
#include "link/script_transfer.h"

#include "tests/link/link_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

struct PacingRun {
    const char* name;
    int packetSize;
    int pacing;
    int timeoutMs;
    int bitMode;
};

TEST(DownloadEfficiency, PayloadAgainstLineCapacityAt9600Baud) {
    constexpr std::size_t kPayload = 4096;
    constexpr double kBaud = 9600.0;
    const PacingRun runs[] = {
        {"defaults: 128-byte packets, pacing 3 (165 ms), 9-bit", 128, 3, 3000, 1},
        {"256-byte packets, pacing 0, 9-bit", 256, 0, 30000, 1},
        {"defaults, 8-bit framing", 128, 3, 3000, 0},
    };
    for (const auto& run : runs) {
        testing_support::ScriptedUi ui;
        link_tests::MemoryApplication app;
        app.settings.serialBandwidth = run.packetSize;
        app.settings.serialDelay = run.pacing;
        app.settings.serialTimeout = run.timeoutMs;
        app.settings.serialBitMode = run.bitMode;
        app.settings.noArchiveOffer = true;
        const int bitsPerCharacter = run.bitMode == 1 ? 11 : 10;
        testing_support::EmulatorOptions options;
        options.baud = static_cast<int>(kBaud);
        options.bitsPerByte = bitsPerCharacter;
        link_tests::EmulatedPort port(options);
        ASSERT_TRUE(port.started);
        link_tests::FakeScript script(kPayload);

        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(showlink::DownloadCompiledScript(script, app)) << run.name;
        const std::chrono::duration<double> total = std::chrono::steady_clock::now() - start;
        const std::chrono::duration<double> stream = port.emulator.LastStreamDuration();
        ASSERT_EQ(port.emulator.StoredImage().size(), kPayload);

        const double charactersPerSecond = kBaud / bitsPerCharacter;
        const double streamEfficiency = kPayload / (stream.count() * charactersPerSecond);
        const double totalEfficiency = kPayload / (total.count() * charactersPerSecond);
        std::printf("[efficiency] %s: %zu bytes, stream %.2f s (%.1f%% of the line), whole "
                    "download %.2f s (%.1f%%)\n",
                    run.name, kPayload, stream.count(), 100.0 * streamEfficiency, total.count(),
                    100.0 * totalEfficiency);
        RecordProperty(std::string(run.name) + " stream %",
                       static_cast<int>(100.0 * streamEfficiency + 0.5));
        // The line cannot carry more than its capacity; pacing may only cost what it asks for.
        EXPECT_LE(streamEfficiency, 1.02) << run.name;
        const double packetTime = run.packetSize / charactersPerSecond;
        const double expected = packetTime / std::max(packetTime, run.pacing * 0.055);
        EXPECT_GT(streamEfficiency, expected * 0.8) << run.name;
    }
}

} // namespace
