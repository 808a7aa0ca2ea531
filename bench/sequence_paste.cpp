// Pasting 255 sequences of 200 events (the sample script's) over a new script's one sequence in
// the sequence list: its row and the empty row selected, Yes to the replace question; from the
// block on the clipboard to the rebuilt list.
#include "app/command_ids.h"
#include "app/vl_app.h"
#include "bench/sample_script.h"
#include "platform/ui_services.h"
#include "script/sequence_clipboard.h"
#include "script/vl_doc.h"
#include "tests/support/view_services_fixture.h"
#include "views/sequences/seq_list_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using platform::SilentUi;

// The application with the products of the source tree, on the offscreen platform; SilentUi
// answers the replace question with its default, Yes.
CVLApp& InstallApp() {
    static int argc = 1;
    static char name[] = "bench_sequence_paste";
    static char* argv[] = {name, nullptr};
    static QApplication* const qtApp = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv); // never destroyed, as the other window benchmarks
    }();
    (void)qtApp;
    static SilentUi ui;
    static CVLApp app;
    static const bool loaded = [] {
        app.m_strAppDir = std::filesystem::path(VELMORA_DATA_DIR).string();
        app.LoadDeviceDefinitions();
        platform::SetUi(&ui);
        return true;
    }();
    (void)loaded;
    return app;
}

void BM_PasteSequencesOverANewScript(benchmark::State& state) {
    CVLApp& app = InstallApp();
    {
        CVLDoc source(app);
        bench_support::FillSampleScript(source, 255, 200, 128);
        std::vector<const CSeq*> all;
        for (const auto& seq : source.m_poSeqList)
            all.push_back(seq.get());
        const std::vector<std::uint8_t> block = clipboard::WriteSequencesBlock(all);
        auto* data = new QMimeData;
        data->setData(
            QString::fromLatin1(clipboard::kSequencesFormat),
            QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
        QApplication::clipboard()->setMimeData(data);
    }
    testing_support::TestViewServices services;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CVLDoc>(app);
        doc->InitNewScript("Harnel16");
        auto view = std::make_unique<CSeqListView>(*doc, services);
        view->resize(760, 400);
        doc->AddView(view.get());
        view->OnInitialUpdate();
        view->Cel()->MoveActiveCell(2, 0);
        view->Cel()->ClearBlockSelection();
        view->Cel()->SelectBlock(2, 0, 2, 1);
        state.ResumeTiming();
        view->OnCommand(vl_ids::kEditPaste);
        state.PauseTiming();
        if (doc->m_poSeqList.size() != 255 || view->Cel()->GetRowCount() != 256)
            state.SkipWithError("the paste did not replace the sequence");
        doc->RemoveView(view.get());
        view.reset();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteSequencesOverANewScript)->Unit(benchmark::kMillisecond);

} // namespace
