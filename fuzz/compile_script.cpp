// Fuzzes the compiler: the bytes are a .ksf file; whatever script the reader makes of it is
// compiled for speed or for size with every check on. The run must end in lines and counts,
// never a fault, and a clean image must hold together: its length and checksum words and every
// offset of its sequence and event tables.
#include "app/vl_app.h"
#include "compiler/compile_main.h"
#include "compiler/compiler_state.h"
#include "compiler/show_image.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

namespace {

using platform::SilentUi;

CVLApp& FuzzApp() {
    static CVLApp app;
    static const bool loaded = [] {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(VELMORA_DATA_DIR);
        app.m_strAppDir = data.string();
        app.LoadDeviceDefinitions();
        app.entries.countComPorts = [] { return 0; }; // the compile ends offline
        return true;
    }();
    (void)loaded;
    return app;
}

std::size_t Word(const std::vector<std::uint8_t>& image, std::size_t offset) {
    if (offset + 1 >= image.size())
        std::abort(); // a table runs off the image
    return image[offset] | (image[offset + 1] << 8);
}

void CheckCleanImage(const CVLDoc& doc) {
    const std::vector<std::uint8_t> image(doc.m_hpbShow.begin(),
                                          doc.m_hpbShow.begin() + doc.m_wImageLength);
    if (image.size() < show_image::kHeaderSize || Word(image, 2) != image.size() - 2)
        std::abort();
    if (Word(image, 0) != ImageChecksum(image))
        std::abort();
    const std::size_t sequences = image[show_image::kSequenceCount];
    for (std::size_t i = 0; i < sequences; ++i) {
        if (Word(image, show_image::kSequenceTable + 2 * i) >= image.size())
            std::abort();
        std::size_t entry = Word(image, show_image::kSequenceTable + 2 * sequences + 2 * i);
        for (std::size_t code = Word(image, entry); code != 0; code = Word(image, entry)) {
            if (code >= image.size())
                std::abort();
            entry += 2;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentUi ui;
    platform::SetUi(&ui);
    {
        CVLDoc doc(FuzzApp());
        doc.LoadFileBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
        const bool read = doc.ReadScript("fuzz.ksf");
        doc.FreeFileBuffer();
        if (read && doc.m_pProduct) {
            // A folder that does not exist: the image file is refused without touching disk.
            doc.SetPathName("/nonexistent-velmora-fuzz-folder/fuzz.ksf");
            doc.m_nErrorDetection = 1;
            doc.m_nMessages = 1;
            doc.m_nOptimization = size % 2;
            compiler::CompileMain(doc);
            const CompilerState& state = GetCompilerState();
            if (state.imageLength < 0 || state.imageLength > 65535)
                std::abort();
            if (state.errorCount == 0 && doc.m_wImageLength == state.imageLength &&
                doc.m_wImageLength > 0)
                CheckCleanImage(doc);
        }
    }
    platform::SetUi(nullptr);
    return 0;
}
