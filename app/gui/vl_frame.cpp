#include "app/gui/vl_frame.h"

#include "app/gui/comm_dialogs.h"
#include "app/gui/document_commands.h"
#include "app/gui/options_dialogs.h"
#include "app/gui/settings_fields.h"
#include "app/gui/shell_dialogs.h"
#include "app/gui/tools_menu.h"
#include "app/gui/velmora_dialogs.h"
#include "app/gui/velmora_templates.h"
#include "app/gui/vl_resources.h"
#include "compiler/linked_resources.h"
#include "controls/commandbars/colors.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/tool_bar.h"
#include "controls/toolbox/status_bar.h"
#include "link/comm_dialog.h"
#include "link/dat_doc.h"
#include "platform/paths.h"
#include "platform/qt/app_commands.h"
#include "platform/qt/colors.h"
#include "platform/qt/frame_kit.h"
#include "platform/qt/frame_status.h"
#include "platform/qt/help.h"
#include "platform/qt/lock_keys.h"
#include "platform/qt/mdi_view.h"
#include "platform/qt/status_bar_ui.h"
#include "platform/qt/template_bars.h"
#include "platform/qt/tool_registry.h"
#include "script/dialog_requests.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"
#include "views/reports/compile_view.h"
#include "views/reports/list_views.h"
#include "views/resources/resource_view.h"
#include "views/sequences/real_time_wizard.h"
#include "views/sequences/seq_list_view.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <cstring>
#include <span>

using namespace vl_ids;
using platform::qt::CommandMessage;
using platform::qt::CommandUi;
using platform::qt::FromQString;
using platform::qt::MdiChildFrame;
using platform::qt::ToQString;

namespace {
// The document shown in a child frame, whichever way its view was made.
platform::Document* DocumentOf(QMdiSubWindow* frame) {
    if (!frame)
        return nullptr;
    platform::qt::FramedView* view = platform::qt::MdiDocTemplate::ViewOfFrame(frame);
    return view ? view->DocumentView().GetDocument() : nullptr;
}

// The view commands of a script and the kinds of view they open.
struct ScriptViewCommand {
    unsigned id;
    const ViewKind& kind;
};

std::span<const ScriptViewCommand> ScriptViews() {
    static const ScriptViewCommand kScriptViews[] = {
        {kInputs, kInputKind},         {kOutputs, kOutputKind},  {kFlags, kFlagKind},
        {kVariables, kVarKind},        {kPorts, kPortKind},      {kDataStrings, kDataStringKind},
        {kLcdStrings, kLcdStringKind}, {kXReference, kXRefKind}, {kSmpteTriggers, kSmpteKind},
    };
    return kScriptViews;
}

const ScriptViewCommand* FindScriptView(unsigned id) {
    for (const ScriptViewCommand& command : ScriptViews())
        if (command.id == id)
            return &command;
    return nullptr;
}

// Whether the script's product offers what the view command shows; the views without a
// condition are always offered.
bool ScriptViewOffered(unsigned id, const CVLDoc& doc) {
    const CProduct* product = doc.m_pProduct.get();
    switch (id) {
    case kInputs:
        return product && product->m_wInputs > 0;
    case kOutputs:
        return product && product->m_wOutputs > 0;
    case kFlags:
        return product && product->m_wFlags > 0;
    case kVariables:
        return product && product->m_wVars > 0;
    case kPorts:
        return product && product->m_wPorts > 0;
    case kLcdStrings:
        return product && !product->m_strLcd.empty() &&
               !platform::EqualsNoCase(product->m_strLcd, "None");
    default:
        return true;
    }
}

// Brings a view's frame forward, restoring it when it was minimised.
void ActivateViewFrame(platform::View& view) {
    if (auto* framed = dynamic_cast<platform::qt::FramedView*>(&view))
        if (MdiChildFrame* frame = framed->Frame(); frame && frame->isMinimized())
            frame->showNormal();
    view.ActivateFrame();
}

const char* const kCommandFailed = "Command failed.";

// The status bar: the third pane tells whether the active script is modified.
platform::qt::StatusBarLayout VelmoraStatusBar() {
    platform::qt::StatusBarLayout layout;
    layout.tips[2] = "Script Modified indicator";
    return layout;
}
} // namespace

