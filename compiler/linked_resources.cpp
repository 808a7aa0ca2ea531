#include "compiler/linked_resources.h"

#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "compiler/name_lookups.h"
#include "script/doc_list.h"
#include "script/download_settings.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <filesystem>

namespace {

// The script the user declined to open, or could not locate, for the event being compiled:
// one event tries several commands and matches, and asks about that script only once.
struct Declined {
    const CEvnt* event = nullptr;
    std::string name;
};

Declined& LastDeclined() {
    static Declined declined;
    return declined;
}

// The frame the user works in, brought to the front again after another script was opened.
void ActivateFrameOf(CVLDoc& doc) {
    if (!doc.Views().empty())
        doc.Views().front()->ActivateFrame();
}

// Marks a successful remote lookup, so the compile ends with its caution.
int Found(int code) {
    if (code >= 0)
        GetCompilerState().linkedResources = true;
    return code;
}

} // namespace

void ForgetDeclinedLinkedScript() {
    LastDeclined() = {};
}

CVLDoc* ResolveLinkedScript(CVLDoc& doc) {
    const CEvnt* event = GetCompilerState().currentEvent;
    if (!event || !doc.m_pProduct)
        return nullptr;
    const int port = doc.FindPort(NormalizeName(event->GetParam(0), true));
    if (port < 0 || port >= CProduct::kMaxPorts)
        return nullptr;
    std::string& protocol = doc.m_pProduct->m_Ports[static_cast<std::size_t>(port)].m_strProtocol;
    if (!HasArrow(protocol))
        return nullptr;
    const std::string name = TextBeforeLastArrow(protocol);

    CDocList& scripts = doc.Services().OpenDocuments();
    if (CVLDoc* linked = scripts.FindScriptByName(name))
        return linked;
    // After a Cancel the compile is ending: ask nothing more.
    if (doc.m_nAbortRequested)
        return nullptr;
    Declined& declined = LastDeclined();
    if (declined.event == event && declined.name == name)
        return nullptr;
    // Remembered until the script is found below.
    declined = {event, name};

    const platform::MsgResult answer = platform::ShowMessage(
        "The script " + name +
            " is not currently loaded.  It is needed to compile remote resources.  May I open "
            "it now?",
        platform::MsgButtons::YesNoCancel, platform::MsgIcon::Question);
    if (answer == platform::MsgResult::Cancel) {
        doc.m_nAbortRequested = 1;
        return nullptr;
    }
    if (answer != platform::MsgResult::Yes)
        return nullptr;

    doc.Services().OpenScript(name);
    ActivateFrameOf(doc);
    CVLDoc* linked = scripts.FindScriptByName(name);
    if (!linked) {
        platform::ShowMessage("The script " + name +
                              " could not be found in the default directory.  Please locate it "
                              "manually.");
        CFileOpenDlg dialog;
        dialog.title = "Open File";
        dialog.filterName = "Velmora files(*.ksf)";
        dialog.filterMask = "*.ksf";
        if (!platform::Ui().RunDialog(dialog) || dialog.path.empty())
            return nullptr;
        CVLDoc* opened = doc.Services().OpenScript(dialog.path);
        ActivateFrameOf(doc);
        if (opened)
            linked = scripts.FindScriptByName(opened->GetTitle());
        if (!linked) {
            platform::ShowMessage("Unable to successfully load " +
                                  std::filesystem::path(dialog.path).filename().string());
            return nullptr;
        }
    }

    const std::string newName = linked->GetTitle();
    if (!EqualsNoCase(newName, name)) {
        // The port now names the script the user chose, with that script's remote protocol.
        const std::string remote =
            linked->m_pProduct ? linked->m_pProduct->m_strRemoteProtocol : std::string();
        protocol = newName + "->" + remote;
        const std::string text = "The Script " + newName + " has replaced " + name +
                                 " for this Product Wizard Connection!";
        PostCompileMessage(text, kColourOrange);
        if (!doc.Services().Settings().noCompilerPopups)
            platform::ShowMessage(text);
    }
    LastDeclined() = {};
    return linked;
}

int FindRemoteInput(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(FindInput(*linked, name)) : -1;
}

int FindRemoteOutput(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(FindOutput(*linked, name)) : -1;
}

int FindRemoteFlag(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(FindFlag(*linked, name)) : -1;
}

int FindRemoteVariable(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(FindVariable(*linked, name)) : -1;
}

int FindRemotePort(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(linked->FindPort(name)) : -1;
}

int FindRemoteSequence(CVLDoc& doc, std::string_view name) {
    CVLDoc* linked = ResolveLinkedScript(doc);
    return linked ? Found(FindSequence(*linked, name)) : -1;
}
