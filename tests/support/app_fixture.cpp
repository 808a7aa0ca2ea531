#include "tests/support/app_fixture.h"

#include "platform/paths.h"

#include <filesystem>
#include <memory>

namespace testing_support {

std::string AppFixture::DataDir() {
    return std::string(VELMORA_SOURCE_DIR) + "/data";
}

AppFixture::AppFixture() {
    namespace fs = std::filesystem;
    const fs::path data = DataDir();
    app_.m_strAppDir = data.string();

    for (const fs::path& file : platform::ListFilesSorted(data / "PRODUCTS", ".cfg")) {
        auto product = std::make_unique<CProduct>();
        if (product->ReadProductFile(file.string()))
            app_.m_poProdList.Add(std::move(product));
    }

    std::vector<fs::path> protocols = platform::ListFilesSorted(data / "PROTOCOL", ".pcl");
    for (const fs::path& file :
         platform::ListFilesSorted(data / "PROTOCOL" / "My Protocols", ".pcl"))
        protocols.push_back(file);
    for (const fs::path& file : protocols) {
        auto protocol = std::make_unique<CProtocol>();
        if (protocol->ReadDevice(file.string()))
            app_.m_poProList.AddTail(std::move(protocol));
    }
    CProtocol* events = nullptr;
    if (app_.m_poProList.FindProtocol(CProList::kEventProtocolName, events, true)) {
        app_.m_posEventProtocol = events;
        events->LoadCommands();
    }

    previous_ = SetApp(&app_);
}

AppFixture::~AppFixture() {
    SetApp(previous_);
}

} // namespace testing_support
