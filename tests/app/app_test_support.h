// A private installation tree for start-up tests: a copy of the shipped data folders in a
// temporary directory, made the installation directory for the test's life, with a profile
// of its own.
#pragma once

#include "platform/paths.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace app_testing {

namespace fs = std::filesystem;

class TempInstall {
public:
    TempInstall() {
        std::string pattern = (fs::temp_directory_path() / "velmora-app-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        fs::copy(fs::path(VELMORA_SOURCE_DIR) / "data", root_, fs::copy_options::recursive);
        fs::create_directories(root_ / "PROTOCOL" / "My Protocols");
        previousDir_ = platform::InstallDirectory();
        platform::SetInstallDirectory(root_.string());
        previousCwd_ = fs::current_path();
    }
    ~TempInstall() {
        std::error_code ec;
        fs::current_path(previousCwd_, ec);
        platform::SetInstallDirectory(previousDir_);
        fs::remove_all(root_, ec);
    }
    TempInstall(const TempInstall&) = delete;
    TempInstall& operator=(const TempInstall&) = delete;

    const fs::path& Root() const { return root_; }
    fs::path Profile() const { return root_ / "velmora.ini"; }

private:
    fs::path root_;
    std::string previousDir_;
    fs::path previousCwd_;
};

} // namespace app_testing
