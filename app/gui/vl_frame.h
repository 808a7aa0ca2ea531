// Velmora's main window: an MDI frame with the menu bar, the "Standard" toolbar and the status
// bar. Commands travel from the active view to its script, the frame and the application; a
// command that none of them handles is disabled.
#pragma once

#include "app/gui/print_dialogs.h"
#include "app/my_multi_doc_template.h"
#include "app/vl_app.h"
#include "controls/commandbars/frame.h"
#include "platform/doc_template.h"
#include "platform/qt/command_map.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/tool_registry.h"
#include "views/common/view_services.h"
#include "views/gridbase/print_services.h"

#include <QPrinter>
#include <functional>
#include <memory>

class CYNStatusBar;
class CGVPToolBar;
class CDatDoc;
class CVLDoc;
class CVLView;
class CGVPResources;
class VelmoraTemplates;

namespace platform::qt {
template <typename Frame, typename Resources> class TemplateBars;
template <typename Bar> class FrameStatus;
class AppCommands;
class LockKeySource;
class MdiChildFrame;
class MdiView;
} // namespace platform::qt

class CVLFrame : public CGVPMDIFrameWnd, public AppShell, public platform::ViewTemplate {
public:
    explicit CVLFrame(CVLApp& app);
    ~CVLFrame() override;

    // AppShell
    DocFrameFactory& ScriptFrames() override;
    platform::ViewTemplate* CompileTemplate() override { return this; }
    bool CreateMainFrame() override;
    platform::Document* ActiveDocument() override;
    void RecentFilesChanged() override;

    // ViewTemplate (the compile view)
    platform::View* CreateViewFrame(platform::Document& document) override;

    QMdiArea* MdiArea() const { return MdiClient(); }
    platform::qt::QtUiServices& UiServices();
    CYNStatusBar* StatusBar() const { return status_; }
    VelmoraTemplates& Templates() const { return *templates_; }
    CGVPToolBar* StandardBar() const { return standard_; }
    // The lock-key panes show this source's state from now on (the X keyboard's by default).
    void SetLockKeySource(std::unique_ptr<platform::qt::LockKeySource> source);
    // The views the templates make, by view class (the view libraries register theirs).
    platform::qt::ViewRegistry& Views() { return views_; }
    // What every view is made with: the frames of other views, printing, settings, grid ids.
    ViewServices& Services();

    // The modal tools that run on the active script (the cue list 32889, the Real Time
    // Wizard 32906), registered by the libraries that bring them; a command without one is
    // disabled.
    platform::qt::ToolRegistry& Tools() { return tools_; }
    // The printer that Print Setup sets up and every print job starts from.
    QPrinter& Printer() { return printer_; }

    // The commands; those of a script answer "Command failed." when none is active.
    void OnFileNew();
    void OnFileOpen();
    // Opens a script, or a compiled image (.dat) in its own view; false when nothing opened.
    bool OpenFile(const std::string& path);
    // Shows the view of a view command (Inputs ... SMPTE Triggers) of the active script: its
    // open view brought forward, else a new one through the template.
    void ShowScriptView(unsigned id);
    // "View Compiled Data": the dump of the active compiled image.
    void OnViewCompiledData();
    void OnCommunications();
    void OnPrintSetup();
    void OnAbout();
    // The compiled-image view is up: a retrieval asked of its document runs now.
    void OnImageViewShown(CDatDoc& doc);

    // Routing: the active view and its script come before the frame and the application.
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    // The bars' idle pass, and the main title: "Velmora - [child]" while a child is maximised.
    void OnIdleUpdate() override;
    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Script files dropped on the window open as File Open would open them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using FrameStatus = platform::qt::FrameStatus<CYNStatusBar>;
    using TemplateBars = platform::qt::TemplateBars<CGVPMDIFrameWnd, CGVPResources>;
    class ShellServices;
    // The frame's own commands, each beside its update.
    void DeclareCommands();
    void RunTool(unsigned id);
    void RegisterDialogs();
    void CreateStatusBar();

    CVLApp& app_;
    CYNStatusBar* status_ = nullptr;
    CGVPToolBar* standard_ = nullptr;
    std::unique_ptr<platform::qt::AppCommands> appCommands_;
    platform::qt::ViewRegistry views_;
    std::unique_ptr<VelmoraTemplates> templates_;
    std::unique_ptr<TemplateBars> templateBars_;
    // The print dialogs of the views, and the choices "Select Items to Print" last closed with.
    views::PrintServices printing_;
    std::unique_ptr<ShellServices> services_;
    printing::PrintSelectionMemory printMemory_;
    platform::qt::CommandMap commands_;
    platform::qt::ToolRegistry tools_;
    QPrinter printer_;
    // The status bar and the services shown on it; the last to come, the first to go.
    std::unique_ptr<FrameStatus> frameStatus_;
};
