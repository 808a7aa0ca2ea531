// Opening a large script (255 sequences of 200 events) in the main window, as File Open does,
// to an idle window that shows its sequence list.
#include "app/gui/vl_frame.h"
#include "app/vl_app.h"
#include "bench/sample_script.h"
#include "controls/commandbars/aux_data.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"
#include "views/sequences/seq_list_view.h"

#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_open_script_window";
    static char* argv[] = {name, nullptr};
    // Never destroyed: destroyed among the statics at exit, its clean-up routines reach into
    // objects already gone and crash.
    static QApplication* const app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Counts the events Qt delivers, to tell when the window has nothing left to do.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent*) override {
        ++count;
        return false;
    }
    long count = 0;
};

// Processes events until a pass delivers none.
void ProcessUntilIdle(EventCounter& events) {
    for (int pass = 0; pass < 1000; ++pass) {
        const long before = events.count;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (events.count == before)
            return;
    }
}

// The large script as the program writes it, with the products of `app`.
std::string LargeScript(CVLApp& app) {
    CVLDoc doc(app);
    bench_support::FillSampleScript(doc, 255, 200, 128);
    doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, 255);
    return std::string(doc.WrittenText());
}

// The sequence list of the active window, or null.
CSeqListView* ShownSequenceList(CVLFrame& window) {
    QMdiSubWindow* active = window.MdiArea()->activeSubWindow();
    return active && active->isVisible() ? dynamic_cast<CSeqListView*>(active->widget()) : nullptr;
}

void BM_OpenLargeScriptToItsWindow(benchmark::State& state) {
    App();
    std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const fs::path previousCwd = fs::current_path();
    platform::SetInstallDirectory(VELMORA_DATA_DIR);
    {
        CGVPToolkit toolkit;
        CVLApp app;
        app.SetProfilePath(root / "velmora.ini");
        CVLFrame window(app);
        EventCounter events;
        qApp->installEventFilter(&events);
        platform::UiServices& windowUi = platform::Ui();
        platform::SilentUi silent;
        platform::SetUi(&silent); // start-up and the first open must not ask anything
        app.InitInstance(window);
        const fs::path script = root / "Large.ksf";
        std::ofstream(script, std::ios::binary) << LargeScript(app);
        if (!window.OpenFile(script.string()) || silent.boxes != 0) {
            state.SkipWithError("the script does not open without a message");
        } else {
            app.CloseDocument(app.ActiveScript());
            ProcessUntilIdle(events);
            // The timed opens report through the window's own status bar.
            platform::SetUi(&windowUi);
            for (auto _ : state) {
                window.OpenFile(script.string());
                ProcessUntilIdle(events);
                state.PauseTiming();
                CSeqListView* list = ShownSequenceList(window);
                // 255 sequences and the empty row.
                if (!list || list->Cel()->GetRowCount() != 256)
                    state.SkipWithError("the sequence list is not shown");
                app.CloseDocument(app.ActiveScript());
                ProcessUntilIdle(events);
                state.ResumeTiming();
            }
        }
        platform::SetUi(&windowUi);
        app.ExitInstance();
        qApp->removeEventFilter(&events);
    }
    std::error_code ec;
    fs::current_path(previousCwd, ec);
    fs::remove_all(root, ec);
}
BENCHMARK(BM_OpenLargeScriptToItsWindow)->Unit(benchmark::kMillisecond);

} // namespace
