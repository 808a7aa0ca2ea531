#include "app/gui/vl_frame.h"

#include "app/gui/options_dialogs.h"
#include "app/gui/script_views.h"
#include "app/gui/shell_dialogs.h"
#include "app/gui/tools_menu.h"
#include "app/gui/velmora_templates.h"
#include "app/gui/vl_resources.h"
#include "compiler/linked_resources.h"
#include "controls/commandbars/colors.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/tool_bar.h"
#include "controls/toolbox/status_bar.h"
#include "link/comm_dialog.h"
#include "platform/paths.h"
#include "platform/qt/colors.h"
#include "platform/qt/mdi_view.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"
#include "views/common/vl_view.h"
#include "views/reports/compile_view.h"
#include "views/reports/list_views.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

using namespace vl_ids;
using platform::qt::CommandMessage;
using platform::qt::CommandUi;
using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {
// The document shown in a child frame, whichever way its view was made.
platform::Document* DocumentOf(QMdiSubWindow* frame) {
    if (!frame)
        return nullptr;
    if (platform::qt::FramedView* framed = platform::qt::MdiDocTemplate::ViewOfFrame(frame))
        return framed->DocumentView().GetDocument();
    const auto* view = dynamic_cast<platform::View*>(frame->widget());
    return view ? view->GetDocument() : nullptr;
}

constexpr unsigned kProgressPaneStyle = 0x02000000;
const QString kIdleText = QStringLiteral("Ready");
} // namespace

// The user-interface services of the window: status text and progress go to the status bar.
class CVLFrame::FrameUi : public platform::qt::QtUiServices {
public:
    explicit FrameUi(CVLFrame& frame) : QtUiServices(&frame), frame_(frame) {}
    void SetProgress(int pane, bool /*showPercent*/, int range, int pos) override {
        if (CYNStatusBar* bar = frame_.status_)
            bar->UpdatePaneProgress(pane, 0, range, pos);
    }
    void SetPaneTextAndColour(int pane, const std::string& text, platform::Colour colour) override {
        CYNStatusBar* bar = frame_.status_;
        if (!bar)
            return;
        // The core's colours are 0xRRGGBB; the bar takes COLORREF.
        const platform::qt::COLORREF ref =
            colour == platform::kPaneTextDefault
                ? platform::qt::GetSysColor(platform::qt::COLOR_BTNTEXT)
                : platform::qt::RGB(int(colour >> 16), int(colour >> 8), int(colour));
        bar->SetPaneTextAndColour(pane, ToQString(text), ref);
    }

private:
    CVLFrame& frame_;
};

// The commands of a script, asked while one of its windows is active.
class CVLFrame::ScriptCommands : public platform::qt::CommandTarget {
public:
    ScriptCommands(CVLFrame& frame, CVLDoc& doc) : frame_(frame), doc_(doc) {}
    bool HasCommandHandler(unsigned id) const override {
        return id == kFileClose || id == kFileSave || id == kFileSaveAs || id == kCompileScript ||
               id == kCompilerOptions;
    }
    bool OnCommand(unsigned id) override {
        switch (id) {
        case kFileClose:
            if (doc_.SaveModified())
                frame_.app_.CloseDocument(&doc_);
            return true;
        case kFileSave:
            doc_.OnFileSave();
            return true;
        case kFileSaveAs:
            doc_.OnFileSaveAs();
            return true;
        case kCompileScript:
            doc_.CompileScript();
            return true;
        case kCompilerOptions:
            doc_.OnCompilerOptions();
            return true;
        default:
            return false;
        }
    }

private:
    CVLFrame& frame_;
    CVLDoc& doc_;
};

// The application's commands: new, open, upload, the recent files and exit.
class CVLFrame::AppCommands : public platform::qt::CommandTarget {
public:
    explicit AppCommands(CVLFrame& frame) : frame_(frame) {}
    bool HasCommandHandler(unsigned id) const override {
        if (id >= kFileMru1 && id <= kFileMruLast)
            return id - kFileMru1 < frame_.app_.RecentFiles().Entries().size();
        return id == kFileNew || id == kFileOpen || id == kUploadScript || id == kUploadDat ||
               id == kAppExit;
    }
    bool OnCommand(unsigned id) override {
        if (!HasCommandHandler(id))
            return false;
        switch (id) {
        case kFileNew:
            frame_.OnFileNew();
            break;
        case kFileOpen:
            frame_.OnFileOpen();
            break;
        case kUploadScript:
            frame_.app_.OnUploadScriptFromUnit();
            break;
        case kUploadDat:
            frame_.templates_->UploadDatFromUnit();
            break;
        case kAppExit:
            frame_.close();
            break;
        default: {
            // A copy: opening the file reorders the list.
            const std::string path = frame_.app_.RecentFiles().Entries()[id - kFileMru1];
            frame_.OpenFile(path);
            break;
        }
        }
        return true;
    }

private:
    CVLFrame& frame_;
};

