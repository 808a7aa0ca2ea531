// The main window under Qt's offscreen platform: a script opens in it, compiles into a compile
// view, and closes; commands without a script say so.
#include "app/command_line.h"
#include "app/gui/vl_resources.h"
#include "controls/toolbox/status_bar.h"
#include "tests/app/gui/main_window_fixture.h"
#include "views/reports/compile_view.h"
#include "views/reports/list_views.h"
#include "views/sequences/seq_list_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>

namespace {

namespace fs = std::filesystem;

template <typename View> std::vector<View*> ViewsIn(QMdiArea* area) {
    std::vector<View*> views;
    for (QMdiSubWindow* frame : area->subWindowList())
        if (auto* view = dynamic_cast<View*>(frame->widget()))
            views.push_back(view);
    return views;
}

// The first compile-view row whose message starts with `prefix`, or -1.
int RowStarting(CCompileView& view, std::string_view prefix) {
    for (int row = 0; row < view.Cel().GetRowCount(); ++row)
        if (std::string_view(view.Cel().ReadCellText(0, row)).starts_with(prefix))
            return row;
    return -1;
}

// The window starts with scripted services: no box may wait for a person here.
struct MainWindowTest : guitest::MainWindowFixture {
    void Start(const std::function<void()>& beforeStart = {}) {
        StartWindow([this, &beforeStart](CVLFrame&) {
            ScriptUi();
            if (beforeStart)
                beforeStart();
        });
    }
};

TEST_F(MainWindowTest, OpensCompilesAndClosesAScript) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const std::string script = (install.Root() / "SCRIPTS/Fountain.ksf").string();
    app.ProcessCommandLine(ParseCommandLine({script}));
    QCoreApplication::processEvents();

    auto sequences = ViewsIn<CSeqListView>(window->MdiArea());
    ASSERT_EQ(sequences.size(), 1u);
    EXPECT_EQ(sequences[0]->Frame()->windowTitle(), QStringLiteral("Sequences of Fountain"));
    // Three sequences and the empty row.
    ASSERT_EQ(sequences[0]->Cel()->GetRowCount(), 4);
    EXPECT_STREQ(sequences[0]->Cel()->ReadCellText(2, 2), "     Fountain_Show"); // Level 2
    ASSERT_NE(app.ActiveScript(), nullptr);

    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    auto compiles = ViewsIn<CCompileView>(window->MdiArea());
    ASSERT_EQ(compiles.size(), 1u);
    const int done = RowStarting(*compiles[0], "Script Compiled Successfully");
    const int offline = RowStarting(*compiles[0], "Script not Downloaded");
    ASSERT_GE(done, 0);
    ASSERT_GT(offline, done);
    CELCell doneCell;
    CELCell offlineCell;
    compiles[0]->Cel().FetchCell(0, done, doneCell);
    compiles[0]->Cel().FetchCell(0, offline, offlineCell);
    EXPECT_NE(doneCell.GetTextColour(), offlineCell.GetTextColour());
    EXPECT_TRUE(fs::exists(install.Root() / "SCRIPTS/Fountain.DAT"));
    EXPECT_TRUE(scripted->boxes.empty());

    // A second compile reuses the compile view.
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    EXPECT_EQ(ViewsIn<CCompileView>(window->MdiArea()).size(), 1u);

    ASSERT_TRUE(window->RouteCommand(vl_ids::kFileClose));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
    EXPECT_TRUE(window->MdiArea()->subWindowList().empty());

    // Without a script no target takes the script commands, and nothing is said.
    EXPECT_FALSE(window->RouteCommand(vl_ids::kCompileScript));
    EXPECT_FALSE(window->RouteCommand(vl_ids::kFileSave));
    EXPECT_TRUE(scripted->Texts().empty());

    // The compiled image opens in its own view, not as a script.
    ASSERT_TRUE(window->OpenFile((install.Root() / "SCRIPTS/Fountain.DAT").string()));
    EXPECT_EQ(ViewsIn<CDatView>(window->MdiArea()).size(), 1u);
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
}

TEST_F(MainWindowTest, ClosingTheLastWindowOfAScriptClosesIt) {
    ASSERT_NO_FATAL_FAILURE(Start());
    app.ProcessCommandLine({}); // New File At Startup: Script1
    ASSERT_EQ(app.ScriptTemplate()->Documents().size(), 1u);
    EXPECT_EQ(app.ScriptTemplate()->Documents()[0]->GetTitle(), "Script1");
    app.ScriptTemplate()->Documents()[0]->SetModifiedFlag(true);
    QMdiSubWindow* frame = window->MdiArea()->subWindowList().front();
    // The save question: Cancel keeps the window and the script.
    scripted->QueueAnswer(platform::MsgResult::Cancel);
    frame->close();
    EXPECT_EQ(app.ScriptTemplate()->Documents().size(), 1u);
    EXPECT_EQ(scripted->Texts(), (std::vector<std::string>{"Save changes to Script1?"}));
    // No: it closes without saving.
    scripted->QueueAnswer(platform::MsgResult::No);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
}

