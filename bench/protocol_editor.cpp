// Pactwright on a large protocol: 1,000 commands of 10 parameters and 20 byte lines of 20
// bytes each. Opening reads the file leniently and builds the tree and the device's rows;
// saving renders and replaces the file; the listing is built and paginated as printing does.
#include "pactwright/core/command_tree_model.h"
#include "pactwright/core/item_rows.h"
#include "pactwright/core/pactwright_doc.h"
#include "pactwright/core/protocol_listing.h"
#include "pactwright/core/protocol_writer.h"
#include "platform/ui_services.h"
#include "views/gridbase/listing_layout.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

platform::SilentUi ui;

const std::string& LargeProtocolPath() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() /
                         ("pactwright-bench-" + std::to_string(::getpid()) + ".pcl"))
                            .string();
        CProtocol protocol;
        protocol.m_strDescription = "Large";
        protocol.m_strMaker = "Bench";
        for (int c = 0; c < 1000; ++c) {
            auto command = std::make_unique<CCmnd>("Cat" + std::to_string(c % 25) + ":Command" +
                                                   std::to_string(c));
            command->m_strDescription = "A command of the benchmark";
            command->m_strMessage = "@byte(param1), @word(param2)";
            for (int n = 0; n < 10; ++n)
                command->m_Params[static_cast<std::size_t>(n)].m_strText =
                    "byte(0-255), \"Level " + std::to_string(n) + "\"";
            for (int n = 0; n < 20; ++n)
                command->m_strBytes[static_cast<std::size_t>(n)] = "h01,h02,h03,h04,h05,h6";
            command->m_nParamCount = 10;
            command->m_nByteCount = 20;
            protocol.m_poCmndList.push_back(std::move(command));
        }
        std::ofstream(p, std::ios::binary) << pactwright::WriteProtocolText(protocol);
        std::atexit([] { std::filesystem::remove(LargeProtocolPath()); });
        return p;
    }();
    return path;
}

void BM_OpenAndShow(benchmark::State& state) {
    platform::SetUi(&ui);
    for (auto _ : state) {
        pactwright::CPactwrightDoc doc;
        if (!doc.OnOpenDocument(LargeProtocolPath()))
            state.SkipWithError("open failed");
        pactwright::CommandTreeModel tree;
        tree.Fill(doc.Protocol());
        benchmark::DoNotOptimize(pactwright::RowsOfItem(doc.Protocol(), 0));
    }
}
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    platform::SetUi(&ui);
    pactwright::CPactwrightDoc doc;
    doc.OnOpenDocument(LargeProtocolPath());
    const std::string out = LargeProtocolPath() + ".saved";
    for (auto _ : state) {
        if (!doc.OnSaveDocument(out))
            state.SkipWithError("save failed");
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_BuildAndPaginateListing(benchmark::State& state) {
    platform::SetUi(&ui);
    pactwright::CPactwrightDoc doc;
    doc.OnOpenDocument(LargeProtocolPath());
    // A 600 dpi letter page: line height 85, usable height 10 inches.
    for (auto _ : state) {
        const std::string listing = pactwright::BuildListing(doc.Protocol());
        benchmark::DoNotOptimize(LayoutListing(listing, 85, 6000, 0, {}));
    }
}
BENCHMARK(BM_BuildAndPaginateListing)->Unit(benchmark::kMillisecond);

} // namespace
