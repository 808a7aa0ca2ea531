#include "app/gui/dat_status_dialog.h"
#include "app/gui/options_dialogs.h"
#include "app/gui/print_dialogs.h"
#include "app/gui/settings_fields.h"
#include "app/gui/shell_dialogs.h"
#include "app/gui/splash_screen.h"
#include "app/gui/tools_menu.h"
#include "app/gui/velmora_dialogs.h"
#include "app/vl_app.h"
#include "link/dat_doc.h"
#include "platform/profile.h"
#include "platform/qt/mdi_template.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/support/program_icon.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using guitest::Click;
using guitest::Control;
using guitest::WhenModal;

namespace {

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/velmora_gui_XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

void Touch(const fs::path& path, const char* text = "x", bool executable = false) {
    std::ofstream(path) << text;
    if (executable)
        fs::permissions(path, fs::perms::owner_all);
}

struct AppWithProfile : testsupport::QtAppFirst {
    AppWithProfile() { app.SetProfilePath(dir.path / "velmora.ini"); }
    bool ProfileWritten() const { return fs::exists(dir.path / "velmora.ini"); }
    std::string Profile(const char* section, const char* key) const {
        return platform::GetProfileString(dir.path / "velmora.ini", section, key, "<none>");
    }
    // The two commands as the main window runs them.
    bool UserTools() {
        return tools::OnUserDefinedTools(UserToolsOf(app), [this] { app.SaveSettings(); });
    }
    bool GeneralOptions(CVLDoc* script) {
        return options::OnGeneralOptions(
            GeneralOptionsOf(app), [this] { app.SaveSettings(); }, script);
    }
    TempDir dir;
    CVLApp app;
};

TEST(ToolsMenu, CompanionItemsFollowTheFilesWithoutRestart) {
    TempDir dir;
    const tools::CompanionProgram& lumaquill = *tools::FindCompanion(32888);
    EXPECT_FALSE(tools::CompanionPath(dir.path, lumaquill)) << "no Utilities folder";
    fs::create_directory(dir.path / "Utilities");
    EXPECT_FALSE(tools::CompanionPath(dir.path, lumaquill));
    Touch(dir.path / "Utilities" / "lumaquill", "", true); // as built here: no ".exe"
    EXPECT_TRUE(tools::CompanionPath(dir.path, lumaquill));
    EXPECT_FALSE(tools::CompanionPath(dir.path, *tools::FindCompanion(32905)));
    fs::remove(dir.path / "Utilities" / "lumaquill");
    EXPECT_FALSE(tools::CompanionPath(dir.path, lumaquill));
}

TEST(ToolsMenu, UserToolItemsNeedNameAndPath) {
    struct Case {
        int tool;
        const char* name;
        const char* path;
        const char* text;
        bool enabled;
    } cases[] = {
        {1, "&Editor", "/usr/bin/editor", "&Editor", true},
        {1, "&Editor", "", "User Defined Tool 1", false},
        {2, "", "/usr/bin/editor", "User Defined Tool 2", false},
    };
    for (const Case& c : cases) {
        const tools::ItemState item = tools::UserToolItem(c.tool, c.name, c.path);
        EXPECT_EQ(item.text.toStdString(), c.text);
        EXPECT_EQ(item.enabled, c.enabled);
    }
}

TEST(ToolsMenu, StartFailuresMapToTheirNumbers) {
    TempDir dir;
    Touch(dir.path / "notes.txt");
    Touch(dir.path / "garbage", "\x7f\x01\x02 not a program", true);
    struct Case {
        fs::path path;
        int result;
    } cases[] = {
        {dir.path / "missing", 2},   {dir.path / "no-folder" / "tool", 3},
        {dir.path / "notes.txt", 5}, {dir.path, 5},
        {dir.path / "garbage", 11},  {"/bin/true", 32},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tools::StartProgram(c.path.string()), c.result) << c.path;
    EXPECT_EQ(tools::UserToolErrorText(7),
              "ERROR: LoadModule() failed while loading file; error code = 7");
}

TEST(ToolsMenu, UserToolErrorBoxNamesTheToolWithoutItsMark) {
    testing_support::ScriptedUi ui;
    tools::RunUserTool(1, "&Editor", "/nonexistent-folder-x/editor");
    tools::RunUserTool(2, "E&d", "/tmp/velmora-no-such-tool");
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].caption, "User Defined Tool 1: Editor");
    EXPECT_EQ(ui.boxes[0].text, "ERROR: Path was not found.");
    EXPECT_EQ(ui.boxes[0].icon, platform::MsgIcon::Stop);
    EXPECT_EQ(ui.boxes[1].caption, "User Defined Tool 2: Ed");
    EXPECT_EQ(ui.boxes[1].text, "ERROR: File was not found.");
}

