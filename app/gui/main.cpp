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
#include <filesystem>
#include <optional>

int main(int argc, char** argv) {
    const CommandLineInfo info = ParseCommandLine(argc, argv);
    platform::SetDefaultCaption("Velmora");
    CVLApp app;
    if (const std::optional<int> status = RunWithoutWindow(app, info))
        return *status;

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
