// Start-up of the application core (device definitions, templates, settings) with 20 products
// and 500 protocols, without windows. The main window's share is measured by the timed test
// of tests/app.
#include "app/batch_shell.h"
#include "app/vl_app.h"
#include "platform/paths.h"
#include "platform/ui_services.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path MakeInstallation() {
    std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    fs::copy(fs::path(VELMORA_DATA_DIR), root, fs::copy_options::recursive);
    const fs::path products = root / "PRODUCTS";
    for (int i = 0; i < 16; ++i)
        fs::copy_file(products / "Harnel16.cfg",
                      products / ("Z" + std::to_string(10 + i) + ".cfg"));
    const fs::path protocols = root / "PROTOCOL";
    for (int i = 0; i < 493; ++i)
        fs::copy_file(protocols / "LUMEN24.PCL",
                      protocols / ("X" + std::to_string(1000 + i) + ".pcl"));
    return root;
}

void BM_StartupTwentyProductsFiveHundredProtocols(benchmark::State& state) {
    const fs::path root = MakeInstallation();
    platform::SetInstallDirectory(root.string());
    for (auto _ : state) {
        CVLApp app;
        app.SetProfilePath(root / "velmora.ini");
        BatchShell shell(stdout);
        benchmark::DoNotOptimize(app.InitInstance(shell));
        app.ExitInstance();
    }
    fs::remove_all(root);
}
BENCHMARK(BM_StartupTwentyProductsFiveHundredProtocols)->Unit(benchmark::kMillisecond);

} // namespace
