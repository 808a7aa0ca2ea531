#include "app/vl_app.h"

#include "app/command_line.h"
#include "app/my_multi_doc_template.h"
#include "compiler/compile_main.h"
#include "compiler/compiler_state.h"
#include "compiler/event_compile.h"
#include "link/reproducer_download.h"
#include "link/script_archive.h"
#include "link/serial_link.h"
#include "link/vl_doc_link.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/serial_device.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <new>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void ShowLoadError(const std::string& what) {
    platform::ShowMessage("Error Loading " + what +
                          ":  Invalid File or Settings may be Out of Range");
}

LocalClockTime SystemLocalTime() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    return {local.tm_hour, local.tm_sec};
}

} // namespace

CVLApp::CVLApp() {
    // The ways into the compiler and the link; tests put their own in place of any of them.
    entries.compile = [](CVLDoc& doc) { compiler::CompileMain(doc); };
    entries.checkPortEvent = [](CVLDoc& doc, CSeq& sequence, CEvnt& event) {
        return CheckPortEventOf(doc, sequence, event);
    };
    entries.openScript = [this](const std::string& path) { return OpenDocumentFile(path); };
    entries.localTime = &SystemLocalTime;
    entries.countComPorts = [] { return ::CountComPorts(); };
    entries.comPortFailure = [](int port) { return ::ComPortFailure(port); };
    entries.chooseCommMethod = [](CVLDoc& doc, const std::string& message) {
        return showlink::ChooseCommMethod(doc, message);
    };
    entries.downloadCompiledScript = [](CVLDoc& doc) {
        return showlink::DownloadCompiledScript(doc);
    };
    entries.downloadSmpte = [](CVLDoc& doc, bool inlineDownload, bool loadTriggers, bool full) {
        return showlink::DownloadReproducerSystem(doc, inlineDownload, loadTriggers, full);
    };
    entries.storeArchive = [](CVLDoc& doc, CSerialLink& link) {
        showlink::StoreArchive(doc, link);
    };
}

CVLApp::~CVLApp() {
    ExitInstance();
}

// ---- Start-up ----

bool CVLApp::LoadProducts() {
    const std::string pattern = m_strAppDir + "/PRODUCTS/*.cfg";
    const auto folder = platform::ResolveNoCase(m_strAppDir, "PRODUCTS");
    const std::vector<fs::path> files =
        folder ? platform::ListFilesSorted(*folder, ".cfg") : std::vector<fs::path>{};
    if (files.empty()) {
        ShowLoadError(pattern);
        return false;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && m_nProducts >= kMaxProducts)
            break;
        const std::string path = files[i].string();
        std::unique_ptr<CProduct> product;
        try {
            product = std::make_unique<CProduct>();
        } catch (const std::bad_alloc&) {
            platform::ShowMessage("Not enough memory to allocate new Product in Product List ( "
                                  "*pProduct ).");
            continue;
        }
        if (product->ReadProductFile(path)) {
            m_poProdList.Add(std::move(product));
            ++m_nProducts;
        } else {
            ShowLoadError(path);
        }
    }
    return true;
}

void CVLApp::LoadProtocolFile(const fs::path& file) {
    std::unique_ptr<CProtocol> protocol;
    try {
        protocol = std::make_unique<CProtocol>();
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(
            "Not enough memory to allocate new Protocol in Protocol List ( *pProtocol ).");
        return;
    }
    if (protocol->ReadDevice(file.string())) {
        m_poProList.AddTail(std::move(protocol));
        ++m_nProtocols;
    } else {
        ShowLoadError(file.string());
    }
}

bool CVLApp::LoadProtocols() {
    const std::string pattern = m_strAppDir + "/PROTOCOL/*.pcl";
    const auto folder = platform::ResolveNoCase(m_strAppDir, "PROTOCOL");
    const std::vector<fs::path> files =
        folder ? platform::ListFilesSorted(*folder, ".pcl") : std::vector<fs::path>{};
    if (files.empty()) {
        ShowLoadError(pattern);
        return false;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && m_nProtocols >= kMaxProtocols)
            break;
        LoadProtocolFile(files[i]);
    }
    return true;
}

