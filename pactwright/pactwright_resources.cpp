#include "pactwright/pactwright_resources.h"

#include "controls/commandbars/resources.h"
#include "pactwright/pactwright_ids.h"
#include "platform/qt/virtual_keys.h"

#include <iterator>
#include <memory>

using namespace pw_ids;

namespace {

void AddViewBars(GVPMenu& view) {
    view.Item("&Toolbar", kViewToolbar).Item("&Status Bar", kViewStatusBar);
}

void AddHelp(GVPMenu& help) {
    help.Item("&Help Topics", kHelpFinder);
}

// Shown while no document is open.
GVPMenuPtr FrameMenu() {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    file.Item("&New\tCtrl+N", kFileNew).Item("&Open...\tCtrl+O", kFileOpen).Separator();
    file.Item("P&rint Setup...", kFilePrintSetup).Separator();
    file.Item("Recent File", kFileMru1).Separator().Item("E&xit", kAppExit);
    AddViewBars(menu->Popup("&View"));
    AddHelp(menu->Popup("&Help"));
    return menu;
}

GVPMenuPtr DocumentMenu() {
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    file.Item("&New\tCtrl+N", kFileNew).Item("&Open...\tCtrl+O", kFileOpen);
    file.Item("&Close", kFileClose).Item("&Save\tCtrl+S", kFileSave);
    file.Item("Save &As...", kFileSaveAs).Separator();
    file.Item("&Print...\tCtrl+P", kFilePrint).Item("Print Pre&view", kFilePrintPreview);
    file.Item("P&rint Setup...", kFilePrintSetup).Separator();
    file.Item("Recent File", kFileMru1).Separator().Item("E&xit", kAppExit);
    GVPMenu& edit = menu->Popup("&Edit");
    edit.Item("&Undo\tCtrl+Z", kEditUndo).Separator();
    edit.Item("Cu&t\tCtrl+X", kEditCut).Item("&Copy\tCtrl+C", kEditCopy);
    edit.Item("&Paste\tCtrl+V", kEditPaste).Separator();
    edit.Item("New Co&mmand\tCtrl+M", kNewCommand).Item("New P&aram\tCtrl+A", kNewParam);
    edit.Item("New &Byte\tCtrl+B", kNewByte).Separator();
    edit.Item("&Remove Command", kRemoveCommand).Item("Remove Pa&ram", kRemoveParam);
    edit.Item("Remove B&yte", kRemoveByte);
    AddViewBars(menu->Popup("&View"));
    GVPMenu& window = menu->Popup("&Window");
    window.Item("&New Window", kWindowNew).Item("&Cascade", kWindowCascade);
    window.Item("&Tile", kWindowTile).Item("&Arrange Icons", kWindowArrange);
    window.Item("Windows", kWindowList);
    AddHelp(menu->Popup("&Help"));
    return menu;
}

GVPToolBarResource ToolBar() {
    GVPToolBarResource bar;
    bar.ids = {kFileNew,   kFileOpen, kFileSave,  0, kEditCut,    kEditCopy,
               kEditPaste, 0,         kFilePrint, 0, kContextHelp};
    bar.iconNames = {{kFileNew, "document-new"},     {kFileOpen, "document-open"},
                     {kFileSave, "document-save"},   {kEditCut, "edit-cut"},
                     {kEditCopy, "edit-copy"},       {kEditPaste, "edit-paste"},
                     {kFilePrint, "document-print"}, {kContextHelp, "help-whatsthis"}};
    return bar;
}

GVPAcceleratorTable Accelerators() {
    using namespace platform::qt;
    const std::uint8_t key = GVPAccel::kVirtKey;
    const std::uint8_t ctrl = key | GVPAccel::kControl;
    const std::uint8_t shift = key | GVPAccel::kShift;
    const std::uint8_t alt = key | GVPAccel::kAlt;
    const auto cmd = [](unsigned id) { return std::uint16_t(id); };
    return {
        {ctrl, 'N', cmd(kFileNew)},
        {ctrl, 'O', cmd(kFileOpen)},
        {ctrl, 'S', cmd(kFileSave)},
        {ctrl, 'P', cmd(kFilePrint)},
        {ctrl, 'Z', cmd(kEditUndo)},
        {alt, std::uint16_t(0x08), cmd(kEditUndo)},
        {ctrl, 'X', cmd(kEditCut)},
        {shift, std::uint16_t(VK_DELETE), cmd(kEditCut)},
        {ctrl, 'C', cmd(kEditCopy)},
        {ctrl, std::uint16_t(0x2D), cmd(kEditCopy)}, // Insert
        {ctrl, 'V', cmd(kEditPaste)},
        {shift, std::uint16_t(0x2D), cmd(kEditPaste)},
        {ctrl, 'M', cmd(kNewCommand)},
        {ctrl, 'A', cmd(kNewParam)},
        {ctrl, 'B', cmd(kNewByte)},
        {key, std::uint16_t(VK_F1), cmd(kHelp)},
        {shift, std::uint16_t(VK_F1), cmd(kContextHelp)},
        {key, std::uint16_t(VK_F1 + 5), cmd(kNextPane)},
        {shift, std::uint16_t(VK_F1 + 5), cmd(kPrevPane)},
    };
}

} // namespace

