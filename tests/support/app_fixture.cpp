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
    app_.LoadDeviceDefinitions();
    app_.entries.countComPorts = [] { return 0; };
}

AppFixture::~AppFixture() = default;

} // namespace testing_support
