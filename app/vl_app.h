// The application object as the script model sees it: the installation directory, the loaded
// products and protocols, the list of open scripts, how the next new script is made, and the
// download and compiler switches. The Qt program builds on it; this part has no user interface.
#pragma once

#include "platform/doc_template.h"
#include "script/doc_list.h"
#include "script/import_table.h"
#include "script/product.h"
#include "script/protocol_list.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CVLApp {
public:
    // How the next new script is made.
    enum NewDocMode : std::uint16_t {
        kNewAskProduct = 0, // the new-script dialog asks for the product
        kNewDefaultProduct = 1,
        kNewUploadFromUnit = 2, // default product, to be filled from the unit's archive
        kNewScriptWizard = 3,
    };
    // SerialPort value of the offline connection.
    static constexpr std::int32_t kSerialOffline = 9;

    CVLApp() = default;
    CVLApp(const CVLApp&) = delete;
    CVLApp& operator=(const CVLApp&) = delete;

    // Writes all application settings to the profile, through the installed writer (none is
    // installed until start-up provides it).
    void SaveSettings();
    using SaveSettingsHook = std::function<void(CVLApp&)>;
    void SetSaveSettingsHook(SaveSettingsHook hook) { m_SaveSettingsHook = std::move(hook); }

    std::string m_strAppDir; // installation directory, without a trailing separator
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
    bool m_bNoCompilerPopups = true;
    bool m_bNoArchiveOffer = false;
    std::int32_t m_nSerialPort = 0;        // 0-7 = COM1-COM8, kSerialOffline
    std::int32_t m_nSerialTimeout = 3000;  // ms
    std::int32_t m_nSerialDelay = 3;       // pacing 0-4
    std::int32_t m_nSerialBandwidth = 128; // packet size in bytes

    // Template of the compile view (not owned; null until the program registers it).
    platform::ViewTemplate* m_pCompileTmp = nullptr;

private:
    SaveSettingsHook m_SaveSettingsHook;
};

// The process-wide application. Until one is installed, a default instance serves.
CVLApp& GetApp();
// Installs `app` (not owned; null restores the default instance); answers the previous one
// (null when it was the default instance).
CVLApp* SetApp(CVLApp* app);
