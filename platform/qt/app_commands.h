// The application's commands of a program's main frame (New, Open, Exit, ...), declared in a
// command map, and the commands of its recent-file list: one per entry from `firstRecent`, the
// newest first, each there while the list is that long.
#pragma once

#include "platform/qt/command_map.h"
#include "platform/recent_file_list.h"

#include <QStringList>
#include <functional>
#include <string>

namespace platform::qt {

class AppCommands : public CommandTarget {
public:
    // `openRecent` gets a copy of the entry's path: opening the file reorders the list.
    AppCommands(const CRecentFileList& recent, unsigned firstRecent, unsigned lastRecent,
                std::function<void(const std::string&)> openRecent);

    CommandMap& Commands() { return commands_; }
    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

private:
    bool IsRecent(unsigned id) const { return id >= firstRecent_ && id <= lastRecent_; }

    const CRecentFileList& recent_;
    unsigned firstRecent_;
    unsigned lastRecent_;
    std::function<void(const std::string&)> openRecent_;
    CommandMap commands_;
};

// The list's paths as the menus show them.
QStringList RecentFilePaths(const CRecentFileList& recent);

} // namespace platform::qt
