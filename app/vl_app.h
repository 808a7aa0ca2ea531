// The application object: the installation directory, the loaded products and protocols, the
// list of open scripts, how the next new script is made, the settings of the profile, the
// start-up sequence, the command line and shutdown. No user interface here: the Qt program and
// batch mode supply their windows through AppShell. It is the services object the scripts, the
// compiler and the link are handed: what they need of the program comes from here.
#pragma once

#include "platform/doc_template.h"
#include "platform/recent_file_list.h"
#include "script/app_services.h"
#include "script/doc_list.h"
#include "script/download_settings.h"
#include "script/import_table.h"
#include "script/product.h"
#include "script/protocol_list.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CVLDoc;
class CMyMultiDocTemplate;
class DocFrameFactory;
struct CommandLineInfo;

namespace platform {
class Document;
class ProfileFile;
} // namespace platform

// What start-up and the commands need of the program's windows.
class AppShell {
public:
    virtual ~AppShell() = default;
    // Frames of the script template (the sequence window).
    virtual DocFrameFactory& ScriptFrames() = 0;
    // The template that opens a compile view on a script; null stops start-up.
    virtual platform::ViewTemplate* CompileTemplate() = 0;
    // Creates the main frame; false ends start-up without a message.
    virtual bool CreateMainFrame() = 0;
    // The document of the active child frame, or null.
    virtual platform::Document* ActiveDocument() = 0;
    // Shows the recent-file list after it changed.
    virtual void RecentFilesChanged() {}
};

class CVLApp : public AppServices {
public:
    // SerialPort value of the offline connection.
    static constexpr std::int32_t kSerialOffline = CommSettings::kSerialOffline;
    static constexpr std::size_t kMaxProducts = 20;
    static constexpr std::size_t kMaxProtocols = 500;

    // Exit statuses of a command-line compile.
    enum BatchStatus : int {
        kBatchDownloaded = 0,
        kBatchNotOpened = 1,
        kBatchCompileFailed = 2,
        kBatchNotDownloaded = 3,
        kBatchStartupFailed = 4,
    };

    CVLApp();
    ~CVLApp() override;
    CVLApp(const CVLApp&) = delete;
    CVLApp& operator=(const CVLApp&) = delete;

    // ---- Start-up and shutdown ----
    // Loads the device definitions, creates the templates and the main frame through `shell`
    // and reads the settings. False (after its message) when the program cannot run.
    bool InitInstance(AppShell& shell);
    // The products and protocols of the installation at m_strAppDir, with the event protocol's
    // commands, as start-up loads them (its messages and limits included). False (after its
    // message) when there is no product or no protocol.
    bool LoadDeviceDefinitions();
    // Handles the command line after start-up: answers -1 to go on running, or the exit status
    // of a command-line compile (which ends the program).
    int ProcessCommandLine(const CommandLineInfo& info);
    // Opens, compiles and downloads a script without asking; answers a BatchStatus.
    int RunBatchCompile(const std::string& path);
    // Frees what start-up made (documents first). Settings are not written here.
    int ExitInstance();

    // ---- Documents ----
    // Opens a script (path) or makes a new one (empty path) through the script template.
    CVLDoc* OpenDocumentFile(const std::string& path);
    // File New: a new script of the current new-document mode, then the mode goes back to 0.
    CVLDoc* OnFileNew();
    // "&Script Wizard...": a new script made by the Script Wizard.
    CVLDoc* OnScriptWizard();
    // "&Upload Script from Unit": a new script filled from the controller's script archive.
    CVLDoc* OnUploadScriptFromUnit();
    // Closes a script: its frames close and the document goes.
    void CloseDocument(CVLDoc* doc);
    // The active document when it is a script, else null.
    CVLDoc* ActiveScript() const;
    CMyMultiDocTemplate* ScriptTemplate() const { return m_pScriptTmp.get(); }
    CRecentFileList& RecentFiles() { return m_RecentFiles; }
    // Puts a path at the top of the recent-file list and writes the list to the profile.
    void AddRecentFile(const std::string& path);

    // ---- Settings ----
    // The profile the settings live in (DefaultProfilePath() unless set before start-up).
    const std::filesystem::path& ProfilePath() const { return m_ProfilePath; }
    void SetProfilePath(std::filesystem::path path) { m_ProfilePath = std::move(path); }
    // True once the profile was found unreadable: the settings are no longer written.
    bool ProfileUnreadable() const { return m_bProfileUnreadable; }
    void LoadSettings();
    // Writes every setting to the profile at once (through the hook when one is installed;
    // without a profile path nothing is written).
    void SaveSettings() override;
    using SaveSettingsHook = std::function<void(CVLApp&)>;
    void SetSaveSettingsHook(SaveSettingsHook hook) { m_SaveSettingsHook = std::move(hook); }
    // The device path configured for COMn in the "Serial Ports" section, or empty.
    std::string SerialPortPath(int n) const;