TEST(ToolsDialog, OkWritesTheToolsAtOnceCancelWritesNothing) {
    AppWithProfile f;
    WhenModal([](QDialog& d) {
        Control<QLineEdit>(d, 320)->setText("Ne&w");
        d.reject();
    });
    EXPECT_FALSE(f.UserTools());
    EXPECT_FALSE(f.ProfileWritten());
    EXPECT_EQ(f.app.m_strToolName1, "&Calculator");

    WhenModal([](QDialog& d) {
        EXPECT_EQ(Control<QLineEdit>(d, 321)->text(), "C:\\Windows\\Calc.Exe");
        Control<QLineEdit>(d, 324)->setText("&Editor");
        Control<QLineEdit>(d, 325)->setText("/usr/bin/editor");
        Click(d, 1);
    });
    EXPECT_TRUE(f.UserTools());
    EXPECT_EQ(f.Profile("Tools", "User Defined Name 2"), "&Editor");
    EXPECT_EQ(f.Profile("Tools", "User Defined Path 2"), "/usr/bin/editor");
    EXPECT_TRUE(tools::UserToolItem(2, f.app.m_strToolName2, f.app.m_strToolPath2).enabled);
}

TEST(GeneralOptions, PopupDelayMapping) {
    const std::pair<int, int> ticksToIndex[] = {{4, 0},  {9, 1},  {18, 2}, {36, 3},
                                                {72, 4}, {25, 2}, {0, 2}};
    for (auto [ticks, index] : ticksToIndex)
        EXPECT_EQ(options::PopupDelayIndex(std::uint16_t(ticks)), index) << ticks;
    EXPECT_EQ(options::PopupDelayTicks(4, 18), 72);
    EXPECT_EQ(options::PopupDelayTicks(-1, 25), 25);
}

struct TipsView : platform::View, CellTipsView {
    explicit TipsView(const char* name) : name_(name) {}
    const char* ViewClassName() const override { return name_; }
    void EnableCellTips(bool enable) override { tips = enable; }
    const char* name_;
    int tips = -1;
};

TEST(GeneralOptions, OkStoresAndWritesAndTellsTheFirstGridViewOnly) {
    AppWithProfile f;
    f.app.m_wPopupDelay = 25;
    CVLDoc script;
    TipsView other("CDatView"), events("CEvntView"), ports("CPortView");
    script.AddView(&other);
    script.AddView(&events);
    script.AddView(&ports);

    WhenModal([](QDialog& d) { d.reject(); });
    EXPECT_FALSE(f.GeneralOptions(&script));
    EXPECT_FALSE(f.ProfileWritten());

    WhenModal([](QDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 384)->isChecked()) << "25 shows as 1 Second *";
        Control<QCheckBox>(d, 296)->setChecked(false);
        Control<QCheckBox>(d, 235)->setChecked(false);
        Click(d, 1);
    });
    EXPECT_TRUE(f.GeneralOptions(&script));
    EXPECT_EQ(f.app.m_wPopupDelay, 18);
    EXPECT_FALSE(f.app.m_bSpreadsheetHints);
    EXPECT_EQ(f.Profile("General", "Popup Window Delay"), "18");
    EXPECT_EQ(f.Profile("General", "New File At Startup"), "FALSE");
    EXPECT_EQ(other.tips, -1);
    EXPECT_EQ(events.tips, 0);
    EXPECT_EQ(ports.tips, -1) << "only the first grid view follows at once";
}

TEST(GeneralOptions, CancelLeavesEverySetting) {
    AppWithProfile f;
    f.app.m_bNewFileAtStartup = true;
    f.app.m_bAlwaysPopupEventList = false;
    f.app.m_bSpreadsheetHints = true;
    f.app.m_wPopupDelay = 36;
    WhenModal([](QDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 385)->isChecked()) << "36 ticks: 2 Seconds";
        Control<QCheckBox>(d, 235)->setChecked(false);
        Control<QCheckBox>(d, 295)->setChecked(true);
        Control<QCheckBox>(d, 296)->setChecked(false);
        Control<QRadioButton>(d, 382)->setChecked(true);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(f.GeneralOptions(nullptr));
    EXPECT_TRUE(f.app.m_bNewFileAtStartup);
    EXPECT_FALSE(f.app.m_bAlwaysPopupEventList);
    EXPECT_TRUE(f.app.m_bSpreadsheetHints);
    EXPECT_EQ(f.app.m_wPopupDelay, 36);
    EXPECT_FALSE(f.ProfileWritten());
}