// The shell's side of the views: the frames of the templates, the print dialogs, the settings.
class CVLFrame::ShellServices : public ViewServices {
public:
    explicit ShellServices(CVLFrame& frame) : frame_(frame) {}
    platform::View* OpenView(CVLDoc& doc, const ViewKind& kind, CSeq* subject) override {
        platform::qt::MdiDocTemplate* tmpl = frame_.templates_->Get(kind);
        if (!tmpl)
            return nullptr;
        for (platform::View* view : doc.Views()) {
            auto* framed = dynamic_cast<platform::qt::FramedView*>(view);
            if (!framed || !framed->Frame() || framed->Frame()->docTemplate != tmpl)
                continue;
            const auto* shown = dynamic_cast<const CVLView*>(view);
            if (subject && (!shown || shown->ShownSequence() != subject))
                continue;
            ActivateViewFrame(*view);
            return view;
        }
        // A new view shows the script's current sequence.
        if (subject)
            doc.m_posCurrentSeq = subject;
        platform::qt::FramedView* view = tmpl->OpenView(doc);
        return view ? &view->DocumentView() : nullptr;
    }
    platform::View* OpenNewView(CVLDoc& doc, const ViewKind& kind) override {
        platform::qt::MdiDocTemplate* tmpl = frame_.templates_->Get(kind);
        platform::qt::FramedView* view = tmpl ? tmpl->OpenView(doc) : nullptr;
        return view ? &view->DocumentView() : nullptr;
    }
    views::PrintServices& Printing() override { return frame_.printing_; }
    ViewSettings Settings() const override {
        const CVLApp& app = frame_.app_;
        ViewSettings settings;
        settings.eventsInFrames = app.m_bEventsInFrames;
        settings.timecodeStartAdded = app.m_bTimecodeStartAdded;
        settings.alwaysPopupEventList = app.m_bAlwaysPopupEventList;
        settings.spreadsheetHints = app.m_bSpreadsheetHints;
        settings.popupDelay = app.m_wPopupDelay;
        return settings;
    }
    int NextGridId() override { return frame_.app_.m_nNextGridId++; }
    void SetTimeDisplay(bool eventsInFrames, bool timecodeStartAdded) override {
        frame_.app_.m_bEventsInFrames = eventsInFrames;
        frame_.app_.m_bTimecodeStartAdded = timecodeStartAdded;
        frame_.app_.SaveSettings();
    }
    void ClearTimecodeStartAdded() override { frame_.app_.m_bTimecodeStartAdded = false; }
    void OpenHelp() override { platform::qt::OpenHelp(frame_.app_.m_strAppDir); }

private:
    CVLFrame& frame_;
};

