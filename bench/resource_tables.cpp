// The resource tables at their largest: the cross reference of 255 sequences of 200 events, each
// event naming one resource, built and sorted (target under 1 s); a paste of 10,000 strings into
// the data-string table (target under 200 ms).
#include "app/vl_app.h"
#include "platform/ui_services.h"
#include "script/event.h"
#include "script/strings_clipboard.h"
#include "script/text_resources.h"
#include "script/vl_doc.h"
#include "tests/support/view_services_fixture.h"
#include "views/resources/string_views.h"
#include "views/resources/xref_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

struct NoProgress : XRefProgress {
    bool CheckCancel() override { return false; }
    void SetProgress(int) override {}
    void SetStage(const std::string&) override {}
    void SetEntry(const std::string&) override {}
};

struct Script {
    Script() {
        App();
        platform::SetUi(&ui);
        app.m_strAppDir = std::filesystem::path(VELMORA_DATA_DIR).string();
        app.LoadDeviceDefinitions();
        doc = std::make_unique<CVLDoc>(app);
        doc->InitNewScript("Harnel16");
    }
    ~Script() { platform::SetUi(nullptr); }
    platform::SilentUi ui;
    CVLApp app;
    std::unique_ptr<CVLDoc> doc;
};

void BM_CrossReference255x200(benchmark::State& state) {
    Script script;
    CVLDoc& doc = *script.doc;
    doc.m_poSeqList.clear();
    for (int i = 0; i < 20; ++i)
        doc.m_poDataStrList.push_back(
            std::make_unique<CDataStr>("Text" + std::to_string(i + 1), "\"t\"", ""));
    const char* const kinds[] = {"Input", "Output", "Flag", "Var", "Text"};
    for (int s = 0; s < 255; ++s) {
        auto sequence = std::make_unique<CSeq>("Scene" + std::to_string(s + 1), 1);
        for (int e = 0; e < 200; ++e) {
            auto event = std::make_unique<CEvnt>();
            event->m_strEvent = "On";
            event->m_strData1 = kinds[(s + e) % 5] + std::to_string(e % 20 + 1);
            sequence->m_poEventList.push_back(std::move(event));
        }
        doc.m_poSeqList.push_back(std::move(sequence));
    }
    testing_support::TestViewServices services;
    CXRefView view(doc, services);
    doc.AddView(&view);
    NoProgress progress;
    for (auto _ : state) {
        view.BuildCrossReference(&progress);
        benchmark::DoNotOptimize(view.EntryCount());
    }
    state.counters["rows"] = view.EntryCount();
    doc.RemoveView(&view);
}
BENCHMARK(BM_CrossReference255x200)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PasteTenThousandStrings(benchmark::State& state) {
    Script script;
    CVLDoc& doc = *script.doc;
    std::vector<StringRecord> records(10000);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i] = {"String" + std::to_string(i), "\"Some text\", h0d", "pasted"};
    const std::vector<std::uint8_t> block = EncodeStringsBlock(records);
    testing_support::TestViewServices services;
    CDataStrView view(doc, services);
    doc.AddView(&view);
    view.OnInitialUpdate();
    for (auto _ : state) {
        state.PauseTiming();
        doc.m_poDataStrList.clear();
        view.FillGrid();
        auto* data = new QMimeData;
        data->setData("VelmoraStrings", QByteArray(reinterpret_cast<const char*>(block.data()),
                                                   qsizetype(block.size())));
        QApplication::clipboard()->setMimeData(data);
        view.Cel().MoveActiveCell(0, 0);
        state.ResumeTiming();
        view.OnPaste();
    }
    state.counters["strings"] = double(doc.m_poDataStrList.size());
    doc.RemoveView(&view);
}
BENCHMARK(BM_PasteTenThousandStrings)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
