// Pactwright, the protocol editor: each open protocol file in a window of its own, the command
// tree on the left and the command grid on the right.
#include "pactwright/core/pactwright_app.h"
#include "pactwright/main_frame.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui_services.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace {

// Without a desktop session no icon theme is named: fall back to one that is installed.
void ChooseIconTheme() {
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor"))
        return;
    for (const char* theme : {"breeze", "Adwaita"}) {
        for (const QString& dir : QIcon::themeSearchPaths()) {
            if (QDir(dir + QLatin1Char('/') + QLatin1String(theme)).exists()) {
                QIcon::setThemeName(QLatin1String(theme));
                return;
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pactwright"));
    ChooseIconTheme();
    platform::SetDefaultCaption("Pactwright");

    pactwright::CPactwrightApp app;
    // Only the recent-file list persists, beside the main program's profile.
    app.SetProfilePath(platform::DefaultProfilePath("pactwright.ini"));
    app.LoadRecentFiles();

    pactwright::CMainFrame frame(app);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto file = pactwright::CPactwrightApp::FileOfCommandLine(args))
        frame.OpenFile(*file); // a failure is reported by the open; start-up goes on
    app.m_strDefaultFolder =
        pactwright::CPactwrightApp::DefaultFolderFor(platform::InstallDirectory());
    frame.show();
    frame.RecalcLayout();
    return QApplication::exec();
}
