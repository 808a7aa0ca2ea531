// Pactwright's command and resource ids, in one place for the frames, their resources and the
// views that handle them.
#pragma once

namespace pw_ids {
enum : unsigned {
    kMainResource = 128, // the frame's own menu, its toolbar
    kDocResource = 129,  // the document's menu and keys
    kFileNew = 57600,
    kFileOpen = 57601,
    kFileClose = 57602,
    kFileSave = 57603,
    kFileSaveAs = 57604,
    kFilePrintSetup = 57606,
    kFilePrint = 57607,
    kFilePrintPreview = 57609,
    kFileMru1 = 57616,
    kFileMruLast = 57619, // four entries
    kEditCopy = 57634,
    kEditCut = 57635,
    kEditPaste = 57637,
    kEditUndo = 57643,
    kWindowNew = 57648,
    kWindowArrange = 57649,
    kWindowCascade = 57650,
    kWindowTile = 57651,
    kAppExit = 57665,
    kHelpFinder = 57667,
    kContextHelp = 57669,
    kHelp = 57670,
    kNextPane = 57680,
    kPrevPane = 57681,
    kViewToolbar = 59392,
    kViewStatusBar = 59393,
    kWindowList = 35000,
    kNewCommand = 32771,
    kNewParam = 32772,
    kNewByte = 32773,
    kRemoveCommand = 32774,
    kRemoveParam = 32775,
    kRemoveByte = 32776,
};
} // namespace pw_ids
