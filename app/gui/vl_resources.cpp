#include "app/gui/vl_resources.h"

#include "views/sequences/event_frames.h"

#include "platform/qt/virtual_keys.h"

#include <iterator>
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

// What the script's windows differ in: their Edit menu and the commands they run online.
enum class ScriptWindow { Sequences, Compile, Tables, Events, Strings, Timeline };

void AddSequenceProperties(GVPMenu& edit) {
    GVPMenu& properties = edit.Popup("&Sequence Properties");
    // The shown texts come from the update handlers each time the menu opens.
    properties.Item("PM_AUTOSTART", kAutostart).Item("PM_LOOP", kLoop);
    properties.Item("PM_RESTART", kRestart).Item("PM_SMPTE", kTimecodeStart).Separator();
    properties.Item("PM_START", kStartTrigger).Item("PM_STOP", kStopTrigger);
    properties.Item("PM_PAUSE", kPauseTrigger).Item("PM_RESET", kResetTrigger).Separator();
    GVPMenu& indentation = properties.Popup("Indentation");
    indentation.Item("Do Not Indent", kIndentLevel1);
    indentation.Item("Indent 1 Level", kIndentLevel1 + 1);
    for (unsigned level = 2; level <= 5; ++level)
        indentation.Item(QStringLiteral("Indent %1 Levels").arg(level), kIndentLevel1 + level);
}

void AddFindReplace(GVPMenu& edit) {
    edit.Item("&Find\tCtrl+F", kEditFind).Item("R&eplace\tCtrl+H", kEditReplace);
}

void AddClipboard(GVPMenu& edit, const char* cut, const char* copy, const char* paste) {
    edit.Item(cut, kEditCut).Item(copy, kEditCopy).Item(paste, kEditPaste);
}

void AddEdit(GVPMenu& menu, ScriptWindow kind) {
    if (kind == ScriptWindow::Compile)
        return;
    GVPMenu& edit = menu.Popup("&Edit");
    switch (kind) {
    case ScriptWindow::Sequences:
        AddClipboard(edit, "Cu&t Sequences\tCtrl+X", "&Copy Sequences\tCtrl+C",
                     "&Paste Sequences\tCtrl+V");
        edit.Separator().Item("&Insert Sequence\tCtrl+Y", kInsertSequence);
        edit.Item("&Delete Sequence(s)\tCtrl+D", kDeleteSequences).Separator();
        edit.Item("Sequence E&vents\tEnter", kSequenceEvents);
        AddSequenceProperties(edit);
        break;
    case ScriptWindow::Events:
    case ScriptWindow::Timeline:
        AddClipboard(edit, "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V");
        edit.Separator().Item("&Insert Event\tCtrl+Y", kInsertEvent);
        edit.Item("&Delete Event(s)\tCtrl+D", kDeleteEvents);
        if (kind == ScriptWindow::Timeline)
            edit.Item("Move Event", kMoveEvent);
        edit.Separator();
        AddSequenceProperties(edit);
        break;
    case ScriptWindow::Strings:
        AddClipboard(edit, "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V");
        edit.Separator().Item("&Insert String\tCtrl+Y", kInsertString);
        edit.Item("&Delete String(s)\tCtrl+D", kDeleteStrings).Separator();
        edit.Item("&LCD Wizard", kLcdWizard);
        break;
    case ScriptWindow::Tables:
    case ScriptWindow::Compile:
        break;
    }
    if (!edit.items.empty())
        edit.Separator();
    AddFindReplace(edit);
}

void AddScriptViews(GVPMenu& view) {
    view.Item("&Inputs...", kInputs).Item("&Outputs...", kOutputs).Item("&Flags...", kFlags);
    view.Item("&Variables...", kVariables).Item("&Ports...", kPorts);
    view.Item("&Data Strings...", kDataStrings).Item("&LCD Strings...", kLcdStrings);
    view.Separator().Item("&X-Reference", kXReference).Item("&SMPTE Triggers", kSmpteTriggers);
}

void AddWindow(GVPMenu& window) {
    window.Item("&Cascade", kWindowCascade).Item("&Tile", kWindowTile);
    window.Item("&Arrange Icons", kWindowArrange).Item("Windows", kWindowList);
}

// The menu of a script's windows (3, 4, 146-149), by kind of window.
GVPMenuPtr ScriptMenu(ScriptWindow kind) {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    AddFileOpening(file);
    file.Item("&Script Wizard...", kScriptWizard).Item("&Close", kFileClose);
    file.Item("&Save\tCtrl+S", kFileSave).Item("Save &As...", kFileSaveAs).Separator();
    file.Item("&Print...\tCtrl+P", kFilePrint).Item("Print Pre&view...", kFilePrintPreview);
    file.Item("Print &Grid", kPrintGrid);
    AddFileEnd(file);

    AddEdit(*menu, kind);

    GVPMenu& view = menu->Popup("&View");
    AddScriptViews(view);
    view.Separator().Item("&AutoSize Columns", kAutoSizeColumns);
    view.Item("&Events in Frames", kEventsInFrames);
    view.Item("Events with Timecode Start", kEventsWithTimecode).Separator();
    if (kind == ScriptWindow::Timeline) {
        view.Item("&Timeline", kTimeline).Item("Zoom &In", kZoomIn).Item("Zoom &Out", kZoomOut);
        view.Separator();
    }
    AddViewBars(view);

    GVPMenu& script = menu->Popup("&Script");
    script.Item("&Compile Script and Download", kCompileScript).Separator();
    script.Item("&CueList", kCueList).Item("&Real Time Wizard", kRealTimeWizard);
    script.Item("&Monitor...", kMonitor);

    GVPMenu& options = menu->Popup("&Options");
    options.Item("&Script...", kCfgScript).Item("&Unit...", kCfgUnit);
    options.Item("S&MPTE...", kCfgSmpte).Item("C&ompiler...", kCompilerOptions).Separator();
    AddOptions(options);

    GVPMenu& tools = menu->Popup("&Tools");
    GVPMenu& online = tools.Popup("Online...");
    if (kind == ScriptWindow::Events || kind == ScriptWindow::Timeline) {
        online.Item("&Execute Event Now\tF7", kRunNow);
    } else {
        online.Item("&Start Sequence Now\tF7", kRunNow);
        online.Item("&Reset Sequence Now\tF8", kResetSequence);
    }
    tools.Separator();
    AddTools(tools);

    AddWindow(menu->Popup("&Window"));
    AddHelp(menu->Popup("&Help"));
    return menu;
}

