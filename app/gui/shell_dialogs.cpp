#include "app/gui/shell_dialogs.h"

#include "app/gui/dat_status_dialog.h"
#include "app/gui/options_dialogs.h"
#include "link/dat_doc.h"
#include "platform/paths.h"
#include "platform/qt/mdi_template.h"
#include "platform/ui_services.h"
#include "script/dialog_requests.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <system_error>

void RegisterShellDialogs(platform::qt::ViewRegistry& registry) {
    registry.RegisterDialog("CCfgCompilerDlg", [](platform::DialogRequest& request) {
        return options::RunCompilerDialog(static_cast<CCfgCompilerDlg&>(request),
                                          QApplication::activeWindow());
    });
    registry.RegisterDialog("CDatStatusDlg", [](platform::DialogRequest& request) {
        return RunDatStatusDialog(static_cast<CDatStatusDlg&>(request),
                                  QApplication::activeWindow());
    });
}

std::optional<std::filesystem::path> HelpFile(const std::string& appDir) {
    std::optional<std::filesystem::path> file = platform::ResolveNoCase(appDir, "Help/index.html");
    std::error_code ec;
    if (file && std::filesystem::is_regular_file(*file, ec))
        return file;
    return std::nullopt;
}

bool OpenHelp(const std::string& appDir) {
    const std::optional<std::filesystem::path> file = HelpFile(appDir);
    if (file &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file->string()))))
        return true;
    platform::ShowMessage("Failed to launch help.", platform::MsgButtons::Ok,
                          platform::MsgIcon::Exclamation);
    return false;
}