CVLFrame::CVLFrame(CVLApp& app)
    : app_(app), appCommands_(std::make_unique<platform::qt::AppCommands>(
                     app.RecentFiles(), kFileMru1, kFileMruLast,
                     [this](const std::string& path) { OpenFile(path); })),
      services_(std::make_unique<ShellServices>(*this)),
      frameStatus_(std::make_unique<FrameStatus>(*this)) {
    setWindowTitle(QStringLiteral("Velmora"));
    // At a large scale the usual size would reach past the screen, status bar and all.
    resize(platform::qt::FitToScreen(QSize(1000, 700), this));
    setAcceptDrops(true);
    RegisterVelmoraResources();
    SetUpCommandBars();
    CreateStatusBar();
    GetCommandBars()->CreateMenuBar(QStringLiteral("Menu Bar"), kFrameMenu);
    standard_ = GetCommandBars()->AddToolBar(QStringLiteral("Standard"), 0);
    if (standard_)
        standard_->LoadToolBar(kStandardToolBar, true);
    // The Office 2003 theme in its own colours, whatever the desktop's style.
    CGVPPaintManager::SelectTheme(2);
    GetSystemColorTable().SetPlainColors(true);
    if (const GVPAcceleratorTable* keys =
            CGVPResources::Instance().FindAccelerators(kFrameAccelerators))
        SetAccelerators(*keys);
    // The application's commands: new, the Script Wizard, open, upload, the recent files and
    // exit.
    appCommands_->Commands()
        .On(kFileNew, [this] { OnFileNew(); })
        .On(kFileOpen, [this] { OnFileOpen(); })
        .On(kScriptWizard, [&app] { app.OnScriptWizard(); })
        .On(kUploadScript,
            [&app] {
                if (CVLDoc* doc = app.OnUploadScriptFromUnit())
                    ShowRetrievedScript(*doc);
            })
        .On(kUploadDat, [this] { templates_->UploadDatFromUnit(); })
        .On(kAppExit, [this] { close(); })
        .On(kFilePrintSetup, [this] { OnPrintSetup(); })
        .On(kAppAbout, [this] { OnAbout(); });
    SetApplicationTarget(appCommands_.get());
    DeclareCommands();
    GetCommandBars()->SetRecentFiles(
        {[this] { return platform::qt::RecentFilePaths(app_.RecentFiles()); }});

    statusHook = [this](const QString& text) { frameStatus_->ShowMessage(text); };
    frameStatus_->Install([this](const QString& text) { statusHook(text); });
    RegisterDialogs();

    printing_.askPrintGrid = [](QWidget* parent) {
        printing::DCPrintGridDlg dialog(parent);
        return dialog.Run();
    };
    printing_.askListing = [this](QWidget* parent, bool preview) {
        printing::CPrintSelectionDlg dialog(printMemory_, parent);
        dialog.SetPreview(preview);
        views::ListingChoice choice;
        choice.answer = dialog.Run();
        if (choice.answer == printing::CPrintSelectionDlg::kPrint) {
            choice.sections = printMemory_.SectionMask();
            choice.first = printMemory_.fromSequence;
            choice.last = printMemory_.toSequence;
        }
        return choice;
    };
    // Every job starts from the printer that Print Setup set up.
    printing_.setUpPrinter = [this](QPrinter& printer) {
        printer.setPrinterName(printer_.printerName());
        printer.setPageLayout(printer_.pageLayout());
    };

    // The image view asks for its document's retrieval once it is up (after the event loop
    // comes back), never for whichever document happens to be active then.
    RegisterReportViews(views_, *services_, [this](CDatDoc& doc) { OnImageViewShown(doc); });
    RegisterResourceViews(views_, *services_);
    RegisterSequenceViews(views_, *services_);
    RegisterSequenceTools(tools_);
    views_.InstallDialogs(frameStatus_->Ui());
    // Images this program makes transfer with its settings.
    templates_ = std::make_unique<VelmoraTemplates>(
        *MdiClient(), views_, [this] { return std::make_unique<CDatDoc>(app_); });
    // A script's window whose kind has no menu of its own shows the script's.
    templateBars_ = std::make_unique<TemplateBars>(*this, kScriptMenu);
    templates_->frameMade = [this](MdiChildFrame& child,
                                   const platform::qt::TemplateResources& resources, bool script) {
        templateBars_->FrameMade(child, resources, script);
    };
    // The scripts' windows close their scripts through the application, which owns them.
    templates_->closeScript = [this](CVLDoc& doc) { app_.CloseDocument(&doc); };
    templates_->mainFrame = this;
    templates_->lastWindowClosed = [this](CVLDoc& doc) { app_.CloseDocument(&doc); };
}

