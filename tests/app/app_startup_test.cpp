#include "app/batch_shell.h"
#include "app/command_line.h"
#include "app/vl_app.h"
#include "script/dialog_requests.h"
#include "tests/app/app_test_support.h"
#include "tests/support/scripted_ui.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using app_testing::TempInstall;

class AppStartup : public ::testing::Test {
protected:
    void SetUp() override { app_.SetProfilePath(install_.Profile()); }
    void TearDown() override { app_.ExitInstance(); }
    bool Start() { return app_.InitInstance(shell_); }
    // Fills a folder with `count` copies of a shipped protocol under new names.
    void CopyProtocols(const fs::path& folder, int count) {
        const fs::path source = fs::path(VELMORA_SOURCE_DIR) / "data/PROTOCOL/LUMEN24.PCL";
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "X%04d.pcl", i);
            fs::copy_file(source, folder / name);
        }
    }

    TempInstall install_;
    testing_support::ScriptedUi ui_;
    BatchShell shell_{stdout};
    CVLApp app_;
};

TEST_F(AppStartup, ShippedDataStartsWithoutAMessage) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ui_.boxes.empty()) << ui_.Texts().front();
    EXPECT_EQ(app_.m_nProducts, 4);
    EXPECT_EQ(app_.m_nProtocols, 7);
    ASSERT_NE(app_.m_posEventProtocol, nullptr);
    EXPECT_FALSE(app_.m_posEventProtocol->m_poCmndList.empty());
    EXPECT_EQ(app_.m_strAppDir, install_.Root().string());
    EXPECT_NE(app_.m_pCompileTmp, nullptr);
}

TEST_F(AppStartup, EmptyProductsFolderStops) {
    for (const auto& entry : fs::directory_iterator(install_.Root() / "PRODUCTS"))
        fs::remove(entry.path());
    EXPECT_FALSE(Start());
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Error Loading " + install_.Root().string() +
                                     "/PRODUCTS/*.cfg:  Invalid File or Settings may be Out of "
                                     "Range");
}

TEST_F(AppStartup, NoProtocolsStops) {
    fs::remove_all(install_.Root() / "PROTOCOL");
    EXPECT_FALSE(Start());
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Error Loading " + install_.Root().string() +
                                     "/PROTOCOL/*.pcl:  Invalid File or Settings may be Out of "
                                     "Range");
}

TEST_F(AppStartup, MissingEventProtocolIsToldOnceAndStartUpGoesOn) {
    fs::remove(install_.Root() / "PROTOCOL/QOREVNTS.PCL");
    ASSERT_TRUE(Start());
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Brevant's Event Protocol " + install_.Root().string() +
                                     "/PROTOCOL/QOREVNTS.PCL was not found or invalid");
    EXPECT_EQ(app_.m_posEventProtocol, nullptr);
    EXPECT_EQ(app_.m_nProtocols, 6);
}

TEST_F(AppStartup, BadProductFileIsToldAndSkipped) {
    const fs::path bad = install_.Root() / "PRODUCTS/Broken.cfg";
    std::ofstream(bad) << "[Product]\r\nName=\r\n";
    ASSERT_TRUE(Start());
    // The product reader tells what is wrong with the file; start-up then names the file.
    ASSERT_FALSE(ui_.boxes.empty());
    EXPECT_EQ(ui_.boxes.back().text,
              "Error Loading " + bad.string() + ":  Invalid File or Settings may be Out of Range");
    EXPECT_EQ(app_.m_nProducts, 4);
}

TEST_F(AppStartup, OnlyInvalidProductStillStarts) {
    for (const auto& entry : fs::directory_iterator(install_.Root() / "PRODUCTS"))
        fs::remove(entry.path());
    std::ofstream(install_.Root() / "PRODUCTS/Broken.cfg") << "garbage\n";
    ASSERT_TRUE(Start());
    ASSERT_FALSE(ui_.boxes.empty());
    EXPECT_EQ(ui_.boxes.back().text.rfind("Error Loading ", 0), 0u);
    EXPECT_EQ(app_.m_nProducts, 0);
}

TEST_F(AppStartup, AtMostTwentyProducts) {
    const fs::path folder = install_.Root() / "PRODUCTS";
    for (int i = 0; i < 21; ++i)
        fs::copy_file(folder / "Harnel16.cfg", folder / ("Z" + std::to_string(100 + i) + ".cfg"));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(app_.m_nProducts, 20);
    EXPECT_EQ(app_.m_poProdList.GetCount(), 20u);
}

TEST_F(AppStartup, ProtocolLimitCountsBothFolders) {
    struct LimitCase {
        int inProtocol; // added to the 7 shipped ones
        int inMine;
        int expected;
    };
    for (const LimitCase c : {LimitCase{473, 30, 500}, LimitCase{593, 3, 501}}) {
        TempInstall install;
        CopyProtocols(install.Root() / "PROTOCOL", c.inProtocol);
        CopyProtocols(install.Root() / "PROTOCOL/My Protocols", c.inMine);
        CVLApp app;
        app.SetProfilePath(install.Profile());
        BatchShell shell(stdout);
        ASSERT_TRUE(app.InitInstance(shell));
        EXPECT_EQ(app.m_nProtocols, c.expected) << c.inProtocol << "+" << c.inMine;
        EXPECT_EQ(app.m_poProList.GetCount(), static_cast<std::size_t>(c.expected));
        app.ExitInstance();
    }
}

