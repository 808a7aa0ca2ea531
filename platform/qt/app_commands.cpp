#include "platform/qt/app_commands.h"

namespace platform::qt {

AppCommands::AppCommands(const CRecentFileList& recent, unsigned firstRecent, unsigned lastRecent,
                         std::function<void(const std::string&)> openRecent)
    : recent_(recent), firstRecent_(firstRecent), lastRecent_(lastRecent),
      openRecent_(std::move(openRecent)) {}

bool AppCommands::HasCommandHandler(unsigned id) const {
    if (IsRecent(id))
        return id - firstRecent_ < recent_.Entries().size();
    return commands_.Has(id);
}

bool AppCommands::OnCommand(unsigned id) {
    if (!HasCommandHandler(id))
        return false;
    if (!IsRecent(id))
        return commands_.Run(id);
    const std::string path = recent_.Entries()[id - firstRecent_];
    if (openRecent_)
        openRecent_(path);
    return true;
}

bool AppCommands::OnUpdateCommand(unsigned id, CommandUi& ui) {
    return !IsRecent(id) && commands_.Update(id, ui);
}

QStringList RecentFilePaths(const CRecentFileList& recent) {
    QStringList paths;
    for (const std::string& path : recent.Entries())
        paths << QString::fromStdString(path);
    return paths;
}

} // namespace platform::qt
