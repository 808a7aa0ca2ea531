#include "compiler/compile_main.h"

#include "compiler/compiler_state.h"
#include "compiler/config_compile.h"
#include "compiler/diagnostics.h"
#include "compiler/popup_request.h"
#include "compiler/sequence_compile.h"
#include "compiler/show_image.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/doc_list.h"
#include "script/download_settings.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace compiler {

namespace {

void ResetForRun(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    state.firmwareLimit = kDefaultFirmwareLimit;
    state.highestFirmware = 0.0;
    state.highestFirmwareText.clear();
    state.highestFirmwareCommand.clear();
    state.highestFirmwareExternal = false;
    state.compileView = nullptr;
    state.linkedResources = false;
    state.originalEvents.clear();
    state.originalIndex.clear();
    state.originalIndexed = 0;
    state.document = &doc;
    state.currentSequence = nullptr;
    state.currentEvent = nullptr;
    state.currentCommand = nullptr;
    state.currentSequenceIndex = 0;
    state.currentEventIndex = 0;
    state.message.clear();
    state.expressionsAllowed = false;
}

void PostBanner(const CVLDoc& doc) {
    if (doc.m_nOptimization) {
        PostCompileMessage(FormatCompileText("Velmora Tarnix Compressing Compiler Version %s",
                                             kCompilerVersionText));
        PostCompileMessage("Optimizing for Size");
    } else {
        PostCompileMessage(FormatCompileText("Velmora Tarnix Incremental Compiler Version %s",
                                             kCompilerVersionText));
        PostCompileMessage("Optimizing for Speed");
    }
    PostCompileMessage("");
    const std::string& name = doc.GetPathName().empty() ? doc.GetTitle() : doc.GetPathName();
    PostCompileMessage(FormatCompileText("Compiling %s...", name.c_str()));
    PostCompileMessage("");
}

void FinishImage(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    ShowImageWriter image(state);
    const std::size_t length = image.Length();
    image.PutWord(show_image::kLengthWord, static_cast<std::uint16_t>(length - 2));
    doc.m_wImageLength = static_cast<std::uint16_t>(length);
    image.PutWord(show_image::kChecksum,
                  ImageChecksum(std::span<const std::uint8_t>(state.image.data(), length)));
    if (doc.m_hpbShow.size() >= length)
        std::copy_n(state.image.begin(), length, doc.m_hpbShow.begin());
}

void ShowAbortPopup(const CVLDoc& doc) {
    CPopupDlg popup;
    popup.title = "Compile and Download";
    popup.message = "Compile aborted by user!";
    popup.delayTicks = doc.Services().PopupDelayTicks();
    platform::Ui().RunDialog(popup);
}

void PostLinkedScriptsCaution(const CVLDoc& doc) {
    std::string text = "Caution!  This Script used resource information from the following "
                       "Scripts:\n\n";
    const CDocList& scripts = doc.Services().OpenDocuments();
    for (std::size_t i = 0; i < scripts.GetCount(); ++i) {
        const CVLDoc* other = scripts.GetAt(i);
        if (other && other != &doc)
            text += other->GetTitle() + "\n";
    }
    text += "\nThese scripts need to be downloaded to their respective Show Control Units ";
    text += "in order for this Script to work properly.";
    PostCompileMessage(text, kColourOrange);
    if (!doc.Services().Settings().noCompilerPopups)
        platform::ShowMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
}

// The summary follows the count: an image that could not be stored is an error like any other,
// and nothing is downloaded after one.
void ReportOutcome(CVLDoc& doc, const std::string& remark) {
    const CompilerState& state = GetCompilerState();
    AppServices& services = doc.Services();
    const bool popups = !services.Settings().noCompilerPopups;
    if (state.errorCount > 0) {
        if (popups)
            platform::ShowMessage(
                remark + "Script Compiled with Errors.\nFix the errors and compile again.");
        PostCompileMessage("Script Compiled with Errors.  Fix the errors and compile again.",
                           kColourRed);
        return;
    }
    doc.m_nCompiledOK = 1;
    const std::string text =
        remark + (state.warningCount > 0 ? "Script Compiled Ok, but with Warnings."
                                         : "Script Compiled Successfully");
    const int ports = services.CountComPorts();
    const int devices = static_cast<int>(services.Devices().GetCount());
    if (ports <= 0 && devices <= 0) {
        if (popups)
            platform::ShowMessage(text);
        PostCompileMessage(text, kColourBlue);
        // The port tried and why it failed, so that the user can act on it.
        const std::string why = services.ComPortFailure(services.Settings().serialPort);
        PostCompileMessage("Script not Downloaded, Communications Offline" +
                               (why.empty() ? std::string() : " (" + why + ")"),
                           kColourRed);
        return;
    }
    if (services.ChooseCommMethod(doc, text)) {
        platform::WaitCursor wait;
        services.DownloadCompiledScript(doc);
    } else {
        PostCompileMessage("Script Not Downloaded, User Aborted Download.", kColourOrange);
    }
}

} // namespace

