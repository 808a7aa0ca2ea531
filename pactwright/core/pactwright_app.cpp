#include "pactwright/core/pactwright_app.h"

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui_services.h"

namespace pactwright {

namespace {
constexpr const char* kRecentSection = "Recent File List";
}

CPactwrightApp::CPactwrightApp() : scratch_(std::make_unique<CCmnd>("New Command")) {}

std::string CPactwrightApp::DefaultFolderFor(const std::filesystem::path& programDir) {
    const std::filesystem::path root = programDir.parent_path();
    if (auto found = platform::ResolveNoCase(root, "Protocol"))
        return found->string();
    return (root / "Protocol").string();
}

std::optional<std::string> CPactwrightApp::FileOfCommandLine(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args)
        text += (text.empty() ? "" : " ") + arg;
    if (text.empty())
        return std::nullopt;
    // A Linux path begins with '/': "/e" counts only as the whole text.
    if (text.size() >= 2 && text[0] == '-' && (text[1] == 'e' || text[1] == 'E'))
        return std::nullopt;
    if (text == "/e" || text == "/E")
        return std::nullopt;
    return text;
}

void CPactwrightApp::LoadRecentFiles() {
    platform::ProfileFile profile;
    auto& entries = recent_.MutableEntries();
    entries.clear();
    if (profilePath_.empty() || !profile.Load(profilePath_))
        return;
    for (std::size_t i = 1; i <= CRecentFileList::kSize; ++i) {
        const std::string path = profile.GetString(kRecentSection, "File" + std::to_string(i), "");
        if (!path.empty())
            entries.push_back(path);
    }
}

void CPactwrightApp::SaveRecentFiles() {
    if (profilePath_.empty())
        return;
    // A failure is told once (until the reason changes or a write succeeds); a profile that
    // exists but cannot be read is never replaced by one holding the recent files alone.
    auto tell = [this](const std::string& problem) {
        if (problem == profileProblem_)
            return;
        profileProblem_ = problem;
        platform::ShowMessage("The settings file " + profilePath_.string() + problem,
                              platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    };
    platform::ProfileFile profile;
    if (!profile.Load(profilePath_)) { // a missing profile starts empty
        tell(" cannot be read: " + profile.LoadError() + ".");
        return;
    }
    const auto& entries = recent_.Entries();
    for (std::size_t i = 0; i < CRecentFileList::kSize; ++i)
        profile.SetString(kRecentSection, "File" + std::to_string(i + 1),
                          i < entries.size() ? entries[i] : std::string());
    if (!profile.Save(profilePath_)) {
        tell(" cannot be written: " + profile.SaveError() + ".");
        return;
    }
    profileProblem_.clear();
}

void CPactwrightApp::AddRecentFile(const std::string& path) {
    recent_.Add(path);
    SaveRecentFiles();
}

void CPactwrightApp::RemoveRecentFile(const std::string& path) {
    recent_.Remove(path);
    SaveRecentFiles();
}

} // namespace pactwright