// The menu of a compiled image's windows (6).
GVPMenuPtr ImageMenu() {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    AddFileOpening(file);
    file.Item("&Close", kFileClose).Separator();
    file.Item("&Save\tCtrl+S", kFileSave).Item("Save &As...", kFileSaveAs).Separator();
    file.Item("&Download DAT", kCompileScript).Item("&File Status", kFileStatus);
    AddFileEnd(file);
    GVPMenu& view = menu->Popup("&View");
    view.Item("&View Compiled Data", kViewCompiledData).Separator();
    AddViewBars(view);
    AddOptions(menu->Popup("&Options"));
    AddTools(menu->Popup("&Tools"));
    AddWindow(menu->Popup("&Window"));
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
                     {kCompileScript, "run-build-install"}};
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

// The frame's table with the clipboard's second keys and the window's insert and delete.
GVPAcceleratorTable EditingAccelerators(unsigned insert, unsigned remove) {
    using platform::qt::VK_DELETE;
    using platform::qt::VK_INSERT;
    const std::uint8_t ctrl = GVPAccel::kVirtKey | GVPAccel::kControl;
    const std::uint8_t shift = GVPAccel::kVirtKey | GVPAccel::kShift;
    GVPAcceleratorTable table = FrameAccelerators();
    const GVPAccel more[] = {
        {ctrl, std::uint16_t(VK_INSERT), std::uint16_t(kEditCopy)},
        {shift, std::uint16_t(VK_DELETE), std::uint16_t(kEditCut)},
        {shift, std::uint16_t(VK_INSERT), std::uint16_t(kEditPaste)},
        {ctrl, 'Y', std::uint16_t(insert)},
        {ctrl, 'D', std::uint16_t(remove)},
    };
    table.insert(table.end(), std::begin(more), std::end(more));
    return table;
}

} // namespace

void RegisterVelmoraResources() {
    CGVPResources& res = CGVPResources::Instance();
    res.SetMenu(kFrameMenu, FrameMenu());
    res.SetMenu(kScriptMenu, ScriptMenu(ScriptWindow::Sequences));
    res.SetMenu(kCompileMenu, ScriptMenu(ScriptWindow::Compile));
    res.SetMenu(kImageMenu, ImageMenu());
    res.SetMenu(kTableMenu, ScriptMenu(ScriptWindow::Tables));
    res.SetMenu(kEventMenu, ScriptMenu(ScriptWindow::Events));
    res.SetMenu(kStringMenu, ScriptMenu(ScriptWindow::Strings));
    res.SetMenu(kTimelineMenu, ScriptMenu(ScriptWindow::Timeline));
    res.SetToolBar(kStandardToolBar, StandardToolBar());
    RegisterEventFrameResources();
    res.SetAccelerators(kFrameAccelerators, FrameAccelerators());
    res.SetAccelerators(kScriptAccelerators,
                        EditingAccelerators(kInsertSequence, kDeleteSequences));
    res.SetAccelerators(kEventAccelerators, EditingAccelerators(kInsertEvent, kDeleteEvents));
    res.SetAccelerators(kTimelineAccelerators, EditingAccelerators(kInsertEvent, kDeleteEvents));
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
        {kInputs, "Show the script's inputs\nInputs"},
        {kOutputs, "Show the script's outputs\nOutputs"},
        {kFlags, "Show the script's flags\nFlags"},
        {kVariables, "Show the script's variables\nVariables"},
        {kPorts, "Show the script's ports\nPorts"},
        {kDataStrings, "Show the script's data strings\nData Strings"},
        {kLcdStrings, "Show the script's LCD strings\nLCD Strings"},
        {kXReference, "Show where the script uses its resources\nX-Reference"},
        {kSmpteTriggers, "Show the sequences' timecode triggers\nSMPTE Triggers"},
        {kViewCompiledData, "Show the compiled image as a dump\nView Compiled Data"},
        {kFileStatus, "Show the image's size and checksum\nFile Status"},
        {kCommunications, "Choose how to reach the show controller\nCommunications"},
        {kCueList, "Run the script's sequences from a cue list\nCueList"},
        {kRealTimeWizard, "Record events live from the keyboard\nReal Time Wizard"},
    };
    for (const auto& [id, text] : strings)
        res.SetString(id, QString::fromUtf8(text));
}
