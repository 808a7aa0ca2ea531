#include "pactwright/core/pactwright_app.h"
#include "platform/profile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using pactwright::CPactwrightApp;

TEST(PactwrightApp, TheCommandLineNamesAFileUnlessItIsTheSwitchE) {
    struct Case {
        std::vector<std::string> args;
        const char* file; // null: nothing opens
    } cases[] = {
        {{}, nullptr},
        {{"-e"}, nullptr},
        {{"-E"}, nullptr},
        {{"-edit", "x.pcl"}, nullptr},
        {{"/e"}, nullptr},
        {{"/E"}, nullptr},
        {{"/etc/x.pcl"}, "/etc/x.pcl"}, // a Linux path, not the switch
        {{"-x"}, "-x"},
        {{"My", "Protocol.pcl"}, "My Protocol.pcl"},
        {{"/e", "x"}, "/e x"},
    };
    for (const auto& c : cases) {
        const auto file = CPactwrightApp::FileOfCommandLine(c.args);
        EXPECT_EQ(file.has_value(), c.file != nullptr) << (c.file ? c.file : "none");
        if (file && c.file) {
            EXPECT_EQ(*file, c.file);
        }
    }
}

struct AppFolders : ::testing::Test {
    AppFolders() {
        char tmpl[] = "/tmp/pactwright-app-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~AppFolders() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(AppFolders, TheOpenDialogStartsInTheInstallationsProtocolFolder) {
    fs::create_directories(dir / "Utilities");
    EXPECT_EQ(CPactwrightApp::DefaultFolderFor(dir / "Utilities"), (dir / "Protocol").string());
    fs::create_directories(dir / "PROTOCOL");
    EXPECT_EQ(CPactwrightApp::DefaultFolderFor(dir / "Utilities"), (dir / "PROTOCOL").string());
}

TEST_F(AppFolders, RecentFilesLiveInTheirOwnProfileSection) {
    const fs::path profile = dir / "pactwright.ini";
    {
        CPactwrightApp app;
        app.SetProfilePath(profile);
        for (const char* path : {"/a.pcl", "/b.pcl", "/c.pcl", "/d.pcl", "/e.pcl", "/b.pcl"})
            app.AddRecentFile(path);
        EXPECT_EQ(app.RecentFiles().Entries(),
                  (std::vector<std::string>{"/b.pcl", "/e.pcl", "/d.pcl", "/c.pcl"}));
    }
    CPactwrightApp again;
    again.SetProfilePath(profile);
    again.LoadRecentFiles();
    EXPECT_EQ(again.RecentFiles().Entries(),
              (std::vector<std::string>{"/b.pcl", "/e.pcl", "/d.pcl", "/c.pcl"}));
    EXPECT_EQ(platform::GetProfileString(profile, "Recent File List", "File1", ""), "/b.pcl");
    again.RemoveRecentFile("/e.pcl");
    EXPECT_EQ(platform::GetProfileString(profile, "Recent File List", "File4", "x"), "");
    EXPECT_EQ(again.Scratch().m_strName, "New Command");
}

} // namespace
