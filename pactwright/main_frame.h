// Pactwright's main window: an MDI frame with the menu bar, the toolbar and a status bar of four
// panes (message, CAP, NUM, SCRL). The frame's own menu shows while no document window is
// active, the document menu while one is. Commands travel from the active pane to its window's
// content, then to this frame and the application's commands.
#pragma once

#include "controls/commandbars/frame.h"
#include "pactwright/core/pactwright_app.h"
#include "pactwright/core/pactwright_doc.h"
#include "pactwright/pactwright_services.h"
#include "platform/qt/command_map.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/template_bars.h"
#include "views/gridbase/print_services.h"

#include <QPrinter>
#include <memory>

class CYNStatusBar;
class CGVPToolBar;
class CGVPResources;

namespace platform::qt {
class AppCommands;
template <typename Bar> class FrameStatus;
class LockKeySource;
} // namespace platform::qt

namespace pactwright {

class CMainFrame : public CGVPMDIFrameWnd {
public:
    explicit CMainFrame(CPactwrightApp& app);
    ~CMainFrame() override;

    platform::qt::QtUiServices& UiServices();
    platform::qt::ViewRegistry& Views() { return views_; }
    platform::qt::MdiDocTemplate& Template() { return *template_; }
    PactwrightServices& Services() { return services_; }
    views::PrintServices& Printing() { return printing_; }
    CYNStatusBar* StatusBar() const { return status_; }
    CGVPToolBar* ToolBar() const { return toolBar_; }
    // The lock-key panes show this source's state from now on.
    void SetLockKeySource(std::unique_ptr<platform::qt::LockKeySource> source);

    // The document of the active window, or null.
    CPactwrightDoc* ActiveDocument() const;
    void OnFileNew();
    void OnFileOpen();
    // Opens a protocol file, or brings its window forward when it is open; null when it did
    // not open.
    CPactwrightDoc* OpenFile(const std::string& path);
    // Closes a document after the save prompt; false when the user kept it open.
    bool CloseDocument(CPactwrightDoc& doc);
    void OnPrintSetup();
    void OnHelp();
    void OnContextHelp();
    // What's This mode's text for a click at this screen point: a toolbar button's prompt, a
    // short text of the tree or the grid, or nothing.
    static QString WhatsThisText(QPoint globalPos);

    bool OnCmdMsg(platform::qt::CommandMessage& msg) override;
    // The bars' idle pass; the windows' titles ("Pactwr1", "Pactwr1:2" for a second window)
    // and the main title with the active document's.
    void OnIdleUpdate() override;
    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using FrameStatus = platform::qt::FrameStatus<CYNStatusBar>;
    using TemplateBars = platform::qt::TemplateBars<CGVPMDIFrameWnd, CGVPResources>;
    void DeclareCommands();
    void CreateStatusBar();
    void RegisterDialogs();
    platform::qt::MdiChildFrame* MakeFrame(platform::Document& document);

    CPactwrightApp& app_;
    // The status bar and the services shown on it.
    std::unique_ptr<FrameStatus> frameStatus_;
    std::unique_ptr<platform::qt::AppCommands> appCommands_;
    CYNStatusBar* status_ = nullptr;
    CGVPToolBar* toolBar_ = nullptr;
    views::PrintServices printing_;
    QPrinter printer_;
    PactwrightServices services_;
    platform::qt::ViewRegistry views_;
    std::unique_ptr<TemplateBars> templateBars_;
    std::unique_ptr<platform::qt::MdiDocTemplate> template_;
    platform::qt::CommandMap commands_;
};

} // namespace pactwright