// The printing commands of a grid view: its listing, preview and Print Grid.
class CVLFrame::ViewCommands : public platform::qt::CommandTarget {
public:
    explicit ViewCommands(CVLView& view) : view_(view) {}
    bool HasCommandHandler(unsigned id) const override {
        return view_.HasCommandHandler(id) || (id == kPrintGrid && view_.Grid());
    }
    bool OnCommand(unsigned id) override {
        if (id == kPrintGrid && view_.Grid()) {
            const QString title = view_.Frame() ? view_.Frame()->windowTitle() : QString();
            view_.Grid()->PrintGridCommand(FromQString(title), std::string(), std::string());
            return true;
        }
        return view_.OnCommand(id);
    }

private:
    CVLView& view_;
};

CVLFrame::CVLFrame(CVLApp& app)
    : app_(app), ui_(std::make_unique<FrameUi>(*this)),
      appCommands_(std::make_unique<AppCommands>(*this)) {
    setWindowTitle(QStringLiteral("Velmora"));
    resize(1000, 700);
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
    SetApplicationTarget(appCommands_.get());

    recent_.entries = [this] {
        QStringList list;
        for (const std::string& path : app_.RecentFiles().Entries())
            list << QString::fromStdString(path);
        return list;
    };
    CGVPControlRecentFileList::SetSource(&recent_);

    statusHook = [this](const QString& text) {
        if (status_)
            status_->SetPaneText(0, text.isEmpty() ? kIdleText : text);
    };
    ui_->SetStatusSink([this](const QString& text) { statusHook(text); });
    previousUi_ = platform::SetUi(ui_.get());
    RegisterDialogs();

    printing_.askPrintGrid = [](QWidget* parent) {
        printing::DCPrintGridDlg dialog(parent);
        return dialog.exec();
    };
    printing_.askListing = [this](QWidget* parent, bool preview) {
        printing::CPrintSelectionDlg dialog(printMemory_, parent);
        dialog.SetPreview(preview);
        views::ListingChoice choice;
        choice.answer = dialog.exec();
        if (choice.answer == printing::CPrintSelectionDlg::kPrint) {
            choice.sections = printMemory_.SectionMask();
            choice.first = printMemory_.fromSequence;
            choice.last = printMemory_.toSequence;
        }
        return choice;
    };
    previousPrinting_ = views::SetPrinting(&printing_);

    RegisterReportViews(views_);
    RegisterScriptViews(views_);
    views_.InstallDialogs(*ui_);
    templates_ = std::make_unique<VelmoraTemplates>(*MdiClient(), views_);
    templateBars_ = std::make_unique<TemplateBars>(*this, *templates_);
    // The scripts' windows close their scripts through the application, which owns them.
    templates_->closeScript = [this](CVLDoc& doc) { app_.CloseDocument(&doc); };
    templates_->lastWindowClosed = [this](CVLDoc& doc) { app_.CloseDocument(&doc); };
    // The compile view leads to the other views of a script through their templates.
    CCompileView::SetViewOpener([this](CVLDoc& doc, std::string_view member) -> platform::View* {
        platform::qt::MdiDocTemplate* tmpl = templates_->Get(member);
        platform::qt::FramedView* view = tmpl ? tmpl->OpenView(doc) : nullptr;
        return view ? &view->DocumentView() : nullptr;
    });
}

CVLFrame::~CVLFrame() {
    // The children go while the base's per-child records still exist: their destruction
    // updates those records.
    std::vector<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* child : MdiClient()->findChildren<QMdiSubWindow*>())
        children.emplace_back(child);
    for (const QPointer<QMdiSubWindow>& child : children)
        delete child.data();
    CCompileView::SetViewOpener({});
    views::SetPrinting(previousPrinting_);
    CGVPControlRecentFileList::SetSource(nullptr);
    platform::SetUi(previousUi_);
}

platform::qt::QtUiServices& CVLFrame::UiServices() {
    return *ui_;
}

