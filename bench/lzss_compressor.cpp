// Packing and expanding a large script source, as storing and retrieving an archive does.
#include "link/lzss_compressor.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// About 60 KB of script text: sections of event lines with times, names and comments.
const std::vector<std::uint8_t>& ScriptText() {
    static const std::vector<std::uint8_t> text = [] {
        static const char* const names[] = {"Fountain Jets", "Stage Left Wash", "Fog Machine",
                                            "Strobe Bank",   "Audio Cue",       "Curtain Motor"};
        std::mt19937 rng(2026);
        std::string s = "[Script]\r\nName=Harbour Lights\r\nUnit=1\r\nProduct=Show Controller\r\n";
        for (int seq = 1; s.size() < 60000; ++seq) {
            s += "\r\n[Sequence " + std::to_string(seq) + "]\r\nName=Scene " + std::to_string(seq) +
                 "\r\n";
            for (int ev = 1; ev <= 24; ++ev) {
                const unsigned frames = rng() % 90000;
                char time[16];
                std::snprintf(time, sizeof time, "%02u:%02u.%02u", frames / 1500 % 60,
                              frames / 25 % 60, frames % 25);
                s += "Event" + std::to_string(ev) + "=" + time + "," + names[rng() % 6] + "," +
                     std::to_string(rng() % 256) + " ; " +
                     (rng() % 2 ? "cue from the stage manager" : "hold for the music") + "\r\n";
            }
        }
        return std::vector<std::uint8_t>(s.begin(), s.end());
    }();
    return text;
}

void BM_Pack(benchmark::State& state) {
    const auto& text = ScriptText();
    std::vector<std::uint8_t> out(65000);
    std::ptrdiff_t packed = 0;
    for (auto _ : state) {
        CYNCompressor compressor;
        packed = compressor.PackBuffer(text.data(), text.size(), out.data(), out.size());
        benchmark::DoNotOptimize(packed);
    }
    if (packed <= 0) {
        state.SkipWithError("packing failed");
        return;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["input_bytes"] = static_cast<double>(text.size());
    state.counters["packed_bytes"] = static_cast<double>(packed);
    state.counters["ratio"] = static_cast<double>(text.size()) / static_cast<double>(packed);
}
BENCHMARK(BM_Pack);

void BM_Unpack(benchmark::State& state) {
    const auto& text = ScriptText();
    std::vector<std::uint8_t> packed(65000);
    {
        CYNCompressor compressor;
        const auto n =
            compressor.PackBuffer(text.data(), text.size(), packed.data(), packed.size());
        if (n <= 0) {
            state.SkipWithError("packing failed");
            return;
        }
        packed.resize(static_cast<std::size_t>(n));
    }
    // The buffer size the retrieval expands into.
    std::vector<std::uint8_t> out(500000);
    std::ptrdiff_t expanded = 0;
    for (auto _ : state) {
        CYNCompressor compressor;
        expanded = compressor.UnpackBuffer(packed.data(), packed.size(), out.data(), out.size());
        benchmark::DoNotOptimize(expanded);
    }
    if (expanded != static_cast<std::ptrdiff_t>(text.size())) {
        state.SkipWithError("expansion did not give the text back");
        return;
    }
    // Throughput in expanded bytes; the 500000-byte clearing of the destination is part of it.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["ratio"] = static_cast<double>(text.size()) / static_cast<double>(packed.size());
}
BENCHMARK(BM_Unpack);

} // namespace
