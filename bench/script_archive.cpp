// Packing a large script into its archive and expanding it again, as storing it in a controller
// and retrieving it do. The script is built as a document and written as saving writes it.
#include "link/script_archive.h"
#include "app/vl_app.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class SilentUi : public platform::UiServices {
public:
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        return platform::DefaultAnswer(request);
    }
    bool RunDialog(platform::DialogRequest&) override { return false; }
};

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

// A show of 60 sequences of 40 events with named outputs, labels and comments: about as large
// as a script whose archive still fits a controller.
const std::string& LargeScript() {
    static const std::string text = [] {
        CVLDoc doc(InstallApp());
        doc.InitNewScript("Harnel16");
        doc.m_poSeqList.clear();
        static const char* const outputs[] = {"Fountain", "Stage_Wash", "Fog",   "Strobes",
                                              "Curtain",  "Pyro_Rail",  "Lasers"};
        for (int i = 0; i < 7; ++i) {
            doc.m_pProduct->m_Outputs[i].m_strName = outputs[i];
        }
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi there\"", "x"));
        for (int s = 1; s <= 60; ++s) {
            auto seq = std::make_unique<CSeq>("Scene_" + std::to_string(s), 1);
            seq->m_nLooping = s % 2;
            seq->m_aTriggers[0].m_strIoName = "Input" + std::to_string(s % 16 + 1);
            for (int e = 0; e < 40; ++e) {
                auto event = std::make_unique<CEvnt>();
                const int t = e * 37 + s * 11;
                char time[16];
                std::snprintf(time, sizeof time, "%02d:%02d.%02d", t / 1800 % 60, t / 30 % 60,
                              t % 30);
                event->m_strTime = time;
                event->m_strLabel = e % 8 ? "" : "Cue" + std::to_string(s * 100 + e);
                event->m_strEvent = e % 3 ? (e % 2 ? "On" : "Off") : "SendString";
                event->m_strData1 = e % 3 ? outputs[(s + e) % 7] : "Port1";
                event->m_strData2 = e % 3 ? "" : "Hello";
                event->m_strComment =
                    e % 4 ? "" : "call from the stage manager, scene " + std::to_string(s);
                seq->m_poEventList.push_back(std::move(event));
            }
            doc.m_poSeqList.push_back(std::move(seq));
        }
        doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size()));
        return std::string(doc.WrittenText());
    }();
    return text;
}

void BM_PackScriptArchive(benchmark::State& state) {
    const std::string& text = LargeScript();
    std::size_t packed = 0;
    for (auto _ : state) {
        const auto archive = showlink::PackArchiveText(text);
        if (!archive) {
            state.SkipWithError("the script does not pack below 65000 bytes");
            return;
        }
        packed = archive->size();
        benchmark::DoNotOptimize(packed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["script_bytes"] = static_cast<double>(text.size());
    state.counters["archive_bytes"] = static_cast<double>(packed + showlink::kArchiveHeaderSize);
    state.counters["ratio"] = static_cast<double>(text.size()) /
                              static_cast<double>(packed + showlink::kArchiveHeaderSize);
}
BENCHMARK(BM_PackScriptArchive)->Unit(benchmark::kMillisecond);

void BM_ExpandScriptArchive(benchmark::State& state) {
    const std::string& text = LargeScript();
    const auto packed = showlink::PackArchiveText(text);
    if (!packed) {
        state.SkipWithError("the script does not pack below 65000 bytes");
        return;
    }
    for (auto _ : state) {
        const auto expanded = showlink::ExpandArchiveText(packed->data(), packed->size());
        if (!expanded || *expanded != text) {
            state.SkipWithError("the archive does not expand to the script");
            return;
        }
        benchmark::DoNotOptimize(expanded->data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ExpandScriptArchive)->Unit(benchmark::kMillisecond);

} // namespace