void CVLFrame::CreateStatusBar() {
    status_ = new CYNStatusBar(this); // owned by the frame
    status_->DefinePanes({0, 59143, 0, 59137, 59138, 59139});
    AddEdgeWindow(status_, 1);
    unsigned id = 0;
    unsigned style = 0;
    int width = 0;
    status_->GetPaneInfo(1, id, style, width);
    status_->MakeProgressPane(1, 0, true);
    status_->ConfigurePane(1, id, style | kProgressPaneStyle, 135);
    status_->GetPaneInfo(2, id, style, width);
    status_->ConfigurePane(2, id, style, 30);
    // The lock keys' state is not known here: their panes stay blank.
    for (int pane = 3; pane <= 5; ++pane)
        status_->SetPaneText(pane, QString());
    const char* tips[] = {"Status bar",          "Progress meter",    "Script Modified indicator",
                          "Caps Lock indicator", "Numlock indicator", "Scrollock indicator"};
    for (int pane = 0; pane < 6; ++pane)
        status_->SetPaneTip(pane, QString::fromLatin1(tips[pane]));
    status_->EnablePaneTips(true);
    status_->SetPaneText(0, kIdleText);
}

void CVLFrame::RegisterDialogs() {
    ui_->SetDialogHandler("CNewScriptDlg", [this](platform::DialogRequest& request) {
        auto& dialog = static_cast<CNewScriptDlg&>(request);
        QStringList names;
        int current = 0;
        for (const std::string& name : dialog.products) {
            if (name == CVLDoc::kDefaultProduct)
                current = names.size();
            names << ToQString(name);
        }
        if (names.isEmpty())
            return false;
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(this, QStringLiteral("New Script"), QStringLiteral("Product:"),
                                  names, current, false, &ok);
        if (!ok)
            return false;
        dialog.product = FromQString(chosen);
        return true;
    });
    ui_->SetDialogHandler("CSaveAsDlg", [this](platform::DialogRequest& request) {
        auto& dialog = static_cast<CSaveAsDlg&>(request);
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), ToQString(dialog.path),
                                         QStringLiteral("Velmora Files (*.ksf)"));
        if (path.isEmpty())
            return false;
        dialog.path = path.toStdString();
        if (std::filesystem::path(dialog.path).extension().empty())
            dialog.path += dialog.defaultExtension;
        return true;
    });
    // Until the communication dialog comes, a download goes out with the stored settings once
    // the user agrees.
    ui_->SetDialogHandler("CCfgCommDlg", [this](platform::DialogRequest& request) {
        auto& dialog = static_cast<CommDialogRequest&>(request);
        std::string text =
            dialog.m_strMessage.empty() ? std::string() : dialog.m_strMessage + "\n\n";
        if (dialog.m_nMethod == 1)
            text += "Download by Ethernet with the stored settings?";
        else
            text += "Download on COM" + std::to_string(dialog.m_nPort + 1) +
                    " with the stored settings?";
        return QMessageBox::question(this, ToQString("Download" + dialog.m_strTitleSuffix),
                                     ToQString(text), QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok;
    });
    ui_->SetDialogHandler("CCfgCompilerDlg", [this](platform::DialogRequest& request) {
        return options::RunCompilerDialog(static_cast<CCfgCompilerDlg&>(request), this);
    });
    ui_->SetDialogHandler("CFileOpenDlg", [this](platform::DialogRequest& request) {
        auto& dialog = static_cast<CFileOpenDlg&>(request);
        const QString path = QFileDialog::getOpenFileName(this, ToQString(dialog.title), QString(),
                                                          ToQString(dialog.filterName) +
                                                              QStringLiteral(";;All Files (*)"));
        if (path.isEmpty())
            return false;
        dialog.path = path.toStdString();
        return true;
    });
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
    platform::qt::MdiDocTemplate* tmpl = templates_->Get("m_pCompileTmp");
    if (!doc || !tmpl)
        return nullptr;
    platform::qt::FramedView* view = tmpl->OpenView(*doc);
    return view ? &view->DocumentView() : nullptr;
}

// ---- Routing ----

bool CVLFrame::OnCmdMsg(CommandMessage& msg) {
    if (QMdiSubWindow* child = MdiClient()->activeSubWindow()) {
        if (auto* target = dynamic_cast<platform::qt::CommandTarget*>(child->widget()))
            if (target->OnCmdMsg(msg))
                return true;
        if (auto* view = dynamic_cast<CVLView*>(child->widget())) {
            ViewCommands commands(*view);
            if (commands.OnCmdMsg(msg))
                return true;
        }
        if (auto* doc = dynamic_cast<CVLDoc*>(DocumentOf(child))) {
            ScriptCommands script(*this, *doc);
            if (script.OnCmdMsg(msg))
                return true;
        }
    }
    return CGVPMDIFrameWnd::OnCmdMsg(msg);
}

