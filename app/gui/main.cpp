// The Velmora program. A command-line compile (-c) runs without any window, so it needs no
// display; otherwise the main window opens.
#include "app/batch_shell.h"
#include "app/command_line.h"
#include "app/gui/shell_dialogs.h"
#include "app/gui/splash_screen.h"
#include "app/gui/vl_frame.h"
#include "app/vl_app.h"
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/paint_manager.h"
#include "platform/paths.h"
#include "platform/ui_services.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>

namespace {

int RunBatch(CVLApp& app, const CommandLineInfo& info) {
    platform::ConsoleUi console;
    platform::UiServices* previous = platform::SetUi(&console);
    BatchShell shell;
    int status = CVLApp::kBatchStartupFailed;
    if (app.InitInstance(shell))
        status = app.ProcessCommandLine(info);
    app.ExitInstance();
    platform::SetUi(previous);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLineInfo info = ParseCommandLine(argc, argv);
    if (info.kind == CommandLineInfo::kHelp) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (info.kind == CommandLineInfo::kError) {
        std::fprintf(stderr, "velmora: %s\n\n%s", info.error.c_str(), UsageText().c_str());
        return CVLApp::kBatchStartupFailed;
    }
    platform::SetDefaultCaption("Velmora");
    CVLApp app;
    if (info.kind == CommandLineInfo::kCompile)
        return RunBatch(app, info);

    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    CGVPToolkit toolkit;
    // Every window without an icon of its own (dialogs, boxes, child frames) carries this one.
    QApplication::setWindowIcon(VelmoraIcon());
    int status = CVLApp::kBatchStartupFailed;
    // The splash shows while the devices load; the welcome of a first run follows it.
    CSplashScreen splash;
    splash.show();
    QCoreApplication::processEvents();
    {
        CVLFrame window(app);
        if (app.InitInstance(window)) {
            splash.BringToFront();
            splash.StartTimer(app.m_strAppDir);
            // A compiled image opens in its own view; anything else goes the script's way.
            if (info.kind == CommandLineInfo::kOpen &&
                platform::EqualsNoCase(std::filesystem::path(info.path).extension().string(),
                                       ".dat"))
                window.OpenFile(info.path);
            else
                app.ProcessCommandLine(info);
            status = QApplication::exec();
        }
        splash.close();
        app.ExitInstance();
        CGVPMouseManager::GetMouseManager()->EndTracking();
    }
    CGVPPaintManager::ReleaseGlobalPaintManager();
    return status;
}
