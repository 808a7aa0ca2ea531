#include "pactwright/main_frame.h"

#include "controls/commandbars/control_base.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/resources.h"
#include "controls/commandbars/tool_bar.h"
#include "controls/toolbox/status_bar.h"
#include "pactwright/child_frame.h"
#include "pactwright/left_view.h"
#include "pactwright/pactwright_ids.h"
#include "pactwright/pactwright_resources.h"
#include "pactwright/pactwright_view.h"
#include "pactwright/protocol_cel.h"
#include "platform/paths.h"
#include "platform/qt/app_commands.h"
#include "platform/qt/frame_kit.h"
#include "platform/qt/frame_status.h"
#include "platform/qt/help.h"
#include "platform/qt/lock_keys.h"
#include "script/dialog_requests.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QWhatsThis>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

using namespace pw_ids;
using platform::qt::CommandMessage;
using platform::qt::CommandUi;
using platform::qt::MdiChildFrame;
using platform::qt::ToQString;

namespace pactwright {

namespace {

CPactwrightDoc* DocumentOf(QMdiSubWindow* frame) {
    platform::qt::FramedView* view = platform::qt::MdiDocTemplate::ViewOfFrame(frame);
    return view ? dynamic_cast<CPactwrightDoc*>(view->DocumentView().GetDocument()) : nullptr;
}

// The installation folder: the one above the program's Utilities folder.
std::filesystem::path InstallationRoot() {
    return std::filesystem::path(platform::InstallDirectory()).parent_path();
}

// While What's This mode is on, a click on a toolbar button shows its command's prompt, a click
// on the tree or the grid a short text of the pane. Escape (or any other click) leaves.
class WhatsThisClicks : public QObject {
public:
    static void Start() {
        static WhatsThisClicks filter;
        QWhatsThis::enterWhatsThisMode();
        qApp->installEventFilter(&filter);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            Stop();
            return false;
        }
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        const QString text = CMainFrame::WhatsThisText(at);
        Stop();
        if (!text.isEmpty())
            QWhatsThis::showText(at, text, QApplication::widgetAt(at));
        return true;
    }

private:
    void Stop() {
        qApp->removeEventFilter(this);
        QWhatsThis::leaveWhatsThisMode();
    }
};

} // namespace

CMainFrame::CMainFrame(CPactwrightApp& app)
    : app_(app), frameStatus_(std::make_unique<FrameStatus>(*this)),
      appCommands_(std::make_unique<platform::qt::AppCommands>(
          app.RecentFiles(), kFileMru1, kFileMruLast, [this](const std::string& path) {
              if (!OpenFile(path))
                  app_.RemoveRecentFile(path);
          })) {
    setWindowTitle(QStringLiteral("Pactwright"));
    resize(900, 640);
    setAcceptDrops(true);
    RegisterPactwrightResources();
    // The toolkit's Default theme (SetUpCommandBars selects it).
    SetUpCommandBars();
    CreateStatusBar();
    GetCommandBars()->CreateMenuBar(QStringLiteral("Menu Bar"), kMainResource);
    toolBar_ = GetCommandBars()->AddToolBar(QStringLiteral("Standard"), 0);
    if (toolBar_)
        toolBar_->LoadToolBar(kMainResource, true);
    if (const GVPAcceleratorTable* keys = CGVPResources::Instance().FindAccelerators(kMainResource))
        SetAccelerators(*keys);
    // New, Open, the recent files, Print Setup and Exit: the application's commands.
    appCommands_->Commands()
        .On(kFileNew, [this] { OnFileNew(); })
        .On(kFileOpen, [this] { OnFileOpen(); })
        .On(kFilePrintSetup, [this] { OnPrintSetup(); })
        .On(kAppExit, [this] { close(); });
    SetApplicationTarget(appCommands_.get());
    templateBars_ = std::make_unique<TemplateBars>(*this, kDocResource);
    DeclareCommands();
    GetCommandBars()->SetRecentFiles(
        {[this] { return platform::qt::RecentFilePaths(app_.RecentFiles()); }});

    statusHook = [this](const QString& text) { frameStatus_->ShowMessage(text); };
    frameStatus_->Install([this](const QString& text) { statusHook(text); });

    printing_.setUpPrinter = [this](QPrinter& printer) {
        printer.setPrinterName(printer_.printerName());
        printer.setPageLayout(printer_.pageLayout());
    };
    services_.scratch = &app_.Scratch();
    services_.printing = &printing_;

    views_.RegisterView("CLeftView", [this](platform::Document& document, QWidget* parent) {
        auto* doc = dynamic_cast<CPactwrightDoc*>(&document);
        if (!doc)
            return platform::qt::CreatedView{};
        auto* view = new CLeftView(*doc, services_, parent);
        return platform::qt::CreatedView{view, view};
    });
    views_.RegisterView("CPactwrightView", [this](platform::Document& document, QWidget* parent) {
        auto* doc = dynamic_cast<CPactwrightDoc*>(&document);
        if (!doc)
            return platform::qt::CreatedView{};
        auto* view = new CPactwrightView(*doc, services_, parent);
        return platform::qt::CreatedView{view, view};
    });
    RegisterDialogs();

    platform::qt::TemplateResources resources;
    resources.id = int(kDocResource);
    resources.hasMenu = true;
    template_ = std::make_unique<platform::qt::MdiDocTemplate>(
        *MdiClient(), views_, resources, "CPactwrightView",
        [this](platform::Document& document) { return MakeFrame(document); });
    template_->SetContent(
        [](MdiChildFrame& frame, const platform::qt::MdiDocTemplate::ViewMaker& make) -> QWidget* {
            auto* content = new CChildFrame(&frame);
            auto* left = dynamic_cast<CLeftView*>(make("CLeftView", content));
            auto* right = dynamic_cast<CPactwrightView*>(make("CPactwrightView", content));
            if (!left || !right) {
                delete content;
                return nullptr;
            }
            content->SetPanes(left, right);
            return content;
        });
    template_->SetDocumentFactory(
        [this] {
            auto doc = std::make_unique<CPactwrightDoc>();
            doc->onPathChosen = [this](const std::string& path) { app_.AddRecentFile(path); };
            return doc;
        },
        "Pactwr", "");
}

