// The settings of the profile: read once at start-up, written whole whenever one changes.
#include "app/vl_app.h"

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui_services.h"
#include "script/profile_numbers.h"

#include <string>

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kTools = "Tools";
constexpr const char* kSerialPorts = "Serial Ports";
constexpr const char* kRecentFiles = "Recent File List";
constexpr int kSerialPortCount = 8;

const char* Bool(bool value) {
    return value ? "TRUE" : "FALSE";
}

} // namespace

void CVLApp::LoadSettings() {
    platform::ProfileFile profile;
    if (!m_ProfilePath.empty() && !profile.Load(m_ProfilePath))
        ProfileUnreadable(profile.LoadError());

    m_bNewFileAtStartup = profile.GetBool(kGeneral, "New File At Startup", true);
    m_bAlwaysPopupEventList = profile.GetBool(kGeneral, "Always Popup Event List", true);
    m_wPopupDelay =
        static_cast<std::uint16_t>(ReadProfileNumber(profile, kGeneral, "Popup Window Delay"));
    m_strFontFace = profile.GetString(kGeneral, "Font Face", "Arial");
    m_wFontPointSize =
        static_cast<std::uint16_t>(ReadProfileNumber(profile, kGeneral, "Font Point Size"));
    m_bEventsInFrames =
        platform::EqualsNoCase(profile.GetString(kGeneral, "View Events", "Time"), "Frames");
    m_bTimecodeStartAdded = platform::EqualsNoCase(
        profile.GetString(kGeneral, "View Events Start Timecode", "Added"), "Added");
    m_bSpreadsheetHints = profile.GetBool(kGeneral, "Spreadsheet Hints", true);

    m_strToolName1 = profile.GetString(kTools, "User Defined Name 1", "&Calculator");
    m_strToolPath1 = profile.GetString(kTools, "User Defined Path 1", "C:\\Windows\\Calc.Exe");
    m_strToolName2 = profile.GetString(kTools, "User Defined Name 2", "");
    m_strToolPath2 = profile.GetString(kTools, "User Defined Path 2", "");

    m_Download.Load(profile);
    m_poQuenlowList.Load(profile);
    m_nNumQuenlows = static_cast<std::int32_t>(m_poQuenlowList.GetCount());

    m_SerialPorts.clear();
    for (int n = 1; n <= kSerialPortCount; ++n) {
        const std::string path = platform::ToForwardSlashes(
            profile.GetString(kSerialPorts, "COM" + std::to_string(n), ""));
        if (!path.empty())
            m_SerialPorts[n] = path;
    }

    auto& recent = m_RecentFiles.MutableEntries();
    recent.clear();
    for (std::size_t i = 1; i <= CRecentFileList::kSize; ++i) {
        const std::string path = profile.GetString(kRecentFiles, "File" + std::to_string(i), "");
        if (!path.empty())
            recent.push_back(path);
    }
}

void CVLApp::SaveSettings() {
    m_nNumQuenlows = static_cast<std::int32_t>(m_poQuenlowList.GetCount());
    if (m_SaveSettingsHook) {
        m_SaveSettingsHook(*this);
        return;
    }
    if (!m_ProfilePath.empty())
        WriteSettings();
}

bool CVLApp::LoadProfileForUpdate(platform::ProfileFile& profile) {
    if (m_bProfileUnreadable)
        return false;
    if (profile.Load(m_ProfilePath))
        return true;
    ProfileUnreadable(profile.LoadError());
    return false;
}

void CVLApp::ProfileUnreadable(const std::string& reason) {
    if (m_bProfileUnreadable)
        return;
    m_bProfileUnreadable = true;
    platform::ShowMessage("The settings file " + m_ProfilePath.string() + " cannot be read: " +
                              reason + ".\nSettings will not be saved until Velmora is restarted.",
                          platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
}

bool CVLApp::SaveProfile(const platform::ProfileFile& profile) {
    if (profile.Save(m_ProfilePath)) {
        m_strProfileWriteError.clear();
        return true;
    }
    const std::string reason = profile.SaveError();
    if (reason == m_strProfileWriteError)
        return false;
    m_strProfileWriteError = reason;
    platform::ShowMessage("The settings file " + m_ProfilePath.string() +
                              " cannot be written: " + reason +
                              ".\nThe file is left as it was; the settings are written again at "
                              "the next change.",
                          platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    return false;
}

void CVLApp::WriteSettings() {
    // Read afresh so that what was edited by hand since start-up stays.
    platform::ProfileFile profile;
    if (!LoadProfileForUpdate(profile))
        return;
    auto put = [&](const char* section, const std::string& key, const std::string& value) {
        profile.SetString(section, key, value);
    };
    put(kGeneral, "New File At Startup", Bool(m_bNewFileAtStartup));
    put(kGeneral, "Always Popup Event List", Bool(m_bAlwaysPopupEventList));
    put(kGeneral, "Spreadsheet Hints", Bool(m_bSpreadsheetHints));
    put(kGeneral, "Popup Window Delay", std::to_string(m_wPopupDelay));
    put(kGeneral, "View Events", m_bEventsInFrames ? "Frames" : "Time");
    put(kGeneral, "View Events Start Timecode", m_bTimecodeStartAdded ? "Added" : "Not Added");

    put(kTools, "User Defined Name 1", m_strToolName1);
    put(kTools, "User Defined Path 1", m_strToolPath1);
    put(kTools, "User Defined Name 2", m_strToolName2);
    put(kTools, "User Defined Path 2", m_strToolPath2);

    m_Download.Save(profile);
    m_poQuenlowList.Save(profile);
    if (m_bRecentFilesUnsaved)
        PutRecentFiles(profile);
    if (SaveProfile(profile))
        m_bRecentFilesUnsaved = false;
}

std::string CVLApp::SerialPortPath(int n) const {
    // Read at every lookup: a mapping changed by hand in the profile takes effect at the next
    // listing or opening of a port, without a restart.
    if (!m_ProfilePath.empty() && n >= 1 && n <= kSerialPortCount)
        return platform::ToForwardSlashes(
            platform::GetProfileString(m_ProfilePath, kSerialPorts, "COM" + std::to_string(n), ""));
    const auto it = m_SerialPorts.find(n);
    return it == m_SerialPorts.end() ? std::string() : it->second;
}
