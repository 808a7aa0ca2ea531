// The command-bar manager of one frame: the menu bar, the toolbars, the four dock bars and the
// options; it sees the frame's keys and messages before the frame does.
#pragma once

#include "controls/commandbars/ref_object.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <set>
#include <vector>

class QWidget;
class QEvent;
class QKeyEvent;
class CGVPCommandBar;
class CGVPToolBar;
class CGVPMenuBar;
class CGVPDockBar;
class CGVPFrameSite;
class CGVPPaintManager;
class CGVPImageManager;
class CGVPControl;

struct GVP_COMMANDBARS_OPTIONS {
    bool bAlwaysShowFullMenus = true;
    bool bShowFullAfterDelay = true;
    bool bToolBarScreenTips = true;
    bool bToolBarAccelTips = false;
    bool bLargeIcons = false;
    bool bSyncFloatingBars = true;
    bool bShowExpandButtonAlways = true;
    bool bDblClickFloat = false;
    int animationType = 0;
    QSize szIcons{0, 0};
    QSize szLargeIcons{0, 0};
    std::set<unsigned> hiddenCommands;
    std::set<unsigned> usedCommands;
};

// The application's recent-file list as a frame's menus show it: full paths, the first entry the
// newest. Without `entries` the program has no list.
struct GVPRecentFileSource {
    std::function<QStringList()> entries;
    int startNumber = 0;
};

class CGVPCommandBars : public CGVPRefObject {
public:
    static CGVPCommandBars* NewCommandBars() { return new CGVPCommandBars; }

    bool AttachToFrame(CGVPFrameSite* frame);
    void CreateDockBars();
    CGVPMenuBar* CreateMenuBar(const QString& title, unsigned menuId);
    // Positions: 0 top, 1 bottom, 2 left, 3 right, 4 floating. The factory makes the bar.
    CGVPToolBar* AddToolBar(const QString& title, int position,
                            std::function<CGVPToolBar*()> factory = {});
    CGVPPaintManager* GetPaintManager() const;
    CGVPImageManager* GetImageManager() const;
    void SetPaintManager(CGVPPaintManager* pm);
    void SetImageManager(CGVPImageManager* im);
    int GetCount() const { return int(toolbars_.size()); }
    CGVPCommandBar* GetToolBar(int index) const;
    CGVPCommandBar* GetToolBarById(unsigned id) const;
    void ToggleToolBar(int index);
    void RemoveToolBar(CGVPCommandBar* bar);
    void SetBarTitle(CGVPCommandBar* bar, const QString& text);
    bool IsCommandHidden(unsigned id) const;
    void MarkCommandUsed(unsigned id);
    virtual void ContextMenu(QPoint global);
    // A key event of the frame's window tree: true when the bars consumed it.
    bool PreTranslateFrameMessage(QKeyEvent* event);
    // Messages of the frame the bars look at first (activation, commands, settings).
    void OnActivateApp(bool active);
    void OnFrameCommand(bool menuCommand);
    void OnSettingChange();
    void OnIdleUpdate();

    bool DockCommandBar(CGVPToolBar* bar, const QRect* rect, CGVPDockBar* dockBar);
    bool DockCommandBar(CGVPToolBar* bar, int side);
    bool FloatCommandBar(CGVPToolBar* bar);
    CGVPDockBar* FindDockBar(QPoint global, CGVPDockBar* current) const;
    CGVPDockBar* GetDockBar(int side) const { return dockBars_[side]; }

    GVP_COMMANDBARS_OPTIONS* GetCommandBarsOptions() { return &options_; }
    CGVPFrameSite* GetSite() const { return site_; }
    QWidget* GetSiteWindow() const;
    CGVPMenuBar* GetMenuBar() const { return menuBar_; }
    bool IsCustomizable() const { return customizable_; }
    bool IsCustomizeMode() const { return customizeMode_; }
    unsigned GetMenuId() const { return menuId_; }
    // The recent files the menus of these bars list.
    void SetRecentFiles(GVPRecentFileSource source) { recentFiles_ = std::move(source); }
    const GVPRecentFileSource& GetRecentFiles() const { return recentFiles_; }

protected:
    CGVPCommandBars();
    ~CGVPCommandBars() override;

private:
    GVP_COMMANDBARS_OPTIONS options_;
    CGVPPaintManager* paintManager_ = nullptr;
    CGVPImageManager* imageManager_ = nullptr;
    bool customizeMode_ = false;
    bool customizable_ = false;
    unsigned menuId_ = 0;
    std::vector<CGVPCommandBar*> toolbars_;
    CGVPDockBar* dockBars_[4] = {};
    CGVPFrameSite* site_ = nullptr;
    CGVPMenuBar* menuBar_ = nullptr;
    GVPRecentFileSource recentFiles_;
    // Alt pressed alone toggles keyboard tracking on release.
    bool altPending_ = false;
};