CVLFrame::~CVLFrame() {
    // The children go while the base's per-child records still exist: their destruction
    // updates those records.
    platform::qt::DeleteMdiChildren(*MdiClient());
    // The program's services are the previous ones again once the frame's status goes.
    frameStatus_.reset();
}

platform::qt::QtUiServices& CVLFrame::UiServices() {
    return frameStatus_->Ui();
}

ViewServices& CVLFrame::Services() {
    return *services_;
}

void CVLFrame::CreateStatusBar() {
    status_ = &frameStatus_->CreateBar(VelmoraStatusBar());
    AddEdgeWindow(status_, 1);
}

void CVLFrame::SetLockKeySource(std::unique_ptr<platform::qt::LockKeySource> source) {
    frameStatus_->SetLockKeySource(std::move(source));
}

void CVLFrame::RegisterDialogs() {
    RegisterVelmoraDialogs(views_, {this, [this] { app_.SaveSettings(); }});
}

// ---- AppShell ----

bool CVLFrame::CreateMainFrame() {
    show();
    RecalcLayout();
    return true;
}

platform::Document* CVLFrame::ActiveDocument() {
    return DocumentOf(MdiClient()->currentSubWindow());
}

void CVLFrame::RecentFilesChanged() {
    // The recent-file list of the menu is rebuilt each time the menu opens.
}

// ---- Frames ----

DocFrameFactory& CVLFrame::ScriptFrames() {
    return templates_->ScriptFrames();
}

platform::View* CVLFrame::CreateViewFrame(platform::Document& document) {
    auto* doc = dynamic_cast<CVLDoc*>(&document);
    platform::qt::MdiDocTemplate* tmpl = templates_->Get(kCompileViewKind);
    if (!doc || !tmpl)
        return nullptr;
    platform::qt::FramedView* view = tmpl->OpenView(*doc);
    return view ? &view->DocumentView() : nullptr;
}

// ---- Routing ----

void CVLFrame::OnIdleUpdate() {
    CGVPMDIFrameWnd::OnIdleUpdate();
    QString title = QStringLiteral("Velmora");
    if (QMdiSubWindow* child = MdiClient()->activeSubWindow(); child && child->isMaximized())
        title += QStringLiteral(" - [%1]").arg(child->windowTitle());
    if (windowTitle() != title)
        setWindowTitle(title);
}

bool CVLFrame::OnCmdMsg(CommandMessage& msg) {
    if (QMdiSubWindow* child = MdiClient()->activeSubWindow()) {
        // The frame's active view first: the pane that has, or last had, the focus.
        if (auto* target = dynamic_cast<platform::qt::CommandTarget*>(
                platform::qt::MdiDocTemplate::ViewOfFrame(child)))
            if (target->OnCmdMsg(msg))
                return true;
        platform::Document* document = DocumentOf(child);
        if (auto* doc = dynamic_cast<CVLDoc*>(document)) {
            ScriptCommands script(*doc, [this](CVLDoc& closing) { app_.CloseDocument(&closing); });
            if (script.OnCmdMsg(msg))
                return true;
        } else if (auto* image = dynamic_cast<CDatDoc*>(document)) {
            ImageCommands commands(*image);
            if (commands.OnCmdMsg(msg))
                return true;
        }
    }
    return CGVPMDIFrameWnd::OnCmdMsg(msg);
}

bool CVLFrame::HasCommandHandler(unsigned id) const {
    return tools_.Find(id) || commands_.Has(id) || CGVPMDIFrameWnd::HasCommandHandler(id);
}

bool CVLFrame::OnUpdateCommand(unsigned id, CommandUi& ui) {
    if (const platform::qt::ToolRegistry::Tool* tool = tools_.Find(id)) {
        if (!tool->greyedWithoutDocument)
            return false;
        platform::Document* doc = ActiveDocument();
        ui.Enable(doc && tool->accepts(*doc));
        return true;
    }
    return commands_.Update(id, ui);
}