CMainFrame::~CMainFrame() {
    platform::qt::DeleteMdiChildren(*MdiClient());
    template_.reset();
    // The program's services are the previous ones again once the frame's status goes.
    frameStatus_.reset();
}

platform::qt::QtUiServices& CMainFrame::UiServices() {
    return frameStatus_->Ui();
}

MdiChildFrame* CMainFrame::MakeFrame(platform::Document& document) {
    auto* frame = new MdiChildFrame;
    auto* doc = dynamic_cast<CPactwrightDoc*>(&document);
    // Closing a document's last window asks to save it.
    frame->canClose = [doc] { return !doc || doc->Views().size() > 2 || doc->SaveModified(); };
    templateBars_->FrameMade(*frame, template_->Resources(), false);
    frame->resize(640, 420);
    return frame;
}

void CMainFrame::CreateStatusBar() {
    // The message pane and the three lock keys, without tips.
    platform::qt::StatusBarLayout layout;
    layout.paneIds = {0, platform::qt::kCapsPaneId, platform::qt::kNumPaneId,
                      platform::qt::kScrollPaneId};
    layout.progressPane = layout.indicatorPane = -1;
    layout.tips.clear();
    status_ = &frameStatus_->CreateBar(layout);
    AddEdgeWindow(status_, 1);
}

void CMainFrame::SetLockKeySource(std::unique_ptr<platform::qt::LockKeySource> source) {
    frameStatus_->SetLockKeySource(std::move(source));
}

void CMainFrame::RegisterDialogs() {
    views_.RegisterDialog<CFileOpenDlg>([this](CFileOpenDlg& request) {
        QFileDialog dialog(this, ToQString(request.title), ToQString(request.folder));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::ReadOnly);
        dialog.setNameFilter(ToQString(request.filterName));
        // ".pcl" in any case.
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        request.path = dialog.selectedFiles().front().toStdString();
        return true;
    });
    views_.RegisterDialog<CSaveAsDlg>([this](CSaveAsDlg& request) {
        QFileDialog dialog(this, ToQString(request.title), ToQString(request.path));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(ToQString(request.filter));
        dialog.setDefaultSuffix(ToQString(request.defaultExtension).remove(0, 1));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        request.path = dialog.selectedFiles().front().toStdString();
        return true;
    });
    views_.InstallDialogs(frameStatus_->Ui());
}

CPactwrightDoc* CMainFrame::ActiveDocument() const {
    return DocumentOf(MdiClient()->activeSubWindow());
}

void CMainFrame::OnFileNew() {
    template_->OpenDocumentFile(std::string());
}

void CMainFrame::OnFileOpen() {
    CFileOpenDlg dialog;
    dialog.title = "Open File";
    dialog.filterName = "Protocol files(*.pcl)";
    dialog.filterMask = "*.pcl";
    dialog.folder = app_.m_strDefaultFolder;
    if (platform::Ui().RunDialog(dialog) && !dialog.path.empty())
        OpenFile(dialog.path);
}

CPactwrightDoc* CMainFrame::OpenFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    const std::string fullPath = ec ? path : full.lexically_normal().string();
    return dynamic_cast<CPactwrightDoc*>(template_->OpenDocumentFile(fullPath));
}

bool CMainFrame::CloseDocument(CPactwrightDoc& doc) {
    if (!doc.SaveModified())
        return false;
    std::set<MdiChildFrame*> frames;
    for (platform::View* view : doc.Views())
        if (auto* framed = dynamic_cast<platform::qt::FramedView*>(view); framed && framed->Frame())
            frames.insert(framed->Frame());
    for (MdiChildFrame* frame : frames) {
        frame->canClose = nullptr; // asked already
        frame->close();
    }
    return true;
}