std::string LateNightRemark(int hour, int second) {
    if (hour < 1 || hour > 4)
        return {};
    switch (second) {
    case 4:
        return "Do you have any idea what time it is?\nYou should be sleeping right now!\n\n";
    case 9:
        return "If I had known you were going to stay up this late, I would have brought more "
               "Twinkies and Jolt Cola!\n\n";
    case 12:
        return "I hope you're getting paid well for staying up this late!\n\n";
    case 13:
        return "Maybe you wouldn't be here so late if you could program worth a darn!\n\n";
    case 27:
        return "Do you always program shows this late?\nLet me guess - you have an opening in a "
               "few hours!\n\n";
    case 32:
        return "I think you need more coffee or you're going\nto be face down on the keyboard "
               "soon!\n\n";
    case 35:
        return "Why are you working so late? After all, what's the \nworst thing that could "
               "happen if this isn't working by today? \n...Oh.\n\n";
    case 40:
        return "This would be working by now if they hadn't lied to you about the serial "
               "protocol, right?\n\n";
    case 45:
        return "Usually people up this late are on the Internet.\nGo ahead, I'll wait here.\n\n";
    case 56:
        return "Go to bed.  I'm getting sick of looking at your tired mug!\n\n";
    case 58:
        return "What the heck are you doing up?  It's not like you have a deadline!\n\n";
    default:
        return {};
    }
}

std::filesystem::path ImageFilePath(const CVLDoc& doc) {
    const std::string file = doc.GetScriptName() + ".DAT";
    const std::string& path = doc.GetPathName();
    if (path.empty())
        return std::filesystem::path(file);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(file) : folder / file;
}

bool IsScriptFile(const CVLDoc& doc, const std::filesystem::path& image) {
    const std::string& script = doc.GetPathName();
    if (script.empty())
        return false;
    std::error_code ec;
    if (std::filesystem::equivalent(script, image, ec))
        return true;
    // A script copied to a case-blind volume later meets its image there: refuse the name too.
    const auto full = [](const std::filesystem::path& path) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        return (error ? path : absolute).lexically_normal().string();
    };
    return platform::EqualsNoCase(full(script), full(image));
}