bool CVLFrame::HasCommandHandler(unsigned id) const {
    if (tools::FindCompanion(id))
        return true;
    switch (id) {
    case kGeneralOptions:
    case kUserTools:
    case kUserTool1:
    case kUserTool2:
    case kHelp:
    case kShowControlHelp:
    case kViewToolbar:
    case kViewStatusBar:
    case kWindowCascade:
    case kWindowTile:
        return true;
    default:
        return CGVPMDIFrameWnd::HasCommandHandler(id);
    }
}

bool CVLFrame::OnUpdateCommand(unsigned id, CommandUi& ui) {
    // The companions and the help file follow the installation without a restart.
    if (const tools::CompanionProgram* program = tools::FindCompanion(id)) {
        ui.Enable(tools::CompanionPath(app_.m_strAppDir, *program).has_value());
        return true;
    }
    if (id == kShowControlHelp) {
        ui.Enable(HelpFile(app_.m_strAppDir).has_value());
        return true;
    }
    if (id == kUserTool1 || id == kUserTool2) {
        const bool first = id == kUserTool1;
        const tools::ItemState item =
            tools::UserToolItem(first ? 1 : 2, first ? app_.m_strToolName1 : app_.m_strToolName2,
                                first ? app_.m_strToolPath1 : app_.m_strToolPath2);
        ui.SetText(item.text);
        ui.Enable(item.enabled);
        return true;
    }
    if (id == kViewStatusBar) {
        ui.SetCheck(status_ && status_->isVisible() ? 1 : 0);
        return false; // enabled by its handler
    }
    if (id == kViewToolbar) {
        ui.SetCheck(standard_ && standard_->isVisible() ? 1 : 0);
        return false;
    }
    return false;
}

bool CVLFrame::OnCommand(unsigned id) {
    if (const tools::CompanionProgram* program = tools::FindCompanion(id)) {
        tools::StartCompanion(app_.m_strAppDir, *program);
        return true;
    }
    switch (id) {
    case kGeneralOptions:
        options::OnGeneralOptions(app_, app_.ActiveScript(), this);
        return true;
    case kUserTools:
        tools::OnUserDefinedTools(app_, this);
        return true;
    case kUserTool1:
        tools::RunUserTool(1, app_.m_strToolName1, app_.m_strToolPath1);
        return true;
    case kUserTool2:
        tools::RunUserTool(2, app_.m_strToolName2, app_.m_strToolPath2);
        return true;
    case kHelp:
    case kShowControlHelp:
        OpenHelp(app_.m_strAppDir);
        return true;
    case kViewToolbar:
        if (standard_) {
            standard_->setVisible(!standard_->isVisible());
            RecalcLayout();
        }
        return true;
    case kViewStatusBar:
        status_->setVisible(!status_->isVisible());
        RecalcLayout();
        return true;
    case kWindowCascade:
        MdiClient()->cascadeSubWindows();
        return true;
    case kWindowTile:
        MdiClient()->tileSubWindows();
        return true;
    default:
        return CGVPMDIFrameWnd::OnCommand(id);
    }
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
    platform::qt::MdiDocTemplate* images = templates_->Get("m_pDatTmp");
    return images && images->OpenDocumentFile(path) != nullptr;
}

void CVLFrame::OnFileSave() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->OnFileSave();
    else
        platform::ShowMessage("Command failed.");
}

void CVLFrame::OnFileSaveAs() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->OnFileSaveAs();
    else
        platform::ShowMessage("Command failed.");
}

void CVLFrame::OnFileClose() {
    CVLDoc* doc = app_.ActiveScript();
    if (!doc) {
        platform::ShowMessage("Command failed.");
        return;
    }
    if (doc->SaveModified())
        app_.CloseDocument(doc);
}

void CVLFrame::OnCompileScript() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->CompileScript();
    else
        platform::ShowMessage("Command failed.");
}

void CVLFrame::closeEvent(QCloseEvent* event) {
    if (app_.ScriptTemplate()) {
        const auto& documents = app_.ScriptTemplate()->Documents();
        // The program stays while a compile or transfer runs; it is asked to stop.
        bool running = false;
        for (const auto& doc : documents) {
            if (doc->m_nCompileRunning) {
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
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CVLFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            OpenFile(url.toLocalFile().toStdString());
    event->acceptProposedAction();
}
