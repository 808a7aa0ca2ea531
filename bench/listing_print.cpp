// Printing a 50-page script listing to PDF, as File > Print with "Print All" does: the listing is
// written, laid out and drawn page by page into the printer.
#include "app/vl_app.h"
#include "bench/sample_script.h"
#include "platform/ui_services.h"
#include "script/event.h"
#include "script/vl_doc.h"
#include "tests/support/pdf_text.h"
#include "tests/support/view_services_fixture.h"
#include "views/common/vl_view.h"
#include "views/gridbase/print_services.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using platform::SilentUi;

// The application with the products and protocols of the source tree, on the offscreen
// platform, made once.
CVLApp& InstallApp() {
    static int argc = 1;
    static char name[] = "bench_listing_print";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> qtApp = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
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

using testing_support::PdfPages;

// A script whose whole listing fills 50 pages of the default printer page at high resolution:
// 19 sequences of 152 events with labels, times, data and some comments.
void FillScript(CVLDoc& doc) {
    bench_support::FillSampleScript(doc, 19, 152, 16);
    doc.SetTitle("Listing.ksf");
    doc.m_strAuthor1 = "Stage Crew";
}

void BM_PrintListingToPdf(benchmark::State& state) {
    CVLDoc doc(InstallApp());
    FillScript(doc);
    testing_support::TestViewServices shell;
    CVLView view(doc, shell);
    doc.AddView(&view);

    QTemporaryDir dir;
    const std::string pdf = dir.filePath("listing.pdf").toStdString();
    views::PrintServices& services = shell.printing;
    services.askListing = [](QWidget*, bool) { return views::ListingChoice{3, 0, 1, 1}; };
    services.askPrinter = [&pdf](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };

    for (auto _ : state)
        view.PrintListing(false);

    const int pages = PdfPages(pdf);
    state.counters["pages"] = pages;
    if (pages != 50) {
        const std::string error = "the listing printed " + std::to_string(pages) + " pages, not 50";
        state.SkipWithError(error.c_str());
    }
    doc.RemoveView(&view);
}
BENCHMARK(BM_PrintListingToPdf)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