TEST(CompilerOptions, DialogCarriesTheRequestBothWays) {
    testsupport::QtApp();
    CCfgCompilerDlg request;
    request.optimization = 1;
    request.verboseMessages = 0;
    request.maxDetection = 1;
    request.noArchiveOffer = 0;
    request.noCompilerPopups = 0;
    WhenModal([](QDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 223)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(d, 231)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(d, 353)->isChecked());
        Control<QCheckBox>(d, 415)->setChecked(true);
        Control<QRadioButton>(d, 222)->setChecked(true);
        Click(d, 1);
    });
    EXPECT_TRUE(options::RunCompilerDialog(request));
    EXPECT_EQ(request.optimization, 0);
    EXPECT_EQ(request.noCompilerPopups, 1);
    EXPECT_EQ(request.maxDetection, 1);

    WhenModal([](QDialog& d) {
        Control<QCheckBox>(d, 416)->setChecked(true);
        d.reject();
    });
    EXPECT_FALSE(options::RunCompilerDialog(request));
    EXPECT_EQ(request.noArchiveOffer, 0);
}

TEST(PrintDialogs, PrintGridAnswersByButton) {
    testsupport::QtApp();
    const std::pair<int, int> buttons[] = {{1, 100}, {410, 101}, {2, 2}};
    for (auto [id, result] : buttons) {
        printing::DCPrintGridDlg dialog;
        WhenModal([id = id](QDialog& d) { Click(d, id); });
        EXPECT_EQ(dialog.Run(), result);
    }
    // From the keyboard: Enter is the default "Print Grid", Esc cancels.
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Return, 100}, {Qt::Key_Escape, 2}};
    for (auto [key, result] : keys) {
        printing::DCPrintGridDlg dialog;
        WhenModal([key = key](QDialog& d) { QTest::keyClick(&d, key); });
        EXPECT_EQ(dialog.Run(), result);
    }
}

// Opened from a table's window, the dialog still shows the program's icon.
TEST(PrintDialogs, PrintGridShowsTheProgramsIcon) {
    testsupport::QtApp();
    const testsupport::ProgramIconSwatch program;
    QWidget table;
    table.setWindowIcon(testsupport::Swatch(Qt::blue));
    printing::DCPrintGridDlg dialog(&table);
    EXPECT_EQ(testsupport::IconPicture(dialog.windowIcon()), program.Picture());
}

TEST(PrintDialogs, SelectionStartsFromAndKeepsItsMemory) {
    testing_support::ScriptedUi ui;
    testsupport::QtApp();
    printing::PrintSelectionMemory memory;
    {
        printing::CPrintSelectionDlg dialog(memory);
        WhenModal([](QDialog& d) {
            EXPECT_TRUE(Control<QCheckBox>(d, 398)->isChecked());
            EXPECT_FALSE(Control<QCheckBox>(d, 387)->isChecked());
            EXPECT_EQ(Control<QLineEdit>(d, 393)->text(), "1");
            EXPECT_TRUE(Control<QLineEdit>(d, 395)->isEnabled());
            Control<QCheckBox>(d, 387)->setChecked(true);
            Control<QLineEdit>(d, 395)->setText("x7");
            Click(d, 1); // not an integer: stays open
            EXPECT_TRUE(d.isVisible());
            Control<QLineEdit>(d, 395)->setText(" 7 ");
            Click(d, 1);
        });
        EXPECT_EQ(dialog.Run(), printing::CPrintSelectionDlg::kPrint);
    }
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter an integer."});
    EXPECT_EQ(memory.SectionMask(), 0x102u);
    EXPECT_EQ(memory.toSequence, 7);

    // Unticking "Sequences" saves at once, even when the dialog is then cancelled; Print All
    // saves nothing.
    {
        printing::CPrintSelectionDlg dialog(memory);
        WhenModal([](QDialog& d) {
            Click(d, 398);
            EXPECT_FALSE(Control<QLineEdit>(d, 393)->isEnabled());
            Click(d, 2);
        });
        EXPECT_EQ(dialog.Run(), printing::CPrintSelectionDlg::kCancel);
    }
    EXPECT_EQ(memory.SectionMask(), 0x2u);
    {
        printing::CPrintSelectionDlg dialog(memory);
        dialog.SetPreview(true);
        WhenModal([](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Select Items to Print Preview");
            EXPECT_EQ(Control<QAbstractButton>(d, 3)->text(), "Preview All");
            Control<QCheckBox>(d, 401)->setChecked(true);
            Click(d, 3);
        });
        EXPECT_EQ(dialog.Run(), printing::CPrintSelectionDlg::kPrintAll);
    }
    EXPECT_EQ(memory.SectionMask(), 0x2u);
}

