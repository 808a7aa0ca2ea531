// Pactwright, the protocol editor: each open protocol file in a window of its own, the command
// tree on the left and the command grid on the right.
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/paint_manager.h"
#include "pactwright/core/pactwright_app.h"
#include "pactwright/main_frame.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui_services.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pactwright"));
    // The command bars' shared state: the image manager the toolbar renders its theme icons
    // into, and the icon theme chosen where the desktop names none.
    CGVPToolkit toolkit;
    platform::SetDefaultCaption("Pactwright");

    pactwright::CPactwrightApp app;
    // Only the recent-file list persists, beside the main program's profile.
    app.SetProfilePath(platform::DefaultProfilePath("pactwright.ini"));
    app.LoadRecentFiles();

    int status = 0;
    {
        pactwright::CMainFrame frame(app);
        std::vector<std::string> args(argv + 1, argv + argc);
        if (const auto file = pactwright::CPactwrightApp::FileOfCommandLine(args))
            frame.OpenFile(*file); // a failure is reported by the open; start-up goes on
        app.m_strDefaultFolder =
            pactwright::CPactwrightApp::DefaultFolderFor(platform::InstallDirectory());
        frame.show();
        frame.RecalcLayout();
        status = QApplication::exec();
        CGVPMouseManager::GetMouseManager()->EndTracking();
    }
    CGVPPaintManager::ReleaseGlobalPaintManager();
    return status;
}