bool CVLFrame::OnCommand(unsigned id) {
    if (tools_.Find(id)) {
        RunTool(id);
        return true;
    }
    return commands_.Run(id) || CGVPMDIFrameWnd::OnCommand(id);
}

void CVLFrame::DeclareCommands() {
    // The companions and the help file follow the installation without a restart.
    for (const tools::CompanionProgram& program : tools::kCompanions)
        commands_.On(
            program.command, [this, &program] { tools::StartCompanion(app_.m_strAppDir, program); },
            [this, &program](CommandUi& ui) {
                ui.Enable(tools::CompanionPath(app_.m_strAppDir, program).has_value());
            });
    const auto help = [this] { platform::qt::OpenHelp(app_.m_strAppDir); };
    commands_.On(kHelp, help);
    commands_.On(kShowControlHelp, help, [this](CommandUi& ui) {
        ui.Enable(platform::qt::HelpFile(app_.m_strAppDir).has_value());
    });
    for (const ScriptViewCommand& command : ScriptViews()) {
        const unsigned id = command.id;
        commands_.On(id, [this, id] { ShowScriptView(id); });
        // Without a script the command stays offered and says that it failed.
        commands_.OnUpdate(id, [this, id](CommandUi& ui) {
            const CVLDoc* doc = app_.ActiveScript();
            if (doc)
                ui.Enable(ScriptViewOffered(id, *doc));
            return doc != nullptr;
        });
    }
    commands_.On(kViewCompiledData, [this] { OnViewCompiledData(); });
    // The table views offer these themselves; any other view does nothing with them.
    const auto scriptActive = [this](CommandUi& ui) { ui.Enable(app_.ActiveScript() != nullptr); };
    commands_.On(
        kAutoSizeColumns, [] {}, scriptActive);
    commands_.On(
        kPrintGrid, [] {}, scriptActive);
    commands_.On(kEditFind, [] {});
    commands_.On(kEditReplace, [] {});
    // The views print; without a document there is nothing to print.
    for (unsigned id : {unsigned(kFilePrint), unsigned(kFilePrintPreview)})
        commands_.OnUpdate(id, [this](CommandUi& ui) {
            if (ActiveDocument())
                return false;
            ui.Enable(false);
            return true;
        });
    // The views and child frames handle the display toggles; the frame shows their checks.
    commands_.OnUpdate(kEventsInFrames, [this](CommandUi& ui) {
        ui.SetCheck(app_.m_bEventsInFrames ? 1 : 0);
        return false;
    });
    commands_.OnUpdate(kEventsWithTimecode, [this](CommandUi& ui) {
        ui.SetCheck(app_.m_bTimecodeStartAdded ? 1 : 0);
        return false;
    });
    commands_.On(kCommunications, [this] { OnCommunications(); });
    const auto saveSettings = [this] { app_.SaveSettings(); };
    commands_.On(kGeneralOptions, [this, saveSettings] {
        options::OnGeneralOptions(GeneralOptionsOf(app_), saveSettings, app_.ActiveScript(), this);
    });
    commands_.On(kUserTools, [this, saveSettings] {
        tools::OnUserDefinedTools(UserToolsOf(app_), saveSettings, this);
    });
    for (int tool : {1, 2}) {
        const auto name = [this, tool] {
            return tool == 1 ? app_.m_strToolName1 : app_.m_strToolName2;
        };
        const auto path = [this, tool] {
            return tool == 1 ? app_.m_strToolPath1 : app_.m_strToolPath2;
        };
        commands_.On(
            tool == 1 ? kUserTool1 : kUserTool2,
            [tool, name, path] { tools::RunUserTool(tool, name(), path()); },
            [tool, name, path](CommandUi& ui) {
                const tools::ItemState item = tools::UserToolItem(tool, name(), path());
                ui.SetText(item.text);
                ui.Enable(item.enabled);
            });
    }
    // The bar's own visibility, so its dock row goes with it; enabled by its handler.
    platform::qt::DeclareFrameCommands(commands_, *this, standard_, status_,
                                       {kViewToolbar, kViewStatusBar, kWindowCascade, kWindowTile});
}