// Commands go from the active script to the frame and the application; what nobody handles
// is disabled; the status bar shows what the core reports.
TEST_F(MainWindowTest, CommandsAreRoutedAndTheStatusBarFollowsTheCore) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NE(window->StandardBar(), nullptr);
    ASSERT_NE(window->GetMenuBar(), nullptr);

    // No script: only the frame's and the application's commands have a handler.
    const std::pair<unsigned, bool> idle[] = {
        {vl_ids::kFileNew, true},          {vl_ids::kFileOpen, true},
        {vl_ids::kAppExit, true},          {vl_ids::kViewStatusBar, true},
        {vl_ids::kUploadDat, true},        {vl_ids::kFilePrint, false},
        {vl_ids::kFileSave, false},        {vl_ids::kFileClose, false},
        {vl_ids::kCompileScript, false},   {vl_ids::kMonitor, false},
        {vl_ids::kGeneralOptions, true},   {vl_ids::kUserTools, true},
        {vl_ids::kCompilerOptions, false}, // the script's
        {vl_ids::kFileMru1, false},        // the list is empty
    };
    for (const auto& [id, handled] : idle)
        EXPECT_EQ(window->HasHandler(id), handled) << id;

    const std::string script = (install.Root() / "SCRIPTS/Fountain.ksf").string();
    app.ProcessCommandLine(ParseCommandLine({script}));
    QCoreApplication::processEvents();
    ASSERT_NE(app.ActiveScript(), nullptr);
    // The sequence list prints the script's listing.
    for (unsigned id : {vl_ids::kFileSave, vl_ids::kFileSaveAs, vl_ids::kFileClose,
                        vl_ids::kCompileScript, vl_ids::kCompilerOptions, vl_ids::kFileMru1,
                        vl_ids::kFilePrint, vl_ids::kFilePrintPreview})
        EXPECT_TRUE(window->HasHandler(id)) << id;

    // The menu command compiles the active script into its compile view.
    EXPECT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    EXPECT_EQ(ViewsIn<CCompileView>(window->MdiArea()).size(), 1u);
    // Close, then the first recent file opens it again.
    EXPECT_TRUE(window->RouteCommand(vl_ids::kFileClose));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
    EXPECT_TRUE(window->RouteCommand(vl_ids::kFileMru1));
    EXPECT_EQ(app.ScriptTemplate()->Documents().size(), 1u);

    CYNStatusBar* bar = window->StatusBar();
    ASSERT_EQ(bar->GetCount(), 6);
    EXPECT_EQ(bar->GetPaneTip(2), QStringLiteral("Script Modified indicator"));
    window->UiServices().SetProgress(1, true, 200, 50);
    EXPECT_EQ(bar->GetPaneText(1), QStringLiteral("25%"));
    window->UiServices().SetPaneTextAndColour(2, "MOD", platform::kPaneTextRed);
    EXPECT_EQ(bar->GetPaneText(2), QStringLiteral("MOD"));
    EXPECT_EQ(bar->GetPaneColour(2), platform::qt::RGB(255, 0, 0));
    window->UiServices().SetStatusText("Compiling");
    EXPECT_EQ(bar->GetPaneText(0), QStringLiteral("Compiling"));
    window->UiServices().SetStatusText("");
    EXPECT_EQ(bar->GetPaneText(0), QStringLiteral("Ready"));
    EXPECT_TRUE(scripted->boxes.empty());
}

// Start-up with 20 products and 500 protocols, to an idle main window.
TEST_F(MainWindowTest, StartUpTimeWithTwentyProductsAndFiveHundredProtocols) {
    const fs::path products = install.Root() / "PRODUCTS";
    for (int i = 0; i < 16; ++i)
        fs::copy_file(products / "Harnel16.cfg",
                      products / ("Z" + std::to_string(10 + i) + ".cfg"));
    const fs::path protocols = install.Root() / "PROTOCOL";
    for (int i = 0; i < 493; ++i)
        fs::copy_file(protocols / "LUMEN24.PCL",
                      protocols / ("X" + std::to_string(1000 + i) + ".pcl"));

    std::chrono::steady_clock::time_point begin;
    ASSERT_NO_FATAL_FAILURE(Start([&begin] { begin = std::chrono::steady_clock::now(); }));
    app.ProcessCommandLine({});
    QCoreApplication::processEvents();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - begin);
    EXPECT_EQ(app.m_nProducts, 20);
    EXPECT_EQ(app.m_nProtocols, 500);
    EXPECT_TRUE(scripted->boxes.empty());
    std::cout << "[ startup  ] 20 products, 500 protocols: " << elapsed.count()
              << " ms to an idle main window\n";
    RecordProperty("startup_ms", static_cast<int>(elapsed.count()));
    // A generous bound: this build runs under the sanitizers.
    EXPECT_LT(elapsed.count(), 10000);
}

} // namespace
