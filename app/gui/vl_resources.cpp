#include "app/gui/vl_resources.h"

#include "platform/qt/virtual_keys.h"

#include <memory>

using namespace vl_ids;

namespace {

void AddFileOpening(GVPMenu& file) {
    file.Item("&New\tCtrl+N", kFileNew).Item("&Open...\tCtrl+O", kFileOpen);
}

void AddFileEnd(GVPMenu& file) {
    file.Separator().Item("&Upload Script from Unit", kUploadScript);
    file.Item("Upload &DAT from Unit", kUploadDat).Separator();
    file.Item("P&rint Setup...", kFilePrintSetup).Separator();
    file.Item("Recent File", kFileMru1).Separator().Item("E&xit", kAppExit);
}

void AddOptions(GVPMenu& options) {
    options.Item("&General...", kGeneralOptions).Item("&Communications...", kCommunications);
}

void AddTools(GVPMenu& tools) {
    tools.Item("&User Defined Tools...", kUserTools).Separator();
    tools.Item("User Defined Tool 1", kUserTool1).Item("User Defined Tool 2", kUserTool2);
    tools.Separator().Item("&Lumaquill...", kLumaquill);
    tools.Item("&Time Calculator...", kTimeCalculator).Item("&Pactwright...", kPactwright);
}

void AddViewBars(GVPMenu& view) {
    view.Item("&Toolbar", kViewToolbar).Item("&Status Bar", kViewStatusBar);
}

void AddHelp(GVPMenu& help) {
    help.Item("&Show Control Help", kShowControlHelp).Separator();
    help.Item("&About VELMORA...", kAppAbout);
}

// The frame's own menu, shown while no script window is active.
GVPMenuPtr FrameMenu() {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    AddFileOpening(file);
    file.Item("&Script Wizard...", kScriptWizard);
    AddFileEnd(file);
    AddViewBars(menu->Popup("&View"));
    AddOptions(menu->Popup("&Options"));
    AddTools(menu->Popup("&Tools"));
    AddHelp(menu->Popup("&Help"));
    return menu;
}

// The menu of a script's windows.
GVPMenuPtr ScriptMenu() {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    AddFileOpening(file);
    file.Item("&Script Wizard...", kScriptWizard).Item("&Close", kFileClose);
    file.Item("&Save\tCtrl+S", kFileSave).Item("Save &As...", kFileSaveAs).Separator();
    file.Item("&Print...\tCtrl+P", kFilePrint).Item("Print Pre&view...", kFilePrintPreview);
    file.Item("Print &Grid", kPrintGrid);
    AddFileEnd(file);

    GVPMenu& edit = menu->Popup("&Edit");
    edit.Item("Cu&t\tCtrl+X", kEditCut).Item("&Copy\tCtrl+C", kEditCopy);
    edit.Item("&Paste\tCtrl+V", kEditPaste).Separator();
    edit.Item("&Find\tCtrl+F", kEditFind).Item("R&eplace\tCtrl+H", kEditReplace);

    GVPMenu& view = menu->Popup("&View");
    view.Item("&Inputs...", kInputs).Item("&Outputs...", kOutputs).Item("&Flags...", kFlags);
    view.Item("&Variables...", kVariables).Item("&Ports...", kPorts);
    view.Item("&Data Strings...", kDataStrings).Item("&LCD Strings...", kLcdStrings);
    view.Separator().Item("&X-Reference", kXReference).Item("&SMPTE Triggers", kSmpteTriggers);
    view.Separator().Item("&AutoSize Columns", kAutoSizeColumns);
    view.Item("&Events in Frames", kEventsInFrames);
    view.Item("Events with Timecode Start", kEventsWithTimecode).Separator();
    AddViewBars(view);

    GVPMenu& script = menu->Popup("&Script");
    script.Item("&Compile Script and Download", kCompileScript).Separator();
    script.Item("&Start Sequence Now\tF7", kRunNow).Item("&Reset Sequence Now\tF8", kResetSequence);
    script.Separator().Item("&CueList", kCueList).Item("&Real Time Wizard", kRealTimeWizard);
    script.Item("&Monitor...", kMonitor);

    GVPMenu& options = menu->Popup("&Options");
    options.Item("&Script...", kCfgScript).Item("&Unit...", kCfgUnit);
    options.Item("S&MPTE...", kCfgSmpte).Item("C&ompiler...", kCompilerOptions).Separator();
    AddOptions(options);
    AddTools(menu->Popup("&Tools"));

    GVPMenu& window = menu->Popup("&Window");
    window.Item("&Cascade", kWindowCascade).Item("&Tile", kWindowTile);
    window.Item("&Arrange Icons", kWindowArrange).Item("Windows", kWindowList);
    AddHelp(menu->Popup("&Help"));
    return menu;
}

GVPToolBarResource StandardToolBar() {
    GVPToolBarResource bar;
    bar.ids = {kFileNew,
               kFileOpen,
               kFileSave,
               0,
               kEditCut,
               kEditCopy,
               kEditPaste,
               0,
               kFilePrint,
               kPrintGrid,
               0,
               kShowControlHelp,
               kContextHelp,
               0,
               kRunNow,
               kResetSequence,
               kAutoSizeColumns,
               kEventsInFrames,
               kCompileScript};
    bar.iconNames = {{kFileNew, "document-new"},
                     {kFileOpen, "document-open"},
                     {kFileSave, "document-save"},
                     {kEditCut, "edit-cut"},
                     {kEditCopy, "edit-copy"},
                     {kEditPaste, "edit-paste"},
                     {kFilePrint, "document-print"},
                     {kPrintGrid, "document-print-preview"},
                     {kShowControlHelp, "help-contents"},
                     {kContextHelp, "help-whatsthis"},
                     {kRunNow, "media-playback-start"},
                     {kResetSequence, "media-skip-backward"},
                     {kAutoSizeColumns, "zoom-fit-best"},
                     {kEventsInFrames, "view-list-details"},
                     {kCompileScript, "go-down"}};
    return bar;
}

GVPAcceleratorTable FrameAccelerators() {
    using platform::qt::VK_F1;
    const std::uint8_t ctrl = GVPAccel::kVirtKey | GVPAccel::kControl;
    const auto cmd = [](unsigned id) { return std::uint16_t(id); };
    return {
        {ctrl, 'N', cmd(kFileNew)},
        {ctrl, 'O', cmd(kFileOpen)},
        {ctrl, 'S', cmd(kFileSave)},
        {ctrl, 'P', cmd(kFilePrint)},
        {ctrl, 'X', cmd(kEditCut)},
        {ctrl, 'C', cmd(kEditCopy)},
        {ctrl, 'V', cmd(kEditPaste)},
        {ctrl, 'F', cmd(kEditFind)},
        {ctrl, 'H', cmd(kEditReplace)},
        {GVPAccel::kVirtKey, std::uint16_t(VK_F1), cmd(kHelp)},
        {GVPAccel::kVirtKey, std::uint16_t(VK_F1 + 6), cmd(kRunNow)},
        {GVPAccel::kVirtKey, std::uint16_t(VK_F1 + 7), cmd(kResetSequence)},
    };
}

} // namespace