TEST_F(AppStartup, DataFoldersAreFoundWithoutRegardToCase) {
    fs::rename(install_.Root() / "PRODUCTS", install_.Root() / "products");
    fs::rename(install_.Root() / "PROTOCOL", install_.Root() / "Protocol");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(app_.m_nProducts, 4);
}

TEST_F(AppStartup, StartsInScriptsWhenRunFromTheInstallation) {
    std::ofstream(install_.Root() / "velmora") << "";
    fs::current_path(install_.Root());
    ASSERT_TRUE(Start());
    EXPECT_EQ(fs::current_path(), fs::canonical(install_.Root() / "SCRIPTS"));
}

TEST_F(AppStartup, UntitledScriptsAreNumbered) {
    ASSERT_TRUE(Start());
    // A cancelled new script (the product dialog answers Cancel) uses up no number.
    EXPECT_EQ(app_.OnFileNew(), nullptr);
    std::vector<std::string> titles;
    for (int i = 0; i < 3; ++i) {
        ui_.QueueDialog([](platform::DialogRequest& request) {
            static_cast<CNewScriptDlg&>(request).product = "Harnel16";
            return true;
        });
        CVLDoc* doc = app_.OnFileNew();
        ASSERT_NE(doc, nullptr);
        titles.push_back(doc->GetTitle());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Script1", "Script2", "Script3"}));
}

TEST_F(AppStartup, CommandLineDecidesTheFirstDocument) {
    ASSERT_TRUE(Start());
    // Empty: a new script of the default product, without a question.
    EXPECT_EQ(app_.ProcessCommandLine({}), -1);
    ASSERT_EQ(app_.ScriptTemplate()->Documents().size(), 1u);
    EXPECT_EQ(app_.ScriptTemplate()->Documents()[0]->m_pProduct->m_strName, "Harnel16");
    EXPECT_EQ(app_.m_wNewDocMode, CVLApp::kNewAskProduct);
    EXPECT_TRUE(ui_.dialogNames.empty());
    // -e: nothing, whatever the setting.
    EXPECT_EQ(app_.ProcessCommandLine(ParseCommandLine({"-e"})), -1);
    EXPECT_EQ(app_.ScriptTemplate()->Documents().size(), 1u);
    // A file that does not open leaves the program running without it.
    EXPECT_EQ(app_.ProcessCommandLine(ParseCommandLine({"/nowhere/x.ksf"})), -1);
    EXPECT_EQ(app_.ScriptTemplate()->Documents().size(), 1u);
    // A file opens once; asked again, the open one answers.
    const std::string script = (install_.Root() / "SCRIPTS/Fountain.ksf").string();
    app_.ProcessCommandLine(ParseCommandLine({script}));
    app_.ProcessCommandLine(ParseCommandLine({script}));
    EXPECT_EQ(app_.ScriptTemplate()->Documents().size(), 2u);
    ASSERT_FALSE(app_.RecentFiles().Entries().empty());
    EXPECT_EQ(app_.RecentFiles().Entries()[0], script);
}

TEST_F(AppStartup, BatchCompileOfANonScriptFails) {
    ASSERT_TRUE(Start());
    const fs::path text = install_.Root() / "notes.txt";
    std::ofstream(text) << "just some notes\n";
    EXPECT_EQ(app_.RunBatchCompile(text.string()), CVLApp::kBatchNotOpened);
    EXPECT_EQ(app_.RunBatchCompile((install_.Root() / "none.ksf").string()),
              CVLApp::kBatchNotOpened);
    EXPECT_FALSE(app_.m_bBatch);
}

} // namespace

namespace {

// In the window a script that is a FIFO, a folder or a device ends at once in the message; a
// FIFO's open used to freeze the window at the splash.
TEST_F(AppStartup, SpecialFilesAsScriptsEndPromptly) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(::mkfifo((install_.Root() / "pipe.ksf").c_str(), 0600), 0);
    fs::create_directory(install_.Root() / "folder.ksf");
    for (const fs::path& path :
         {install_.Root() / "pipe.ksf", install_.Root() / "folder.ksf", fs::path("/dev/zero")}) {
        SCOPED_TRACE(path);
        ui_.boxes.clear();
        EXPECT_EQ(app_.OpenDocumentFile(path.string()), nullptr);
        // The window names the file and says why, as the command line does.
        ASSERT_EQ(ui_.Texts().size(), 1u);
        EXPECT_EQ(ui_.Texts()[0].rfind(
                      "That file doesn't seem to exist any more.\n" + path.string() + ": ", 0),
                  0u)
            << ui_.Texts()[0];
        EXPECT_GT(ui_.Texts()[0].size(),
                  std::string("That file doesn't seem to exist any more.\n: ").size() +
                      path.string().size());
    }
}

// The recent-file list of an open never replaces a profile that cannot be read.
TEST_F(AppStartup, OpenLeavesAnUnreadableProfileAlone) {
    fs::create_directory(install_.Profile());
    ASSERT_TRUE(Start());
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_NE(app_.OpenDocumentFile((install_.Root() / "SCRIPTS/Fountain.ksf").string()), nullptr);
    EXPECT_TRUE(fs::is_directory(install_.Profile()));
    EXPECT_EQ(ui_.boxes.size(), 1u) << ui_.Texts().back();
    EXPECT_EQ(app_.RecentFiles().Entries().size(), 1u);
}

} // namespace
