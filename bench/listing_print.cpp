// Printing a 50-page script listing to PDF, as File > Print with "Print All" does: the listing is
// written, laid out and drawn page by page into the printer.
#include "app/vl_app.h"
#include "platform/ui_services.h"
#include "script/event.h"
#include "script/vl_doc.h"
#include "views/common/print_services.h"
#include "views/common/vl_view.h"

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

// The pages of a PDF file as pdfinfo counts them, -1 when it cannot.
int PdfPages(const std::string& path) {
    std::string out;
    if (FILE* pipe = ::popen(("pdfinfo '" + path + "' 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

// A script whose whole listing fills 50 pages of the default printer page at high resolution:
// 19 sequences of 152 events with labels, times, data and some comments.
void FillScript(CVLDoc& doc) {
    doc.InitNewScript("Harnel16");
    doc.SetTitle("Listing.ksf");
    doc.m_strAuthor1 = "Stage Crew";
    doc.m_poSeqList.clear();
    doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi there\"", "x"));
    for (int s = 1; s <= 19; ++s) {
        auto seq = std::make_unique<CSeq>("Scene_" + std::to_string(s), 1);
        seq->m_nLooping = s % 2;
        seq->m_aTriggers[0].m_strIoName = "Input" + std::to_string(s % 16 + 1);
        for (int e = 0; e < 152; ++e) {
            auto event = std::make_unique<CEvnt>();
            event->m_strLabel = e % 10 ? "" : "Cue" + std::to_string(e);
            event->m_strTime = "00:" + std::to_string(10 + e % 50) + ".0" + std::to_string(e % 10);
            event->m_strEvent = e % 3 ? "SetOutput" : "SendString";
            event->m_strData1 = e % 3 ? "Output" + std::to_string(e % 16 + 1) : "Port1";
            event->m_strData2 = e % 3 ? "On" : "Hello";
            event->m_strComment = e % 4 ? "" : "from the stage manager";
            seq->m_poEventList.push_back(std::move(event));
        }
        doc.m_poSeqList.push_back(std::move(seq));
    }
}

void BM_PrintListingToPdf(benchmark::State& state) {
    CVLDoc doc(InstallApp());
    FillScript(doc);
    CVLView view;
    doc.AddView(&view);

    QTemporaryDir dir;
    const std::string pdf = dir.filePath("listing.pdf").toStdString();
    views::PrintServices services;
    services.askListing = [](QWidget*, bool) { return views::ListingChoice{3, 0, 1, 1}; };
    services.askPrinter = [&pdf](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    views::PrintServices* previous = views::SetPrinting(&services);

    for (auto _ : state)
        view.PrintListing(false);

    const int pages = PdfPages(pdf);
    state.counters["pages"] = pages;
    if (pages != 50) {
        const std::string error = "the listing printed " + std::to_string(pages) + " pages, not 50";
        state.SkipWithError(error.c_str());
    }
    views::SetPrinting(previous);
    doc.RemoveView(&view);
}
BENCHMARK(BM_PrintListingToPdf)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