void RegisterPactwrightResources() {
    CGVPResources& res = CGVPResources::Instance();
    res.SetMenu(kMainResource, FrameMenu());
    res.SetMenu(kDocResource, DocumentMenu());
    res.SetToolBar(kMainResource, ToolBar());
    res.SetAccelerators(kMainResource, Accelerators());
    const std::pair<unsigned, const char*> strings[] = {
        {kFileNew, "Create a new document\nNew"},
        {kFileOpen, "Open an existing document\nOpen"},
        {kFileClose, "Close the active document\nClose"},
        {kFileSave, "Save the active document\nSave"},
        {kFileSaveAs, "Save the active document with a new name\nSave As"},
        {kFilePrint, "Print the active document\nPrint"},
        {kFilePrintPreview, "Display full pages\nPrint Preview"},
        {kFilePrintSetup, "Change the printer and printing options\nPrint Setup"},
        {kAppExit, "Quit the application; prompts to save documents\nExit"},
        {kEditCut, "Cut the selection and put it on the Clipboard\nCut"},
        {kEditCopy, "Copy the selection and put it on the Clipboard\nCopy"},
        {kEditPaste, "Insert Clipboard contents\nPaste"},
        {kEditUndo, "Undo the last action\nUndo"},
        {kNewCommand, "Add a new command to the protocol\nNew Command"},
        {kNewParam, "Add a new param to the current command\nNew Param"},
        {kNewByte, "Add a new byte to the current command\nNew Byte"},
        {kRemoveCommand, "Remove current command from the protocol"},
        {kRemoveParam, "Remove current param from the command\nRemove Param"},
        {kRemoveByte, "Remove current byte from the command\nRemove Byte"},
        {kWindowNew, "Open another window for the active document\nNew Window"},
        {kWindowArrange, "Arrange icons at the bottom of the window\nArrange Icons"},
        {kWindowCascade, "Arrange windows so they overlap\nCascade Windows"},
        {kWindowTile, "Arrange windows as non-overlapping tiles\nTile Windows"},
        {kViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
        {kViewStatusBar, "Show or hide the status bar\nToggle StatusBar"},
        {kHelpFinder, "List Help topics\nHelp Topics"},
        {kHelp, "Display help for current task or command\nHelp"},
        {kContextHelp, "Display help for clicked on buttons, menus and windows\nHelp"},
        {kNextPane, "Switch to the next window pane\nNext Pane"},
        {kPrevPane, "Switch back to the previous window pane\nPrevious Pane"},
    };
    for (const auto& [id, text] : strings)
        res.SetString(id, QString::fromUtf8(text));
}