    // ---- What the scripts, the compiler and the link ask of the program ----
    const std::string& InstallDirectory() const override { return m_strAppDir; }
    CProdList& Products() override { return m_poProdList; }
    CProList& Protocols() override { return m_poProList; }
    CProtocol* EventProtocol() override { return m_posEventProtocol; }
    CImportTable* ImportTable() override { return m_pImportTable.get(); }
    CDocList& OpenDocuments() override { return m_poDocList; }
    NewDocMode NewDocumentMode() const override { return static_cast<NewDocMode>(m_wNewDocMode); }
    platform::ViewTemplate* CompileTemplate() override { return m_pCompileTmp; }
    CommSettings& Settings() override { return m_Download; }
    CQuenlowList& Devices() override { return m_poQuenlowList; }
    bool CommandLineCompile() const override { return m_bBatch; }
    int PopupDelayTicks() const override { return m_wPopupDelay; }

    std::string m_strAppDir; // installation directory, without a trailing separator
    std::string m_strFontFace = "Arial";
    std::string m_strToolName1 = "&Calculator";
    std::string m_strToolName2;
    std::string m_strToolPath1 = "C:\\Windows\\Calc.Exe";
    std::string m_strToolPath2;
    std::uint16_t m_nProducts = 0;
    std::uint16_t m_nProtocols = 0;
    std::int32_t m_nNextGridId = 1000;
    CProdList m_poProdList;
    CProList m_poProList;
    CProtocol* m_posEventProtocol = nullptr; // the built-in event protocol in m_poProList
    CDocList m_poDocList;
    // The renaming table of the DOS script import, one for the whole run (null when it could
    // not be had); the first import fills it.
    std::unique_ptr<CImportTable> m_pImportTable = std::make_unique<CImportTable>();

    std::uint16_t m_wNewDocMode = kNewAskProduct;
    // Set by File Open for a DOS script; the document decides from the file's own extension.
    bool m_bImportKsx = false;

    // General and Tools settings.
    bool m_bNewFileAtStartup = true;
    bool m_bAlwaysPopupEventList = true;
    bool m_bSpreadsheetHints = true;
    bool m_bEventsInFrames = false;
    bool m_bTimecodeStartAdded = true;
    std::uint16_t m_wPopupDelay = 18; // ticks of 55 ms
    std::uint16_t m_wFontPointSize = 8;

    // The Download settings: one record, which the link reads and writes as well.
    CommSettings m_Download;
    std::int32_t& m_nCommMethod = m_Download.commMethod;
    std::int32_t& m_nEthernetDevice = m_Download.ethernetDevice;
    std::int32_t& m_nSerialPort = m_Download.serialPort;       // 0-7 = COM1-COM8, kSerialOffline
    std::int32_t& m_nSerialTimeout = m_Download.serialTimeout; // ms
    std::int32_t& m_nSerialDelay = m_Download.serialDelay;     // pacing 0-4
    std::int32_t& m_nSerialBandwidth = m_Download.serialBandwidth; // packet size in bytes
    std::int32_t& m_nSerialBitMode = m_Download.serialBitMode;
    bool& m_bVerboseMessages = m_Download.verbose;
    bool& m_bNoCompilerPopups = m_Download.noCompilerPopups;
    bool& m_bNoArchiveOffer = m_Download.noArchiveOffer;
    std::int32_t m_nNumQuenlows = 0;
    CQuenlowList m_poQuenlowList;
    // COMn -> device path, from the "Serial Ports" section.
    std::map<int, std::string> m_SerialPorts;

    // Set while a command-line compile runs.
    bool m_bBatch = false;

    // Template of the compile view (not owned; null until the program registers it).
    platform::ViewTemplate* m_pCompileTmp = nullptr;

private:
    bool LoadProducts();
    bool LoadProtocols();
    void LoadProtocolFile(const std::filesystem::path& file);
    void FindEventProtocol();
    void ChangeIntoScripts();
    void WriteSettings();
    // Reads the profile for an update. False when it exists but cannot be read: then nothing
    // writes it for the rest of the run (it would lose every line it holds) and the user is
    // told once.
    bool LoadProfileForUpdate(platform::ProfileFile& profile);
    void ProfileUnreadable(const std::string& reason);
    // Replaces the profile with `profile`. A write that fails leaves the file as it was and
    // the settings as they are in memory (the next write takes them all); the user is told the
    // path and the reason, once until a write succeeds again or the reason changes.
    bool SaveProfile(const platform::ProfileFile& profile);
    void PutRecentFiles(platform::ProfileFile& profile) const;

    SaveSettingsHook m_SaveSettingsHook;
    std::filesystem::path m_ProfilePath;
    AppShell* m_pShell = nullptr;
    std::unique_ptr<CMyMultiDocTemplate> m_pScriptTmp;
    CRecentFileList m_RecentFiles;
    bool m_bHooksInstalled = false;
    bool m_bProfileUnreadable = false;
    std::string m_strProfileWriteError; // the reason last told, empty after a good write
    bool m_bRecentFilesUnsaved = false;
};
