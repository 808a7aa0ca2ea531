// Fuzzes the script source reader: the bytes are a .ksf file read into a new document with the
// shipped products and protocols loaded; what was read is then written back, in the full form
// and as a listing. Bad input must end in a message, never a fault.
#include "app/vl_app.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

namespace {

// Boxes are counted, not printed. Questions are answered Yes and No in turn, so that both
// ways out of every syntax question are taken.
class SilentUi : public platform::SilentUi {
public:
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        ++boxes;
        if (request.buttons == platform::MsgButtons::YesNo)
            return boxes % 2 ? platform::MsgResult::Yes : platform::MsgResult::No;
        return platform::DefaultAnswer(request);
    }
};

// The application with the products and protocols of the source tree's data folder.
CVLApp& FuzzApp() {
    static CVLApp app;
    static const bool loaded = [] {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(VELMORA_DATA_DIR);
        app.m_strAppDir = data.string();
        app.LoadDeviceDefinitions();
        return true;
    }();
    (void)loaded;
    return app;
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
        if (read && !doc.m_pProduct)
            std::abort(); // a script read without its product
        if (doc.m_pProduct) {
            const int count = static_cast<int>(doc.m_poSeqList.size());
            if (!doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, count))
                std::abort(); // a buffer sized by the counting pass must hold the text
            // The counting pass measured exactly what the real pass wrote.
            if (doc.WrittenText().size() != doc.WriteTotal() ||
                doc.WriteCapacity() != doc.WriteTotal() + 1)
                std::abort();
            doc.WriteScriptToBuffer(0x01FF, 1, count); // listing form
            doc.FreeFileBuffer();
        }
    }
    platform::SetUi(nullptr);
    return 0;
}
