// Velmora's command-bar resources: the menus, the "Standard" toolbar, the accelerators and the
// command strings, registered once before the main frame is made.
#pragma once

#include "controls/commandbars/resources.h"

namespace vl_ids {
enum : unsigned {
    kFileNew = 57600,
    kFileOpen = 57601,
    kFileClose = 57602,
    kFileSave = 57603,
    kFileSaveAs = 57604,
    kFilePrintSetup = 57606,
    kFilePrint = 57607,
    kFilePrintPreview = 57609,
    kFileMru1 = 57616,
    kFileMruLast = 57631,
    kEditCopy = 57634,
    kEditCut = 57635,
    kEditFind = 57636,
    kEditPaste = 57637,
    kEditReplace = 57641,
    kWindowArrange = 57649,
    kWindowCascade = 57650,
    kWindowTile = 57651,
    kAppAbout = 57664,
    kAppExit = 57665,
    kContextHelp = 57669,
    kHelp = 57670,
    kViewToolbar = 59392,
    kViewStatusBar = 59393,
    kWindowList = 35000,
    kCompileScript = 32768,
    kInputs = 32773,
    kOutputs = 32775,
    kFlags = 32776,
    kPorts = 32777,
    kVariables = 32778,
    kDataStrings = 32779,
    kLcdStrings = 32780,
    kCfgScript = 32772,
    kCfgUnit = 32774,
    kCommunications = 32786,
    kScriptWizard = 32788,
    kTimeCalculator = 32789,
    kGeneralOptions = 32811,
    kMonitor = 32833,
    kRunNow = 32834,
    kResetSequence = 32835,
    kShowControlHelp = 32841,
    kUserTool1 = 32859,
    kUserTool2 = 32860,
    kUserTools = 32861,
    kCfgSmpte = 32862,
    kCompilerOptions = 32870,
    kUploadScript = 32871,
    kUploadDat = 32872,
    kViewCompiledData = 32876,
    kPrintGrid = 32882,
    kXReference = 32883,
    kSmpteTriggers = 32884,
    kLumaquill = 32888,
    kCueList = 32889,
    kAutoSizeColumns = 32890,
    kPactwright = 32905,
    kRealTimeWizard = 32906,
    kEventsInFrames = 32926,
    kEventsWithTimecode = 32929,
    // The commands of the script's views, carried by their templates' menus.
    kInsertSequence = 32800,
    kDeleteSequences = 32801,
    kInsertEvent = 32802,
    kDeleteEvents = 32803,
    kInsertString = 32807,
    kDeleteStrings = 32809,
    kSequenceEvents = 32812,
    kLcdWizard = 32840,
    kAutostart = 32844,
    kLoop = 32845,
    kRestart = 32846,
    kTimecodeStart = 32847,
    kStartTrigger = 32848,
    kStopTrigger = 32849,
    kPauseTrigger = 32850,
    kResetTrigger = 32851,
    kIndentLevel1 = 32852, // to kIndentLevel1 + 5 for level 6
    kFileStatus = 32875,
    kZoomOut = 32911,
    kZoomIn = 32912,
    kTimeline = 32915,
    kMoveEvent = 32945,
    kAddFrame = 32956,
    kSubtractFrame = 32957,
};
// Menu, toolbar and accelerator resource ids.
inline constexpr unsigned kFrameMenu = 2;
inline constexpr unsigned kScriptMenu = 3;
inline constexpr unsigned kCompileMenu = 4;
inline constexpr unsigned kImageMenu = 6;
inline constexpr unsigned kTableMenu = 146;
inline constexpr unsigned kEventMenu = 147;
inline constexpr unsigned kStringMenu = 148;
inline constexpr unsigned kTimelineMenu = 149;
inline constexpr unsigned kStandardToolBar = 2;
inline constexpr unsigned kFrameAccelerators = 2;
// The templates' own tables: the script's (3), the event editor's (147), the timeline's (149).
inline constexpr unsigned kScriptAccelerators = 3;
inline constexpr unsigned kEventAccelerators = 147;
inline constexpr unsigned kTimelineAccelerators = 149;
} // namespace vl_ids

// Registers the resources with the toolkit (again is harmless: the same data is set).
void RegisterVelmoraResources();