void CMainFrame::OnPrintSetup() {
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void CMainFrame::OnHelp() {
    platform::qt::OpenHelp(InstallationRoot().string(), "pactwright.html");
}

QString CMainFrame::WhatsThisText(QPoint globalPos) {
    QString text;
    for (QWidget* w = QApplication::widgetAt(globalPos); w && text.isEmpty();
         w = w->parentWidget()) {
        if (auto* bar = dynamic_cast<CGVPCommandBar*>(w)) {
            if (CGVPControls* controls = bar->GetControls())
                if (CGVPControl* control = controls->HitTest(bar->mapFromGlobal(globalPos)))
                    text = CGVPResources::Instance()
                               .String(unsigned(control->GetID()))
                               .section(QLatin1Char('\n'), 0, 0);
        } else if (dynamic_cast<CLeftView*>(w)) {
            text = QStringLiteral("The command tree: the device at the top, the command "
                                  "categories under it and the commands in them. Select "
                                  "an item to show it in the grid.");
        } else if (dynamic_cast<CPactwrightView*>(w)) {
            text = QStringLiteral("The command grid: the settings of the device or of the "
                                  "selected command. Double-click a Data cell to edit it.");
        }
    }
    return text;
}

void CMainFrame::OnContextHelp() {
    WhatsThisClicks::Start();
}

bool CMainFrame::OnCmdMsg(CommandMessage& msg) {
    if (QMdiSubWindow* child = MdiClient()->activeSubWindow()) {
        // The window's active pane, then the window's content (the splitter's commands).
        if (auto* target = dynamic_cast<platform::qt::CommandTarget*>(
                platform::qt::MdiDocTemplate::ViewOfFrame(child)))
            if (target->OnCmdMsg(msg))
                return true;
        if (auto* content = dynamic_cast<platform::qt::CommandTarget*>(child->widget()))
            if (content->OnCmdMsg(msg))
                return true;
    }
    return CGVPMDIFrameWnd::OnCmdMsg(msg);
}

void CMainFrame::OnIdleUpdate() {
    CGVPMDIFrameWnd::OnIdleUpdate();
    std::map<const platform::Document*, std::vector<QMdiSubWindow*>> frames;
    for (QMdiSubWindow* child : MdiClient()->subWindowList(QMdiArea::CreationOrder))
        if (CPactwrightDoc* doc = DocumentOf(child))
            frames[doc].push_back(child);
    for (const auto& [doc, children] : frames) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            QString title = ToQString(doc->GetTitle());
            if (children.size() > 1)
                title += QStringLiteral(":%1").arg(i + 1);
            if (children[i]->windowTitle() != title)
                children[i]->setWindowTitle(title);
        }
    }
    QString title = QStringLiteral("Pactwright");
    if (QMdiSubWindow* child = MdiClient()->activeSubWindow())
        title += QStringLiteral(" - ") + child->windowTitle();
    if (windowTitle() != title)
        setWindowTitle(title);
}

bool CMainFrame::HasCommandHandler(unsigned id) const {
    return commands_.Has(id) || CGVPMDIFrameWnd::HasCommandHandler(id);
}

bool CMainFrame::OnUpdateCommand(unsigned id, CommandUi& ui) {
    return commands_.Update(id, ui) || CGVPMDIFrameWnd::OnUpdateCommand(id, ui);
}

bool CMainFrame::OnCommand(unsigned id) {
    return commands_.Run(id) || CGVPMDIFrameWnd::OnCommand(id);
}

void CMainFrame::DeclareCommands() {
    // The document's commands: greyed while no document window is active.
    const auto onDocument = [this](unsigned id, std::function<void(CPactwrightDoc&)> run) {
        commands_.On(
            id,
            [this, run = std::move(run)] {
                if (CPactwrightDoc* doc = ActiveDocument())
                    run(*doc);
            },
            [this](CommandUi& ui) { ui.Enable(ActiveDocument() != nullptr); });
    };
    onDocument(kFileClose, [this](CPactwrightDoc& doc) { CloseDocument(doc); });
    onDocument(kFileSave, [](CPactwrightDoc& doc) { doc.OnFileSave(); });
    onDocument(kFileSaveAs, [](CPactwrightDoc& doc) { doc.OnFileSaveAs(); });
    onDocument(kWindowNew, [this](CPactwrightDoc& doc) { template_->OpenView(doc); });
    platform::qt::DeclareFrameCommands(commands_, *this, toolBar_, status_,
                                       {kViewToolbar, kViewStatusBar, kWindowCascade, kWindowTile});
    commands_.On(kHelpFinder, [this] { OnHelp(); });
    commands_.On(kHelp, [this] { OnHelp(); });
    commands_.On(kContextHelp, [this] { OnContextHelp(); });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Every modified document is asked about before anything closes.
    for (const auto& document : template_->Documents()) {
        auto* doc = dynamic_cast<CPactwrightDoc*>(document.get());
        if (doc && !doc->SaveModified()) {
            event->ignore();
            return;
        }
    }
    for (QMdiSubWindow* child : MdiClient()->subWindowList())
        if (auto* frame = dynamic_cast<MdiChildFrame*>(child))
            frame->canClose = nullptr;
    MdiClient()->closeAllSubWindows();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    platform::qt::AcceptFileDrag(*event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    platform::qt::OpenDroppedFiles(*event, [this](const std::string& path) { OpenFile(path); });
}

} // namespace pactwright