// ---- Commands ----

void CVLFrame::OnFileNew() {
    app_.OnFileNew();
}

void CVLFrame::OnFileOpen() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open File"), QString(),
        QStringLiteral("Velmora files(*.ksf);;DOS Script files (*.ksx);;"
                       "Compiled files (*.dat);;All Files (*.*)"));
    if (!path.isEmpty())
        OpenFile(path.toStdString());
}

bool CVLFrame::OpenFile(const std::string& path) {
    if (!platform::EqualsNoCase(std::filesystem::path(path).extension().string(), ".dat"))
        return app_.OpenDocumentFile(path) != nullptr;
    platform::qt::MdiDocTemplate* images = templates_->Get(kImageKind);
    if (!images || !images->OpenDocumentFile(path))
        return false;
    app_.AddRecentFile(path);
    return true;
}

void CVLFrame::RunTool(unsigned id) {
    // A copy: the tool may run a modal loop in which the registry changes.
    const platform::qt::ToolRegistry::Tool tool = *tools_.Find(id);
    platform::Document* doc = ActiveDocument();
    if (!doc || !tool.accepts(*doc)) {
        platform::ShowMessage(kCommandFailed);
        return;
    }
    tool.run(*doc, this);
}

void CVLFrame::ShowScriptView(unsigned id) {
    const ScriptViewCommand* command = FindScriptView(id);
    CVLDoc* doc = app_.ActiveScript();
    if (!command || !doc) {
        platform::ShowMessage(kCommandFailed);
        return;
    }
    // A template that cannot make its frame says nothing.
    services_->OpenView(*doc, command->kind, nullptr);
}

void CVLFrame::OnViewCompiledData() {
    auto* doc = dynamic_cast<CDatDoc*>(ActiveDocument());
    if (!doc)
        return;
    for (platform::View* view : doc->Views()) {
        if (HasRole(*view, &ViewKind::imageDump)) {
            ActivateViewFrame(*view);
            return;
        }
    }
    if (platform::qt::MdiDocTemplate* tmpl = templates_->Get(kImageDumpKind))
        tmpl->OpenView(*doc);
}

void CVLFrame::OnCommunications() {
    showlink::RunCommDialog(app_, "Select communication options below.", std::string(),
                            showlink::CommDialogMode::SettingsOnly);
}

void CVLFrame::OnPrintSetup() {
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void CVLFrame::OnAbout() {
    RunAboutDialog(this);
}

void CVLFrame::OnImageViewShown(CDatDoc& doc) {
    // Acts only on an image made by "Upload DAT from Unit".
    doc.RetrieveFromUnit();
}

void CVLFrame::closeEvent(QCloseEvent* event) {
    if (app_.ScriptTemplate()) {
        const auto& documents = app_.ScriptTemplate()->Documents();
        // The program stays while a compile or transfer runs; it is asked to stop.
        bool running = false;
        for (const auto& doc : documents) {
            if (doc->IsHeld()) {
                if (doc->m_nCompileRunning)
                    doc->m_nAbortRequested = 1;
                running = true;
            }
        }
        if (running) {
            event->ignore();
            return;
        }
        for (const auto& doc : documents) {
            if (!doc->SaveModified()) {
                event->ignore();
                return;
            }
        }
        app_.ScriptTemplate()->CloseAllDocuments();
    }
    event->accept();
}

void CVLFrame::dragEnterEvent(QDragEnterEvent* event) {
    platform::qt::AcceptFileDrag(*event);
}

void CVLFrame::dropEvent(QDropEvent* event) {
    platform::qt::OpenDroppedFiles(*event, [this](const std::string& path) { OpenFile(path); });
}
