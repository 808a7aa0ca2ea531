#include "app/gui/main_window.h"

#include "app/gui/script_views.h"
#include "compiler/linked_resources.h"
#include "link/comm_dialog.h"
#include "platform/qt/mdi_view.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>

using platform::qt::FromQString;
using platform::qt::MdiChildFrame;
using platform::qt::MdiView;
using platform::qt::ToQString;

MainWindow::MainWindow(CVLApp& app) : app_(app), ui_(this) {
    setWindowTitle(QStringLiteral("Velmora"));
    resize(1000, 700);
    mdi_ = new QMdiArea(this); // owned by the window
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    statusBar()->showMessage(QStringLiteral("Ready"));
    ui_.SetStatusSink([this](const QString& text) {
        statusBar()->showMessage(text.isEmpty() ? QStringLiteral("Ready") : text);
    });
    previousUi_ = platform::SetUi(&ui_);
    RegisterDialogs();

    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] { BuildFileMenu(); });
    BuildFileMenu();
    QMenu* script = menuBar()->addMenu(QStringLiteral("&Script"));
    QAction* compile = script->addAction(QStringLiteral("&Compile Script and Download"));
    compile->setShortcut(QKeySequence(Qt::Key_F7));
    connect(compile, &QAction::triggered, this, [this] { OnCompileScript(); });
}

MainWindow::~MainWindow() {
    platform::SetUi(previousUi_);
}

void MainWindow::RegisterDialogs() {
    ui_.SetDialogHandler("CNewScriptDlg", [this](platform::DialogRequest& request) {
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
    ui_.SetDialogHandler("CSaveAsDlg", [this](platform::DialogRequest& request) {
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
    ui_.SetDialogHandler("CCfgCommDlg", [this](platform::DialogRequest& request) {
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
    ui_.SetDialogHandler("CFileOpenDlg", [this](platform::DialogRequest& request) {
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

void MainWindow::BuildFileMenu() {
    fileMenu_->clear();
    auto add = [this](const QString& text, QKeySequence key, void (MainWindow::*command)()) {
        QAction* action = fileMenu_->addAction(text);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    add(QStringLiteral("&New"), QKeySequence::New, &MainWindow::OnFileNew);
    add(QStringLiteral("&Open..."), QKeySequence::Open, &MainWindow::OnFileOpen);
    add(QStringLiteral("&Close"), QKeySequence(), &MainWindow::OnFileClose);
    add(QStringLiteral("&Save"), QKeySequence::Save, &MainWindow::OnFileSave);
    add(QStringLiteral("Save &As..."), QKeySequence(), &MainWindow::OnFileSaveAs);
    fileMenu_->addSeparator();
    QAction* upload = fileMenu_->addAction(QStringLiteral("&Upload Script from Unit"));
    connect(upload, &QAction::triggered, this, [this] { app_.OnUploadScriptFromUnit(); });
    const auto& recent = app_.RecentFiles().Entries();
    if (!recent.empty()) {
        fileMenu_->addSeparator();
        for (std::size_t i = 0; i < recent.size(); ++i) {
            const std::string path = recent[i];
            QAction* action = fileMenu_->addAction(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(path)));
            connect(action, &QAction::triggered, this,
                    [this, path] { app_.OpenDocumentFile(path); });
        }
    }
    fileMenu_->addSeparator();
    QAction* exit = fileMenu_->addAction(QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, [this] { close(); });
}

// ---- AppShell ----

bool MainWindow::CreateMainFrame() {
    show();
    return true;
}

platform::Document* MainWindow::ActiveDocument() {
    QMdiSubWindow* frame = mdi_->currentSubWindow();
    if (!frame)
        return nullptr;
    const auto* view = dynamic_cast<MdiView*>(frame->widget());
    return view ? view->GetDocument() : nullptr;
}

void MainWindow::RecentFilesChanged() {
    BuildFileMenu();
}

// ---- Frames ----

MdiChildFrame* MainWindow::AddFrame(CVLDoc& doc, QWidget* viewWidget, MdiView& view) {
    auto* frame = new MdiChildFrame(); // owned by the MDI area once added
    frame->setWidget(viewWidget);
    mdi_->addSubWindow(frame);
    view.SetFrame(frame);
    doc.AddView(&view);
    CVLDoc* script = &doc;
    frame->canClose = [script, frame] { return script->CanCloseFrame(frame); };
    frame->closed = [this, script, viewPtr = &view] { FrameClosed(script, viewPtr); };
    return frame;
}

void MainWindow::FrameClosed(CVLDoc* doc, MdiView* view) {
    doc->RemoveView(view);
    if (doc->Views().empty() && !closing_.contains(doc))
        app_.CloseDocument(doc);
}

bool MainWindow::CreateFrame(CVLDoc& doc) {
    auto* view = new SequenceListView(); // owned by its frame
    AddFrame(doc, view, *view);
    return true;
}

void MainWindow::DestroyFrames(CVLDoc& doc) {
    closing_.insert(&doc);
    const std::vector<platform::View*> views = doc.Views();
    for (platform::View* view : views) {
        view->CloseFrame();
        doc.RemoveView(view);
    }
    closing_.erase(&doc);
}

void MainWindow::InitialUpdateFrame(CVLDoc& doc, bool visible) {
    doc.UpdateViewTitles();
    for (platform::View* view : doc.Views()) {
        auto* mdiView = dynamic_cast<MdiView*>(view);
        if (!mdiView || !mdiView->Frame())
            continue;
        if (mdiView->Frame()->windowTitle().isEmpty())
            mdiView->SetFrameTitle(doc.GetTitle());
        if (visible) {
            mdiView->Frame()->show();
            mdi_->setActiveSubWindow(mdiView->Frame());
        }
    }
}

platform::View* MainWindow::CreateViewFrame(platform::Document& document) {
    auto* doc = dynamic_cast<CVLDoc*>(&document);
    if (!doc)
        return nullptr;
    auto* view = new CompileListView(); // owned by its frame
    MdiChildFrame* frame = AddFrame(*doc, view, *view);
    view->SetFrameTitle("Compile of " + doc->GetScriptName());
    frame->resize(600, 300);
    frame->show();
    mdi_->setActiveSubWindow(frame);
    return view;
}

// ---- Commands ----

void MainWindow::OnFileNew() {
    app_.OnFileNew();
}

void MainWindow::OnFileOpen() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString(),
        QStringLiteral("Velmora Files (*.ksf);;DOS Scripts (*.ksx);;All Files (*)"));
    if (!path.isEmpty())
        app_.OpenDocumentFile(path.toStdString());
}

void MainWindow::OnFileSave() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->OnFileSave();
    else
        platform::ShowMessage("Command failed.");
}

void MainWindow::OnFileSaveAs() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->OnFileSaveAs();
    else
        platform::ShowMessage("Command failed.");
}

void MainWindow::OnFileClose() {
    CVLDoc* doc = app_.ActiveScript();
    if (!doc) {
        platform::ShowMessage("Command failed.");
        return;
    }
    if (doc->SaveModified())
        app_.CloseDocument(doc);
}

void MainWindow::OnCompileScript() {
    if (CVLDoc* doc = app_.ActiveScript())
        doc->CompileScript();
    else
        platform::ShowMessage("Command failed.");
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (app_.ScriptTemplate()) {
        const auto& documents = app_.ScriptTemplate()->Documents();
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            app_.OpenDocumentFile(url.toLocalFile().toStdString());
    event->acceptProposedAction();
}
