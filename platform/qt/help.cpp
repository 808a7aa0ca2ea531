#include "platform/qt/help.h"

#include "platform/paths.h"
#include "platform/ui_services.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <system_error>

namespace platform::qt {

std::optional<std::filesystem::path> HelpFile(const std::string& appDir, std::string_view page) {
    std::optional<std::filesystem::path> file =
        platform::ResolveNoCase(appDir, "Help/" + std::string(page));
    std::error_code ec;
    if (file && std::filesystem::is_regular_file(*file, ec))
        return file;
    return std::nullopt;
}

bool OpenHelp(const std::string& appDir, std::string_view page) {
    const std::optional<std::filesystem::path> file = HelpFile(appDir, page);
    if (file &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file->string()))))
        return true;
    platform::ShowMessage("Failed to launch help.", platform::MsgButtons::Ok,
                          platform::MsgIcon::Exclamation);
    return false;
}

} // namespace platform::qt
