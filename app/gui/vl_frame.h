// Velmora's main window: an MDI frame with the menu bar, the "Standard" toolbar and the status
// bar. Commands travel from the active view to its script, the frame and the application; a
// command that none of them handles is disabled.
#pragma once

#include "app/gui/print_dialogs.h"
#include "app/my_multi_doc_template.h"
#include "app/vl_app.h"
#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/frame.h"
#include "platform/doc_template.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "views/common/print_services.h"

#include <memory>

class CYNStatusBar;
class CGVPToolBar;
class CVLDoc;
class TemplateBars;
class VelmoraTemplates;

namespace platform::qt {
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

    // The commands; those of a script answer "Command failed." when none is active.
    void OnFileNew();
    void OnFileOpen();
    // Opens a script, or a compiled image (.dat) in its own view; false when nothing opened.
    bool OpenFile(const std::string& path);
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    void OnCompileScript();

    // Routing: the active view and its script come before the frame and the application.
    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Script files dropped on the window open as File Open would open them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class FrameUi;
    class ScriptCommands;
    class AppCommands;
    class ViewCommands;
    void RegisterDialogs();
    void CreateStatusBar();

    CVLApp& app_;
    CYNStatusBar* status_ = nullptr;
    CGVPToolBar* standard_ = nullptr;
    std::unique_ptr<FrameUi> ui_;
    std::unique_ptr<AppCommands> appCommands_;
    platform::UiServices* previousUi_ = nullptr;
    CGVPControlRecentFileList::Source recent_;
    platform::qt::ViewRegistry views_;
    std::unique_ptr<VelmoraTemplates> templates_;
    std::unique_ptr<TemplateBars> templateBars_;
    // The print dialogs of the views, and the choices "Select Items to Print" last closed with.
    views::PrintServices printing_;
    views::PrintServices* previousPrinting_ = nullptr;
    printing::PrintSelectionMemory printMemory_;
};