TEST(Splash, PlacedCentredAndInsideTheScreen) {
    struct Case {
        QRect screen;
        QPoint expected;
    } cases[] = {
        {QRect(0, 0, 1280, 1024), QPoint(339, 375)},
        {QRect(1280, 0, 1920, 1080), QPoint(1280 + 659, 403)},
        {QRect(0, 0, 500, 200), QPoint(0, 0)}, // smaller than the picture
        {QRect(-1024, -100, 800, 600), QPoint(-1024 + 99, -100 + 163)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSplashScreen::Position(c.screen), c.expected) << c.screen.x();
    testsupport::QtApp();
    EXPECT_EQ(CSplashScreen::Picture().size(), QSize(601, 274));
}

TEST(Welcome, ShownWhileTheMarkerIsThereAndTheBoxRemovesIt) {
    testsupport::QtApp();
    TempDir dir;
    EXPECT_FALSE(ShowWelcomeIfFirstRun(dir.path));
    Touch(dir.path / "FRSTTIME.RUN");
    WhenModal([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Welcome to Velmora!");
        EXPECT_EQ(Control<QLabel>(d, 373)->text(), kProgramNameAndVersion);
        Click(d, 1);
    });
    EXPECT_TRUE(ShowWelcomeIfFirstRun(dir.path));
    EXPECT_TRUE(fs::exists(dir.path / "FRSTTIME.RUN"));
    WhenModal([](QDialog& d) {
        Control<QCheckBox>(d, 375)->setChecked(true);
        Click(d, 1);
    });
    EXPECT_TRUE(ShowWelcomeIfFirstRun(dir.path));
    EXPECT_FALSE(fs::exists(dir.path / "FRSTTIME.RUN"));
    EXPECT_FALSE(ShowWelcomeIfFirstRun(dir.path));
}

// The welcome's box counts however the dialog closes: Escape and the close box too.
TEST(Welcome, TheBoxCountsWhenTheDialogIsClosedWithoutOk) {
    testsupport::QtApp();
    const std::function<void(QDialog&)> closes[] = {
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](QDialog& d) { d.close(); },
    };
    for (const auto& close : closes) {
        TempDir dir;
        Touch(dir.path / "FRSTTIME.RUN");
        WhenModal([&close](QDialog& d) {
            Control<QCheckBox>(d, 375)->setChecked(true);
            close(d);
        });
        EXPECT_TRUE(ShowWelcomeIfFirstRun(dir.path));
        EXPECT_FALSE(fs::exists(dir.path / "FRSTTIME.RUN"));
    }
}

TEST(DatStatus, ShowsTheDocumentsThreeLines) {
    testsupport::QtApp();
    CDatDoc doc;
    const std::uint8_t bytes[] = {0x06, 0x00, 0x05};
    doc.LoadImage(bytes, sizeof bytes);
    CDatStatusDlg texts = doc.StatusTexts();
    CDatStatusDialog dialog(texts);
    EXPECT_EQ(Control<QLabel>(dialog, 378)->text(), "The Size is 3");
    EXPECT_EQ(Control<QLabel>(dialog, 379)->text(), "");
    EXPECT_EQ(Control<QLabel>(dialog, 380)->text(), "This file IS NOT a valid DAT file!");
}

} // namespace

namespace {

TEST(ShellDialogs, CoreRequestsReachTheirDialogs) {
    testsupport::QtApp();
    platform::qt::ViewRegistry registry;
    RegisterVelmoraDialogs(registry, {});
    platform::qt::QtUiServices ui;
    registry.InstallDialogs(ui);
    CCfgCompilerDlg compiler;
    compiler.maxDetection = 0;
    WhenModal([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Configure Compiler");
        Control<QCheckBox>(d, 353)->setChecked(true);
        Click(d, 1);
    });
    EXPECT_TRUE(ui.RunDialog(compiler));
    EXPECT_EQ(compiler.maxDetection, 1);
    CDatStatusDlg status{};
    status.m_strSize = "The Size is 0";
    WhenModal([](QDialog& d) {
        EXPECT_EQ(Control<QLabel>(d, 378)->text(), "The Size is 0");
        Click(d, 1);
    });
    EXPECT_TRUE(ui.RunDialog(status));
}

} // namespace

namespace {

TEST(Splash, ClosesAfterHalfASecondThenWelcomesOnAFirstRun) {
    testsupport::QtApp();
    TempDir dir;
    Touch(dir.path / "frsttime.run"); // found without regard to case
    CSplashScreen splash;
    splash.show();
    splash.BringToFront();
    EXPECT_EQ(splash.height(), CSplashScreen::kHeight - 45);
    bool welcomed = false;
    bool done = false;
    WhenModal([&](QDialog& d) {
        welcomed = true;
        EXPECT_FALSE(splash.isVisible()) << "the splash goes before the welcome";
        Click(d, 1);
    });
    const auto start = std::chrono::steady_clock::now();
    splash.StartTimer(dir.path, [&] { done = true; });
    while (!done && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(done);
    EXPECT_TRUE(welcomed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

} // namespace