void RegisterVelmoraResources() {
    CGVPResources& res = CGVPResources::Instance();
    res.SetMenu(kFrameMenu, FrameMenu());
    res.SetMenu(kScriptMenu, ScriptMenu());
    res.SetToolBar(kStandardToolBar, StandardToolBar());
    res.SetAccelerators(kFrameAccelerators, FrameAccelerators());
    const std::pair<unsigned, const char*> strings[] = {
        {kFileNew, "Create a new script\nNew"},
        {kFileOpen, "Open an existing script or compiled file\nOpen"},
        {kFileClose, "Close the active script\nClose"},
        {kFileSave, "Save the active script\nSave"},
        {kFileSaveAs, "Save the active script with a new name\nSave As"},
        {kFilePrint, "Print the active view\nPrint"},
        {kFilePrintPreview, "Show the printed pages\nPrint Preview"},
        {kFilePrintSetup, "Change the printer and printing options\nPrint Setup"},
        {kEditCut, "Cut the selection to the clipboard\nCut"},
        {kEditCopy, "Copy the selection to the clipboard\nCopy"},
        {kEditPaste, "Insert the clipboard's contents\nPaste"},
        {kEditFind, "Find text in the table\nFind"},
        {kEditReplace, "Replace text in the table\nReplace"},
        {kPrintGrid, "Print the active table\nPrint Grid"},
        {kShowControlHelp, "Show the help's contents\nShow Control Help"},
        {kContextHelp, "Help on a command or window\nHelp"},
        {kRunNow, "Start the current sequence or run the current event\nRun Now"},
        {kResetSequence, "Reset the current sequence\nReset Sequence"},
        {kAutoSizeColumns, "Fit the columns to their contents\nAutoSize Columns"},
        {kEventsInFrames, "Show event times in frames\nEvents in Frames"},
        {kCompileScript, "Compile the script and download it to the unit\nCompile and Download"},
        {kUploadScript, "Read the script stored in the unit\nUpload Script"},
        {kUploadDat, "Read the compiled show stored in the unit\nUpload DAT"},
        {kAppExit, "Quit the program, asking to save scripts\nExit"},
        {kAppAbout, "Show the program's version\nAbout"},
        {kViewToolbar, "Show or hide the toolbar\nToolbar"},
        {kViewStatusBar, "Show or hide the status bar\nStatus Bar"},
        {kWindowCascade, "Arrange the windows overlapped\nCascade"},
        {kWindowTile, "Arrange the windows side by side\nTile"},
    };
    for (const auto& [id, text] : strings)
        res.SetString(id, QString::fromUtf8(text));
}
