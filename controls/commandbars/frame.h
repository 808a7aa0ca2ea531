// The frame bases: a main frame around a QMdiArea and a child frame for an MDI child's content.
// Each holds its command bars, the four dock bars and the other edge windows in creation order
// (a status bar joins them); its key events pass the bars first, then its accelerator table.
#pragma once

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/frame_site.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class CGVPMenuBar;

class CGVPFrameWndBase : public QWidget, public CGVPFrameSite {
public:
    explicit CGVPFrameWndBase(QWidget* parent = nullptr);
    ~CGVPFrameWndBase() override;

    CGVPCommandBars* GetCommandBars() const { return commandBars_; }
    // Theme 1 when no paint manager exists yet, new command bars, attach, dock bars.
    bool SetUpCommandBars();
    // An edge window (status bar) takes its side after the windows created before it.
    void AddEdgeWindow(QWidget* window, int side);
    void SetCentralWidget(QWidget* widget);
    QWidget* CentralWidget() const { return central_; }

    void SetAccelerators(GVPAcceleratorTable table) { accelerators_ = std::move(table); }
    const GVPAcceleratorTable* GetAccelerators() const override { return &accelerators_; }
    // Where executed controls and their descriptions go beyond this frame.
    void SetApplicationTarget(platform::qt::CommandTarget* app) { app_ = app; }
    std::function<void(const QString&)> statusHook;

    QWidget* SiteWindow() override { return this; }
    void RecalcLayout() override;
    void DelayRecalcLayout() override;
    void SetMessageText(const QString& text) override;
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    // A message the main frame passes to its active child frame on its way up.
    virtual bool OnCmdMsgFromMainFrame(platform::qt::CommandMessage& msg) { return OnCmdMsg(msg); }
    // The idle pass of this frame's bars (the coalesced idle update calls it).
    virtual void OnIdleUpdate();
    // A key event of this frame's windows: the bars, then the accelerators.
    virtual bool PreTranslateMessage(QKeyEvent* event);

protected:
    // The frame's own handlers, with a focused field of its bars first.
    bool OnOwnCmdMsg(platform::qt::CommandMessage& msg);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The frame's own windows: this frame, not a frame nested in it.
    virtual bool OwnsWindow(QWidget* widget) const;
    CGVPCommandBars* commandBars_ = nullptr;
    QWidget* central_ = nullptr;
    struct Edge {
        QPointer<QWidget> window;
        int side;
    };
    std::vector<Edge> edges_;
    GVPAcceleratorTable accelerators_;
    platform::qt::CommandTarget* app_ = nullptr;
    bool layoutPending_ = false;
};

class CGVPMDIFrameWnd : public CGVPFrameWndBase {
public:
    explicit CGVPMDIFrameWnd(QWidget* parent = nullptr);
    ~CGVPMDIFrameWnd() override;

    QMdiArea* MdiClient() const override { return mdiArea_; }
    CGVPMenuBar* GetMenuBar() const;
    // Children are numbered from the first MDI child id in creation order, hidden ones too.
    unsigned ChildId(QMdiSubWindow* child) const;
    QMdiSubWindow* ChildById(unsigned id) const;
    bool ActivateChildById(unsigned id);
    // The menu of a kind of child; the menu bar loads it when such a child becomes active.
    void SetChildMenu(QMdiSubWindow* child, GVPMenuPtr menu);
    unsigned ActiveTemplateId() const override;
    void SetChildTemplateId(QMdiSubWindow* child, unsigned id) { templates_[child] = id; }

    // Window > Arrange Icons: the minimised children in rows along the bottom.
    static constexpr unsigned kArrangeIconsId = 57649;
    void ArrangeIcons();

    bool OnCommand(unsigned id) override;
    bool HasCommandHandler(unsigned id) const override;
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    void OnIdleUpdate() override;
    bool PreTranslateMessage(QKeyEvent* event) override;

protected:
    void OnChildActivated(QMdiSubWindow* child);
    QMdiArea* mdiArea_;
    std::map<QMdiSubWindow*, GVPMenuPtr> menus_;
    std::map<QMdiSubWindow*, unsigned> templates_;
    QPointer<QMdiSubWindow> lastActive_;
    GVPMenuPtr loadedMenu_;
};

// A child frame with bars of its own around its content. The commands and updates of its bars and
// keys take the whole routing, from the active view up, through the main frame it is given;
// the main frame's routing reaches only the child's own handlers, on its way up.
class CGVPMDIChildWnd : public CGVPFrameWndBase {
public:
    explicit CGVPMDIChildWnd(QWidget* parent = nullptr);
    void SetMainFrame(platform::qt::CommandTarget* mainFrame) { mainFrame_ = mainFrame; }
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    bool OnCmdMsgFromMainFrame(platform::qt::CommandMessage& msg) override;

private:
    platform::qt::CommandTarget* mainFrame_ = nullptr;
};