bool WriteImageFile(const std::filesystem::path& path, const unsigned char* data,
                    std::size_t length, std::string* reason) {
    int error = 0;
    const auto fail = [&error](int code) {
        if (error == 0)
            error = code != 0 ? code : EIO;
    };
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string hidden(1, '.');
    hidden.append(path.filename().string());
    hidden.append(".XXXXXX");
    std::string pattern = (folder / hidden).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        if (reason)
            *reason = std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (error == 0 && done < length) {
        const ssize_t written = ::write(fd, data + done, length - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail(errno);
        else if (written == 0)
            fail(ENOSPC);
        else
            done += static_cast<std::size_t>(written);
    }
    // An image file is an ordinary data file: readable by others as the user's files are.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    if (error == 0 && ::fchmod(fd, mode) != 0)
        fail(errno);
    if (error == 0 && ::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0)
        fail(errno);
    if (error == 0 && ::rename(pattern.c_str(), path.c_str()) != 0)
        fail(errno);
    if (error != 0) {
        ::unlink(pattern.c_str());
        if (reason)
            *reason = std::strerror(error);
        return false;
    }
    return true;
}

void CompileMain(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    ResetForRun(doc);

    state.compileView = FindCompileView(doc);
    doc.CloseCompileErrorDialog();
    if (state.compileView)
        state.compileView->ClearMessages();
    platform::Ui().BeginWaitCursor();

    PostBanner(doc);

    PostCompileMessage("Compiling Configuration...");
    state.errorCount = 0;
    state.warningCount = 0;
    state.bytesSaved = 0;
    ShowImageWriter(state).Clear();
    const bool imageHoldsTables = CompileConfiguration(doc);

    PostCompileMessage("");
    PostCompileMessage("Compiling Sequences...");
    doc.m_nCompileRunning = 1;
    doc.m_nAbortRequested = 0;
    const bool forSize = doc.m_nOptimization != 0;
    // Without the tables (too many sequences, already reported) there is nothing to compile
    // into; the run still ends with its summary.
    const std::size_t sequenceCount = imageHoldsTables ? doc.m_poSeqList.size() : 0;
    for (std::size_t i = 0; i < sequenceCount && !doc.m_nAbortRequested; ++i) {
        state.currentSequenceIndex = static_cast<int>(i);
        if (forSize)
            CompileSequenceForSize(doc);
        else
            CompileSequenceForSpeed(doc);
        platform::Ui().PumpMessages();
    }
    if (forSize && !doc.m_nAbortRequested)
        PostCompileMessage(
            FormatCompileText("Number of bytes saved by compiling for size: %u", state.bytesSaved));

    doc.m_nCompileRunning = 0;
    if (doc.m_nAbortRequested) {
        doc.m_nAbortRequested = 0;
        ShowAbortPopup(doc);
        platform::Ui().EndWaitCursor();
        return;
    }

    FinishImage(doc);
    if (doc.m_nMessages)
        PostCompileMessage(FormatCompileText("     Compiled script size: %u.",
                                             static_cast<unsigned>(doc.m_wImageLength)));

    if (state.errorCount == 0) {
        const std::string name = doc.GetScriptName();
        const std::filesystem::path imageFile = ImageFilePath(doc);
        if (IsScriptFile(doc, imageFile)) {
            // The image would replace the script itself: the run fails and the script stays.
            PostCompileMessage(FormatCompileText("Unable to write %s.DAT", name.c_str()),
                               kColourRed);
            ++state.errorCount;
        } else if (std::string reason;
                   WriteImageFile(imageFile, state.image.data(),
                                  static_cast<std::size_t>(state.imageLength), &reason)) {
            PostCompileMessage(FormatCompileText("Writing %s.DAT", name.c_str()));
        } else {
            // The run failed to store the image: it counts as an error, and what the unit
            // would get is not what the folder holds, so nothing is downloaded.
            std::error_code ec;
            const std::filesystem::path shown = std::filesystem::absolute(imageFile, ec);
            PostCompileMessage(
                "Unable to write " + (ec ? imageFile : shown).string() + ": " + reason, kColourRed);
            ++state.errorCount;
        }
        if (state.linkedResources && state.errorCount == 0)
            PostLinkedScriptsCaution(doc);
    }

    platform::Ui().EndWaitCursor();
    PostCompileMessage("");
    PostCompileMessage(FormatCompileText("%s compiled with %u Error(s), %u Warning(s)",
                                         doc.GetTitle().c_str(), state.errorCount,
                                         state.warningCount));
    const LocalClockTime now = doc.Services().LocalTime();
    ReportOutcome(doc, LateNightRemark(now.hour, now.second));
}

} // namespace compiler
