// Reading and writing a large script source file (255 sequences of 200 events), as opening and
// saving it does.
#include "app/vl_app.h"
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
        doc.InitNewScript("Harnel16");
        doc.m_poSeqList.clear();
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi there\"", "x"));
        for (int s = 1; s <= 255; ++s) {
            auto seq = std::make_unique<CSeq>("Scene_" + std::to_string(s), 1);
            seq->m_nLooping = s % 2;
            seq->m_aTriggers[0].m_strIoName = "Input" + std::to_string(s % 128 + 1);
            for (int e = 0; e < 200; ++e) {
                auto event = std::make_unique<CEvnt>();
                event->m_strLabel = e % 10 ? "" : "Cue" + std::to_string(e);
                event->m_strTime =
                    "00:" + std::to_string(10 + e % 50) + ".0" + std::to_string(e % 10);
                event->m_strEvent = e % 3 ? "SetOutput" : "SendString";
                event->m_strData1 = e % 3 ? "Output" + std::to_string(e % 128 + 1) : "Port1";
                event->m_strData2 = e % 3 ? "On" : "Hello";
                event->m_strComment = e % 4 ? "" : "from the stage manager";
                seq->m_poEventList.push_back(std::move(event));
            }
            doc.m_poSeqList.push_back(std::move(seq));
        }
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
