#include "script/vl_doc.h"

#include "platform/file_handle.h"
#include "platform/paths.h"
#include "platform/replace_file.h"
#include "platform/ui_services.h"
#include "script/dialog_requests.h"
#include "script/doc_list.h"
#include "script/download_settings.h"
#include "script/protocol_list.h"
#include "script/script_file.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/view_kind.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::ShowMessage;

const char* const kFileBufferMemory =
    "Not enough memory to allocate File Buffer ( *m_hpbBuffer ).  Aborting File Construction...";

// The product of that name in the application's list: the exact name first, then without
// regard to case, since scripts and DOS listings do not always keep the case of the name.
std::optional<CProdList::Position> FindProduct(const CProdList& list, std::string_view name) {
    if (auto pos = list.FindByName(name))
        return pos;
    return list.FindByNameNoCase(name);
}

void ShowProductNotFound(const std::string& name) {
    ShowMessage(name + " Product was not found in list of *.CFG files.  Aborting File "
                       "Construction...");
}

// Description lines are stored joined with '~'; the dialog shows them as lines again.
std::string TildesToLineBreaks(std::string_view text) {
    std::string lines;
    for (char c : text) {
        if (c == '~')
            lines += "\r\n";
        else
            lines += c;
    }
    return lines;
}

// Every line break (CR LF, a lone CR or a lone LF) becomes one '~', so no character of the
// text is lost whatever line ends the dialog delivers.
std::string LineBreaksToTildes(std::string_view text) {
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            joined += '~';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            joined += '~';
        } else {
            joined += c;
        }
    }
    return joined;
}

std::string Limit(std::string text, std::size_t length) {
    if (text.size() > length)
        text.resize(length);
    return text;
}

enum class FileResult { Ok, CannotOpen, NoMemory, WriteFailed };

// Reads a whole regular file (platform::OpenRegularFile: nothing else is opened, and the open
// never waits). `reason` gets the system's word for a file that is there but cannot be read.
FileResult ReadWholeFile(const std::string& path, std::vector<char>& buffer, std::size_t& size,
                         std::string& reason) {
    struct stat st {};
    platform::FileHandle file = platform::OpenRegularFile(path, &reason, &st);
    if (!file.IsOpen()) {
        if (errno == ENOENT)
            reason.clear(); // nothing there: the message says so already
        return FileResult::CannotOpen;
    }
    const int fd = file.Get();
    try {
        buffer.assign(static_cast<std::size_t>(st.st_size), '\0');
    } catch (const std::exception&) {
        return FileResult::NoMemory;
    }
    size = 0;
    while (size < buffer.size()) {
        ssize_t n = ::read(fd, buffer.data() + size, buffer.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the bytes read so far are the file
        size += static_cast<std::size_t>(n);
    }
    return FileResult::Ok;
}

// One mark pass at a time over all documents: a document marked because it links to another
// marks only its own sequences.
bool g_bMarkingForCompile = false;

} // namespace

CVLDoc::CVLDoc(AppServices& services) : CVLDoc() {
    m_pServices = &services;
    m_pDocList = &services.OpenDocuments();
    m_pDocList->Add(this);
}

