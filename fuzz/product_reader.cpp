// Feeds arbitrary bytes to the product file reader as the contents of a .cfg file.
#include "platform/ui_services.h"
#include "script/product.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Message boxes are expected for bad files; they are answered without printing.
using platform::SilentUi;

const std::string& InputPath() {
    static const std::string path =
        "/tmp/velmora-fuzz-product-" + std::to_string(getpid()) + ".cfg";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentUi ui;
    platform::SetUi(&ui);
    {
        std::FILE* f = std::fopen(InputPath().c_str(), "wb");
        if (!f)
            return 0;
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    auto product = std::make_unique<CProduct>();
    if (product->ReadProductFile(InputPath())) {
        // What the script document does with a product that loaded.
        auto copy = std::make_unique<CProduct>();
        copy->CopyDefinition(*product);
        copy->ApplyFrom(*product);
    }
    std::remove(InputPath().c_str());
    platform::SetUi(nullptr);
    return 0;
}
