// A full compile of a script whose image nearly fills the 65535 bytes: 200 sequences of 49
// events, half of them the same in every sequence, compiled for speed and for size.
#include "app/vl_app.h"
#include "compiler/compile_main.h"
#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using platform::SilentUi;

class CountingView : public platform::View, public CompileMessageSink {
public:
    const char* ViewClassName() const override { return "CCompileView"; }
    void ClearMessages() override { lines = 0; }
    void AddMessage(const std::string&, int, int, int, int, std::int32_t) override { ++lines; }
    long lines = 0;
};

// The shipped products and protocols, from the source tree's data folder.
void LoadApplication(CVLApp& app) {
    const fs::path data = fs::path(VELMORA_DATA_DIR);
    app.m_strAppDir = data.string();
    app.LoadDeviceDefinitions();
}

struct Bench {
    Bench() {
        platform::SetUi(&ui);
        LoadApplication(app);
        app.entries.countComPorts = [] { return 0; }; // the compile ends offline
        std::string pattern = (fs::temp_directory_path() / "compile_bench.XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        doc = std::make_unique<CVLDoc>(app);
        doc->InitNewScript("Harnel4");
        doc->m_poSeqList.clear();
        doc->SetPathName((folder / "Big.ksf").string());
        doc->m_nMessages = 0;
        for (int s = 0; s < 200; ++s) {
            auto sequence = std::make_unique<CSeq>("Scene" + std::to_string(s), 1);
            for (int e = 0; e < 49; ++e) {
                auto event = std::make_unique<CEvnt>();
                // Even events are alike in every sequence; odd ones differ by their time.
                const int frames = e % 2 == 0 ? e * 10 : e * 10 + s + 1;
                event->m_strTime = std::to_string(frames);
                event->m_strEvent = e % 3 == 0 ? "Off" : "On";
                event->m_strData1 = "Output" + std::to_string(e % 32 + 1);
                sequence->m_poEventList.push_back(std::move(event));
            }
            doc->m_poSeqList.push_back(std::move(sequence));
        }
        doc->AddView(&view);
    }
    ~Bench() {
        doc->RemoveView(&view);
        doc.reset();
        platform::SetUi(nullptr);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    SilentUi ui;
    CVLApp app;
    CountingView view;
    fs::path folder;
    std::unique_ptr<CVLDoc> doc;
};

void Compile(benchmark::State& state, int optimization) {
    Bench bench;
    bench.doc->m_nOptimization = optimization;
    for (auto _ : state) {
        // As the compile command does: every sequence is marked for compiling.
        for (auto& sequence : bench.doc->m_poSeqList)
            sequence->m_nNeedsCompile = 1;
        compiler::CompileMain(*bench.doc);
        benchmark::DoNotOptimize(bench.doc->m_wImageLength);
    }
    if (GetCompilerState().errorCount != 0)
        state.SkipWithError("the script did not compile cleanly");
    state.counters["image_bytes"] = bench.doc->m_wImageLength;
    state.counters["bytes_saved"] = GetCompilerState().bytesSaved;
}

void BM_CompileForSpeed(benchmark::State& state) {
    Compile(state, 0);
}
void BM_CompileForSize(benchmark::State& state) {
    Compile(state, 1);
}

BENCHMARK(BM_CompileForSpeed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileForSize)->Unit(benchmark::kMillisecond);

} // namespace