void CVLApp::FindEventProtocol() {
    CProtocol* events = nullptr;
    if (m_poProList.FindProtocol(CProList::kEventProtocolName, events, true) && events) {
        m_posEventProtocol = events;
        events->LoadCommands();
        return;
    }
    m_posEventProtocol = nullptr;
    platform::ShowMessage("Brevant's Event Protocol " + m_strAppDir +
                          "/PROTOCOL/QOREVNTS.PCL was not found or invalid");
}

void CVLApp::ChangeIntoScripts() {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec)
        return;
    const bool program = platform::FindNoCase(here, "velmora").has_value() ||
                         platform::FindNoCase(here, "VELMORA.EXE").has_value();
    if (!program || !platform::ResolveNoCase(here, "Utilities/IMPORT.FLT"))
        return;
    if (const auto scripts = platform::ResolveNoCase(here, "SCRIPTS"))
        fs::current_path(*scripts, ec);
}

bool CVLApp::InitInstance(AppShell& shell) {
    m_pShell = &shell;
    m_strAppDir = platform::InstallDirectory();
    if (m_ProfilePath.empty())
        m_ProfilePath = platform::DefaultProfilePath();
    m_nNextGridId = 1000;

    if (!LoadDeviceDefinitions())
        return false;
    if (!m_pImportTable) {
        try {
            m_pImportTable = std::make_unique<CImportTable>();
        } catch (const std::bad_alloc&) {
            platform::ShowMessage(
                "Not enough memory to allocate new Import Table ( *pImportTable ).");
        }
    }
    ChangeIntoScripts();

    m_pScriptTmp = std::make_unique<CMyMultiDocTemplate>(*this, shell.ScriptFrames());
    m_pCompileTmp = shell.CompileTemplate();
    if (!m_pCompileTmp) {
        platform::ShowMessage(
            "Not enough memory to allocate Compile View ( *m_pCompileTmp ).  Aborting...");
        return false;
    }

    platform::SetSerialPortLookup([this](int n) { return SerialPortPath(n); });
    m_bHooksInstalled = true;

    if (!shell.CreateMainFrame())
        return false;
    LoadSettings();
    return true;
}

bool CVLApp::LoadDeviceDefinitions() {
    if (!LoadProducts())
        return false;
    if (!LoadProtocols())
        return false;
    FindEventProtocol();
    // User protocols: the first one loads whatever the count, each further one while the two
    // folders together hold fewer than the limit.
    if (const auto mine = platform::ResolveNoCase(m_strAppDir, "PROTOCOL/My Protocols")) {
        const std::vector<fs::path> files = platform::ListFilesSorted(*mine, ".pcl");
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i > 0 && m_nProtocols >= kMaxProtocols)
                break;
            LoadProtocolFile(files[i]);
        }
    }
    return true;
}

int CVLApp::ProcessCommandLine(const CommandLineInfo& info) {
    m_wNewDocMode = kNewAskProduct;
    m_bBatch = false;
    switch (info.kind) {
    case CommandLineInfo::kNone:
        if (m_bNewFileAtStartup) {
            m_wNewDocMode = kNewDefaultProduct;
            OnFileNew();
        }
        break;
    case CommandLineInfo::kCompile:
        return RunBatchCompile(info.path);
    case CommandLineInfo::kOpen:
        OpenDocumentFile(info.path);
        break;
    default:
        break;
    }
    return -1;
}

int CVLApp::RunBatchCompile(const std::string& path) {
    m_bBatch = true;
    struct BatchEnd {
        CVLApp& app;
        ~BatchEnd() { app.m_bBatch = false; }
    } end{*this};

    if (!OpenDocumentFile(path))
        return kBatchNotOpened;
    CVLDoc* doc = ActiveScript();
    if (!doc) {
        platform::ShowMessage("Command failed.");
        return kBatchNotOpened;
    }

    // The compile reports nothing back: watch the download to learn whether the image went out.
    bool attempted = false;
    bool downloaded = false;
    struct Restore {
        Entries& entries;
        std::function<bool(CVLDoc&)> download;
        ~Restore() { entries.downloadCompiledScript = std::move(download); }
    } restore{entries, entries.downloadCompiledScript};
    entries.downloadCompiledScript = [&](CVLDoc& script) {
        attempted = true;
        downloaded = restore.download(script);
        return downloaded;
    };
    GetCompilerState().errorCount = 0;
    doc->CompileScript();

    // An image that could not be stored counts as an error even when it went out.
    if (GetCompilerState().errorCount > 0)
        return kBatchCompileFailed;
    if (downloaded)
        return kBatchDownloaded;
    if (attempted || doc->m_nCompiledOK)
        return kBatchNotDownloaded;
    return kBatchCompileFailed;
}