CVLDoc::CVLDoc() {
    try {
        m_hpbShow.assign(kShowSize, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("Not enough memory to allocate Show Memory ( *m_hpbShow ).  Aborting File "
                    "Construction...");
    }
}

CVLDoc::~CVLDoc() {
    if (m_pDocList)
        m_pDocList->Remove(this);
}

bool CVLDoc::ReadScript(const std::string& path) {
    return ScriptFileReader(*this).ReadScript(path);
}

bool CVLDoc::WriteScript(std::uint32_t flags, int first, int last) {
    return ScriptFileWriter(*this).WriteScript(flags, first, last);
}

AppServices& CVLDoc::Services() const {
    if (!m_pServices)
        throw MissingService("program");
    return *m_pServices;
}

// ---- Framework overrides ----

void CVLDoc::SetModifiedFlag(bool modified) {
    platform::Document::SetModifiedFlag(modified);
    SetStatusProgress(std::string(), 0);
    m_nCompiledOK = 0;
}

bool CVLDoc::OnNewDocument() {
    if (!platform::Document::OnNewDocument())
        return false;
    AppServices& services = Services();
    switch (services.NewDocumentMode()) {
    case AppServices::kNewAskProduct: {
        CNewScriptDlg dialog;
        dialog.products = services.Products().Names();
        if (!platform::Ui().RunDialog(dialog))
            return false;
        return InitNewScript(dialog.product);
    }
    case AppServices::kNewUploadFromUnit:
        if (!InitNewScript(kDefaultProduct))
            return false;
        m_nCreatedForUpload = 1;
        return true;
    case AppServices::kNewScriptWizard:
        return RunScriptWizard();
    default:
        return InitNewScript(kDefaultProduct);
    }
}

bool CVLDoc::OnOpenDocument(const std::string& path) {
    fs::path file(path);
    std::error_code ec;
    if (file.has_parent_path())
        fs::current_path(file.parent_path(), ec);

    platform::WaitCursor wait;
    std::vector<char> buffer;
    std::size_t size = 0;
    std::string reason;
    switch (ReadWholeFile(path, buffer, size, reason)) {
    case FileResult::CannotOpen:
        // Without a window the user only has this line to tell which file failed, and why.
        if (Services().CommandLineCompile() && !reason.empty())
            ShowMessage("That file doesn't seem to exist any more.\n" + path + ": " + reason);
        else
            ShowMessage("That file doesn't seem to exist any more.");
        return false;
    case FileResult::NoMemory:
        ShowMessage(kFileBufferMemory);
        return false;
    default:
        break;
    }
    m_hpbBuffer = std::move(buffer);
    m_Scanner.SetBuffer(m_hpbBuffer.data(), size);

    std::string finalPath = path;
    // Decided for this file alone: a DOS listing is imported, anything else read as a script.
    const bool dosScript = platform::EqualsNoCase(file.extension().string(), ".ksx");
    if (dosScript) {
        platform::Ui().SetStatusText("Importing KSX File");
        if (!ImportDosScript(path)) {
            platform::Ui().SetStatusText(std::string());
            FreeFileBuffer();
            return false;
        }
        // The imported script is saved beside the listing, never over it.
        finalPath = ImportedScriptPath(path);
        SetModifiedFlag(true);
        m_bAddToRecentFiles = false;
    } else {
        platform::Ui().SetStatusText("Reading KSF File");
        if (!ReadScript(path)) {
            platform::Ui().SetStatusText(std::string());
            ShowMessage("File " + path + " could not be read successfully!");
            FreeFileBuffer();
            return false;
        }
        SetModifiedFlag(false);
        m_bAddToRecentFiles = true;
    }
    SetPathName(finalPath);
    FreeFileBuffer();
    platform::Ui().SetStatusText(std::string());
    SetStatusProgress(std::string(), -1);
    return true;
}

bool CVLDoc::OnSaveDocument(const std::string& path) {
    platform::WaitCursor wait;
    bool written = false;
    try {
        written = WriteScriptToBuffer(kWriteAll, 1, static_cast<int>(m_poSeqList.size()));
    } catch (const std::bad_alloc&) {
        FreeFileBuffer();
        ShowMessage(kFileBufferMemory);
        return false;
    }
    if (!written) {
        FreeFileBuffer();
        ShowMessage("File " + path + " could not be written to memory successfully!");
        return false;
    }
    const platform::ReplaceResult result = platform::ReplaceFile(path, WrittenText());
    FreeFileBuffer();
    if (result == platform::ReplaceResult::CannotCreate) {
        ShowMessage("File " + path + " could not be opened for writing!");
        return false;
    }
    if (result != platform::ReplaceResult::Ok) {
        ShowMessage("File " + path +
                    " could not be written to successfully!\n\nThe Drive could be full.  Try "
                    "another Drive!");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CVLDoc::OnCloseDocument() {
    SetModifiedFlag(false);
    SetStatusProgress(std::string(), -1);
    platform::Document::OnCloseDocument();
}

bool CVLDoc::CanCloseFrame(const void* frame) {
    // Another frame still shows the script: closing this one loses nothing.
    for (const platform::View* view : Views())
        if (view->FrameId() != frame)
            return true;
    return SaveModified();
}

bool CVLDoc::SaveModified() {
    if (!IsModified())
        return true;
    std::string name = GetTitle().empty() ? std::string("Untitled") : GetTitle();
    switch (ShowMessage("Save changes to " + name + "?", MsgButtons::YesNoCancel,
                        MsgIcon::Exclamation)) {
    case platform::MsgResult::Yes:
        return OnFileSave();
    case platform::MsgResult::No:
        return true;
    default:
        return false;
    }
}

bool CVLDoc::OnFileSave() {
    const std::string& path = GetPathName();
    const bool usable = !path.empty() && ::access(path.c_str(), R_OK | W_OK) == 0;
    return DoSave(path, !usable);
}

bool CVLDoc::OnFileSaveAs() {
    return DoSave(GetPathName(), true);
}

bool CVLDoc::DoSave(const std::string& path, bool askForPath) {
    std::string target = path;
    if (askForPath) {
        CSaveAsDlg dialog;
        dialog.path = path.empty() ? GetTitle() : path;
        if (!platform::Ui().RunDialog(dialog) || dialog.path.empty())
            return false;
        target = dialog.path;
    }
    if (!OnSaveDocument(target))
        return false;
    const bool renamed = target != GetPathName();
    SetPathName(target);
    if (askForPath || renamed)
        UpdateViewTitles();
    return true;
}

// ---- Commands ----

void CVLDoc::CompileScript() {
    MarkForCompile();
    m_nCompiledOK = 0;

    platform::View* compileView = nullptr;
    for (platform::View* view : Views()) {
        if (HasRole(*view, &ViewKind::compileOutput)) {
            compileView = view;
            break;
        }
    }
    if (compileView) {
        compileView->ActivateFrame();
    } else {
        platform::ViewTemplate* compileTemplate = Services().CompileTemplate();
        if (!compileTemplate)
            return;
        compileView = compileTemplate->CreateViewFrame(*this);
        if (!compileView)
            return;
    }
    Services().Compile(*this);
}

void CVLDoc::OnConfigureScript() {
    CCfgScriptDlg dialog;
    dialog.version = m_strVersion;
    dialog.description = TildesToLineBreaks(m_strDescription);
    dialog.author1 = m_strAuthor1;
    dialog.author2 = m_strAuthor2;
    dialog.author3 = m_strAuthor3;
    dialog.writeProtected = m_nWriteProtected;
    dialog.writeHeaders = m_nWriteHeaders;
    if (!platform::Ui().RunDialog(dialog))
        return;

    m_strVersion = Limit(dialog.version, CCfgScriptDlg::kMaxText);
    m_strAuthor1 = Limit(dialog.author1, CCfgScriptDlg::kMaxText);
    m_strAuthor2 = Limit(dialog.author2, CCfgScriptDlg::kMaxText);
    m_strAuthor3 = Limit(dialog.author3, CCfgScriptDlg::kMaxText);
    m_nWriteHeaders = dialog.writeHeaders ? 1 : 0;
    m_strDescription =
        LineBreaksToTildes(Limit(dialog.description, CCfgScriptDlg::kMaxDescription));
    UpdateAllViews(nullptr, 0);
    SetModifiedFlag(true);
    MarkForCompile();
}

void CVLDoc::OnConfigureUnit() {
    CCfgUnitDlg dialog;
    dialog.products = Services().Products().Names();
    dialog.product = m_pProduct ? m_pProduct->m_strName : std::string();
    dialog.address = m_wAddress;
    dialog.frameRate = m_wFrameRate;
    dialog.clockSource = m_wClockSource;
    dialog.externalFrequency = m_strExternalFrequency;
    if (!platform::Ui().RunDialog(dialog))
        return;

    if (!m_pProduct || dialog.product != m_pProduct->m_strName)
        ApplyProduct(dialog.product);
    m_wAddress = dialog.address;
    m_wFrameRate = dialog.frameRate;
    m_wClockSource = dialog.clockSource;
    m_strExternalFrequency = dialog.externalFrequency;
    SetModifiedFlag(true);
    MarkForCompile();
    UpdateAllViews(nullptr, 0);
}

void CVLDoc::OnCompilerOptions() {
    AppServices& services = Services();
    CommSettings& settings = services.Settings();
    CCfgCompilerDlg dialog;
    dialog.optimization = m_nOptimization;
    dialog.verboseMessages = m_nMessages;
    dialog.maxDetection = m_nErrorDetection;
    dialog.noCompilerPopups = settings.noCompilerPopups ? 1 : 0;
    dialog.noArchiveOffer = settings.noArchiveOffer ? 1 : 0;
    if (!platform::Ui().RunDialog(dialog))
        return;

    m_nOptimization = dialog.optimization ? 1 : 0;
    m_nMessages = dialog.verboseMessages ? 1 : 0;
    m_nErrorDetection = dialog.maxDetection ? 1 : 0;
    settings.noCompilerPopups = dialog.noCompilerPopups != 0;
    settings.noArchiveOffer = dialog.noArchiveOffer != 0;
    services.SaveSettings();
    SetModifiedFlag(true);
}

// ---- Other operations ----

bool CVLDoc::InitNewScript(const std::string& productName) {
    // Without an SMPTE interface the script still works; its message has been shown.
    InitSmpteSettings();
    m_strFileFormat = "Ver 1.0";
    m_strVersion.clear();
    m_strDescription.clear();
    m_strAuthor1.clear();
    m_strAuthor2.clear();
    m_strAuthor3.clear();
    m_strWork.clear();
    m_strExternalFrequency = "0";
    m_nWriteProtected = 0;
    m_nWriteHeaders = 1;
    m_wAddress = 0;
    m_wFrameRate = 3;
    m_wClockSource = 0;
    m_dUnitVersion = 0.0;
    m_nUnitEepromSize = 0;
    m_posCurrentSeq = nullptr;
    m_nOptimization = 0;
    m_nMessages = 1;
    m_nErrorDetection = 0;

    if (!m_pProduct) {
        try {
            m_pProduct = std::make_unique<CProduct>();
        } catch (const std::bad_alloc&) {
            ShowMessage("Not enough memory to allocate document Product ( *m_pProduct ).  "
                        "Aborting File Construction...");
            return false;
        }
    }

    AppServices& services = Services();
    auto pos = FindProduct(services.Products(), productName);
    if (!pos) {
        ShowProductNotFound(productName);
        return false;
    }
    m_posProduct = pos;
    m_pProduct->CopyDefinition(services.Products().GetAt(*pos));
    for (std::size_t i = 0; i < m_pProduct->m_wPorts && i < m_pProduct->m_Ports.size(); ++i) {
        CProtocol* protocol = nullptr;
        if (services.Protocols().FindProtocol(m_pProduct->m_Ports[i].m_strProtocol, protocol,
                                              false))
            protocol->LoadCommands();
    }

    std::unique_ptr<CSeq> sequence;
    try {
        sequence = std::make_unique<CSeq>("Default", 1);
    } catch (const std::bad_alloc&) {
        ShowMessage("Not enough memory to allocate Sequence ( *pSeq ).  Aborting File "
                    "Construction...");
        return false;
    }
    try {
        sequence->m_poEventList.push_back(std::make_unique<CEvnt>());
    } catch (const std::bad_alloc&) {
        ShowMessage("Not enough memory to allocate Event ( *pEvent ).  Aborting File "
                    "Construction...");
        return false;
    }
    try {
        m_poSeqList.push_back(std::move(sequence));
    } catch (const std::bad_alloc&) {
        ShowMessage("Not enough memory to allocate Sequence ( *pSeq ).  Aborting File "
                    "Construction...");
        return false;
    }
    return true;
}

void CVLDoc::ApplyProduct(const std::string& productName) {
    AppServices& services = Services();
    auto pos = FindProduct(services.Products(), productName);
    if (!pos) {
        ShowProductNotFound(productName);
        return;
    }
    if (!m_pProduct)
        m_pProduct = std::make_unique<CProduct>();
    m_posProduct = pos;
    m_pProduct->ApplyFrom(services.Products().GetAt(*pos));
    UpdateAllViews(nullptr, 0);
}

void CVLDoc::MarkForCompile() {
    m_nCompiledOK = 0;
    for (auto& sequence : m_poSeqList)
        sequence->m_nNeedsCompile = 1;
    if (g_bMarkingForCompile || !m_pDocList)
        return;

    struct Guard {
        Guard() { g_bMarkingForCompile = true; }
        ~Guard() { g_bMarkingForCompile = false; }
    } guard;
    // The marked documents neither join nor leave the list, so walking it by index is safe.
    for (std::size_t i = 0; i < m_pDocList->GetCount(); ++i) {
        CVLDoc* other = m_pDocList->GetAt(i);
        if (other == this || !other || !other->m_pProduct)
            continue;
        const CProduct& product = *other->m_pProduct;
        for (std::size_t p = 0; p < product.m_wPorts && p < product.m_Ports.size(); ++p) {
            if (ScriptTitlesMatch(TextBeforeLastArrow(product.m_Ports[p].m_strProtocol),
                                  GetTitle())) {
                other->MarkForCompile();
                break;
            }
        }
    }
}

double CVLDoc::GetFrameRate() const {
    return FrameRateFromCode(m_wFrameRate);
}

std::string CVLDoc::GetScriptName() const {
    const std::string& title = GetTitle();
    std::size_t dot = title.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return title;
    return title.substr(0, dot);
}

void CVLDoc::SetStatusProgress(const std::string& text, int percent) {
    if (Views().empty())
        return;
    platform::UiServices& ui = platform::Ui();
    if (!text.empty())
        ui.SetStatusText(text);
    if (percent < 0) {
        m_nStatusPercent = 0;
        ui.SetProgress(1, false, 100, 0);
    } else {
        m_nStatusPercent = std::min(percent, 100);
        ui.SetProgress(1, true, 100, m_nStatusPercent);
    }
    if (IsModified())
        ui.SetPaneTextAndColour(2, "MOD", platform::kPaneTextRed);
    else
        ui.SetPaneTextAndColour(2, "   ", platform::kPaneTextDefault);
}

std::string CVLDoc::ViewTitle(const platform::View& view) const {
    const ViewKind* kind = KindOf(view);
    if (!kind)
        return {};
    switch (kind->title) {
    case ViewKind::Title::None:
        return {};
    case ViewKind::Title::Subject:
        return "[" + view.ViewSubject() + "] of " + GetScriptName();
    case ViewKind::Title::Script:
        return std::string(kind->titlePrefix) + GetScriptName();
    case ViewKind::Title::Sortable:
        // The two sortable tables say how they sort in their title.
        return std::string(kind->titlePrefix) + GetScriptName() +
               " - Double Left or Right Click Column Header to Sort Up or Down";
    }
    return {};
}

void CVLDoc::UpdateViewTitles() {
    for (platform::View* view : Views()) {
        const std::string title = ViewTitle(*view);
        if (!title.empty())
            view->SetFrameTitle(title);
    }
    UpdateAllViews(nullptr, 0);
}

void CVLDoc::CloseAllFrames() {
    // Closing a frame may detach its view: walk a copy.
    std::vector<platform::View*> views = Views();
    for (platform::View* view : views)
        view->CloseFrame();
}

void CVLDoc::CloseCompileErrorDialog() {
    m_pCompileErrorDlg.reset();
}

std::string CVLDoc::ImportedScriptPath(const std::string& listingPath) {
    const std::string_view extension = ".ksx";
    if (listingPath.size() < extension.size() ||
        !platform::EqualsNoCase(std::string_view(listingPath).substr(listingPath.size() - 4),
                                extension))
        return listingPath;
    return listingPath.substr(0, listingPath.size() - extension.size()) + ".KSF";
}

int CVLDoc::FindPort(std::string_view portName) const {
    if (!m_pProduct)
        return -1;
    for (std::size_t i = 0; i < m_pProduct->m_wPorts && i < m_pProduct->m_Ports.size(); ++i)
        if (platform::EqualsNoCase(m_pProduct->m_Ports[i].m_strName, portName))
            return static_cast<int>(i);
    return -1;
}

// ---- File buffer ----

void CVLDoc::LoadFileBuffer(std::string_view text) {
    m_hpbBuffer.assign(text.begin(), text.end());
    m_Writer.Reset(nullptr, 0);
    m_Scanner.SetBuffer(m_hpbBuffer.data(), m_hpbBuffer.size());
}

void CVLDoc::FreeFileBuffer() {
    std::vector<char>().swap(m_hpbBuffer);
    m_Scanner.SetBuffer(nullptr, 0);
    m_Writer.Reset(nullptr, 0);
}

bool CVLDoc::FindSection(std::string_view name, bool continueSearch) {
    return m_Scanner.FindSection(name, continueSearch);
}

std::string CVLDoc::NextSectionName(bool continueSearch) {
    return m_Scanner.NextSectionName(continueSearch);
}

std::string CVLDoc::ReadKey(std::string_view key, std::string_view defaultText) const {
    return m_Scanner.ReadKey(key, defaultText);
}

std::string CVLDoc::ReadNextKey(std::string_view key, std::string_view defaultText) {
    return m_Scanner.ReadNextKey(key, defaultText);
}

int CVLDoc::ReadIntKey(std::string_view key, std::uint16_t defaultValue) const {
    return m_Scanner.ReadIntKey(key, defaultValue);
}

double CVLDoc::ReadDoubleKey(std::string_view key, double defaultValue) const {
    return m_Scanner.ReadDoubleKey(key, defaultValue);
}

void CVLDoc::BeginWriteBuffer(std::size_t capacity) {
    m_Scanner.SetBuffer(nullptr, 0);
    // A buffer too small is freed before the new one is had: the file just read no longer
    // counts, and its memory can serve the new buffer.
    if (capacity > m_hpbBuffer.capacity())
        std::vector<char>().swap(m_hpbBuffer);
    m_hpbBuffer.assign(capacity, '\0');
    m_Writer.Reset(capacity ? m_hpbBuffer.data() : nullptr, capacity);
}

void CVLDoc::WriteLine(std::optional<std::string_view> key, std::optional<std::string_view> value) {
    m_Writer.WriteLine(key, value);
}

void CVLDoc::WriteIntLine(std::string_view key, int number) {
    m_Writer.WriteIntLine(key, number);
}

void CVLDoc::TerminateWriteBuffer() {
    if (m_Writer.Written() < m_hpbBuffer.size())
        m_hpbBuffer[m_Writer.Written()] = '\0';
}

std::string_view CVLDoc::WrittenText() const {
    return std::string_view(m_hpbBuffer.data(), std::min(m_Writer.Written(), m_hpbBuffer.size()));
}

bool CVLDoc::WriteScriptToBuffer(std::uint32_t flags, int first, int last) {
    // The counting pass copies nothing; its total is the text's exact length.
    BeginWriteBuffer(0);
    WriteScript(flags, first, last);
    BeginWriteBuffer(WriteTotal() + 1);
    return WriteScript(flags, first, last);
}
