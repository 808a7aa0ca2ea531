// What a program's MDI main frame does the same way in every program: the View menu's bar
// toggles, the Window menu's arrangements, and files dropped on the frame. platform/qt knows no
// control of the toolkit: `Frame` is the toolkit's MDI frame (RecalcLayout, MdiClient), `ToolBar`
// its toolbar (SetVisible, IsVisible).
#pragma once

#include "platform/qt/command_map.h"

#include <QMdiArea>
#include <QWidget>
#include <functional>
#include <string>

class QDragEnterEvent;
class QDropEvent;

namespace platform::qt {

// The ids of the frame's standard commands in the program's table.
struct FrameCommandIds {
    unsigned viewToolbar;
    unsigned viewStatusBar;
    unsigned windowCascade;
    unsigned windowTile;
};

// A bar's command shows or hides the bar (the frame lays its edges out again), its item checked
// while the bar shows.
template <typename Frame>
void DeclareBarToggle(CommandMap& commands, Frame& frame, unsigned id, std::function<bool()> shown,
                      std::function<void(bool)> show) {
    commands.On(id, [&frame, shown, show] {
        show(!shown());
        frame.RecalcLayout();
    });
    commands.OnUpdate(id, [shown](CommandUi& ui) {
        ui.SetCheck(shown() ? 1 : 0);
        return false;
    });
}

// The toolbar's and the status bar's toggles (either bar may be missing); Cascade and Tile
// arrange the windows.
template <typename Frame, typename ToolBar>
void DeclareFrameCommands(CommandMap& commands, Frame& frame, ToolBar* toolBar, QWidget* statusBar,
                          const FrameCommandIds& ids) {
    DeclareBarToggle(
        commands, frame, ids.viewToolbar, [toolBar] { return toolBar && toolBar->IsVisible(); },
        [toolBar](bool on) {
            if (toolBar)
                toolBar->SetVisible(on);
        });
    DeclareBarToggle(
        commands, frame, ids.viewStatusBar,
        [statusBar] { return statusBar && statusBar->isVisible(); },
        [statusBar](bool on) {
            if (statusBar)
                statusBar->setVisible(on);
        });
    commands.On(ids.windowCascade, [&frame] { frame.MdiClient()->cascadeSubWindows(); });
    commands.On(ids.windowTile, [&frame] { frame.MdiClient()->tileSubWindows(); });
}

// Deletes the area's windows one by one (a window's deletion may delete others).
void DeleteMdiChildren(QMdiArea& area);

// A drag that carries files may drop them; the dropped local files are opened one by one.
void AcceptFileDrag(QDragEnterEvent& event);
void OpenDroppedFiles(QDropEvent& event, const std::function<void(const std::string&)>& open);

} // namespace platform::qt