int CVLApp::ExitInstance() {
    if (m_pScriptTmp)
        m_pScriptTmp->CloseAllDocuments();
    m_pScriptTmp.reset();
    m_pCompileTmp = nullptr;
    if (m_bHooksInstalled) {
        m_bHooksInstalled = false;
        platform::SetSerialPortLookup({});
    }
    m_pShell = nullptr;
    return 0;
}

// ---- Documents ----

CVLDoc* CVLApp::OpenDocumentFile(const std::string& path) {
    if (!m_pScriptTmp)
        return nullptr;
    if (path.empty())
        return m_pScriptTmp->OpenDocumentFile(std::string());
    // The script changes into its own folder when it opens: a relative name must not depend
    // on that.
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec)
        full = path;
    const std::string fullPath = full.lexically_normal().string();
    if (CVLDoc* open = m_pScriptTmp->FindOpenDocument(fullPath)) {
        if (!open->Views().empty())
            open->Views().front()->ActivateFrame();
        return open;
    }
    m_bImportKsx = platform::EqualsNoCase(full.extension().string(), ".ksx");
    CVLDoc* doc = m_pScriptTmp->OpenDocumentFile(fullPath);
    m_bImportKsx = false;
    if (doc && doc->AddToRecentFiles())
        AddRecentFile(doc->GetPathName());
    return doc;
}

void CVLApp::AddRecentFile(const std::string& path) {
    m_RecentFiles.Add(path);
    platform::ProfileFile profile;
    if (!m_ProfilePath.empty() && LoadProfileForUpdate(profile)) {
        PutRecentFiles(profile);
        // A list that could not be written goes with the next settings write.
        m_bRecentFilesUnsaved = !SaveProfile(profile);
    }
    if (m_pShell)
        m_pShell->RecentFilesChanged();
}

void CVLApp::PutRecentFiles(platform::ProfileFile& profile) const {
    const auto& recent = m_RecentFiles.Entries();
    for (std::size_t i = 0; i < CRecentFileList::kSize; ++i)
        profile.SetString("Recent File List", "File" + std::to_string(i + 1),
                          i < recent.size() ? recent[i] : std::string());
}

CVLDoc* CVLApp::OnFileNew() {
    CVLDoc* doc = OpenDocumentFile(std::string());
    m_wNewDocMode = kNewAskProduct;
    return doc;
}

CVLDoc* CVLApp::OnScriptWizard() {
    m_wNewDocMode = kNewScriptWizard;
    CVLDoc* doc = OnFileNew();
    m_wNewDocMode = kNewAskProduct;
    return doc;
}

CVLDoc* CVLApp::OnUploadScriptFromUnit() {
    // A new script in upload mode, filled from the archive the controller holds.
    m_wNewDocMode = kNewUploadFromUnit;
    CVLDoc* doc = OpenDocumentFile(std::string());
    m_wNewDocMode = kNewAskProduct;
    if (!doc)
        return nullptr;
    if (showlink::RetrieveArchive(*doc) && doc->AddToRecentFiles())
        AddRecentFile(doc->GetPathName());
    doc->UpdateViewTitles();
    // The reading of the retrieved script is over: the status bar goes back to its idle text.
    platform::Ui().SetStatusText(std::string());
    return doc;
}

void CVLApp::CloseDocument(CVLDoc* doc) {
    if (m_pScriptTmp)
        m_pScriptTmp->CloseDocument(doc);
}

CVLDoc* CVLApp::ActiveScript() const {
    if (!m_pShell)
        return nullptr;
    return dynamic_cast<CVLDoc*>(m_pShell->ActiveDocument());
}
