// The application's own state, without a window: the scratch command (the command clipboard of
// every open document), the folder the Open dialog starts in, the recent-file list kept in
// pactwright.ini, and the command line.
#pragma once

#include "platform/recent_file_list.h"
#include "script/protocol.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pactwright {

class CPactwrightApp {
public:
    CPactwrightApp();

    CCmnd& Scratch() { return *scratch_; }

    // The installation's protocol folder: the "Protocol" folder (any case) beside the
    // program's folder. `programDir` is the folder that holds the program.
    static std::string DefaultFolderFor(const std::filesystem::path& programDir);
    std::string m_strDefaultFolder;

    // The file a command line names: the arguments joined by single blanks. Nothing for none,
    // for "-e" or "-E" with or without more text, and for "/e" or "/E" as the whole text.
    static std::optional<std::string> FileOfCommandLine(const std::vector<std::string>& args);

    // The recent files, kept in the profile's section "Recent File List".
    const CRecentFileList& RecentFiles() const { return recent_; }
    void SetProfilePath(std::filesystem::path path) { profilePath_ = std::move(path); }
    const std::filesystem::path& ProfilePath() const { return profilePath_; }
    void LoadRecentFiles();
    void AddRecentFile(const std::string& path);
    void RemoveRecentFile(const std::string& path);

private:
    void SaveRecentFiles();

    std::unique_ptr<CCmnd> scratch_;
    CRecentFileList recent_;
    std::filesystem::path profilePath_;
    std::string profileProblem_; // the last settings-file failure told to the user
};

} // namespace pactwright
