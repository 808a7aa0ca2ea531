// Fuzzes the DOS script import: the bytes are a .ksx listing imported into a script document
// of an application holding the installation's products and protocols. Every prompt is
// answered Yes, so the import runs through the whole listing; a failed import must have said
// why, and a successful one leaves a script with at least one sequence.
#include "app/vl_app.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Boxes are counted, not printed: thousands of runs would flood the log.
using platform::SilentUi;

// The installation's data folder of the source tree this target was built from.
CVLApp& LoadedApp() {
    static CVLApp app;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        namespace fs = std::filesystem;
        const fs::path data = fs::path(VELMORA_DATA_DIR);
        app.m_strAppDir = data.string();
        app.LoadDeviceDefinitions();
        if (app.m_poProdList.IsEmpty())
            std::abort(); // the target needs the installation's products
    }
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentUi ui;
    platform::SetUi(&ui);
    {
        CVLDoc doc(LoadedApp());
        doc.LoadFileBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
        ui.boxes = 0;
        const bool ok = doc.ImportDosScript("fuzz.ksx");
        if (!ok && ui.boxes == 0)
            std::abort(); // a failure without a word
        if (ok && (!doc.m_pProduct || doc.m_poSeqList.empty()))
            std::abort();
        doc.FreeFileBuffer();
    }
    platform::SetUi(nullptr);
    return 0;
}
