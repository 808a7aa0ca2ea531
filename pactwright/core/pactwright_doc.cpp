#include "pactwright/core/pactwright_doc.h"

#include "pactwright/core/command_edits.h"
#include "pactwright/core/protocol_writer.h"
#include "platform/english_date.h"
#include "platform/replace_file.h"
#include "platform/ui_services.h"
#include "script/dialog_requests.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <unistd.h>

namespace pactwright {

namespace {

class WaitCursor {
public:
    WaitCursor() { platform::Ui().BeginWaitCursor(); }
    ~WaitCursor() { End(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void End() {
        if (on_) {
            on_ = false;
            platform::Ui().EndWaitCursor();
        }
    }

private:
    bool on_ = true;
};

bool ExistsNotWritable(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) && ::access(path.c_str(), W_OK) != 0;
}

} // namespace

CPactwrightDoc::CPactwrightDoc() {
    protocol_.SetReading(ProtocolReading::Lenient);
}

bool CPactwrightDoc::OnNewDocument() {
    if (!platform::Document::OnNewDocument())
        return false;
    CProtocol& p = protocol_;
    p.m_strPath = "MyProtocol.pcl";
    p.m_strVersion = "Your Revision Number";
    p.m_strDate = platform::EnglishDateNow("%A, %B %d, %Y");
    p.m_strDescription = "Name of Protocol as it will appear in Velmora";
    p.m_strLocation = "Local";
    p.m_strAuthor = "Your Name";
    p.m_strMaker = "Brand";
    p.m_strModel = "Specific Model Number";
    p.m_strSupported = "5.00";
    p.m_strInterface = "Serial";
    p.m_strType = "Video Switcher, for example";
    p.m_strDataBits = "8";
    p.m_strStopBits = "1";
    p.m_strParity = "N";
    p.m_strBaudRate = "9600";
    p.m_strProtocol = "Custom";
    p.m_strBrevantType.clear();
    p.m_strAddress.clear();
    p.m_poCmndList.clear();
    try {
        p.m_poCmndList.push_back(MakeMessageOutCommand());
    } catch (const std::bad_alloc&) {
        platform::ShowMessage("Failed to create MessageOut command.");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CPactwrightDoc::OnOpenDocument(const std::string& path) {
    // The reader shows its own message.
    if (!protocol_.ReadDevice(path))
        return false;
    WaitCursor wait;
    {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return false;
    }
    if (!protocol_.LoadCommands()) {
        wait.End();
        platform::ShowMessage("File " + path + " could not be read successfully!");
        return false;
    }
    SetModifiedFlag(false);
    SetPathName(path);
    if (onPathChosen)
        onPathChosen(path);
    return true;
}

bool CPactwrightDoc::OnSaveDocument(const std::string& path) {
    for (const EmptyLineGap& gap : FindEmptyLineGaps(protocol_)) {
        const std::string line = (gap.param ? "Param" : "Byte") + std::to_string(gap.line);
        const std::string text =
            "In the command \"" + gap.command->m_strName + "\", " + line +
            " is empty while a later one is not.\nVelmora stops reading at an empty " +
            (gap.param ? "Param" : "Byte") + ", so " + line +
            " and every one after it will be lost when the file is read again.\n\n"
            "Save anyway?";
        if (platform::ShowMessage(text, platform::MsgButtons::OkCancel,
                                  platform::MsgIcon::Exclamation) != platform::MsgResult::Ok)
            return false;
    }

    WaitCursor wait;
    std::string text;
    try {
        text = WriteProtocolText(protocol_);
    } catch (const std::bad_alloc&) {
        wait.End();
        platform::ShowMessage("File " + path + " could not be written to memory successfully!");
        return false;
    }
    // A rename would replace a file the user may not write; refuse it as opening it would.
    if (ExistsNotWritable(path)) {
        wait.End();
        platform::ShowMessage("File " + path + " could not be opened for writing!");
        return false;
    }
    switch (platform::ReplaceFile(path, text)) {
    case platform::ReplaceResult::Ok:
        break;
    case platform::ReplaceResult::CannotCreate:
        wait.End();
        platform::ShowMessage("File " + path + " could not be opened for writing!");
        return false;
    case platform::ReplaceResult::WriteFailed:
        wait.End();
        platform::ShowMessage("File " + path +
                              " could not be written to successfully!\n\nThe Drive could be full.  "
                              "Try another Drive!");
        return false;
    }
    wait.End();
    SetModifiedFlag(false);
    return true;
}

std::string CPactwrightDoc::ProposedSaveName() const {
    if (!GetPathName().empty())
        return GetPathName();
    std::string name = GetTitle().substr(0, 8);
    const std::size_t cut = name.find_first_of(" #%;/\\");
    if (cut != std::string::npos)
        name.resize(cut);
    return name;
}

bool CPactwrightDoc::PromptSaveFileName(std::string& name) {
    CSaveAsDlg dialog;
    dialog.title = "File Save As";
    dialog.filter = "Protocol Files (*.pcl)";
    dialog.defaultExtension = ".pcl";
    dialog.path = name;
    if (!platform::Ui().RunDialog(dialog) || dialog.path.empty())
        return false;
    name = dialog.path;
    return true;
}

bool CPactwrightDoc::DoSave(const std::string& name, bool replace) {
    std::string path = name;
    if (path.empty()) {
        path = ProposedSaveName();
        if (!PromptSaveFileName(path))
            return false;
    }
    // A failed save leaves whatever file had the name untouched: nothing is deleted here.
    if (!OnSaveDocument(path))
        return false;
    if (replace) {
        SetPathName(path);
        if (onPathChosen)
            onPathChosen(path);
        UpdateAllViews(nullptr);
    }
    return true;
}

bool CPactwrightDoc::OnFileSave() {
    const std::string& path = GetPathName();
    if (!path.empty() && ::access(path.c_str(), R_OK | W_OK) == 0)
        return DoSave(path, true);
    return DoSave({}, true);
}

bool CPactwrightDoc::OnFileSaveAs() {
    return DoSave({}, true);
}

bool CPactwrightDoc::SaveModified() {
    if (!IsModified())
        return true;
    const std::string name = GetPathName().empty() ? "Untitled" : GetPathName();
    switch (platform::ShowMessage("Save changes to " + name + "?",
                                  platform::MsgButtons::YesNoCancel,
                                  platform::MsgIcon::Exclamation)) {
    case platform::MsgResult::Cancel:
        return false;
    case platform::MsgResult::Yes:
        return OnFileSave();
    default:
        return true;
    }
}

} // namespace pactwright
