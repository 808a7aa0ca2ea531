// Reading and writing a large script source file (255 sequences of 200 events), as opening and
// saving it does.
#include "app/vl_app.h"
#include "bench/sample_script.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using platform::SilentUi;

// The application with the products and protocols of the source tree, installed once.
CVLApp& InstallApp() {
    static SilentUi ui;
    static CVLApp app;
    static const bool loaded = [] {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(VELMORA_DATA_DIR);
        app.m_strAppDir = data.string();
        app.LoadDeviceDefinitions();
        platform::SetUi(&ui);
        return true;
    }();
    (void)loaded;
    return app;
}

// The text of a large script, as the program writes it.
const std::string& LargeScript() {
    static const std::string text = [] {
        CVLDoc doc(InstallApp());
        bench_support::FillSampleScript(doc, 255, 200, 128);
        doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, 255);
        return std::string(doc.WrittenText());
    }();
    return text;
}

void BM_OpenScript(benchmark::State& state) {
    const std::string& text = LargeScript();
    for (auto _ : state) {
        CVLDoc doc(InstallApp());
        doc.LoadFileBuffer(text);
        bool ok = doc.ReadScript("large.ksf");
        benchmark::DoNotOptimize(ok);
        if (!ok || doc.m_poSeqList.size() != 255)
            state.SkipWithError("the script did not read back");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_OpenScript)->Unit(benchmark::kMillisecond);

void BM_SaveScript(benchmark::State& state) {
    const std::string& text = LargeScript();
    CVLDoc doc(InstallApp());
    doc.LoadFileBuffer(text);
    doc.ReadScript("large.ksf");
    for (auto _ : state) {
        bool ok = doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, 255);
        benchmark::DoNotOptimize(ok);
        if (doc.WrittenText() != text)
            state.SkipWithError("the script did not write back identically");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SaveScript)->Unit(benchmark::kMillisecond);

void BM_OpenAndSaveScript(benchmark::State& state) {
    const std::string& text = LargeScript();
    for (auto _ : state) {
        CVLDoc doc(InstallApp());
        doc.LoadFileBuffer(text);
        doc.ReadScript("large.ksf");
        bool ok = doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, 255);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_OpenAndSaveScript)->Unit(benchmark::kMillisecond);

} // namespace
