#include "pactwright/core/pactwright_app.h"
#include "platform/profile.h"
#include "tests/support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <functional>
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

// A profile that cannot be read is never replaced by the recent list alone; one that cannot be
// written is told with its path and reason, once.
TEST_F(AppFolders, AProfileThatCannotBeReadOrWrittenIsToldAndKept) {
    const fs::path profile = dir / "pactwright.ini";
    const struct {
        const char* name;
        std::function<void()> make;
        std::string told;
    } cases[] = {
        {"a folder in its place", [&] { fs::create_directories(profile / "kept"); },
         " cannot be read: Is a directory."},
        {"a link into a folder that is a file",
         [&] {
             std::ofstream(dir / "blocker") << "kept\n";
             fs::create_symlink("blocker/pactwright.ini", profile);
         },
         " cannot be written: Not a directory."},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir);
        fs::create_directory(dir);
        c.make();
        testing_support::ScriptedUi ui;
        CPactwrightApp app;
        app.SetProfilePath(profile);
        app.AddRecentFile("/a.pcl");
        app.AddRecentFile("/b.pcl");
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{"The settings file " + profile.string() + c.told})
            << c.name;
        EXPECT_EQ(app.RecentFiles().Entries(), (std::vector<std::string>{"/b.pcl", "/a.pcl"}));
    }
    EXPECT_TRUE(fs::is_symlink(profile));
    std::ifstream blocker(dir / "blocker");
    std::string kept;
    std::getline(blocker, kept);
    EXPECT_EQ(kept, "kept");
}

} // namespace
